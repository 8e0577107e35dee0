// What the launcher's shared tests ask of the system they run on: the command lines of small clients, and ending
// a process from outside. One implementation a system, chosen by CMake.
#pragma once

#include "platform/core/launcher.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tallyrun::probe {

// Writes 1 to `lines` to standard output, one a line, and "to stderr" to standard error after the first; exits
// with `code`.
std::string PrintLine(int lines, int code);
// Runs until it is ended from outside: a program, the arguments that make it wait, and the command line of both.
std::filesystem::path WaitProgram();
std::string WaitArguments();
inline std::string WaitLine() { return '"' + WaitProgram().string() + '"' + WaitArguments(); }
// The file the process runs.
std::filesystem::path ProgramOf(std::int32_t processId);
// Starts a WaitLine process that holds the client's output open, prints that process's identifier and exits.
std::string SpawnLine();
// Ends the process from outside and waits until it has ended; returns how a launcher sees that end.
ClientOutcome EndFromOutside(std::int32_t processId);
// The descriptors or handles this process holds.
std::size_t OpenHandles();
// Names of the program `name` in `current`, the current directory, that only the current directory could supply.
std::vector<std::string> CurrentDirectoryNames(const std::filesystem::path& current, const std::string& name);
// The search path, what separates its entries, and the error number of a program not found on it.
std::string PathVariable();
void SetPathVariable(const std::string& value);
char PathVariableSeparator();
long NotFound();

}  // namespace tallyrun::probe
