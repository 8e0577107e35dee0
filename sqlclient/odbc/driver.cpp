#include "sqlclient/odbc/driver.h"

#include "platform/core/ascii.h"
#include "platform/core/error.h"
#include "sqlclient/odbc/driver_profile.h"
#include "sqlclient/odbc/handles.h"

#include <algorithm>
#include <filesystem>

namespace tallyrun::odbc {
namespace {

bool Names(const std::string& registered, const KnownDriver& known)
{
    if (ProfileOf(known.kind).registeredByExactName)
        return EqualsIgnoringAsciiCase(registered, known.name);
    return FoldAscii(registered).find(FoldAscii(known.name)) != std::string::npos;
}

struct Registration {
    std::string name;
    std::string library;  // its "Driver" attribute: the library's path (on Windows without a version in it)
};

std::vector<Registration> RegisteredDrivers()
{
    Environment environment;
    std::vector<Registration> drivers;
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
        Registration driver{FromWide(description, std::min<std::size_t>(descriptionLength, std::size(description) - 1)),
                            {}};
        // Attributes come as "key=value" texts, each ended by a zero, the list by another.
        for (const SQLWCHAR* at = attributes; at < std::end(attributes) && *at != 0;) {
            const SQLWCHAR* end = at;
            while (end < std::end(attributes) && *end != 0)
                ++end;
            const std::string attribute = FromWide(at, static_cast<std::size_t>(end - at));
            if (attribute.size() > 7 && EqualsIgnoringAsciiCase(attribute.substr(0, 7), "Driver="))
                driver.library = attribute.substr(7);
            at = end + 1;
        }
        drivers.push_back(std::move(driver));
        direction = SQL_FETCH_NEXT;
    }
    return drivers;
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
    std::vector<std::string> names;
    for (const auto& driver : RegisteredDrivers())
        names.push_back(driver.name);
    return ChooseDriver(names, [](const std::string& path) {
        std::error_code ignored;
        return std::filesystem::is_regular_file(path, ignored);
    });
}

std::optional<DriverVersion> RegisteredDriverVersion(const Driver& driver)
{
    for (const auto& registered : RegisteredDrivers())
        if (registered.name == driver.reference)
            return ParseDriverVersion(registered.library);
    return ParseDriverVersion(driver.reference);
}

}  // namespace tallyrun::odbc
