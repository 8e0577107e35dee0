// The ODBC calls' UTF-16: valid UTF-8 survives the trip there and back unchanged; anything else comes back as
// valid UTF-8 with U+FFFD in place of what was broken, and never as an unpaired surrogate. UTF-16 with unpaired
// surrogates comes back the same but for U+FFFD in their place.
#include "fuzz/property.h"
#include "base/unicode.h"

#include <cstdint>
#include <string>
#include <string_view>

using namespace tallyrun::odbc;
using tallyrun::fuzz::IsValidUtf8;
using tallyrun::fuzz::Require;

namespace {

bool IsHigh(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLow(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

bool HasOnlyPairedSurrogates(std::u16string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsHigh(text[i]) && i + 1 < text.size() && IsLow(text[i + 1]))
            ++i;
        else if (IsHigh(text[i]) || IsLow(text[i]))
            return false;
    }
    return true;
}

std::u16string WithLoneSurrogatesReplaced(std::u16string text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsHigh(text[i]) && i + 1 < text.size() && IsLow(text[i + 1]))
            ++i;
        else if (IsHigh(text[i]) || IsLow(text[i]))
            text[i] = 0xFFFD;
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view utf8(reinterpret_cast<const char*>(data), size);
    const std::u16string wide = ToUtf16(utf8);
    Require(HasOnlyPairedSurrogates(wide), "UTF-8 never turns into an unpaired surrogate");
    Require(wide.size() <= utf8.size(), "no byte gives more than one unit");
    const std::string back = ToUtf8(wide);
    Require(IsValidUtf8(back), "what comes back is valid UTF-8");
    if (IsValidUtf8(utf8))
        Require(back == utf8, "valid UTF-8 comes back unchanged");
    else
        Require(back.find("\xEF\xBF\xBD") != std::string::npos, "broken UTF-8 comes back marked by U+FFFD");
    Require(ToUtf16(back) == wide, "the UTF-8 that comes back reads as the same UTF-16");

    std::u16string units(size / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    const std::string narrow = ToUtf8(units);
    Require(IsValidUtf8(narrow), "any UTF-16 gives valid UTF-8");
    Require(ToUtf16(narrow) == WithLoneSurrogatesReplaced(units), "UTF-16 survives but for unpaired surrogates");
    return 0;
}
