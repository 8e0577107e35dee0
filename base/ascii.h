// Names that protocols and the system define in ASCII (driver names, ProgIDs, instance names, host names): the
// letters A to Z fold to a to z and every other byte stands for itself, whatever the locale says.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace tallyrun {

constexpr bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
constexpr char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string FoldAscii(std::string_view text)
{
    std::string folded(text);
    std::ranges::transform(folded, folded.begin(), [](char c) { return FoldAscii(c); });
    return folded;
}

inline bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) { return FoldAscii(x) == FoldAscii(y); });
}

}  // namespace tallyrun
