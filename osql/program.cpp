#include "osql/program.h"

#include "osql/client.h"
#include "osql/options.h"

namespace tallyrun::osql {

int RunProgram(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    Options options;
    try {
        options = ParseOptions(arguments);
    } catch (const UsageError& error) {
        err << "osql: " << error.what() << "\n\n" << UsageText;
        return 1;
    }
    if (options.help) {
        out << UsageText;
        return 0;
    }
    return Run(options, out, err);
}

}  // namespace tallyrun::osql
