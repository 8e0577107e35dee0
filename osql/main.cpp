// osql: runs one query against SQL Server from the command line, as Microsoft's client of that name does.
#include "osql/client.h"
#include "osql/options.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[])
{
    using namespace tallyrun::osql;
    Options options;
    try {
        options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError& error) {
        std::cerr << "osql: " << error.what() << "\n\n" << UsageText;
        return 1;
    }
    if (options.help) {
        std::cout << UsageText;
        return 0;
    }
    return Run(options, std::cout, std::cerr);
}
