#include "base/posix/own_environment.h"

#include <unistd.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string_view>

namespace tallyrun {
namespace {

// Each own variable's value before it was set, if it had one.
std::map<std::string, std::optional<std::string>, std::less<>>& Found()
{
    static std::map<std::string, std::optional<std::string>, std::less<>> found;
    return found;
}

}  // namespace

void SetOwnVariable(const char* name, const std::string& value)
{
    if (!Found().contains(name)) {
        const char* before = std::getenv(name);
        Found().emplace(name, before ? std::optional<std::string>(before) : std::nullopt);
    }
    ::setenv(name, value.c_str(), 1);
}

std::vector<std::string> ChildEnvironment()
{
    std::vector<std::string> variables;
    for (char** entry = environ; *entry; ++entry) {
        const std::string_view variable(*entry);
        const auto own = Found().find(variable.substr(0, variable.find('=')));
        if (own == Found().end())
            variables.emplace_back(variable);
        else if (own->second)
            variables.push_back(own->first + "=" + *own->second);
    }
    return variables;
}

}  // namespace tallyrun
