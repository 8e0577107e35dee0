// Our texts are UTF-8; Windows and the ODBC wide calls speak UTF-16. The one conversion between the two, and the one
// cut of UTF-8 that never splits a character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tallyrun {

// What becomes of malformed UTF-8: each bad sequence turned into U+FFFD, so that a stray byte cannot cut a message
// short; or the whole text refused with an Error (errc::NotUtf8), where a mangled text would do harm.
enum class Malformed { Replace, Refuse };

std::u16string ToUtf16(std::string_view utf8, Malformed malformed);
// Unpaired surrogates, which only a broken sender hands over, become U+FFFD.
std::string ToUtf8(std::u16string_view utf16);

// The longest start of `text` of at most `bytes` bytes that ends on a character boundary.
std::string_view CutUtf8(std::string_view text, std::size_t bytes);

}  // namespace tallyrun
