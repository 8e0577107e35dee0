// The thread's message loops: our forms' dialog keys (Tab, Escape) before dispatching, and errors that event
// handlers raise carried out of the window procedures to the loop's caller.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <optional>

namespace tallyrun {

// One message as every loop of ours handles it. Raises again an error that an event handler raised meanwhile.
void ProcessMessage(MSG& message);

// Takes and handles messages, waiting for each, while keepRunning says so. Returns the exit code when WM_QUIT
// arrived instead, posting it again so that every loop outside ends as well.
std::optional<int> RunMessagesWhile(const std::function<bool()>& keepRunning);

// For window procedures, which must not let an error through the system's code: the loop that dispatched the
// message raises it once the dispatch has returned. Only the first of several is kept.
void DeferError(std::exception_ptr error);

}  // namespace tallyrun
