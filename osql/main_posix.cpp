// osql: runs one query against SQL Server from the command line, as Microsoft's client of that name does.
// Installed, it is also the command tallyrun-osql; its messages name whichever command the user typed.
#include "osql/program.h"

#include <filesystem>
#include <iostream>

int main(int argc, char* argv[])
{
    const std::string program = argc > 0 ? std::filesystem::path(argv[0]).filename().string() : "osql";
    return tallyrun::osql::RunProgram(program.empty() ? "osql" : program,
                                      std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
