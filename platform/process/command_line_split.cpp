#include "platform/process/command_line_split.h"

#include <cstddef>

namespace tallyrun {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line)
{
    std::vector<std::string> words;
    std::size_t p = 0;
    const std::size_t end = line.size();

    // The program name knows no escapes: a file name cannot hold a double quote, so quotes only group.
    std::string program;
    bool inQuotes = false;
    while (p < end && (inQuotes || !IsBlank(line[p]))) {
        if (line[p] == '"')
            inQuotes = !inQuotes;
        else
            program += line[p];
        ++p;
    }
    words.push_back(std::move(program));

    inQuotes = false;
    for (;;) {
        while (p < end && IsBlank(line[p]))
            ++p;
        if (p == end)
            break;

        std::string word;
        for (;;) {
            std::size_t slashes = 0;
            while (p < end && line[p] == '\\') {
                ++slashes;
                ++p;
            }
            bool copy = true;
            if (p < end && line[p] == '"') {
                if (slashes % 2 == 0) {
                    if (inQuotes && p + 1 < end && line[p + 1] == '"')
                        ++p;
                    else {
                        copy = false;
                        inQuotes = !inQuotes;
                    }
                }
                slashes /= 2;
            }
            word.append(slashes, '\\');
            if (p == end || (!inQuotes && IsBlank(line[p])))
                break;
            if (copy)
                word += line[p];
            ++p;
        }
        words.push_back(std::move(word));
    }
    return words;
}

}  // namespace tallyrun
