// The file seam on the standard library (every platform but Windows).
#include "core/base/file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace vc {

namespace fs = std::filesystem;

namespace {

// Longer chains are taken for a loop, as the kernel does.
constexpr int kMaxLinkHops = 40;
// NAME.tmp, NAME.tmp1, ... until one is free.
constexpr int kMaxTemporaryTries = 100;
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

// A new file beside `target`, named in `name`; an entry that already has a
// candidate name (a file, a folder, a link) is never touched.
std::FILE* CreateTemporaryBeside(const fs::path& target, std::string& name) {
    const std::string stem = target.string() + ".tmp";
    for (int attempt = 0; attempt < kMaxTemporaryTries; ++attempt) {
        name = attempt == 0 ? stem : stem + std::to_string(attempt);
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
