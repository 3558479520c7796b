// The files the program reads and writes, through one small seam: the core
// names what it needs here and each platform supplies the implementation
// (the standard library's everywhere but on Windows, whose 9x family lacks
// the wide-character calls the standard library's streams are built on).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vc {

// The whole file, at most `limit` bytes of it; none when it cannot be opened.
std::optional<std::vector<uint8_t>> ReadFileBytes(const std::string& path, size_t limit);

// Returns true when `path` now holds exactly `bytes`. The bytes go to a
// temporary file beside the target which then replaces it, so a crash or a
// failing write never leaves a damaged file; on false the previous file (if
// any) is untouched and no temporary is left behind. A symbolic link at
// `path` stays a link: the file its chain ends in is replaced (created when
// only its folder exists), and the temporary never takes the name of
// anything already there.
bool ReplaceFileAtomically(const std::string& path, std::span<const uint8_t> bytes);

// True when nothing is left at `path` afterwards (also when nothing was there).
bool RemoveFile(const std::string& path);

bool IsRegularFile(const std::string& path);
bool IsDirectory(const std::string& path);

// Creates the folder and its missing parents; true when it exists afterwards.
bool CreateDirectories(const std::string& path);

// The names of what a folder holds ("." and ".." left out), in no particular
// order; none when it cannot be read.
std::vector<std::string> FolderEntries(const std::string& path);

// `path` taken from the current folder when relative, with "." and ".."
// steps resolved by name; unchanged when that fails.
std::string AbsolutePath(const std::string& path);

}  // namespace vc
