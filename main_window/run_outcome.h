// Whether a finished run of the client failed, and why, in words for the message box: read from its exit and from
// what it printed, since without -b the client exits 0 after a server's error.
#pragma once

#include "platform/core/launcher.h"

#include <optional>
#include <string>

namespace tallyrun {

// Nothing for a run that succeeded: exited 0 (or its end unseen) and no server message of severity 11 or more and
// no failure of the client's own in its output. Otherwise the server's messages first, then the client's own
// failure lines, then how it ended where that says more; trimmed to what a message box can show.
std::optional<std::string> RunFailure(const ClientOutcome& outcome);

}  // namespace tallyrun
