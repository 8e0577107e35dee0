#include "sqlclient/ssrp/instance_names.h"

#include "base/ascii.h"
#include "sqlclient/ssrp/protocol.h"

#include <algorithm>

namespace tallyrun::ssrp {

namespace {

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
    if (EqualsIgnoringAsciiCase(instance, DefaultInstanceName))
        return std::string(server);
    std::string name(server);
    name += '\\';
    name += instance;
    return name;
}

NameCollector::NameCollector(std::size_t capacity) : m_capacity(capacity) {}

bool NameCollector::Add(const std::string& name)
{
    if (Full() || !m_folded.insert(FoldAscii(name)).second)
        return false;
    m_names.push_back(name);
    return true;
}

}  // namespace tallyrun::ssrp
