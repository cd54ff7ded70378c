#include "engine/io/OxPackedStreamReader.h"

#include <memory>

#include "engine/io/OxFileStreamIO.h"
#include "engine/io/OxPathUtility.h"
#include "platform/kernel/NativeThread.h"

namespace Orvex::FileArchiver {

using Thread::OxCriticalLock;

OxPackedStreamReader::~OxPackedStreamReader() = default;

uint32_t OxPackedStreamReader::openArchives(const std::vector<std::u16string>& paths, const OxArchiveOptions& options) {
    OxCriticalLock guard(lock_);
    lastError_.clear();
    for (const std::u16string& path : paths) {
        const std::u16string absolute = IO::makeAbsolutePath(path);
        if (absolute.empty()) {
            lastError_ = path + u": the path is too short to name an archive";
            return kArchiveOpenFailed;
        }
        auto archive = std::make_shared<OxArchiveData>(std::make_shared<IO::StreamIO::OxFileStreamIO>());
        archive->setOptions(options.keyByte, options.lowerCaseNames != 0);
        if (!archive->open(absolute)) {
            lastError_ = archive->getLastError();
            return kArchiveOpenFailed;
        }
        archives_.push_back(std::move(archive));
    }
    loaded_ = 1;
    options_ = options;
    return 0;
}

std::u16string OxPackedStreamReader::getLastError() const {
    OxCriticalLock guard(lock_);
    return lastError_;
}

bool OxPackedStreamReader::selectEntry(const std::u16string& name) {
    std::u16string key = IO::normalizeSeparators(name);
    if (options_.lowerCaseNames != 0) {
        lowerCaseName(key);
    }
    for (std::size_t i = archives_.size(); i-- > 0;) {
        const std::shared_ptr<OxArchiveData> archive = archives_.at(i);
        if (archive->select(key)) {
            current_ = archive.get();
            fileName_ = name;
            open_.store(true, std::memory_order_release);
            return true;
        }
    }
    return false;
}

bool OxPackedStreamReader::open(const std::u16string& name) {
    const uint32_t caller = Platform::Kernel::currentThreadId();
    {
        std::unique_lock session(sessionLock_);
        if (sessionActive_ && sessionOwner_ == caller) {
            return false;  // this thread's own entry is still open
        }
        sessionEnded_.wait(session, [this] { return !sessionActive_; });
        sessionActive_ = true;
        sessionOwner_ = caller;
    }
    bool opened = false;
    {
        OxCriticalLock guard(lock_);
        opened = current_ == nullptr && selectEntry(name);
    }
    if (!opened) {
        endSession();
    }
    return opened;
}

void OxPackedStreamReader::close() {
    {
        OxCriticalLock guard(lock_);
        if (current_ == nullptr) {
            return;
        }
        current_->deselect();
        current_ = nullptr;
        open_.store(false, std::memory_order_release);
    }
    endSession();
}

void OxPackedStreamReader::endSession() {
    {
        std::lock_guard session(sessionLock_);
        sessionActive_ = false;
        sessionOwner_ = 0;
    }
    sessionEnded_.notify_one();
}

std::u16string OxPackedStreamReader::getFileName() const {
    OxCriticalLock guard(lock_);
    return fileName_;
}

uint32_t OxPackedStreamReader::getSize() {
    OxCriticalLock guard(lock_);
    return current_ != nullptr ? current_->current()->record.size : 0;
}

bool OxPackedStreamReader::readToVector(IO::StreamIO::ByteVector& out, uint32_t count, uint32_t* outCount) {
    OxCriticalLock guard(lock_);
    if (outCount != nullptr) {
        *outCount = 0;
    }
    if (current_ == nullptr) {
        return false;
    }
    if (count == 0) {
        count = current_->current()->record.size;
    }
    out.resize(count);
    uint32_t total = 0;
    while (total < count) {
        uint32_t got = 0;
        if (!current_->readEntry(out.data() + total, count - total, &got)) {
            break;
        }
        total += got;
    }
    // A short read hands back only what arrived, never a zero-filled tail.
    out.resize(total);
    if (outCount != nullptr) {
        *outCount = total;
    }
    return total == count;
}

bool OxPackedStreamReader::read(void* buffer, uint32_t count, uint32_t* outCount) {
    OxCriticalLock guard(lock_);
    if (current_ == nullptr) {
        if (outCount != nullptr) {
            *outCount = 0;
        }
        return false;
    }
    return current_->readEntry(buffer, count, outCount);
}

bool OxPackedStreamReader::seek(uint32_t position) {
    OxCriticalLock guard(lock_);
    return current_ != nullptr && current_->seekEntry(position);
}

bool OxPackedStreamReader::tell(uint32_t& position) {
    OxCriticalLock guard(lock_);
    return current_ != nullptr && current_->tellEntry(position);
}

bool OxPackedStreamReader::skip(int32_t delta) {
    OxCriticalLock guard(lock_);
    uint32_t position = 0;
    if (current_ == nullptr || !current_->tellEntry(position)) {
        return false;
    }
    const int64_t target = int64_t{position} + delta;
    if (target < 0 || target > int64_t{current_->current()->record.size}) {
        return false;
    }
    return current_->seekEntry(static_cast<uint32_t>(target));
}

bool OxPackedStreamReader::rewind() {
    OxCriticalLock guard(lock_);
    return current_ != nullptr && current_->seekEntry(0);
}

bool OxPackedStreamReader::seekToEnd() {
    OxCriticalLock guard(lock_);
    return current_ != nullptr && current_->seekEntry(current_->current()->record.size);
}

}  // namespace Orvex::FileArchiver
