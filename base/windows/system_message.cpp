#include "base/system_message.h"

#include "base/windows/utf16_text.h"

#include <windows.h>

#include <iterator>

namespace tallyrun {

// The wide call: the narrow one answers in the ANSI code page, which is not UTF-8 on a Windows in most languages.
std::string SystemMessage(long code)
{
    const auto number = static_cast<DWORD>(code);
    wchar_t buffer[512];
    DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, number, 0,
                                    buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
    while (length > 0 && (buffer[length - 1] == L'\r' || buffer[length - 1] == L'\n' || buffer[length - 1] == L' '))
        --length;
    if (length > 0 && buffer[length - 1] == L'.')
        --length;
    if (length == 0)
        return "system error " + std::to_string(number);
    return Narrow(std::wstring_view(buffer, length));
}

Error LastSystemError(const std::string& what)
{
    return SystemError(static_cast<long>(::GetLastError()), what);
}

}  // namespace tallyrun
