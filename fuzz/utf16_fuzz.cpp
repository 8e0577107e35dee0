// UTF-16 for Windows and the ODBC calls: valid UTF-8 survives the trip there and back unchanged; anything else is
// refused when asked, or comes back as valid UTF-8 with U+FFFD in place of what was broken, and never as an unpaired
// surrogate. UTF-16 with unpaired surrogates comes back the same but for U+FFFD in their place. Valid UTF-8 cut
// short stays valid.
#include "base/error.h"
#include "base/unicode.h"
#include "fuzz/property.h"

#include <cstdint>
#include <string>
#include <string_view>

using namespace tallyrun;
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
    const std::u16string wide = ToUtf16(utf8, Malformed::Replace);
    Require(HasOnlyPairedSurrogates(wide), "UTF-8 never turns into an unpaired surrogate");
    Require(wide.size() <= utf8.size(), "no byte gives more than one unit");
    const std::string back = ToUtf8(wide);
    Require(IsValidUtf8(back), "what comes back is valid UTF-8");
    if (IsValidUtf8(utf8))
        Require(back == utf8, "valid UTF-8 comes back unchanged");
    else
        Require(back.find("\xEF\xBF\xBD") != std::string::npos, "broken UTF-8 comes back marked by U+FFFD");
    Require(ToUtf16(back, Malformed::Replace) == wide, "the UTF-8 that comes back reads as the same UTF-16");
    bool refused = false;
    try {
        Require(ToUtf16(utf8, Malformed::Refuse) == wide, "what is not refused reads the same either way");
    } catch (const Error&) {
        refused = true;
    }
    Require(refused != IsValidUtf8(utf8), "exactly the broken UTF-8 is refused");
    if (!refused) {
        const std::string_view cut = CutUtf8(utf8, size / 2);
        Require(IsValidUtf8(cut) && utf8.starts_with(cut), "a cut of valid UTF-8 is valid and a start of it");
        Require(cut.size() + 3 >= size / 2 && cut.size() <= size / 2, "a cut loses no more than a character");
    }

    std::u16string units(size / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    const std::string narrow = ToUtf8(units);
    Require(IsValidUtf8(narrow), "any UTF-16 gives valid UTF-8");
    Require(ToUtf16(narrow, Malformed::Replace) == WithLoneSurrogatesReplaced(units), "UTF-16 survives but for unpaired surrogates");
    return 0;
}
