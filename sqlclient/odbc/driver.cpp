#include "sqlclient/odbc/driver.h"

#include "base/ascii.h"
#include "base/error.h"
#include "sqlclient/odbc/handles.h"

#include <algorithm>
#include <filesystem>

namespace tallyrun::odbc {
namespace {

bool Names(const std::string& registered, const KnownDriver& known)
{
    if (known.kind == DriverKind::Microsoft)
        return EqualsIgnoringAsciiCase(registered, known.name);
    return FoldAscii(registered).find(FoldAscii(known.name)) != std::string::npos;
}

std::vector<std::string> RegisteredDrivers()
{
    Environment environment;
    std::vector<std::string> names;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    for (;;) {
        SQLWCHAR description[256] = {};
        SQLWCHAR attributes[1024] = {};
        SQLSMALLINT descriptionLength = 0;
        SQLSMALLINT attributesLength = 0;
        const SQLRETURN rc = SQLDriversW(environment.Get(), direction, description, std::size(description),
                                         &descriptionLength, attributes, std::size(attributes), &attributesLength);
        if (!SQL_SUCCEEDED(rc))
            break;
        names.push_back(FromWide(description, std::min<std::size_t>(descriptionLength, std::size(description) - 1)));
        direction = SQL_FETCH_NEXT;
    }
    return names;
}

}  // namespace

Driver ChooseDriver(const std::vector<std::string>& registered,
                    const std::function<bool(const std::string&)>& fileExists)
{
    for (const auto& known : PreferredDrivers()) {
        const auto found = std::find_if(registered.begin(), registered.end(),
                                        [&](const std::string& name) { return Names(name, known); });
        if (found != registered.end())
            return {known.kind, *found};
    }
    for (const auto& library : UnregisteredDriverLibraries())
        if (fileExists(library))
            return {DriverKind::FreeTds, library};
    throw Error(errc::CannotCreateObject, MissingDriverAdvice());
}

Driver FindInstalledDriver()
{
    return ChooseDriver(RegisteredDrivers(), [](const std::string& path) {
        std::error_code ignored;
        return std::filesystem::is_regular_file(path, ignored);
    });
}

}  // namespace tallyrun::odbc
