// What a server answers to a plain (TDS 7.x) PRELOGIN, told only as far as it was seen: the one question that tells
// a server which accepts only strict (TDS 8.0) encryption, or none at all, or something that is no SQL Server,
// from one where the login failed for another reason. Drivers that cannot tell it say only that the connection
// failed.
#pragma once

#include "sqlclient/net/host_lookup.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace tallyrun::odbc {

enum class PreloginAnswer {
    Unknown,               // no connection, or no whole answer before the deadline
    NotSqlServer,          // an answer that is no TDS (a web server's, an SSH banner), or TLS that refuses TDS 8.0
    ClosedWithoutAnswer,   // closed or reset without an answer, and no strict handshake completed either
    StrictOnly,            // no TDS answer, and a TLS handshake begun with ALPN tds/8.0 then completed
    EncryptionOffered,     // a TDS answer that offers encryption (on, off for all but the login, or required)
    EncryptionNotOffered,  // a TDS answer saying the server supports no encryption
};

// Sends a PRELOGIN asking for encryption to host:port and reads the whole answer; where none comes, tries a strict
// handshake on a new connection. Everything before `deadline`; every connection is closed at once.
PreloginAnswer ProbePrelogin(const std::string& host, std::uint16_t port,
                             std::chrono::steady_clock::time_point deadline,
                             const AddressLookup& lookup = SystemLookup());

}  // namespace tallyrun::odbc
