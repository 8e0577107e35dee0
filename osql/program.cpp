#include "osql/program.h"

#include "client_lines/client_lines.h"
#include "osql/client.h"
#include "osql/options.h"
#include "platform/core/ascii.h"

#include <filesystem>

namespace tallyrun::osql {

std::string ProgramName(std::string_view startedAs)
{
    const std::filesystem::path file = std::filesystem::path(startedAs).filename();
    std::string name = (EqualsIgnoringAsciiCase(file.extension().string(), ".exe") ? file.stem() : file).string();
    return name.empty() ? std::string(client_lines::ClientName) : name;
}

int RunProgram(std::string_view program, const std::vector<std::string>& arguments, std::ostream& out,
               std::ostream& err)
{
    Options options;
    try {
        options = ParseOptions(arguments);
    } catch (const UsageError& error) {
        err << client_lines::FailurePrefix(program) << error.what() << "\n\n" << UsageText(program);
        return 1;
    }
    if (options.help) {
        out << UsageText(program);
        return 0;
    }
    return Run(program, options, out, err);
}

}  // namespace tallyrun::osql
