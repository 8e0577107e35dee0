// Names that protocols and the system define in ASCII (driver names, ProgIDs, instance names, host names): the
// letters A to Z fold to a to z and every other byte stands for itself, whatever the locale says.
#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tallyrun {

constexpr bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
constexpr char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

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

// Takes the decimal digits at the front of `text` off it, at most `maxDigits` of them (which keeps the value in
// range: nine fit any long); none, and `text` as it was, where it starts with no digit.
inline std::optional<long> TakeAsciiNumber(std::string_view& text, std::size_t maxDigits)
{
    std::size_t length = 0;
    long value = 0;
    while (length < text.size() && length < maxDigits && IsAsciiDigit(text[length]))
        value = value * 10 + (text[length++] - '0');
    if (length == 0)
        return std::nullopt;
    text.remove_prefix(length);
    return value;
}

}  // namespace tallyrun
