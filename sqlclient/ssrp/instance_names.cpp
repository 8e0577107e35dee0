#include "sqlclient/ssrp/instance_names.h"

#include "sqlclient/ssrp/protocol.h"

#include <algorithm>

namespace tallyrun::ssrp {

namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string FoldCase(std::string_view text)
{
    std::string folded(text);
    std::transform(folded.begin(), folded.end(), folded.begin(), FoldAscii);
    return folded;
}

template <class IsFirst, class IsRest>
bool IsNameOf(std::string_view name, IsFirst isFirst, IsRest isRest)
{
    if (name.empty() || name.size() > MaxNameBytes || !isFirst(name.front()))
        return false;
    return std::all_of(name.begin() + 1, name.end(), isRest);
}

}  // namespace

bool IsAcceptableServerName(std::string_view name)
{
    return IsNameOf(
        name, [](char c) { return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '_'; },
        [](char c) { return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '_' || c == '-' || c == '.'; });
}

bool IsAcceptableInstanceName(std::string_view name)
{
    return IsNameOf(
        name, [](char c) { return IsAsciiLetter(c) || c == '_'; },
        [](char c) { return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '_' || c == '$'; });
}

std::optional<std::string> ListedName(std::string_view server, std::string_view instance)
{
    if (!IsAcceptableServerName(server) || !IsAcceptableInstanceName(instance))
        return std::nullopt;
    if (FoldCase(instance) == FoldCase(DefaultInstanceName))
        return std::string(server);
    std::string name(server);
    name += '\\';
    name += instance;
    return name;
}

NameCollector::NameCollector(std::size_t capacity) : m_capacity(capacity) {}

bool NameCollector::Add(const std::string& name)
{
    if (Full() || !m_folded.insert(FoldCase(name)).second)
        return false;
    m_names.push_back(name);
    return true;
}

}  // namespace tallyrun::ssrp
