#include "sqlclient/odbc/server_name.h"

#include "platform/core/ascii.h"
#include "platform/core/error.h"
#include "sqlclient/net/port_number.h"

#include <algorithm>

namespace tallyrun::odbc {
namespace {

[[noreturn]] void Refuse(std::string_view text, const std::string& reason)
{
    throw Error(errc::InvalidArgument,
                "\"" + std::string(text) + "\" is not a server name: " + reason
                    + ". Type host, host\\instance, host,port or tcp:host,port, or (local) for this machine.");
}

bool IsAsciiAlnum(char c)
{
    return IsAsciiLetter(c) || IsAsciiDigit(c);
}

// Names the first character no form of server name can hold, so the message points at the actual mistake.
std::optional<std::string> ForbiddenCharacter(std::string_view text)
{
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (IsAsciiAlnum(c) || std::string_view(".-_\\,:()$#").find(c) != std::string_view::npos)
            continue;
        if (c == ' ' || c == '\t')
            return "it contains a space";
        if (c == '"' || c == '\'')
            return "it contains a quote";
        if (c == '{' || c == '}')
            return "it contains a brace";
        if (c == ';')
            return "it contains a semicolon";
        if (u < 0x20 || u == 0x7F)
            return "it contains a control character";
        if (u >= 0x80)
            return "it contains a character outside ASCII";
        return std::string("it contains the character '") + c + "'";
    }
    return std::nullopt;
}

std::uint16_t ParsePort(std::string_view text, std::string_view port)
{
    if (port.empty())
        Refuse(text, "the port after the comma is missing");
    const auto value = ParsePortNumber(port);
    if (!value)
        Refuse(text, "the port \"" + std::string(port) + "\" is not a number from 1 to 65535");
    return *value;
}

void CheckInstance(std::string_view text, std::string_view instance)
{
    if (instance.empty())
        Refuse(text, "the instance name after the backslash is missing");
    if (instance.size() > 16)
        Refuse(text, "the instance name is longer than 16 characters");
    const char first = instance.front();
    if (!(IsAsciiLetter(first) || first == '_' || first == '#'))
        Refuse(text, "an instance name starts with a letter, '_' or '#'");
    for (char c : instance)
        if (!(IsAsciiAlnum(c) || c == '_' || c == '$' || c == '#'))
            Refuse(text, std::string("the instance name cannot hold '") + c + "'");
}

void CheckHost(std::string_view text, std::string_view host)
{
    if (host.empty())
        Refuse(text, "the host name is missing");
    if (host.size() > 253)
        Refuse(text, "the host name is longer than 253 characters");
    std::size_t start = 0;
    while (start <= host.size()) {
        const std::size_t dot = std::min(host.find('.', start), host.size());
        const std::string_view label = host.substr(start, dot - start);
        if (label.empty())
            Refuse(text, "the host name has an empty part between dots");
        if (label.size() > 63)
            Refuse(text, "a part of the host name is longer than 63 characters");
        if (label.front() == '-' || label.back() == '-')
            Refuse(text, "a part of the host name starts or ends with '-'");
        for (char c : label)
            if (!(IsAsciiAlnum(c) || c == '-' || c == '_'))
                Refuse(text, std::string("a host name cannot hold '") + c + "'");
        start = dot + 1;
    }
}

}  // namespace

std::optional<std::uint16_t> KnownPort(const ServerAddress& address)
{
    if (address.port || address.instance.empty())
        return address.port.value_or(DefaultPort);
    return std::nullopt;
}

ServerAddress ParseServerName(std::string_view text)
{
    if (text.empty())
        throw Error(errc::InvalidArgument, "No server name was given.");
    if (auto reason = ForbiddenCharacter(text))
        Refuse(text, *reason);

    std::string_view rest = text;
    if (const auto colon = rest.find(':'); colon != std::string_view::npos) {
        if (!EqualsIgnoringAsciiCase(rest.substr(0, colon), "tcp"))
            Refuse(text, "only TCP connections are supported, and \"" + std::string(rest.substr(0, colon + 1))
                             + "\" is not the tcp: prefix");
        rest.remove_prefix(colon + 1);
        if (rest.find(':') != std::string_view::npos)
            Refuse(text, "it holds more than one ':'");
    }

    ServerAddress address;
    if (const auto comma = rest.find(','); comma != std::string_view::npos) {
        if (rest.find(',', comma + 1) != std::string_view::npos)
            Refuse(text, "it holds more than one comma");
        address.port = ParsePort(text, rest.substr(comma + 1));
        rest = rest.substr(0, comma);
    }
    if (const auto slash = rest.find('\\'); slash != std::string_view::npos) {
        if (rest.find('\\', slash + 1) != std::string_view::npos)
            Refuse(text, "it holds more than one backslash");
        address.instance = std::string(rest.substr(slash + 1));
        CheckInstance(text, address.instance);
        rest = rest.substr(0, slash);
    }

    if (rest == "." || EqualsIgnoringAsciiCase(rest, "(local)") || EqualsIgnoringAsciiCase(rest, "localhost")) {
        address.local = true;
        address.host = "localhost";
        return address;
    }
    if (rest.find_first_of("()$#") != std::string_view::npos)
        Refuse(text, "a host name cannot hold '(', ')', '$' or '#'");
    CheckHost(text, rest);
    address.host = std::string(rest);
    return address;
}

}  // namespace tallyrun::odbc
