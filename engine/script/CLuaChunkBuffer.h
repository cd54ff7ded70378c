#pragma once
// A cache of named compiled Lua chunks. Chunk bytes live in a fixed byte area that the script host
// owns; a chunk that does not fit the area's budget is kept in a heap block of its own instead, so
// the area is never written past its capacity.
#include <cstdint>

namespace Orvex::Script {

// One stored piece of a chunk. Several pieces may share a name; they are joined in list order.
struct CLuaChunk {
    static constexpr uint32_t kNameLength = 64;  // NUL included: at most 63 characters
    char name[kNameLength] = {};
    uint8_t* data = nullptr;
    uint32_t size = 0;
    bool external = false;  // true: `data` is a heap block owned by this record
    CLuaChunk* next = nullptr;
};

class CLuaChunkBuffer {
public:
    CLuaChunkBuffer(uint8_t* area, uint32_t capacity);
    ~CLuaChunkBuffer();
    CLuaChunkBuffer(const CLuaChunkBuffer&) = delete;
    CLuaChunkBuffer& operator=(const CLuaChunkBuffer&) = delete;

    // Copies `size` bytes into the area at its next free position when they fit the budget, else
    // into a heap block of their own (writing "LuaChunk buffer short."), and appends a record.
    // A name too long for the record, or bytes missing for a non-empty size, add nothing: null.
    CLuaChunk* addChunk(const char* name, const uint8_t* bytes, uint32_t size);

    CLuaChunk* find(const char* name) const;
    void removeRecord(CLuaChunk* record);
    void removeByName(const char* name);
    void clear();

    CLuaChunk* head() const { return head_; }
    const uint8_t* area() const { return area_; }
    uint32_t capacity() const { return capacity_; }
    uint32_t used() const { return used_; }

private:
    void append(CLuaChunk* record);

    CLuaChunk* head_ = nullptr;
    uint8_t* area_;
    uint32_t capacity_;
    uint32_t used_ = 0;
};

}  // namespace Orvex::Script
