// The part of a client's output a launcher keeps, however much the client writes: its beginning and its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tallyrun {

class KeptOutput {
public:
    // The first and the last this many bytes are kept.
    static constexpr std::size_t Half = 16 * 1024;

    void Append(std::string_view bytes);

    // All of it when nothing had to be dropped. Otherwise the beginning, a line saying how many bytes were left out,
    // and the end from its first whole line on.
    std::string Text() const;

private:
    std::string m_head;
    // The latest bytes after the head; grows to twice Half before its older half is dropped, so that appending
    // stays cheap.
    std::string m_tail;
    std::uint64_t m_dropped = 0;
};

}  // namespace tallyrun
