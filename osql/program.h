// osql's whole run, from its arguments to its exit status; each system's entry point hands the arguments over as
// UTF-8.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tallyrun::osql {

// The name the client goes by in its messages: the file it was started as, without the ".exe" that Windows'
// command lines may carry; our usual name when that says nothing.
std::string ProgramName(std::string_view startedAs);

// `program` is the command the client was started as, for its messages and usage text.
int RunProgram(std::string_view program, const std::vector<std::string>& arguments, std::ostream& out,
               std::ostream& err);

}  // namespace tallyrun::osql
