// The read end of a pipe as a source of a client's output, with an eventfd beside it to stop a read in progress.
#pragma once

#include "base/posix/unique_fd.h"
#include "platform/process/output_drain.h"

namespace tallyrun {

class PipeSource : public OutputSource {
public:
    // Raises an Error with the system's number when no eventfd can be had.
    explicit PipeSource(UniqueFd readEnd);

    std::size_t Read(char* buffer, std::size_t size) override;
    void Stop() noexcept override;

private:
    UniqueFd m_readEnd;
    UniqueFd m_stop;
};

}  // namespace tallyrun
