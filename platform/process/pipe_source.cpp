#include "platform/process/pipe_source.h"

#include "base/system_message.h"

#include <poll.h>
#include <sys/eventfd.h>

#include <cerrno>
#include <cstdint>

namespace tallyrun {

PipeSource::PipeSource(UniqueFd readEnd) : m_readEnd(std::move(readEnd)), m_stop(::eventfd(0, EFD_CLOEXEC))
{
    if (!m_stop)
        throw LastSystemError("Cannot read the client's output");
}

std::size_t PipeSource::Read(char* buffer, std::size_t size)
{
    for (;;) {
        pollfd entries[2] = {{m_readEnd.Get(), POLLIN, 0}, {m_stop.Get(), POLLIN, 0}};
        if (::poll(entries, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return 0;
        }
        if (entries[1].revents != 0)
            return 0;
        const ssize_t got = ::read(m_readEnd.Get(), buffer, size);
        if (got < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        return got > 0 ? static_cast<std::size_t>(got) : 0;
    }
}

void PipeSource::Stop() noexcept
{
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_stop.Get(), &one, sizeof one);
}

}  // namespace tallyrun
