#include "platform/process/output_drain.h"

#include <string_view>

namespace tallyrun {

OutputDrain::OutputDrain(std::unique_ptr<OutputSource> source)
    : m_source(std::move(source)), m_thread([this] { Drain(); })
{
}

OutputDrain::~OutputDrain()
{
    m_source->Stop();
    m_thread.join();
}

std::string OutputDrain::Kept(std::chrono::milliseconds limit)
{
    std::unique_lock lock(m_mutex);
    m_ended.wait_for(lock, limit, [this] { return m_done; });
    return m_kept.Text();
}

void OutputDrain::Drain()
{
    constexpr std::size_t ChunkSize = 64 * 1024;
    const auto buffer = std::make_unique<char[]>(ChunkSize);
    while (const std::size_t got = m_source->Read(buffer.get(), ChunkSize)) {
        const std::lock_guard lock(m_mutex);
        m_kept.Append(std::string_view(buffer.get(), got));
    }
    {
        const std::lock_guard lock(m_mutex);
        m_done = true;
    }
    m_ended.notify_all();
}

}  // namespace tallyrun
