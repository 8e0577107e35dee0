#include "osql/program.h"

#include "osql/client.h"
#include "osql/options.h"

namespace tallyrun::osql {

int RunProgram(std::string_view program, const std::vector<std::string>& arguments, std::ostream& out,
               std::ostream& err)
{
    Options options;
    try {
        options = ParseOptions(arguments);
    } catch (const UsageError& error) {
        err << program << ": " << error.what() << "\n\n" << UsageText(program);
        return 1;
    }
    if (options.help) {
        out << UsageText(program);
        return 0;
    }
    return Run(program, options, out, err);
}

}  // namespace tallyrun::osql
