// osql's whole run, from its arguments to its exit status; each system's entry point hands the arguments over as
// UTF-8.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tallyrun::osql {

int RunProgram(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace tallyrun::osql
