// Where FreeTDS finds the settings of the connection being made (freetds_settings.h): the one file its environment
// names for the whole process, written for each connect and held through it. FreeTDS reads it while it parses the
// connection string, before it touches the network.
#pragma once

#include <mutex>
#include <string_view>

namespace tallyrun::odbc {

class FreeTdsSettingsFile {
public:
    // Puts `text` where FreeTDS reads it, and keeps any other connect of this process from changing it until this
    // one is destroyed. Raises Error when the file cannot be made or written, or FreeTDS could not open it, and
    // where this system cannot hand FreeTDS a file at all.
    explicit FreeTdsSettingsFile(std::string_view text);
    FreeTdsSettingsFile(const FreeTdsSettingsFile&) = delete;
    FreeTdsSettingsFile& operator=(const FreeTdsSettingsFile&) = delete;

private:
    std::unique_lock<std::mutex> m_hold;
};

}  // namespace tallyrun::odbc
