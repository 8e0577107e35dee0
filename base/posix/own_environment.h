// Environment variables a process sets for the libraries inside it alone (FreeTDS finds its settings file through
// one), and the environment its children get instead: theirs as the process was started with it.
#pragma once

#include <string>
#include <vector>

namespace tallyrun {

// Sets `name` to `value` for this process alone. setenv is not safe against a getenv on another thread: call it
// while the process has no thread but its first (from a static initializer).
void SetOwnVariable(const char* name, const std::string& value);

// This process's environment, "NAME=value" each, with every variable set by SetOwnVariable as the process found
// it, or left out where it had none.
std::vector<std::string> ChildEnvironment();

}  // namespace tallyrun
