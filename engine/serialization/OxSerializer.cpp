#include "engine/serialization/OxSerializer.h"

#include <algorithm>
#include <cstring>

namespace Orvex::Serialization {

OxSerializer::OxSerializer() { clear(); }

OxSerializer::OxSerializer(const OxSerializer& other) { assign(other); }

OxSerializer& OxSerializer::operator=(const OxSerializer& other) { return assign(other); }

OxSerializer::~OxSerializer() = default;

void OxSerializer::clear() {
    buffer_.clear();
    cursor_ = 0;
    writing_ = true;
    readFailed_ = false;
}

void OxSerializer::setWriting(bool writing) {
    writing_ = writing;
    cursor_ = 0;
    readFailed_ = false;
    if (writing) {
        buffer_.clear();
    }
}

uint32_t OxSerializer::getPosition() const { return writing_ ? static_cast<uint32_t>(buffer_.size()) : cursor_; }

OxSerializer& OxSerializer::assign(const OxSerializer& other) {
    if (this != &other) {
        buffer_ = other.buffer_;
        writing_ = other.writing_;
        readFailed_ = other.readFailed_;
    }
    cursor_ = other.getPosition();
    return *this;
}

uint32_t OxSerializer::getRemaining() const {
    if (writing_ || cursor_ >= buffer_.size()) {
        return 0;
    }
    return static_cast<uint32_t>(buffer_.size() - cursor_);
}

bool OxSerializer::fail() {
    readFailed_ = true;
    return false;
}

bool OxSerializer::canRead(size_t size) {
    if (readFailed_ || writing_ || size > getRemaining()) {
        return fail();
    }
    return true;
}

void OxSerializer::writeByte(uint8_t value) { buffer_.push_back(value); }

bool OxSerializer::readByte(uint8_t& value) {
    value = 0;
    if (!canRead(1)) {
        return false;
    }
    value = buffer_[cursor_];
    cursor_ += 1;
    return true;
}

void OxSerializer::write16(uint16_t value) {
    buffer_.push_back(static_cast<uint8_t>(value & 0xFF));
    buffer_.push_back(static_cast<uint8_t>(value >> 8));
}

void OxSerializer::write32(uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        buffer_.push_back(static_cast<uint8_t>((value >> shift) & 0xFF));
    }
}

void OxSerializer::write32(int32_t value) { write32(static_cast<uint32_t>(value)); }

void OxSerializer::write32(float value) {
    static_assert(sizeof(float) == sizeof(uint32_t));
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    write32(bits);
}

bool OxSerializer::read32(uint32_t& value) {
    value = 0;
    if (!canRead(4)) {
        return false;
    }
    for (int i = 0; i < 4; ++i) {
        value |= static_cast<uint32_t>(buffer_[cursor_ + i]) << (8 * i);
    }
    cursor_ += 4;
    return true;
}

bool OxSerializer::read32(int32_t& value) {
    uint32_t bits = 0;
    const bool ok = read32(bits);
    value = static_cast<int32_t>(bits);
    return ok;
}

bool OxSerializer::read32(float& value) {
    uint32_t bits = 0;
    const bool ok = read32(bits);
    std::memcpy(&value, &bits, sizeof value);
    return ok;
}

void OxSerializer::write16Bytes(const void* data) { writeBlock(data, 16); }

bool OxSerializer::read16Bytes(void* data) { return readBlock(data, 16); }

void OxSerializer::writeBlock(const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    buffer_.insert(buffer_.end(), bytes, bytes + size);
}

bool OxSerializer::readBlock(void* data, size_t size) {
    if (!canRead(size)) {
        std::memset(data, 0, size);
        return false;
    }
    std::memcpy(data, buffer_.data() + cursor_, size);
    cursor_ += static_cast<uint32_t>(size);
    return true;
}

const uint8_t* OxSerializer::readBytesInPlace(size_t size) {
    if (!canRead(size)) {
        return nullptr;
    }
    const uint8_t* bytes = buffer_.data() + cursor_;
    cursor_ += static_cast<uint32_t>(size);
    return bytes;
}

void OxSerializer::writeString(const std::string& value) {
    const size_t length = std::min(value.find('\0'), value.size());
    buffer_.insert(buffer_.end(), value.begin(), value.begin() + static_cast<std::ptrdiff_t>(length));
    buffer_.push_back(0);
}

bool OxSerializer::readString(std::string& value) {
    value.clear();
    if (!canRead(1)) {
        return false;
    }
    const auto begin = buffer_.begin() + cursor_;
    const auto terminator = std::find(begin, buffer_.end(), uint8_t{0});
    if (terminator == buffer_.end()) {
        return fail();
    }
    value.assign(begin, terminator);
    cursor_ += static_cast<uint32_t>(value.size() + 1);
    return true;
}

bool OxSerializer::serializeString(std::string& value) {
    if (writing_) {
        writeString(value);
        return true;
    }
    return readString(value);
}

void OxSerializer::writeWString(const std::u16string& value) {
    for (const char16_t unit : value) {
        if (unit == 0) {
            break;
        }
        write16(static_cast<uint16_t>(unit));
    }
    write16(0);
}

bool OxSerializer::readWString(std::u16string& value) {
    value.clear();
    if (!canRead(2)) {
        return false;
    }
    // Find the terminator first, so that a damaged stream allocates nothing.
    size_t units = 0;
    size_t at = cursor_;
    for (;; ++units, at += 2) {
        if (at + 2 > buffer_.size()) {
            return fail();
        }
        if (buffer_[at] == 0 && buffer_[at + 1] == 0) {
            break;
        }
    }
    value.resize(units);
    for (size_t i = 0; i < units; ++i) {
        const size_t byte = cursor_ + 2 * i;
        value[i] = static_cast<char16_t>(buffer_[byte] | (buffer_[byte + 1] << 8));
    }
    cursor_ += static_cast<uint32_t>(2 * units + 2);
    return true;
}

bool OxSerializer::serializeWString(std::u16string& value) {
    if (writing_) {
        writeWString(value);
        return true;
    }
    return readWString(value);
}

bool OxSerializer::serializeBoolVector(std::vector<bool>& value) {
    if (writing_) {
        write32(static_cast<uint32_t>(value.size()));
        for (const bool element : value) {
            writeByte(element ? 1 : 0);
        }
        return true;
    }
    value.clear();
    uint32_t count = 0;
    if (!readCount(count, 1)) {
        return false;
    }
    value.assign(count, false);
    for (uint32_t i = 0; i < count; ++i) {
        value[i] = buffer_[cursor_ + i] != 0;
    }
    cursor_ += count;
    return true;
}

bool OxSerializer::readCount(uint32_t& count, uint32_t minElementBytes) {
    if (!read32(count)) {
        return false;
    }
    const uint64_t needed = uint64_t{count} * std::max<uint32_t>(minElementBytes, 1);
    if (needed > getRemaining()) {
        count = 0;
        return fail();
    }
    return true;
}

}  // namespace Orvex::Serialization
