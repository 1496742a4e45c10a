#pragma once
// An ordered list of pointers that it does not own, for the registries and the panel's profile
// list. Empty, it needs no code to exist, so a process-wide list is there before start-up runs.
// It grows on the heap as it is appended to; running out of memory ends the program, as any
// other allocation of the program would.

#include <cstddef>
#include <cstdlib>

template <typename T>
class PointerList {
  public:
    constexpr PointerList() = default;
    ~PointerList() { std::free(items_); }
    PointerList(const PointerList&) = delete;
    PointerList& operator=(const PointerList&) = delete;

    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    T* operator[](std::size_t position) const { return items_[position]; }

    void push_back(T* item) {
        if (count_ == capacity_) {
            Grow();
        }
        items_[count_++] = item;
    }
    // Takes out every entry equal to item; the others keep their order.
    void erase(T* item) {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < count_; ++i) {
            if (items_[i] != item) {
                items_[kept++] = items_[i];
            }
        }
        count_ = kept;
    }
    void clear() { count_ = 0; }

  private:
    // Doubles the room, starting with room for eight.
    void Grow() {
        std::size_t capacity = capacity_ ? capacity_ * 2 : 8;
        void* grown = std::realloc(items_, capacity * sizeof(T*));
        if (!grown) {
            std::abort();
        }
        items_ = static_cast<T**>(grown);
        capacity_ = capacity;
    }

    T** items_ = nullptr;
    std::size_t count_ = 0;
    std::size_t capacity_ = 0;
};
