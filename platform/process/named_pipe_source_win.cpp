#include "platform/process/named_pipe_source_win.h"

#include "base/error.h"

#include <algorithm>
#include <atomic>
#include <string>

namespace tallyrun {

namespace {

Error PipeError(const char* what)
{
    const DWORD code = ::GetLastError();
    return Error(static_cast<long>(code), std::string("Cannot give the client a pipe for its output: ") + what +
                                              " failed with system error " + std::to_string(code) + ".");
}

// Unique within the machine: our process identifier and a count of our own.
std::wstring NewPipeName()
{
    static std::atomic<unsigned long> count{0};
    return L"\\\\.\\pipe\\tallyrun-output-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
           std::to_wstring(++count);
}

}  // namespace

NamedPipeSource::NamedPipeSource(UniqueHandle pipe, UniqueHandle readDone, UniqueHandle stop)
    : m_pipe(std::move(pipe)), m_readDone(std::move(readDone)), m_stop(std::move(stop))
{
}

std::unique_ptr<NamedPipeSource> NamedPipeSource::Create(UniqueHandle& clientEnd)
{
    const std::wstring name = NewPipeName();
    // One instance, made first by us, so that no one else can stand in for either end.
    UniqueHandle pipe = FileHandle(::CreateNamedPipeW(
        name.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
        PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, 0, 64 * 1024, 0, nullptr));
    if (!pipe)
        throw PipeError("CreateNamedPipe");
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    UniqueHandle writeEnd = FileHandle(
        ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, &inheritable, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!writeEnd)
        throw PipeError("CreateFile");
    UniqueHandle readDone(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    UniqueHandle stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!readDone || !stop)
        throw PipeError("CreateEvent");
    clientEnd = std::move(writeEnd);
    return std::unique_ptr<NamedPipeSource>(new NamedPipeSource(std::move(pipe), std::move(readDone), std::move(stop)));
}

std::size_t NamedPipeSource::Read(char* buffer, std::size_t size)
{
    const auto wanted = static_cast<DWORD>(std::min<std::size_t>(size, MAXDWORD));
    for (;;) {
        if (::WaitForSingleObject(m_stop.Get(), 0) != WAIT_TIMEOUT)
            return 0;
        OVERLAPPED overlapped{};
        overlapped.hEvent = m_readDone.Get();
        ::ResetEvent(m_readDone.Get());
        if (!::ReadFile(m_pipe.Get(), buffer, wanted, nullptr, &overlapped)) {
            if (::GetLastError() != ERROR_IO_PENDING)
                return 0;  // ERROR_BROKEN_PIPE: every writer has gone
            const HANDLE events[] = {m_readDone.Get(), m_stop.Get()};
            if (::WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0) {
                // Under Wine a take once waited until a writer still holding the pipe had gone; cutting the writers
                // off ends the read whether or not the cancel takes.
                ::CancelIoEx(m_pipe.Get(), &overlapped);
                ::DisconnectNamedPipe(m_pipe.Get());
                DWORD ignored = 0;
                ::GetOverlappedResult(m_pipe.Get(), &overlapped, &ignored, TRUE);
                return 0;
            }
        }
        DWORD got = 0;
        if (!::GetOverlappedResult(m_pipe.Get(), &overlapped, &got, FALSE))
            return 0;
        if (got > 0)  // a writer's empty write completes a read with nothing: not the end
            return got;
    }
}

void NamedPipeSource::Stop() noexcept
{
    ::SetEvent(m_stop.Get());
}

}  // namespace tallyrun
