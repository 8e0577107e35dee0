// The error every layer below the windows raises: a number and a readable description, as the windows show them.
#pragma once

#include <stdexcept>
#include <string>

namespace tallyrun {

class Error : public std::runtime_error {
public:
    Error(long number, std::string description)
        : std::runtime_error(description), m_number(number), m_description(std::move(description)) {}

    long Number() const noexcept { return m_number; }
    const std::string& Description() const noexcept { return m_description; }

private:
    long m_number;
    std::string m_description;
};

// Numbers of the errors raised by our own code (as opposed to the driver's or the system's).
namespace errc {
inline constexpr long Overflow = 6;            // a value does not fit its type
inline constexpr long InvalidArgument = 5;     // a call's argument is out of range
inline constexpr long ObjectRequired = 424;    // an object was needed and none was there
inline constexpr long CannotCreateObject = 429; // the factory knows no such object
}  // namespace errc

}  // namespace tallyrun
