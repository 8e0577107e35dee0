// One plain (TDS 7.x) PRELOGIN asked on a connection and the server's first answer told by its kind: a PRELOGIN
// answer, something that is not TDS, TLS records, or nothing before the connection closed.
#pragma once

#include "sqlclient/net/deadline_socket.h"
#include "sqlclient/net/prelogin_message.h"

#include <cstdint>

namespace tallyrun::odbc {

struct PreloginReply {
    enum class Kind {
        Answer,     // a well-formed PRELOGIN answer; its ENCRYPTION in `encryption`
        NotTds,     // bytes that are no TDS answer (a web server's, an SSH banner), or a malformed one
        Tls,        // TLS records (an alert, say): a server that speaks TLS before anything else
        Closed,     // closed or reset before a byte came back
        TimedOut,   // no connection, or no whole answer before the deadline
    };
    Kind kind = Kind::TimedOut;
    std::uint8_t encryption = EncryptNotSupported;
};

PreloginReply AskPrelogin(DeadlineSocket& socket);

}  // namespace tallyrun::odbc
