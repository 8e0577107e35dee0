// A socket of the system's that is closed when its owner goes away, on any system the client runs on.
#pragma once

#include "base/unique_resource.h"

#include "system_sockets.h"

namespace tallyrun::net {

struct SocketTraits {
    using Value = NativeSocket;
    static constexpr Value None = NoSocket;
    static void Close(Value socket) noexcept { CloseSocket(socket); }
};
using OwnedSocket = UniqueResource<SocketTraits>;

}  // namespace tallyrun::net
