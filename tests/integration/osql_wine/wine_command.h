// The command that runs osql.exe under Wine, as the Windows build's test list passes it to the Linux-built test
// program: the emulator's words, then osql.exe's path.
#pragma once

#include <string>
#include <vector>

namespace tallyrun::testing {

const std::vector<std::string>& OsqlUnderWine();

}  // namespace tallyrun::testing
