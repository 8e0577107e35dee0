// Windows' wide functions take UTF-16 in wchar_t: our UTF-8 texts converted for them and back.
#pragma once

#include "base/unicode.h"

#include <string>
#include <string_view>

namespace tallyrun {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide text is UTF-16");

inline std::wstring Widen(std::string_view utf8, Malformed malformed)
{
    const std::u16string units = ToUtf16(utf8, malformed);
    return std::wstring(units.begin(), units.end());
}

inline std::string Narrow(std::wstring_view utf16)
{
    return ToUtf8(std::u16string(utf16.begin(), utf16.end()));
}

}  // namespace tallyrun
