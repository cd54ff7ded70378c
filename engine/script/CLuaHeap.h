#pragma once
// The memory of one Lua state: the first allocations are cut from a block the heap owns, one
// after another, and the rest come from the C library. Setting up a state (its standard
// libraries, the modules, the first chunk) then costs few calls into the C library, and closing
// it hands the block back at once. A block freed inside the area is not used again (only the
// last one cut is taken back), so a long-lived state wastes at most the area; no single
// allocation may exceed the largest block Lua is given.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace Orvex::Script {

class CLuaHeap {
public:
    static constexpr std::size_t kAreaBytes = 0x10000;
    // No script needs one block this large; a damaged chunk that asks for one (a string length
    // read from flipped bytes, say) gets Lua's own "not enough memory" error instead.
    static constexpr std::size_t kLargestBlock = std::size_t{256} << 20;

    CLuaHeap();
    CLuaHeap(const CLuaHeap&) = delete;
    CLuaHeap& operator=(const CLuaHeap&) = delete;

    // Lua's allocator function; `heap` is this object.
    static void* allocate(void* heap, void* block, std::size_t oldSize, std::size_t newSize);
    // Bytes of the area cut so far.
    std::size_t used() const { return top_; }

private:
    static constexpr std::size_t kAlignment = 16;
    static std::size_t rounded(std::size_t size) { return (size + kAlignment - 1) & ~(kAlignment - 1); }
    bool owns(const void* block) const {
        const auto* byte = static_cast<const uint8_t*>(block);
        return byte >= area_.get() && byte < area_.get() + kAreaBytes;
    }
    void* cut(std::size_t size);
    void* resize(void* block, std::size_t oldSize, std::size_t newSize);

    std::unique_ptr<uint8_t[]> area_;
    std::size_t top_ = 0;
};

}  // namespace Orvex::Script
