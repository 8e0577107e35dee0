// The error every layer below the windows raises: a number and a readable description, as the windows show them.
#pragma once

#include <stdexcept>
#include <string>

namespace tallyrun {

class Error : public std::runtime_error {
public:
    Error(long number, const std::string& description) : std::runtime_error(description), m_number(number) {}

    long Number() const noexcept { return m_number; }
    std::string Description() const { return what(); }

private:
    long m_number;
};

// Numbers of the errors raised by our own code (as opposed to the driver's or the system's), in one list so that
// no two causes share a number.
namespace errc {
enum Number : long {
    InvalidArgument = 5,       // a call's argument is out of range
    Overflow = 6,              // a value does not fit its type
    ObjectRequired = 424,      // an object was needed and none was there
    CannotCreateObject = 429,  // the factory knows no such object
    NotUtf8 = 1113,            // a text is not valid UTF-8 (Windows' ERROR_NO_UNICODE_TRANSLATION)
    SocketFailed = 1434,       // the system gave no usable UDP socket
    NoTargetReached = 1435,    // not one SQL Browser request could be sent
    InstanceNotFound = 1436,   // the host's SQL Browser named no port for the instance
    HostNotFound = 1437,       // the resolver knows no address for the host name
    HostLookupTimedOut = 1438, // the resolver did not answer within the time given
    KdcDidNotAnswer = 1439,    // no KDC of the realm answered within the time given
    StrictEncryptionUnavailable = 1440,  // strict (TDS 8.0) encryption asked of a driver that cannot make it
    SettingsUnavailable = 1441,  // FreeTDS could not be handed the settings that make it check the certificate
    OdbcCallFailed = 3146,     // an ODBC call failed and no record carries a number (Windows' "ODBC call failed")
};
}  // namespace errc

}  // namespace tallyrun
