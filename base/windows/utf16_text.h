// Our texts are UTF-8 and Windows' wide functions speak UTF-16: the one conversion between the two.
#pragma once

#include <string>
#include <string_view>

namespace tallyrun {

// Raises an Error (ERROR_NO_UNICODE_TRANSLATION) when the text is not valid UTF-8.
std::wstring Widen(std::string_view utf8);
// Unpaired surrogates, which only a broken caller hands over, become U+FFFD.
std::string Narrow(std::wstring_view utf16);

}  // namespace tallyrun
