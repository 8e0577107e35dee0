// A function of the ODBC driver itself, past the driver manager, from the driver library the driver manager has
// loaded into this process already (it is never loaded here). How a loaded library is found differs per system.
#pragma once

#include <memory>
#include <string>

namespace tallyrun::odbc {

class LoadedDriver {
public:
    // The loaded library whose file name (no folder) is `fileName`, as SQL_DRIVER_NAME reports it; none when no
    // such library is loaded.
    static std::unique_ptr<LoadedDriver> Find(const std::string& fileName);
    virtual ~LoadedDriver() = default;

    // Nothing when the library has no function of that name.
    virtual void* Function(const char* name) const = 0;
};

}  // namespace tallyrun::odbc
