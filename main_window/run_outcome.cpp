#include "main_window/run_outcome.h"

#include "base/ascii.h"
#include "base/unicode.h"
#include "client_lines/client_lines.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tallyrun {
namespace {

constexpr std::size_t MaxLines = 12;
constexpr std::size_t MaxCharacters = 1200;
constexpr std::size_t LastLinesShown = 6;
constexpr int LowestErrorSeverity = 11;

std::vector<std::string_view> Lines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return lines;
}

// The longest numbers a message header holds (its message number, severity) have fewer digits than this.
constexpr std::size_t HeaderNumberDigits = 9;

bool TakePrefix(std::string_view& text, std::string_view prefix)
{
    if (text.substr(0, prefix.size()) != prefix)
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

// The severity of a server message's first line, "Msg <n>, Level <l>[, State <s>][, Server ...][, Line <n>]".
// Where the driver does not tell severities our client leaves Level out, and prints such a header for errors only
// ("Msg 2520, Server SRV1"): those count as errors.
std::optional<long> MessageSeverity(std::string_view line)
{
    using namespace client_lines;
    if (!TakePrefix(line, MsgField) || !TakeAsciiNumber(line, HeaderNumberDigits))
        return std::nullopt;
    if (TakePrefix(line, LevelField)) {
        const auto severity = TakeAsciiNumber(line, HeaderNumberDigits);
        if (!severity || !(line.empty() || line.front() == ','))
            return std::nullopt;
        return severity;
    }
    for (const std::string_view field : {StateField, ServerField, ProcedureField, LineField})
        if (line.starts_with(field))
            return LowestErrorSeverity;
    return std::nullopt;
}

// What the client puts before the failures it explains itself.
const std::string ClientPrefix = client_lines::FailurePrefix(client_lines::ClientName);

bool IsClientFailure(std::string_view line)
{
    return line.starts_with(ClientPrefix);
}

// A line that starts a block of its own: the one before it has ended.
bool StartsBlock(std::string_view line)
{
    return line.empty() || MessageSeverity(line) || IsClientFailure(line);
}

std::string WithoutClientPrefix(std::string_view line)
{
    std::string text(line.substr(ClientPrefix.size()));
    if (!text.empty())
        text.front() = UpperAscii(text.front());
    return text;
}

struct Findings {
    std::vector<std::string> serverTexts;
    std::vector<std::string> clientLines;
};

Findings Read(const std::vector<std::string_view>& lines)
{
    Findings found;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (const auto severity = MessageSeverity(lines[i])) {
            std::string text;
            while (i + 1 < lines.size() && !StartsBlock(lines[i + 1]))
                text += (text.empty() ? "" : " ") + std::string(lines[++i]);
            const auto& texts = found.serverTexts;
            if (*severity >= LowestErrorSeverity && !text.empty()
                && std::find(texts.begin(), texts.end(), text) == texts.end())
                found.serverTexts.push_back(std::move(text));
        } else if (IsClientFailure(lines[i])) {
            // A bare "osql: " says nothing: left in, it would stand for the whole story in an empty message box.
            if (auto first = WithoutClientPrefix(lines[i]); !first.empty())
                found.clientLines.push_back(std::move(first));
            while (i + 1 < lines.size() && !StartsBlock(lines[i + 1]))
                found.clientLines.emplace_back(lines[++i]);
        }
    }
    return found;
}

std::string SignalName(int signal)
{
    switch (signal) {
    case 1: return "SIGHUP";
    case 2: return "SIGINT";
    case 3: return "SIGQUIT";
    case 6: return "SIGABRT";
    case 9: return "SIGKILL";
    case 11: return "SIGSEGV";
    case 15: return "SIGTERM";
    default: return "signal " + std::to_string(signal);
    }
}

std::string SignalLine(int signal)
{
    const std::string which = "(signal " + std::to_string(signal) + ", " + SignalName(signal) + ")";
    const bool fromOutside = signal == 1 || signal == 2 || signal == 3 || signal == 9 || signal == 15;
    const std::string client(client_lines::ClientName);
    return fromOutside ? client + " was stopped from outside " + which + " before it finished."
                       : client + " ended abnormally " + which + ".";
}

std::string ExitLine(int status)
{
    std::string text = std::string(client_lines::ClientName) + " ended with exit status " + std::to_string(status);
    if (status < 0) {  // a Windows status code: read in hexadecimal
        static const char* const hex = "0123456789ABCDEF";
        std::string digits;
        for (auto value = static_cast<std::uint32_t>(status); value != 0; value >>= 4)
            digits.insert(digits.begin(), hex[value & 15]);
        text += " (0x" + digits + ")";
    }
    return text + ".";
}

// At most MaxLines lines and MaxCharacters bytes; "..." says where something was left out.
std::string Trimmed(const std::vector<std::string>& lines)
{
    constexpr std::string_view More = "...";
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string separator = i == 0 ? "" : "\n";
        if (i == MaxLines) {
            text += separator + std::string(More);
            break;
        }
        const std::size_t room = MaxCharacters - text.size() - separator.size();
        // Each line leaves room for a "\n..." after it, which the next line may need.
        const std::size_t reserve = i + 1 == lines.size() ? 0 : 1 + More.size();
        if (lines[i].size() + reserve <= room) {
            text += separator + lines[i];
            continue;
        }
        text += separator + std::string(CutUtf8(lines[i], room - More.size())) + std::string(More);
        break;
    }
    return text;
}

}  // namespace

std::optional<std::string> RunFailure(const ClientOutcome& outcome)
{
    const auto lines = Lines(outcome.output);
    Findings found = Read(lines);
    const bool signalled = outcome.end == ClientOutcome::End::Signalled;
    const bool exitedBadly = outcome.end == ClientOutcome::End::Exited && outcome.code != 0;
    if (!signalled && !exitedBadly && found.serverTexts.empty() && found.clientLines.empty())
        return std::nullopt;

    std::vector<std::string> shown;
    if (signalled)
        shown.push_back(SignalLine(outcome.code));
    shown.insert(shown.end(), found.serverTexts.begin(), found.serverTexts.end());
    shown.insert(shown.end(), found.clientLines.begin(), found.clientLines.end());
    if (exitedBadly && found.serverTexts.empty() && found.clientLines.empty()) {
        // Not our client's shape of output: its last lines are the likeliest to say what went wrong.
        shown.push_back(ExitLine(outcome.code));
        std::vector<std::string> last;
        for (auto line = lines.rbegin(); line != lines.rend() && last.size() < LastLinesShown; ++line)
            if (!line->empty())
                last.insert(last.begin(), std::string(*line));
        shown.insert(shown.end(), last.begin(), last.end());
    }
    return Trimmed(shown);
}

}  // namespace tallyrun
