// A file descriptor that is closed when its owner goes away.
#pragma once

#include "base/unique_resource.h"

#include <unistd.h>

namespace tallyrun {

inline void CloseFd(int fd) noexcept { ::close(fd); }
using UniqueFd = UniqueResource<int, CloseFd, -1>;

}  // namespace tallyrun
