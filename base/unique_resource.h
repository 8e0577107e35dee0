// The one owner of what the system hands out by value (descriptors, handles, sockets): released exactly once, when
// its owner goes away or is given another.
#pragma once

#include <utility>

namespace tallyrun {

// `Traits` names the value (`Value`), the value that stands for none (`None`) and how one is released (`Close`).
template <class Traits>
class UniqueResource {
public:
    using Value = typename Traits::Value;

    UniqueResource() = default;
    explicit UniqueResource(Value value) noexcept : m_value(value) {}
    UniqueResource(UniqueResource&& other) noexcept : m_value(std::exchange(other.m_value, Traits::None)) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept
    {
        if (this != &other)
            Reset(std::exchange(other.m_value, Traits::None));
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    ~UniqueResource() { Reset(); }

    Value Get() const noexcept { return m_value; }
    explicit operator bool() const noexcept { return m_value != Traits::None; }

    void Reset(Value value = Traits::None) noexcept
    {
        if (m_value != Traits::None)
            Traits::Close(m_value);
        m_value = value;
    }

private:
    Value m_value = Traits::None;
};

}  // namespace tallyrun
