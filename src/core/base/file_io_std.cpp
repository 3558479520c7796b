// The file seam on the standard library (every platform but Windows).
#include "core/base/file_io.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

namespace vc {

namespace fs = std::filesystem;

namespace {

// Longer chains are taken for a loop, as the kernel does.
constexpr int kMaxLinkHops = 40;
// NAME.tmp followed by random hex digits, until one is free.
constexpr int kMaxTemporaryTries = 100;
constexpr const char* kTemporaryInfix = ".tmp";
// A save writes its temporary and renames it within milliseconds: one
// older than this belongs to a save that was killed.
constexpr auto kStaleAfter = std::chrono::seconds(1);
constexpr size_t kReadChunk = 65536;

class File {
public:
    explicit File(std::FILE* file) : file_(file) {}
    ~File() { Close(); }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    std::FILE* get() const { return file_; }
    bool Close() {
        const bool closed = file_ == nullptr || std::fclose(file_) == 0;
        file_ = nullptr;
        return closed;
    }

private:
    std::FILE* file_;
};

// The file a chain of symbolic links ends in (which need not exist yet), so
// replacing it keeps every link in the chain; none for a loop.
std::optional<fs::path> FinalTarget(const fs::path& path) {
    fs::path target = path;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(target, error))) return target;
        const fs::path next = fs::read_symlink(target, error);
        if (error) return std::nullopt;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return std::nullopt;
}

// Whether `name` is one this seam makes for `target`'s file name: the name,
// ".tmp", then hex digits or nothing (the earlier NAME.tmp, NAME.tmp1, ...
// included).
bool IsOurTemporary(const std::string& name, const std::string& targetName) {
    const std::string stem = targetName + kTemporaryInfix;
    if (name.compare(0, stem.size(), stem) != 0) return false;
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(stem.size()), name.end(),
                       [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

// Removes the temporaries of `target` that saves killed before their rename
// left behind: plain files of our own naming, stale by their age (a save
// under way elsewhere keeps its fresh one). Nothing else is touched.
void RemoveStaleTemporaries(const fs::path& target) {
    std::error_code error;
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string targetName = target.filename().string();
    const auto now = fs::file_time_type::clock::now();
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const fs::path& entry = it->path();
        if (!IsOurTemporary(entry.filename().string(), targetName)) continue;
        std::error_code ignored;
        if (!fs::is_regular_file(fs::symlink_status(entry, ignored))) continue;
        const auto written = fs::last_write_time(entry, ignored);
        if (!ignored && now - written > kStaleAfter) fs::remove(entry, ignored);
    }
}

// A new file beside `target`, named in `name`; an entry that already has the
// name (a file, a folder, a link) is never touched. Random names keep one
// save from ever renaming another's temporary.
std::FILE* CreateTemporaryBeside(const fs::path& target, std::string& name) {
    std::random_device random;
    for (int attempt = 0; attempt < kMaxTemporaryTries; ++attempt) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(random()));
        name = target.string() + kTemporaryInfix + digits;
        errno = 0;
        if (std::FILE* created = std::fopen(name.c_str(), "wbx")) return created;
        if (errno != EEXIST) return nullptr;
    }
    return nullptr;
}

bool WriteAll(std::FILE* file, std::span<const uint8_t> bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && std::fflush(file) == 0;
}

}  // namespace

std::optional<std::vector<uint8_t>> ReadFileBytes(const std::string& path, size_t limit) {
    File file(std::fopen(path.c_str(), "rb"));
    if (file.get() == nullptr) return std::nullopt;
    // Read as the file grows rather than reserving the limit, which may be large.
    std::vector<uint8_t> bytes;
    while (bytes.size() < limit) {
        const size_t had = bytes.size();
        bytes.resize(had + std::min(kReadChunk, limit - had));
        const size_t got = std::fread(bytes.data() + had, 1, bytes.size() - had, file.get());
        bytes.resize(had + got);
        if (got == 0) break;
    }
    return bytes;
}

bool ReplaceFileAtomically(const std::string& path, std::span<const uint8_t> bytes) {
    const std::optional<fs::path> target = FinalTarget(path);
    if (!target) return false;
    RemoveStaleTemporaries(*target);
    std::string temporary;
    File file(CreateTemporaryBeside(*target, temporary));
    if (file.get() == nullptr) return false;
    const bool written = WriteAll(file.get(), bytes);
    std::error_code error;
    if (file.Close() && written) {
        // The new file keeps the old one's permissions (a file shared on purpose stays shared).
        const fs::file_status old = fs::status(*target, error);
        if (fs::is_regular_file(old)) fs::permissions(temporary, old.permissions(), error);
        fs::rename(temporary, *target, error);
        if (!error) return true;
    }
    fs::remove(temporary, error);
    return false;
}

bool RemoveFile(const std::string& path) {
    std::error_code error;
    fs::remove(path, error);
    return !error;
}

bool IsRegularFile(const std::string& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

bool IsDirectory(const std::string& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

bool CreateDirectories(const std::string& path) {
    std::error_code error;
    fs::create_directories(path, error);
    return fs::is_directory(path, error);
}

std::vector<std::string> FolderEntries(const std::string& path) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error))
        names.push_back(it->path().filename().string());
    return names;
}

std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

}  // namespace vc
