#include "engine/audio/EntrySnapshotReader.h"

#include <algorithm>
#include <cstring>

namespace Orvex::AudioSystem::Vorbis {

bool EntrySnapshotReader::take(const std::u16string& name, IO::StreamIO::IOrvexStreamReader& source) {
    if (!source.open(name)) {
        return false;
    }
    const bool complete = source.getSize() > 0 && source.readToVector(data_, 0);
    source.close();
    if (!complete) {
        data_.clear();
        return false;
    }
    name_ = name;
    return true;
}

bool EntrySnapshotReader::open(const std::u16string& path) {
    if (open_ || path != name_ || data_.empty()) {
        return false;
    }
    open_ = true;
    position_ = 0;
    return true;
}

void EntrySnapshotReader::close() {
    open_ = false;
    position_ = 0;
    IO::StreamIO::ByteVector().swap(data_);
}

bool EntrySnapshotReader::readToVector(IO::StreamIO::ByteVector& out, uint32_t count, uint32_t* outCount) {
    if (outCount != nullptr) {
        *outCount = 0;
    }
    if (!open_) {
        return false;
    }
    if (count == 0) {
        count = getSize();
    }
    out.resize(count);
    uint32_t got = 0;
    read(out.data(), count, &got);
    out.resize(got);
    if (outCount != nullptr) {
        *outCount = got;
    }
    return got == count && count > 0;
}

bool EntrySnapshotReader::read(void* buffer, uint32_t count, uint32_t* outCount) {
    uint32_t got = 0;
    if (open_ && position_ < data_.size()) {
        got = std::min<uint32_t>(count, static_cast<uint32_t>(data_.size()) - position_);
        std::memcpy(buffer, data_.data() + position_, got);
        position_ += got;
    }
    if (outCount != nullptr) {
        *outCount = got;
    }
    return got > 0;
}

bool EntrySnapshotReader::seek(uint32_t position) {
    if (!open_ || position > data_.size()) {
        return false;
    }
    position_ = position;
    return true;
}

bool EntrySnapshotReader::tell(uint32_t& position) {
    if (!open_) {
        return false;
    }
    position = position_;
    return true;
}

bool EntrySnapshotReader::skip(int32_t delta) {
    const int64_t target = static_cast<int64_t>(position_) + delta;
    if (target < 0) {
        return false;
    }
    return seek(static_cast<uint32_t>(std::min<int64_t>(target, UINT32_MAX)));
}

}  // namespace Orvex::AudioSystem::Vorbis
