#include "sqlclient/ssrp/response_parser.h"

#include "base/ascii.h"
#include "sqlclient/net/port_number.h"
#include "sqlclient/ssrp/instance_names.h"
#include "sqlclient/ssrp/protocol.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

namespace tallyrun::ssrp {

namespace {

struct Record {
    std::string_view server;
    std::string_view instance;
    std::string_view protocols;  // "np;...;tcp;1433" and the like, without the closing ";;"
};

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
    record.protocols = text.substr(0, close);
    text.remove_prefix(close + 2);
    return record;
}

// The first MaxRecordsPerResponse records of a datagram; nothing when it breaks the format anywhere, even past them.
std::optional<std::vector<Record>> ReadRecords(std::span<const std::uint8_t> datagram)
{
    if (datagram.size() < ResponseHeaderBytes || datagram[0] != ServerResponse)
        return std::nullopt;
    const std::size_t declared = datagram[1] | (std::size_t{datagram[2]} << 8);
    if (declared != datagram.size() - ResponseHeaderBytes)
        return std::nullopt;

    std::string_view text(reinterpret_cast<const char*>(datagram.data() + ResponseHeaderBytes), declared);
    std::vector<Record> records;
    while (!text.empty()) {
        const auto record = NextRecord(text);
        if (!record)
            return std::nullopt;
        if (records.size() < MaxRecordsPerResponse)
            records.push_back(*record);
    }
    return records;
}

// The value after the first "tcp" field of a record's protocol entries. Entries differ in how many values they
// carry (bv has several), so fields are scanned rather than paired: only a value reading "tcp" on its own, which
// no browser sends, could be taken for the key.
std::optional<std::uint16_t> TcpPort(std::string_view protocols)
{
    auto next = [&protocols] {
        const auto end = std::min(protocols.find(';'), protocols.size());
        const auto field = protocols.substr(0, end);
        protocols.remove_prefix(std::min(end + 1, protocols.size()));
        return field;
    };
    while (!protocols.empty())
        if (EqualsIgnoringAsciiCase(next(), "tcp"))
            return ParsePortNumber(next());
    return std::nullopt;
}

}  // namespace

std::vector<std::string> ParseResponse(std::span<const std::uint8_t> datagram)
{
    const auto records = ReadRecords(datagram);
    if (!records)
        return {};
    std::vector<std::string> names;
    for (const auto& record : *records)
        if (auto name = ListedName(record.server, record.instance))
            names.push_back(std::move(*name));
    return names;
}

std::optional<std::uint16_t> ParseInstancePort(std::span<const std::uint8_t> datagram, std::string_view instance)
{
    const auto records = ReadRecords(datagram);
    if (!records)
        return std::nullopt;
    for (const auto& record : *records)
        if (EqualsIgnoringAsciiCase(record.instance, instance))
            return TcpPort(record.protocols);
    return std::nullopt;
}

}  // namespace tallyrun::ssrp
