// osql's options: any argument list is either refused with a UsageError that says why or read into options that
// make a runnable command (one way of signing in, a query, timeouts in range, help only alone), and those options
// written back as arguments read the same.
#include "fuzz/property.h"
#include "osql/options.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace tallyrun::osql;
using tallyrun::fuzz::Require;

namespace {

// A value glued to its option, so that one starting with '-' is not read as the next option; an empty one apart.
void AddValued(std::vector<std::string>& arguments, char option, const std::string& value)
{
    const std::string name = std::string("-") + option;
    if (value.empty())
        arguments.insert(arguments.end(), {name, ""});
    else
        arguments.push_back(name + value);
}

std::vector<std::string> Written(const Options& options)
{
    if (options.help)
        return {"-?"};
    std::vector<std::string> arguments;
    AddValued(arguments, 'S', options.server);
    if (options.trusted)
        arguments.push_back("-E");
    if (options.login)
        AddValued(arguments, 'U', *options.login);
    if (options.password)
        AddValued(arguments, 'P', *options.password);
    AddValued(arguments, 'Q', options.query);
    AddValued(arguments, 'd', options.database);
    AddValued(arguments, 'l', std::to_string(options.loginTimeout.count()));
    AddValued(arguments, 't', std::to_string(options.queryTimeout.count()));
    if (options.failOnError)
        arguments.push_back("-b");
    return arguments;
}

bool Same(const Options& a, const Options& b)
{
    return a.server == b.server && a.trusted == b.trusted && a.login == b.login && a.password == b.password
           && a.query == b.query && a.database == b.database && a.loginTimeout == b.loginTimeout
           && a.queryTimeout == b.queryTimeout && a.failOnError == b.failOnError && a.help == b.help;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    std::vector<std::string> arguments;
    while (input.remaining_bytes() > 0 && arguments.size() < 24)
        arguments.push_back(input.ConsumeRandomLengthString(48));

    Options options;
    try {
        options = ParseOptions(arguments);
    } catch (const UsageError& error) {
        Require(std::string(error.what()).size() > 0, "a refusal says why");
        return 0;
    }
    if (options.help) {
        Require(arguments == std::vector<std::string>{"-?"}, "help is asked for only by a lone -?");
        return 0;
    }
    Require(options.trusted != options.login.has_value(), "exactly one way of signing in");
    Require(options.login.has_value() == options.password.has_value(), "a login comes with its password");
    Require(!options.query.empty(), "there is a query to run");
    Require(options.loginTimeout.count() >= 1 && options.loginTimeout.count() <= 65535, "login timeout in range");
    Require(options.queryTimeout.count() >= 0 && options.queryTimeout.count() <= 65535, "query timeout in range");
    Require(Same(ParseOptions(Written(options)), options), "the options written back read the same");
    return 0;
}
