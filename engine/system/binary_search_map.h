#pragma once
// A map kept as a sorted array of pointers to nodes.
//
// Lookups are a binary search over one contiguous array of pointers; nodes stay allocated
// until clear(), and slots past the used part hold spare nodes that later insertions fill
// instead of allocating. The capacity grows by doubling, starting from 1.
//
// K needs operator< and operator>; K and V need to be default-constructible and assignable
// (spare nodes are built empty and receive key and value on insertion). No locking.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

namespace Orvex::System {

template <typename K, typename V>
class binary_search_map {
public:
    struct node {
        K key{};
        V value{};
    };

private:
    using Slots = std::vector<std::unique_ptr<node>>;

    // Walks the used part in key order, yielding nodes. Changing a node's key through it
    // breaks the order: only values are meant to be changed.
    template <typename NodeRef, typename SlotIt>
    class basic_iterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = node;
        using difference_type = std::ptrdiff_t;
        using pointer = std::remove_reference_t<NodeRef>*;
        using reference = NodeRef;

        basic_iterator() = default;
        explicit basic_iterator(SlotIt slot) : slot_(slot) {}

        reference operator*() const { return **slot_; }
        pointer operator->() const { return slot_->get(); }
        reference operator[](difference_type n) const { return *slot_[n]; }
        basic_iterator& operator++() {
            ++slot_;
            return *this;
        }
        basic_iterator operator++(int) {
            basic_iterator old = *this;
            ++slot_;
            return old;
        }
        basic_iterator& operator--() {
            --slot_;
            return *this;
        }
        basic_iterator operator--(int) {
            basic_iterator old = *this;
            --slot_;
            return old;
        }
        basic_iterator& operator+=(difference_type n) {
            slot_ += n;
            return *this;
        }
        basic_iterator& operator-=(difference_type n) {
            slot_ -= n;
            return *this;
        }
        friend basic_iterator operator+(basic_iterator it, difference_type n) { return it += n; }
        friend basic_iterator operator+(difference_type n, basic_iterator it) { return it += n; }
        friend basic_iterator operator-(basic_iterator it, difference_type n) { return it -= n; }
        friend difference_type operator-(const basic_iterator& a, const basic_iterator& b) { return a.slot_ - b.slot_; }
        friend bool operator==(const basic_iterator& a, const basic_iterator& b) = default;
        friend auto operator<=>(const basic_iterator& a, const basic_iterator& b) { return a.slot_ <=> b.slot_; }

    private:
        SlotIt slot_{};
    };

public:
    using key_type = K;
    using mapped_type = V;
    using iterator = basic_iterator<node&, typename Slots::iterator>;
    using const_iterator = basic_iterator<const node&, typename Slots::const_iterator>;

    binary_search_map() = default;
    virtual ~binary_search_map() { clear(); }

    binary_search_map(const binary_search_map&) = delete;
    binary_search_map& operator=(const binary_search_map&) = delete;

    binary_search_map(binary_search_map&& other) noexcept
        : slots_(std::move(other.slots_)), count_(std::exchange(other.count_, 0)) {
        other.slots_.clear();
    }

    binary_search_map& operator=(binary_search_map&& other) noexcept {
        if (this != &other) {
            clear();
            slots_ = std::move(other.slots_);
            other.slots_.clear();
            count_ = std::exchange(other.count_, 0);
        }
        return *this;
    }

    // The value stored under key, or null when the key is not in the map.
    V* find(const K& key) {
        const int32_t index = search(key).first;
        return index >= 0 ? &slots_[index]->value : nullptr;
    }

    const V* find(const K& key) const {
        const int32_t index = search(key).first;
        return index >= 0 ? &slots_[index]->value : nullptr;
    }

    // Stores value under key: an existing entry gets the new value (its key stays), a new
    // key takes a spare node at the position that keeps the array sorted.
    V& insertOrAssign(const K& key, V value) {
        const auto [found, position] = search(key);
        if (found >= 0) {
            slots_[found]->value = std::move(value);
            return slots_[found]->value;
        }
        if (count_ == capacity()) {
            reserve(grownCapacity());
        }
        node& spare = *slots_[count_];
        spare.key = key;
        spare.value = std::move(value);
        // Moves the spare from index count to the insertion point, shifting the rest up.
        std::rotate(slots_.begin() + position, slots_.begin() + count_, slots_.begin() + count_ + 1);
        ++count_;
        return spare.value;
    }

    // Removes the entry of key; its node becomes a spare for later insertions. False when the
    // key is not in the map.
    bool erase(const K& key) {
        const int32_t index = search(key).first;
        if (index < 0) {
            return false;
        }
        node& removed = *slots_[index];
        removed.key = K{};
        removed.value = V{};
        // Moves the node to the end of the used part, shifting the rest down.
        std::rotate(slots_.begin() + index, slots_.begin() + index + 1, slots_.begin() + count_);
        --count_;
        return true;
    }

    // Grows the array to n slots, each new slot holding an empty spare node; never shrinks.
    void reserve(int32_t n) {
        if (n <= capacity()) {
            return;
        }
        slots_.reserve(static_cast<std::size_t>(n));
        // One node at a time, so every slot holds a node even if an allocation throws.
        while (capacity() < n) {
            slots_.push_back(std::make_unique<node>());
        }
    }

    // Destroys every node, used or spare; count and capacity become 0.
    void clear() {
        Slots().swap(slots_);
        count_ = 0;
    }

    int32_t count() const { return count_; }
    int32_t capacity() const { return static_cast<int32_t>(slots_.size()); }
    bool empty() const { return count_ == 0; }

    iterator begin() { return iterator(slots_.begin()); }
    iterator end() { return iterator(slots_.begin() + count_); }
    const_iterator begin() const { return const_iterator(slots_.begin()); }
    const_iterator end() const { return const_iterator(slots_.begin() + count_); }
    const_iterator cbegin() const { return begin(); }
    const_iterator cend() const { return end(); }

private:
    // {index of the equal key or -1, position where the search ended}.
    std::pair<int32_t, int32_t> search(const K& key) const {
        int32_t lo = 0;
        int32_t hi = count_ - 1;
        while (lo <= hi) {
            const int32_t mid = lo + (hi - lo) / 2;
            const K& probe = slots_[mid]->key;
            if (key < probe) {
                hi = mid - 1;
            } else if (key > probe) {
                lo = mid + 1;
            } else {
                return {mid, mid};
            }
        }
        return {-1, lo};
    }

    int32_t grownCapacity() const {
        const int32_t current = capacity();
        if (current == 0) {
            return 1;
        }
        if (current > INT32_MAX / 2) {
            throw std::length_error("binary_search_map: capacity exceeds 32-bit range");
        }
        return current * 2;
    }

    Slots slots_;
    int32_t count_ = 0;
};

}  // namespace Orvex::System
