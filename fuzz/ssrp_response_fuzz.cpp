// SQL Browser answers: a raw datagram never yields a name that could not go on a command line, nor more names than
// records allowed, nor anything once its size field disagrees with its length; a datagram built from fuzzed
// records yields exactly the acceptable names and, for an instance asked for, the port of its first record among
// those taken.
#include "fuzz/property.h"
#include "sqlclient/ssrp/instance_names.h"
#include "sqlclient/ssrp/protocol.h"
#include "sqlclient/ssrp/response_parser.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using namespace tallyrun;
using namespace tallyrun::ssrp;
using fuzz::Require;

namespace {

struct Record {
    std::string server;
    std::string instance;
    std::string port;  // "" for a record without a tcp entry
};

std::vector<std::uint8_t> Framed(const std::string& text)
{
    std::vector<std::uint8_t> datagram{ServerResponse, static_cast<std::uint8_t>(text.size() & 0xFF),
                                       static_cast<std::uint8_t>(text.size() >> 8)};
    datagram.insert(datagram.end(), text.begin(), text.end());
    return datagram;
}

// A field value as a browser could send it: no ';', never empty.
std::string Field(FuzzedDataProvider& input, std::size_t maxLength)
{
    std::string text = input.ConsumeRandomLengthString(maxLength);
    std::replace(text.begin(), text.end(), ';', '_');
    return text.empty() ? "x" : text;
}

// The port a tcp entry's value names. Written apart from the product's port and case-folding helpers, which the
// parser itself uses: checked against them, the target would agree with any fault of theirs.
std::optional<std::uint16_t> PortOf(const std::string& text)
{
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (text.empty() || text.size() > 5 || !std::all_of(text.begin(), text.end(), isDigit))
        return std::nullopt;
    const unsigned long value = std::stoul(text);
    if (value == 0 || value > 65535)
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

bool SameIgnoringCase(std::string a, std::string b)
{
    auto fold = [](std::string& s) {
        for (char& c : s)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
    };
    fold(a);
    fold(b);
    return a == b;
}

void CheckRaw(const std::vector<std::uint8_t>& datagram)
{
    const auto names = ParseResponse(datagram);
    Require(names.size() <= MaxRecordsPerResponse, "no more names than records taken from one answer");
    for (const auto& name : names) {
        const auto slash = name.find('\\');
        Require(IsAcceptableServerName(name.substr(0, slash)), "a listed server name is acceptable");
        if (slash != std::string::npos) {
            const auto instance = name.substr(slash + 1);
            Require(IsAcceptableInstanceName(instance), "a listed instance name is acceptable");
            Require(!SameIgnoringCase(instance, std::string(DefaultInstanceName)), "the default instance is bare");
        }
    }
    if (const auto port = ParseInstancePort(datagram, "x"))
        Require(*port != 0, "a port is never 0");

    // Only an answer whose size field matches its length can be made one byte too long: appending to one whose
    // field was already too big may make it match.
    if (datagram.size() >= ResponseHeaderBytes && datagram.size() < MaxResponseBytes
        && (datagram[1] | (std::size_t{datagram[2]} << 8)) == datagram.size() - ResponseHeaderBytes) {
        auto longer = datagram;
        longer.push_back(';');
        Require(ParseResponse(longer).empty(), "a size field short of the length gives nothing");
        if (!names.empty()) {
            const auto slash = names.front().find('\\');
            const std::string instance = slash == std::string::npos ? std::string(DefaultInstanceName)
                                                                    : names.front().substr(slash + 1);
            Require(!ParseInstancePort(longer, instance), "a size field short of the length gives no port");
        }
    }
}

void CheckBuilt(FuzzedDataProvider& input, std::uint8_t chosen)
{
    std::vector<Record> records;
    std::string text;
    while (input.remaining_bytes() > 0 && records.size() < 80) {
        Record record{Field(input, 40), Field(input, 20), ""};
        text.append("ServerName;").append(record.server).append(";InstanceName;").append(record.instance);
        text.append(";IsClustered;No;Version;15.0.2000.5;");
        if (input.ConsumeBool())
            text.append("np;\\\\").append(record.server).append("\\pipe\\sql\\query;");
        if (input.ConsumeBool()) {
            record.port = Field(input, 6);
            text.append("tcp;").append(record.port).append(";");
        }
        text.append(";");
        records.push_back(record);
    }
    if (text.size() > 0xFFFF)
        return;
    const auto datagram = Framed(text);

    std::vector<std::string> expected;
    const std::size_t taken = std::min(records.size(), MaxRecordsPerResponse);
    for (std::size_t i = 0; i < taken; ++i)
        if (auto name = ListedName(records[i].server, records[i].instance))
            expected.push_back(*name);
    Require(ParseResponse(datagram) == expected, "a well-formed answer lists its acceptable names in order");

    // Each lookup reads the whole answer, so asking for every record's instance would make an input cost the square
    // of its records: ask for one the input chooses, which may lie past the records taken.
    if (records.empty())
        return;
    const Record& asked = records[chosen % records.size()];
    const auto takenEnd = records.begin() + static_cast<std::ptrdiff_t>(taken);
    const auto first = std::find_if(records.begin(), takenEnd,
                                    [&](const Record& r) { return SameIgnoringCase(r.instance, asked.instance); });
    const auto port = first == takenEnd ? std::nullopt : PortOf(first->port);
    Require(ParseInstancePort(datagram, asked.instance) == port,
            "an instance's port is the one of its first record among those taken");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Datagrams start with the response byte; any other first byte selects records to build a datagram from.
    if (size > 0 && data[0] == ServerResponse) {
        CheckRaw(std::vector<std::uint8_t>(data, data + size));
        return 0;
    }
    FuzzedDataProvider input(data, size);
    CheckBuilt(input, size > 0 ? data[size / 2] : 0);
    return 0;
}
