// Our end of the pipe a client's output goes to on Windows: a named pipe read with overlapped I/O, the one kind
// of pipe whose read can be ended from another thread.
#pragma once

#include "platform/process/output_drain.h"
#include "base/windows/unique_handle.h"

#include <memory>

namespace tallyrun {

class NamedPipeSource : public OutputSource {
public:
    // A new pipe, and in `clientEnd` its write end, inheritable, for the client's standard output and error.
    // Raises an Error with the system's number when the system refuses.
    static std::unique_ptr<NamedPipeSource> Create(UniqueHandle& clientEnd);

    std::size_t Read(char* buffer, std::size_t size) override;
    void Stop() noexcept override;

private:
    NamedPipeSource(UniqueHandle pipe, UniqueHandle readDone, UniqueHandle stop);

    UniqueHandle m_pipe;
    UniqueHandle m_readDone;
    UniqueHandle m_stop;
};

}  // namespace tallyrun
