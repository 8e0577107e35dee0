// Durations as this layer's messages tell them: whole seconds, rounded up, so that a wait cut short by
// milliseconds still reads as the timeout that was given.
#pragma once

#include <algorithm>
#include <chrono>
#include <string>

namespace tallyrun::odbc {

inline std::string SecondsText(std::chrono::milliseconds value)
{
    const auto seconds = std::max<long long>(std::chrono::ceil<std::chrono::seconds>(value).count(), 1);
    return std::to_string(seconds) + (seconds == 1 ? " second" : " seconds");
}

}  // namespace tallyrun::odbc
