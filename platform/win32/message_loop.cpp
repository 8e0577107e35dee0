#include "platform/win32/message_loop.h"

#include "base/system_message.h"
#include "platform/win32/win32_form.h"

#include <utility>

namespace tallyrun {

namespace {

// One user-interface thread, so one slot.
std::exception_ptr deferredError;

void RaiseDeferredError()
{
    if (deferredError)
        std::rethrow_exception(std::exchange(deferredError, nullptr));
}

}  // namespace

void DeferError(std::exception_ptr error)
{
    if (!deferredError)
        deferredError = std::move(error);
}

void ProcessMessage(MSG& message)
{
    const HWND form = message.hwnd ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (!form || !Win32Form::IsForm(form) || !::IsDialogMessageW(form, &message)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    RaiseDeferredError();
}

std::optional<int> RunMessagesWhile(const std::function<bool()>& keepRunning)
{
    while (keepRunning()) {
        MSG message;
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == -1)
            throw LastSystemError("Cannot take the next window message");
        if (got == 0) {
            const int exitCode = static_cast<int>(message.wParam);
            ::PostQuitMessage(exitCode);
            return exitCode;
        }
        ProcessMessage(message);
    }
    return std::nullopt;
}

}  // namespace tallyrun
