// Splits a command line into program name and arguments the way the Windows C runtime does, so that a client
// started here receives exactly the arguments it would receive there.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tallyrun {

// The first element is the program name (quotes group but are dropped, backslashes are plain); the rest are the
// arguments (spaces and tabs separate; double quotes group; backslashes escape only a following double quote;
// "" inside a quoted run is a literal double quote). A line that starts with a blank has an empty program name.
std::vector<std::string> SplitCommandLine(std::string_view line);

}  // namespace tallyrun
