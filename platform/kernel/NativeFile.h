#pragma once
// Files and directories by native (UTF-8) path, and open files by descriptor: the calls the
// engine's file streams and path helpers are built on.
#include <cstdint>
#include <string>

namespace Platform::Kernel {

using FileDescriptor = int;
inline constexpr FileDescriptor kNoFile = -1;

enum class SeekOrigin { kBegin, kCurrent, kEnd };

enum class DirectoryResult {
    kMade,           // made now, or there already
    kParentMissing,  // worth making the parent first
    kFailed,         // permission, read-only medium, a file in the way …
};

// An existing regular file, read-write or, when it is write-protected, read-only; kNoFile for
// a directory or a failure.
FileDescriptor openExistingFile(const std::string& path);
// Creates the file, or empties an existing one; write-only.
FileDescriptor createFile(const std::string& path);
void closeFile(FileDescriptor file);

// Bytes moved, short only at the end of the file or on a failure; interrupted calls go on.
uint32_t readFile(FileDescriptor file, void* buffer, uint32_t count);
uint32_t writeFile(FileDescriptor file, const void* buffer, uint32_t count);
// The new position from the start, or -1.
int64_t seekFile(FileDescriptor file, int64_t offset, SeekOrigin origin);
// The size in bytes, or -1.
int64_t fileSize(FileDescriptor file);
bool truncateFile(FileDescriptor file, uint64_t size);
// Pushes the file's data to the disk.
bool syncFile(FileDescriptor file);

bool isRegularFile(const std::string& path);
bool isDirectory(const std::string& path);
DirectoryResult makeDirectory(const std::string& path);
bool removeFile(const std::string& path);
// Renames, replacing `to` when it exists (in one step on the same file system).
bool renameFile(const std::string& from, const std::string& to);
// Renames only when nothing exists at `to`: false, with both files as they were, otherwise.
bool renameFileNoReplace(const std::string& from, const std::string& to);
// Makes a new directory, open to this user alone, in the system's folder for temporary files,
// named `prefix` and six random characters; its path, or empty when it cannot be made.
std::string makeTemporaryDirectory(const std::string& prefix);

}  // namespace Platform::Kernel
