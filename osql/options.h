// The osql command line: what the options ask for, or why they cannot be used. Pure: it reads nothing else.
#pragma once

#include "sqlclient/odbc/connect_options.h"

#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tallyrun::osql {

struct Options {
    std::string server = "(local)";
    bool trusted = false;                   // -E
    std::optional<std::string> login;       // -U
    std::optional<std::string> password;    // -P
    std::string query;                      // -Q
    std::string database;                   // -d
    std::chrono::seconds loginTimeout{15};  // -l
    std::chrono::seconds queryTimeout{0};   // -t; zero: no limit
    bool failOnError = false;               // -b
    odbc::Encryption encryption = odbc::Encryption::Mandatory;  // -N s|m|o
    bool trustServerCertificate = false;    // -C
    bool help = false;                      // -?
};

// A command line that cannot run; the text says which option is wrong and how.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// `arguments` excludes the program name. Raises UsageError.
Options ParseOptions(const std::vector<std::string>& arguments);

// The usage text, naming the command as the user started it.
std::string UsageText(std::string_view program);

}  // namespace tallyrun::osql
