#pragma once
// A vector of shared pointers with index-checked insertion and removal.
// Destruction releases every element. No locking.
#include <cstddef>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace Orvex::System {

template <typename T>
class shared_vector_ptr {
public:
    using element_type = std::shared_ptr<T>;
    using const_iterator = typename std::vector<element_type>::const_iterator;

    shared_vector_ptr() = default;
    virtual ~shared_vector_ptr() = default;

    shared_vector_ptr(const shared_vector_ptr&) = default;
    shared_vector_ptr& operator=(const shared_vector_ptr&) = default;
    shared_vector_ptr(shared_vector_ptr&&) noexcept = default;
    shared_vector_ptr& operator=(shared_vector_ptr&&) noexcept = default;

    void push_back(element_type element) { items_.push_back(std::move(element)); }

    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }

    // The element at index; empty when index is out of range.
    element_type at(std::size_t index) const { return index < items_.size() ? items_[index] : element_type(); }

    void clear() { items_.clear(); }

    // Inserts before index; index == size() appends. A larger index inserts nothing.
    bool insert(std::size_t index, element_type element) {
        if (index > items_.size()) {
            return false;
        }
        items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(index), std::move(element));
        return true;
    }

    // Takes the element at index out of the vector; empty when index is out of range.
    element_type removeAt(std::size_t index) {
        if (index >= items_.size()) {
            return {};
        }
        const auto at = items_.begin() + static_cast<std::ptrdiff_t>(index);
        element_type removed = std::move(*at);
        items_.erase(at);
        return removed;
    }

    // Removes the first entry holding the same object; false when there is none.
    bool remove(const element_type& element) {
        for (auto it = items_.begin(); it != items_.end(); ++it) {
            if (it->get() == element.get()) {
                items_.erase(it);
                return true;
            }
        }
        return false;
    }

    // Calls fn (typically a member function of T) on every element in order, passing args.
    // Empty entries have no object to call and are passed over.
    template <typename Fn, typename... Args>
    void forEach(Fn&& fn, Args&&... args) const {
        for (const element_type& item : items_) {
            if (item) {
                std::invoke(fn, *item, args...);
            }
        }
    }

    const_iterator begin() const { return items_.begin(); }
    const_iterator end() const { return items_.end(); }

private:
    std::vector<element_type> items_;
};

}  // namespace Orvex::System
