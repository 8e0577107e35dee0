// The lines of our command-line client that the window reads back after a run: the client's name before the
// failures it explains itself, and the header of a server's message. osql writes them; the window reads them.
#pragma once

#include <string>
#include <string_view>

namespace tallyrun::client_lines {

// What the client calls itself when started as the window starts it.
inline constexpr std::string_view ClientName = "osql";

// A failure the client explains itself: "<name>: <what went wrong>", its detail on the lines that follow.
inline std::string FailurePrefix(std::string_view program)
{
    return std::string(program) + ": ";
}

// A warning of the client's, which does not fail the run: "<name> warning: <what>", on one line that the window
// passes over.
inline std::string WarningPrefix(std::string_view program)
{
    return std::string(program) + " warning: ";
}

// A server message's header, "Msg <n>, Level <l>, State <s>, Server <name>, Procedure <name>, Line <n>": Msg
// first, then each field in this order where the driver tells it.
inline constexpr std::string_view MsgField = "Msg ";
inline constexpr std::string_view LevelField = ", Level ";
inline constexpr std::string_view StateField = ", State ";
inline constexpr std::string_view ServerField = ", Server ";
inline constexpr std::string_view ProcedureField = ", Procedure ";
inline constexpr std::string_view LineField = ", Line ";

}  // namespace tallyrun::client_lines
