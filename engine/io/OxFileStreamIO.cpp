#include "engine/io/OxFileStreamIO.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "engine/io/OxPathUtility.h"
#include "platform/kernel/NativeFile.h"

namespace Orvex::IO::StreamIO {
namespace {

namespace Kernel = Platform::Kernel;

Kernel::SeekOrigin seekOrigin(int whence) {
    return whence == SEEK_SET ? Kernel::SeekOrigin::kBegin
                              : (whence == SEEK_CUR ? Kernel::SeekOrigin::kCurrent : Kernel::SeekOrigin::kEnd);
}

}  // namespace

OxFileStreamIO::~OxFileStreamIO() { close(); }

bool OxFileStreamIO::open(const std::u16string& path) {
    if (isOpen()) {
        return false;
    }
    const std::string native = IO::toNativePath(IO::makeAbsolutePath(path));
    if (native.empty()) {
        return false;
    }
    const int fd = Kernel::openExistingFile(native);
    if (fd < 0) {
        return false;
    }
    fd_ = fd;
    fileName_ = path;
    return true;
}

void OxFileStreamIO::close() {
    if (!isOpen()) {
        return;
    }
    Kernel::closeFile(fd_);
    fd_ = -1;
    fileName_.clear();
}

uint32_t OxFileStreamIO::getSize() {
    const int64_t bytes = isOpen() ? Kernel::fileSize(fd_) : -1;
    if (bytes < 0) {
        return 0;
    }
    const auto size = static_cast<uint64_t>(bytes);
    return static_cast<uint32_t>(std::min<uint64_t>(size, std::numeric_limits<uint32_t>::max()));
}

bool OxFileStreamIO::readToVector(ByteVector& out, uint32_t count, uint32_t* outCount) {
    if (outCount != nullptr) {
        *outCount = 0;
    }
    if (!isOpen()) {
        return false;
    }
    if (count == 0) {
        count = getSize();
        if (count == 0) {
            return false;
        }
    }
    out.resize(count);
    uint32_t got = 0;
    read(out.data(), count, &got);
    out.resize(got);
    if (outCount != nullptr) {
        *outCount = got;
    }
    return got == count;
}

bool OxFileStreamIO::read(void* buffer, uint32_t count, uint32_t* outCount) {
    if (outCount != nullptr) {
        *outCount = 0;
    }
    if (!isOpen() || buffer == nullptr) {
        return false;
    }
    auto* bytes = static_cast<uint8_t*>(buffer);
    const uint32_t total = Kernel::readFile(fd_, bytes, count);
    if (outCount != nullptr) {
        *outCount = total;
    }
    return total > 0;
}

bool OxFileStreamIO::writeFromVector(const ByteVector& in, uint32_t count, uint32_t* outCount) {
    if (outCount != nullptr) {
        *outCount = 0;
    }
    if (in.empty()) {
        return false;
    }
    const uint32_t available =
        static_cast<uint32_t>(std::min<std::size_t>(in.size(), std::numeric_limits<uint32_t>::max()));
    return write(in.data(), count == 0 ? available : std::min(count, available), outCount);
}

bool OxFileStreamIO::write(const void* buffer, uint32_t count, uint32_t* outCount) {
    if (outCount != nullptr) {
        *outCount = 0;
    }
    if (!isOpen() || count == 0 || buffer == nullptr) {
        return false;
    }
    // write() may take fewer bytes than asked; a partial write is not a success.
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    const uint32_t total = Kernel::writeFile(fd_, bytes, count);
    if (outCount != nullptr) {
        *outCount = total;
    }
    return total == count;
}

bool OxFileStreamIO::seekTo(int64_t offset, int whence, int64_t* resulting) {
    if (!isOpen()) {
        return false;
    }
    const int64_t result = Kernel::seekFile(fd_, offset, seekOrigin(whence));
    if (result < 0) {
        return false;
    }
    if (resulting != nullptr) {
        *resulting = result;
    }
    return true;
}

bool OxFileStreamIO::seek(uint32_t position) { return seekTo(position, SEEK_SET); }

bool OxFileStreamIO::tell(uint32_t& position) {
    int64_t current = 0;
    if (!seekTo(0, SEEK_CUR, &current) || current > std::numeric_limits<uint32_t>::max()) {
        return false;
    }
    position = static_cast<uint32_t>(current);
    return true;
}

bool OxFileStreamIO::skip(int32_t delta) { return seekTo(delta, SEEK_CUR); }

bool OxFileStreamIO::rewind() { return seekTo(0, SEEK_SET); }

bool OxFileStreamIO::seekToEnd() { return seekTo(0, SEEK_END); }

std::shared_ptr<OxFileStreamIO> OxFileStreamIO::openNew() const { return std::make_shared<OxFileStreamIO>(); }

bool OxFileStreamIO::createEmptyFile(const std::u16string& path) const { return IO::createEmptyFile(path); }

bool OxFileStreamIO::remove(const std::u16string& path) const { return IO::deleteFileIfExists(path); }

bool OxFileStreamIO::readWString(std::u16string& out) {
    out.clear();
    if (!isOpen()) {
        return false;
    }
    std::u16string text;
    uint8_t block[256];
    for (;;) {
        uint32_t got = 0;
        if (!read(block, sizeof block, &got)) {
            break;  // end of file without a terminator
        }
        // Only whole code units count; an odd trailing byte is given back to the file.
        const uint32_t whole = got & ~1u;
        for (uint32_t i = 0; i < whole; i += 2) {
            const auto unit = static_cast<char16_t>(block[i] | (block[i + 1] << 8));
            if (unit == u'\0') {
                // Leave the position just after the terminator.
                const int64_t unread = static_cast<int64_t>(got) - (i + 2);
                if (unread > 0 && !seekTo(-unread, SEEK_CUR)) {
                    return false;
                }
                out = std::move(text);
                return true;
            }
            text.push_back(unit);
        }
        if (whole != got) {
            seekTo(-1, SEEK_CUR);
            break;
        }
    }
    out = std::move(text);
    return !out.empty();
}

bool OxFileStreamIO::writeWString(const std::u16string& text, bool withTerminator) {
    ByteVector bytes;
    bytes.reserve((text.size() + 1) * 2);
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<uint8_t>(unit));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
    if (withTerminator) {
        bytes.push_back(0);
        bytes.push_back(0);
    }
    if (bytes.empty()) {
        return isOpen();  // nothing to write: an unterminated empty string
    }
    return writeFromVector(bytes);
}

bool OxFileStreamIO::sync() { return isOpen() && Kernel::syncFile(fd_); }

bool OxFileStreamIO::truncate() {
    int64_t position = 0;
    return seekTo(0, SEEK_CUR, &position) && Kernel::truncateFile(fd_, static_cast<uint64_t>(position));
}

}  // namespace Orvex::IO::StreamIO
