// The file seam on Windows, with the ANSI calls only: Windows 9x has no wide
// file functions, and the standard library's streams and filesystem are built
// on them (and on imports that 98 and NT 4 lack).
#include <windows.h>

#include <cstdio>

#include "core/base/file_io.h"

namespace vc {

namespace {

// Reads and writes go in pieces no larger than a DWORD can count.
constexpr DWORD kChunk = 1u << 20;
// Enough attempts to get past any leftovers of earlier crashed writers.
constexpr unsigned kTemporaryAttempts = 64;

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

DWORD Attributes(const std::string& path) {
    std::string trimmed = path;
    // GetFileAttributesA on 9x refuses a trailing separator.
    while (trimmed.size() > 1 && IsSeparator(trimmed.back()) && trimmed[trimmed.size() - 2] != ':')
        trimmed.pop_back();
    return GetFileAttributesA(trimmed.c_str());
}

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }
    bool Close() {
        if (!Valid()) return true;
        const bool closed = CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE handle_;
};

bool WriteAll(HANDLE file, std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
        const DWORD piece = bytes.size() < kChunk ? static_cast<DWORD>(bytes.size()) : kChunk;
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), piece, &written, nullptr) || written == 0) return false;
        bytes = bytes.subspan(written);
    }
    return true;
}

// A new file beside `path` that no other writer owns: CREATE_NEW fails on an
// existing name, so a collision only costs another suffix.
std::string CreateTemporaryBeside(const std::string& path, HANDLE& file) {
    static unsigned serial = 0;
    for (unsigned attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".%lx-%u.tmp", static_cast<unsigned long>(GetCurrentProcessId()),
                      serial++);
        const std::string name = path + suffix;
        file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) return name;
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    file = INVALID_HANDLE_VALUE;
    return {};
}

using MoveFileExFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);

// MoveFileExA is missing from Windows 9x's KERNEL32 (or fails there as not
// implemented), so it is looked up rather than imported.
MoveFileExFn FindMoveFileEx() {
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel == nullptr) return nullptr;
    return reinterpret_cast<MoveFileExFn>(reinterpret_cast<void*>(GetProcAddress(kernel, "MoveFileExA")));
}

// Without MoveFileExA nothing replaces a file in one step. The old file is
// first renamed aside and only removed once the new one holds its name, so
// a failing rename puts it back untouched. The window of risk: a crash
// between the two renames leaves no file at `target`; its old contents then
// survive under the ".old" name and the new ones under the temporary name.
bool ReplaceByRenames(const std::string& temporary, const std::string& target) {
    const bool hadTarget = Attributes(target) != INVALID_FILE_ATTRIBUTES;
    const std::string aside = temporary + ".old";
    if (hadTarget && !MoveFileA(target.c_str(), aside.c_str())) return false;
    if (!MoveFileA(temporary.c_str(), target.c_str())) {
        if (hadTarget) MoveFileA(aside.c_str(), target.c_str());
        return false;
    }
    if (hadTarget) DeleteFileA(aside.c_str());
    return true;
}

bool ReplaceWith(const std::string& temporary, const std::string& target) {
    if (const MoveFileExFn moveFileEx = FindMoveFileEx()) {
        if (moveFileEx(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return false;
    }
    return ReplaceByRenames(temporary, target);
}

}  // namespace

std::optional<std::vector<uint8_t>> ReadFileBytes(const std::string& path, size_t limit) {
    Handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return std::nullopt;
    std::vector<uint8_t> bytes;
    while (bytes.size() < limit) {
        const size_t wanted = limit - bytes.size();
        const DWORD piece = wanted < kChunk ? static_cast<DWORD>(wanted) : kChunk;
        const size_t start = bytes.size();
        bytes.resize(start + piece);
        DWORD got = 0;
        if (!ReadFile(file.Get(), bytes.data() + start, piece, &got, nullptr)) got = 0;
        bytes.resize(start + got);
        if (got == 0) break;
    }
    return bytes;
}

bool ReplaceFileAtomically(const std::string& path, std::span<const uint8_t> bytes) {
    HANDLE raw = INVALID_HANDLE_VALUE;
    const std::string temporary = CreateTemporaryBeside(path, raw);
    if (temporary.empty()) return false;
    Handle file(raw);
    const bool written = WriteAll(file.Get(), bytes) && FlushFileBuffers(file.Get());
    const bool closed = file.Close();
    if (written && closed && ReplaceWith(temporary, path)) return true;
    DeleteFileA(temporary.c_str());
    return false;
}

bool RemoveFile(const std::string& path) {
    if (DeleteFileA(path.c_str())) return true;
    return Attributes(path) == INVALID_FILE_ATTRIBUTES;
}

bool IsRegularFile(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool IsDirectory(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateDirectories(const std::string& path) {
    if (path.empty()) return false;
    // Each prefix that ends before a separator, then the whole path. Drive
    // roots ("C:") and the server part of a UNC name cannot be created and
    // need not be: their CreateDirectoryA fails harmlessly.
    for (size_t i = 1; i <= path.size(); ++i) {
        if (i < path.size() && !IsSeparator(path[i])) continue;
        const std::string prefix = path.substr(0, i);
        if (prefix.back() == ':' || IsSeparator(prefix.back()) || IsDirectory(prefix)) continue;
        CreateDirectoryA(prefix.c_str(), nullptr);
    }
    return IsDirectory(path);
}

std::vector<std::string> FolderEntries(const std::string& path) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

std::string AbsolutePath(const std::string& path) {
    char full[MAX_PATH + 1] = {};
    char* name = nullptr;
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, &name);
    return length == 0 || length >= MAX_PATH ? path : std::string(full, length);
}

}  // namespace vc
