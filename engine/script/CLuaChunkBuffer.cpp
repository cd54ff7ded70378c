#include "engine/script/CLuaChunkBuffer.h"

#include <cstring>
#include <string>

#include "engine/system/OxStringConvert.h"
#include "platform/kernel/DebugOutput.h"

namespace Orvex::Script {

CLuaChunkBuffer::CLuaChunkBuffer(uint8_t* area, uint32_t capacity)
    : area_(area), capacity_(area != nullptr ? capacity : 0) {}

CLuaChunkBuffer::~CLuaChunkBuffer() {
    clear();
    area_ = nullptr;
    capacity_ = 0;
    used_ = 0;
}

CLuaChunk* CLuaChunkBuffer::addChunk(const char* name, const uint8_t* bytes, uint32_t size) {
    const size_t nameLength = name != nullptr ? std::strlen(name) : 0;
    if (name == nullptr || nameLength >= CLuaChunk::kNameLength) {
        Platform::Kernel::debugOutput(u"LuaChunk name too long: " + System::widen(name != nullptr ? name : "(null)"));
        return nullptr;
    }
    if (bytes == nullptr && size != 0) {
        return nullptr;
    }
    auto* record = new CLuaChunk;
    std::memcpy(record->name, name, nameLength + 1);
    record->size = size;
    // The budget is checked before anything is copied: the area is never written past capacity.
    if (static_cast<uint64_t>(used_) + size <= capacity_) {
        record->data = area_ + used_;
        record->external = false;
        used_ += size;
    } else {
        Platform::Kernel::debugOutput(u"LuaChunk buffer short.");
        record->data = new uint8_t[size == 0 ? 1 : size];
        record->external = true;
    }
    if (size != 0) {
        std::memcpy(record->data, bytes, size);
    }
    append(record);
    return record;
}

void CLuaChunkBuffer::append(CLuaChunk* record) {
    record->next = nullptr;
    if (head_ == nullptr) {
        head_ = record;
        return;
    }
    CLuaChunk* last = head_;
    while (last->next != nullptr) {
        last = last->next;
    }
    last->next = record;
}

CLuaChunk* CLuaChunkBuffer::find(const char* name) const {
    if (name == nullptr) {
        return nullptr;
    }
    for (CLuaChunk* r = head_; r != nullptr; r = r->next) {
        if (std::strcmp(r->name, name) == 0) {
            return r;
        }
    }
    return nullptr;
}

void CLuaChunkBuffer::removeRecord(CLuaChunk* record) {
    CLuaChunk* previous = nullptr;
    CLuaChunk* r = head_;
    while (r != nullptr && r != record) {
        previous = r;
        r = r->next;
    }
    if (r == nullptr) {
        return;  // not one of ours
    }
    if (!record->external && area_ != nullptr) {
        // Close the gap: everything placed after this record moves down by its size.
        uint8_t* end = area_ + used_;
        uint8_t* tail = record->data + record->size;
        std::memmove(record->data, tail, static_cast<size_t>(end - tail));
        for (CLuaChunk* other = head_; other != nullptr; other = other->next) {
            if (!other->external && other != record && other->data > record->data) {
                other->data -= record->size;
            }
        }
        used_ -= record->size;
        std::memset(area_ + used_, 0, capacity_ - used_);
    } else if (record->external) {
        delete[] record->data;
    }
    if (previous == nullptr) {
        head_ = record->next;
    } else {
        previous->next = record->next;
    }
    delete record;
}

void CLuaChunkBuffer::removeByName(const char* name) {
    while (CLuaChunk* r = find(name)) {
        removeRecord(r);
    }
}

void CLuaChunkBuffer::clear() {
    while (head_ != nullptr) {
        removeRecord(head_);
    }
}

}  // namespace Orvex::Script
