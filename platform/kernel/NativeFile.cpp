#include "platform/kernel/NativeFile.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform::Kernel {
namespace {

bool isDirectoryDescriptor(FileDescriptor file) {
    struct stat info {};
    return ::fstat(file, &info) != 0 || S_ISDIR(info.st_mode);
}

// Runs `transfer(done, remaining)` (one read or write) until `count` bytes have moved, the file
// ends or a call fails; interrupted calls are retried.
template <class Transfer>
uint32_t transferAll(uint32_t count, Transfer transfer) {
    uint32_t total = 0;
    while (total < count) {
        const ssize_t n = transfer(total, count - total);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        total += static_cast<uint32_t>(n);
    }
    return total;
}

}  // namespace

FileDescriptor openExistingFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    }
    if (fd < 0) {
        return kNoFile;
    }
    if (isDirectoryDescriptor(fd)) {
        ::close(fd);
        return kNoFile;
    }
    return fd;
}

FileDescriptor createFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    return fd < 0 ? kNoFile : fd;
}

void closeFile(FileDescriptor file) {
    if (file >= 0) {
        ::close(file);
    }
}

uint32_t readFile(FileDescriptor file, void* buffer, uint32_t count) {
    auto* bytes = static_cast<char*>(buffer);
    return transferAll(count, [&](uint32_t done, uint32_t remaining) { return ::read(file, bytes + done, remaining); });
}

uint32_t writeFile(FileDescriptor file, const void* buffer, uint32_t count) {
    const auto* bytes = static_cast<const char*>(buffer);
    return transferAll(count,
                       [&](uint32_t done, uint32_t remaining) { return ::write(file, bytes + done, remaining); });
}

int64_t seekFile(FileDescriptor file, int64_t offset, SeekOrigin origin) {
    const int whence = origin == SeekOrigin::kBegin ? SEEK_SET : (origin == SeekOrigin::kCurrent ? SEEK_CUR : SEEK_END);
    const off_t result = ::lseek(file, static_cast<off_t>(offset), whence);
    return result < 0 ? -1 : static_cast<int64_t>(result);
}

int64_t fileSize(FileDescriptor file) {
    struct stat info {};
    if (::fstat(file, &info) != 0 || info.st_size < 0) {
        return -1;
    }
    return static_cast<int64_t>(info.st_size);
}

bool truncateFile(FileDescriptor file, uint64_t size) { return ::ftruncate(file, static_cast<off_t>(size)) == 0; }

bool syncFile(FileDescriptor file) { return ::fsync(file) == 0; }

bool isRegularFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool isFile = !isDirectoryDescriptor(fd);
    ::close(fd);
    return isFile;
}

bool isDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

DirectoryResult makeDirectory(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) == 0) {
        return DirectoryResult::kMade;
    }
    const int error = errno;
    if (error == EEXIST && isDirectory(path)) {
        return DirectoryResult::kMade;
    }
    return error == ENOENT ? DirectoryResult::kParentMissing : DirectoryResult::kFailed;
}

bool removeFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool renameFile(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()) == 0; }

bool renameFileNoReplace(const std::string& from, const std::string& to) {
    // A second name that cannot exist twice, then the first one goes.
    if (::link(from.c_str(), to.c_str()) != 0) {
        return false;
    }
    if (::unlink(from.c_str()) != 0) {
        ::unlink(to.c_str());
        return false;
    }
    return true;
}

std::string makeTemporaryDirectory(const std::string& prefix) {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error) {
        return {};
    }
    std::string pattern = (folder / (prefix + "XXXXXX")).string();
    return ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

}  // namespace Platform::Kernel
