// osql: runs one query against SQL Server from the command line, as Microsoft's client of that name does.
// Windows hands a narrow main its arguments in the ANSI code page, which loses every character outside it; the
// wide ones are exact.
#include "osql/program.h"
#include "sqlclient/odbc/utf16.h"

#include <iostream>

int wmain(int argc, wchar_t* argv[])
{
    static_assert(sizeof(wchar_t) == sizeof(char16_t));
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i)
        arguments.push_back(tallyrun::odbc::ToUtf8(reinterpret_cast<const char16_t*>(argv[i])));
    const std::string startedAs = arguments.empty() ? std::string() : arguments.front();
    if (!arguments.empty())
        arguments.erase(arguments.begin());
    return tallyrun::osql::RunProgram(tallyrun::osql::ProgramName(startedAs), arguments, std::cout, std::cerr);
}
