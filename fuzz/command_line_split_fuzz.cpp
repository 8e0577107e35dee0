// The Windows-style splitter: words quoted the way a Windows program must quote them for the C runtime come back
// unchanged, whatever blanks separate them; and any line, split and quoted again, splits into the same words.
#include "fuzz/property.h"
#include "platform/process/command_line_split.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

using namespace tallyrun;
using fuzz::Require;

namespace {

// The C runtime's rules in reverse: blanks and quotes need a quoted run, a quote inside needs a backslash, and
// backslashes need doubling only where a quote follows them (the closing one included).
std::string QuotedArgument(const std::string& word)
{
    if (!word.empty() && word.find_first_of(" \t\"") == std::string::npos)
        return word;
    std::string quoted = "\"";
    std::size_t slashes = 0;
    for (char c : word) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        quoted.append(c == '"' ? 2 * slashes + 1 : slashes, '\\');
        quoted += c;
        slashes = 0;
    }
    quoted.append(2 * slashes, '\\');
    return quoted + "\"";
}

// A program name cannot hold a quote, and the splitter takes backslashes in it as they are.
std::string QuotedProgram(const std::string& name)
{
    return "\"" + name + "\"";
}

std::string Joined(const std::vector<std::string>& words, const std::string& blanks)
{
    std::string line = QuotedProgram(words.front());
    for (std::size_t i = 1; i < words.size(); ++i)
        line += blanks + QuotedArgument(words[i]);
    return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string raw = input.ConsumeRandomLengthString(256);
    const auto split = SplitCommandLine(raw);
    Require(!split.empty(), "a line always has a program name");
    Require(split.front().find('"') == std::string::npos, "quotes in the program name only group");
    Require(SplitCommandLine(Joined(split, " ")) == split, "a split line quoted again splits the same");

    const std::string blanks = input.ConsumeBool() ? " " : input.ConsumeBool() ? "\t" : " \t  ";
    std::vector<std::string> words;
    std::string program = input.ConsumeRandomLengthString(32);
    program.erase(std::remove(program.begin(), program.end(), '"'), program.end());
    words.push_back(program);
    while (input.remaining_bytes() > 0 && words.size() < 16)
        words.push_back(input.ConsumeRandomLengthString(64));
    Require(SplitCommandLine(Joined(words, blanks)) == words, "quoted words split back unchanged");
    return 0;
}
