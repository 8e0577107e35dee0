// Numbers of the errors the instance listing raises, next to the shared ones in platform/core/error.h.
#pragma once

namespace tallyrun::ssrp::errc {

inline constexpr long SocketFailed = 1434;     // the system gave no usable UDP socket
inline constexpr long NoTargetReached = 1435;  // not one request could be sent

}  // namespace tallyrun::ssrp::errc
