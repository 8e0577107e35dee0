// How the tests start osql: the Linux build's own, or osql.exe under Wine when the Windows build's test list
// passes the emulator's words and osql.exe's path after GoogleTest's options.
#pragma once

#include <string>
#include <vector>

#include "child_process.h"

namespace tallyrun::testing {

bool UnderWine();
// osql with `arguments`, given a minute and a half: Wine starts its server and services when none runs yet.
ChildOutcome RunOsql(const std::vector<std::string>& arguments, const std::vector<std::string>& environment = {});

}  // namespace tallyrun::testing
