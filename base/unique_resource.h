// The one owner of what the system hands out by value (descriptors, handles, sockets): released exactly once, when
// its owner goes away or is given another.
#pragma once

#include <utility>

namespace tallyrun {

// `Close` releases a value; `None` is the value that stands for none (null for handles).
template <class Value, void (*Close)(Value) noexcept, Value None = Value{}>
class UniqueResource {
public:
    UniqueResource() = default;
    explicit UniqueResource(Value value) noexcept : m_value(value) {}
    UniqueResource(UniqueResource&& other) noexcept : m_value(std::exchange(other.m_value, None)) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept
    {
        if (this != &other)
            Reset(std::exchange(other.m_value, None));
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    ~UniqueResource() { Reset(); }

    Value Get() const noexcept { return m_value; }
    explicit operator bool() const noexcept { return m_value != None; }

    void Reset(Value value = None) noexcept
    {
        if (m_value != None)
            Close(m_value);
        m_value = value;
    }

private:
    Value m_value = None;
};

}  // namespace tallyrun
