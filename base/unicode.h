// Conversions between the UTF-8 used everywhere else and the UTF-16 of the ODBC wide-character calls.
#pragma once

#include <string>
#include <string_view>

namespace tallyrun::odbc {

// Malformed input never throws: each bad sequence becomes U+FFFD, so a stray byte cannot cut a message short.
std::u16string ToUtf16(std::string_view utf8);
std::string ToUtf8(std::u16string_view utf16);

}  // namespace tallyrun::odbc
