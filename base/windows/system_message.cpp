#include "base/system_message.h"

#include "base/windows/utf16_text.h"

#include <windows.h>

#include <iterator>

namespace tallyrun {

std::string SystemMessage(unsigned long code)
{
    wchar_t buffer[512];
    DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                    buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
    while (length > 0 && (buffer[length - 1] == L'\r' || buffer[length - 1] == L'\n' || buffer[length - 1] == L' '))
        --length;
    if (length == 0)
        return "system error " + std::to_string(code) + ".";
    return Narrow(std::wstring_view(buffer, length));
}

Error LastSystemError(const std::string& what)
{
    const DWORD code = ::GetLastError();
    return Error(static_cast<long>(code), what + ": " + SystemMessage(code));
}

}  // namespace tallyrun
