#pragma once
// Fixed-size tables numbered from 1, as every table of the game is. An index
// outside the table reads nothing and writes nothing: at() gives nullptr, and
// operator[] gives a scratch element that starts empty on every access, so a
// stray index never touches a real slot.

#include <array>

template <typename T, int N>
class Table {
public:
    static constexpr int Size = N;

    static constexpr bool valid(int i) { return i >= 1 && i <= N; }

    T* at(int i) { return valid(i) ? &items_[i - 1] : nullptr; }
    const T* at(int i) const { return valid(i) ? &items_[i - 1] : nullptr; }

    T& operator[](int i)
    {
        if (valid(i))
            return items_[i - 1];
        scratch_ = T{};
        return scratch_;
    }
    const T& operator[](int i) const
    {
        if (valid(i))
            return items_[i - 1];
        scratch_ = T{};
        return scratch_;
    }

    void fill(const T& value) { items_.fill(value); }

    // The slots alone: the scratch element is nobody's value.
    bool operator==(const Table& other) const { return items_ == other.items_; }

    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::array<T, N> items_{};
    mutable T scratch_{};
};
