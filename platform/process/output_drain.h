// Reading a client's output on a thread of its own as fast as the client writes it, keeping a bounded part, so
// that neither the client nor the user-interface thread ever waits on the other.
#pragma once

#include "platform/process/kept_output.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace tallyrun {

// Our end of the pipe the client writes into; what it is depends on the system.
class OutputSource {
public:
    virtual ~OutputSource() = default;
    // Blocks until output arrives, and returns how many bytes were read; 0 at the end of the output (every writer
    // gone), on a failure, or once Stop has been called.
    virtual std::size_t Read(char* buffer, std::size_t size) = 0;
    // Ends a Read in progress and every later one. Called from another thread than Read.
    virtual void Stop() noexcept = 0;
};

class OutputDrain {
public:
    // Starts the reading thread.
    explicit OutputDrain(std::unique_ptr<OutputSource> source);
    // Stops reading even when writers remain (a client still running, or something it started), and waits only
    // for the thread to notice.
    ~OutputDrain();
    OutputDrain(const OutputDrain&) = delete;
    OutputDrain& operator=(const OutputDrain&) = delete;

    // What was kept, once the output has ended or `limit` has passed, whichever comes first.
    std::string Kept(std::chrono::milliseconds limit);

private:
    void Drain();

    std::unique_ptr<OutputSource> m_source;
    std::mutex m_mutex;
    std::condition_variable m_ended;
    KeptOutput m_kept;
    bool m_done = false;
    std::thread m_thread;  // last, so that it starts once everything it uses is there
};

}  // namespace tallyrun
