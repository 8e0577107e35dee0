// osql: runs one query against SQL Server from the command line, as Microsoft's client of that name does.
// Installed, it is also the command tallyrun-osql; its messages name whichever command the user typed.
#include "osql/program.h"

#include <iostream>

int main(int argc, char* argv[])
{
    return tallyrun::osql::RunProgram(tallyrun::osql::ProgramName(argc > 0 ? argv[0] : ""),
                                      std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
