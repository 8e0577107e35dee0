// osql: runs one query against SQL Server from the command line, as Microsoft's client of that name does.
#include "osql/program.h"

#include <iostream>

int main(int argc, char* argv[])
{
    return tallyrun::osql::RunProgram(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
