// A socket of the system's that is closed when its owner goes away, on any system the client runs on.
#pragma once

#include "base/unique_resource.h"

#include "system_sockets.h"

namespace tallyrun::net {

using OwnedSocket = UniqueResource<NativeSocket, CloseSocket, NoSocket>;

}  // namespace tallyrun::net
