// Lengths crossing the ODBC boundary, checked both ways: a text handed to a call must fit the call's 16- or
// 32-bit count (a cut text says something else), and a length the driver hands back must fit the buffer it filled.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tallyrun::odbc {

struct NamedValue {
    std::string_view name;   // how the message names it, e.g. "The database name"
    std::string_view value;  // UTF-8, as it goes into the connection string
};

// The count SQLDriverConnect takes for a connection string of `units` UTF-16 code units. Raises Error
// (errc::Overflow) naming the longest of `values` when the string does not fit.
std::int16_t ConnectionStringLength(std::size_t units, const std::vector<NamedValue>& values);

// The count SQLExecDirect takes for a batch of `units` UTF-16 code units; raises Error (errc::Overflow) when the
// batch does not fit.
std::int32_t BatchLength(std::size_t units);

// ODBC's SQL_NULL_DATA and SQL_NO_TOTAL.
inline constexpr long long NullData = -1;
inline constexpr long long NoTotal = -4;

// One SQLGetData call's worth of a text value read as UTF-16 into a buffer of `capacity` bytes.
struct Piece {
    bool null = false;
    bool truncated = false;  // the buffer is full and more of the value follows
    std::size_t units = 0;   // UTF-16 code units of the value in the buffer
};

// What the length indicator of that call says was read. Raises Error (errc::OdbcCallFailed) for a length no value can
// have (a negative one other than NullData and NoTotal): taken as a size, it would read past the buffer.
Piece ReadPiece(long long indicator, long long capacity);

}  // namespace tallyrun::odbc
