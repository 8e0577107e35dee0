#include "platform/process/system_process_query.h"

namespace tallyrun {

std::unique_ptr<ProcessHandle> SystemProcessQuery::OpenProcess(std::int32_t)
{
    return nullptr;
}

}  // namespace tallyrun
