#include "osql/options.h"

#include <algorithm>
#include <set>

namespace tallyrun::osql {

std::string UsageText(std::string_view program)
{
    const std::string lead = "usage: " + std::string(program) + " ";
    return lead + "[-S server] (-E | -U login -P password) -Q \"query\" [-d database]\n" +
           std::string(lead.size(), ' ') +
           "[-l seconds] [-t seconds] [-N s|m|o] [-C] [-b] [-?]\n"
           "\n"
           "  -S server     host, host\\instance, host,port, tcp:host[,port] or (local) (the default)\n"
           "  -E            trusted connection: the Kerberos ticket from kinit\n"
           "  -U login      SQL Server login name, with -P its password\n"
           "  -Q \"query\"    run the query, print its results and messages, and exit\n"
           "  -d database   database to use instead of the login's default one\n"
           "  -l seconds    login timeout, 1 to 65535 (default 15)\n"
           "  -t seconds    query timeout, 0 to 65535 (default 0: none)\n"
           "  -N s|m|o      encryption: s strict (TDS 8.0), m mandatory (the default), o optional\n"
           "  -C            accept the server's certificate as it is, without checking it\n"
           "  -b            exit status 1 when an error of severity 11 or more occurs\n"
           "  -?            show this text\n"
           "\n"
           "A value may follow its option directly (-Sserver); a value that starts with '-' must.\n"
           "\n"
           "Unless -C, the server's certificate must come from an authority this computer trusts and hold the name\n"
           "typed; Windows' own \"SQL Server\" driver, and FreeTDS under Wine, check none (a warning says so).\n"
           "-N m refuses a server that offers no encryption. With FreeTDS, a server that answers \"the login only\"\n"
           "(or anything on the way that rewrites its answer) still gets the rest of the session in clear: FreeTDS\n"
           "cannot refuse it. Force Encryption on the server leaves nothing to rewrite.\n";
}

namespace {

bool LooksLikeOption(const std::string& argument)
{
    return argument.size() >= 2 && argument[0] == '-';
}

std::chrono::seconds ParseSeconds(char option, const std::string& value, long minimum)
{
    const bool digits = !value.empty() && value.size() <= 5
                        && std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
    const long number = digits ? std::stol(value) : -1;
    if (number < minimum || number > 65535)
        throw UsageError(std::string("-") + option + " needs a number of seconds from " + std::to_string(minimum)
                         + " to 65535, not \"" + value + "\".");
    return std::chrono::seconds(number);
}

odbc::Encryption ParseEncryption(const std::string& value)
{
    if (value == "s")
        return odbc::Encryption::Strict;
    if (value == "m")
        return odbc::Encryption::Mandatory;
    if (value == "o")
        return odbc::Encryption::Optional;
    throw UsageError("-N needs s (strict), m (mandatory) or o (optional), not \"" + value + "\".");
}

}  // namespace

Options ParseOptions(const std::vector<std::string>& arguments)
{
    Options options;
    std::set<char> seen;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!LooksLikeOption(argument))
            throw UsageError("Unexpected argument \"" + argument
                             + "\". A server name or query with spaces needs quotes around it.");
        const char option = argument[1];
        const bool flag = std::string_view("EbC?").find(option) != std::string_view::npos;
        const bool valued = std::string_view("SUPQdltN").find(option) != std::string_view::npos;
        if (!(flag && argument.size() == 2) && !valued)
            throw UsageError("Unknown option \"" + argument + "\".");
        if (!seen.insert(option).second)
            throw UsageError(std::string("-") + option + " is given more than once.");

        if (flag) {
            (option == 'E'   ? options.trusted
             : option == 'b' ? options.failOnError
             : option == 'C' ? options.trustServerCertificate
                             : options.help) = true;
            continue;
        }
        std::string value;
        if (argument.size() > 2) {
            value = argument.substr(2);
        } else if (i + 1 < arguments.size() && !LooksLikeOption(arguments[i + 1])) {
            value = arguments[++i];
        } else {
            throw UsageError(std::string("-") + option + " needs a value.");
        }
        switch (option) {
        case 'S': options.server = value; break;
        case 'U': options.login = value; break;
        case 'P': options.password = value; break;
        case 'Q': options.query = value; break;
        case 'd': options.database = value; break;
        case 'l': options.loginTimeout = ParseSeconds(option, value, 1); break;
        case 't': options.queryTimeout = ParseSeconds(option, value, 0); break;
        case 'N': options.encryption = ParseEncryption(value); break;
        }
    }

    // A run button that composes "-S srv -? -E ..." from a server typed as "srv -?" must not see a help text and
    // exit status 0 as a finished run; only a lone -? asks for help.
    if (options.help) {
        if (arguments.size() > 1)
            throw UsageError("-? shows the usage and takes no other arguments.");
        return options;
    }
    if (options.trusted && options.login)
        throw UsageError("-E and -U exclude each other: a trusted connection has no login name.");
    if (options.login.has_value() != options.password.has_value())
        throw UsageError("-U and -P go together: a SQL Server login needs both (there is no password prompt).");
    if (!options.trusted && !options.login)
        throw UsageError("Give -E for a trusted connection, or -U and -P for a SQL Server login.");
    if (options.query.empty())
        throw UsageError("Give the query to run with -Q.");
    return options;
}

}  // namespace tallyrun::osql
