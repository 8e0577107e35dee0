// What a server answers to a plain (TDS 7.x) PRELOGIN: the one question that tells a server which accepts only
// strict (TDS 8.0) encryption, or none at all, from one where the login failed for another reason. Drivers that
// cannot tell it say only that the connection failed.
#pragma once

#include "sqlclient/net/host_lookup.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace tallyrun::odbc {

enum class PreloginAnswer {
    Unknown,               // no connection, or no answer within the time given
    Closed,                // the server closed the connection without a TDS answer: it wants TLS first
    EncryptionOffered,     // a TDS answer that offers encryption (on, off for all but the login, or required)
    EncryptionNotOffered,  // a TDS answer saying the server supports no encryption
};

// Sends a PRELOGIN asking for encryption to host:port and reads the answer, all within `timeout`; the connection
// is closed at once.
PreloginAnswer ProbePrelogin(const std::string& host, std::uint16_t port, std::chrono::milliseconds timeout,
                             const AddressLookup& lookup = SystemLookup());

}  // namespace tallyrun::odbc
