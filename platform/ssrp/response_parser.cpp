#include "platform/ssrp/response_parser.h"

#include "platform/ssrp/instance_names.h"
#include "platform/ssrp/protocol.h"

#include <array>
#include <optional>
#include <string_view>

namespace tallyrun::ssrp {

namespace {

struct Record {
    std::string_view server;
    std::string_view instance;
};

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (fold(a[i]) != fold(b[i]))
            return false;
    }
    return true;
}

// The text up to the next ';', which is consumed with it; nothing when no ';' is left.
std::optional<std::string_view> NextField(std::string_view& text)
{
    const auto end = text.find(';');
    if (end == std::string_view::npos)
        return std::nullopt;
    const auto field = text.substr(0, end);
    text.remove_prefix(end + 1);
    return field;
}

// One record, consumed from the front of `text`: four fixed key/value pairs, then any number of protocol entries
// (np, tcp, via, rpc, spx, adsp, bv — some with more than one value, none empty), closed by an empty field.
std::optional<Record> NextRecord(std::string_view& text)
{
    static constexpr std::array<std::string_view, 4> keys{"ServerName", "InstanceName", "IsClustered", "Version"};
    Record record;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const auto key = NextField(text);
        if (!key || !EqualsIgnoringAsciiCase(*key, keys[i]))
            return std::nullopt;
        const auto value = NextField(text);
        if (!value)
            return std::nullopt;
        if (i == 0)
            record.server = *value;
        else if (i == 1)
            record.instance = *value;
    }
    if (!text.empty() && text.front() == ';') {
        text.remove_prefix(1);
        return record;
    }
    const auto close = text.find(";;");
    if (close == std::string_view::npos)
        return std::nullopt;
    text.remove_prefix(close + 2);
    return record;
}

}  // namespace

std::vector<std::string> ParseResponse(std::span<const std::uint8_t> datagram)
{
    if (datagram.size() < ResponseHeaderBytes || datagram[0] != ServerResponse)
        return {};
    const std::size_t declared = datagram[1] | (std::size_t{datagram[2]} << 8);
    if (declared != datagram.size() - ResponseHeaderBytes)
        return {};

    std::string_view text(reinterpret_cast<const char*>(datagram.data() + ResponseHeaderBytes), declared);
    std::vector<std::string> names;
    std::size_t records = 0;
    while (!text.empty()) {
        const auto record = NextRecord(text);
        if (!record)
            return {};
        if (++records > MaxRecordsPerResponse)
            continue;
        if (auto name = ListedName(record->server, record->instance))
            names.push_back(std::move(*name));
    }
    return names;
}

}  // namespace tallyrun::ssrp
