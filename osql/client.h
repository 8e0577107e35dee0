// The osql run: connect, run the query, print results and messages, and decide the exit status.
#pragma once

#include "osql/options.h"

#include <ostream>
#include <string_view>

namespace tallyrun::osql {

// Results and server messages go to `out`; connection and client errors to `err`. Returns the exit status:
// 1 when the login or the batch itself failed, or (with -b) when the server raised an error of severity 11
// or more; else 0.
// `program` names the client in its error lines.
int Run(std::string_view program, const Options& options, std::ostream& out, std::ostream& err);

}  // namespace tallyrun::osql
