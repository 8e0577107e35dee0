// A file descriptor that is closed when its owner goes away.
#pragma once

#include "base/unique_resource.h"

#include <unistd.h>

namespace tallyrun {

struct FdTraits {
    using Value = int;
    static constexpr Value None = -1;
    static void Close(Value fd) noexcept { ::close(fd); }
};
using UniqueFd = UniqueResource<FdTraits>;

}  // namespace tallyrun
