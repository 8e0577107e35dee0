// PRELOGIN as MS-TDS lays it out (2.2.6.5): the request this client sends, and a server's answer read strictly:
// every option's length as its kind allows, each option once, its data inside the payload and after the option
// list, the list ended by its terminator. Pure: no sockets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tallyrun::odbc {

// The ENCRYPTION option's values. A server may add ClientCertificate to any of the first four.
enum EncryptionValue : std::uint8_t {
    EncryptOff = 0x00,           // only the login encrypted
    EncryptOn = 0x01,
    EncryptNotSupported = 0x02,
    EncryptRequired = 0x03,
    ClientCertificate = 0x80,
};

// A whole PRELOGIN packet asking for encryption: VERSION (none given), ENCRYPTION on, INSTOPT for the default
// instance, THREADID (none), MARS off, as MS-TDS's sample request has them.
std::vector<std::uint8_t> PreloginRequest();

struct PreloginOption {
    std::uint8_t token = 0;
    std::size_t offset = 0;  // from the payload's start
    std::size_t length = 0;
};

struct PreloginAnswerFields {
    std::vector<PreloginOption> options;  // in the order the list gives them
    std::uint8_t encryption = EncryptNotSupported;  // ClientCertificate taken off
};

// The options of a server's PRELOGIN answer (the message's payload); none when it breaks a rule above, has no
// ENCRYPTION option, or gives it a value MS-TDS does not define.
std::optional<PreloginAnswerFields> ParsePreloginAnswer(std::span<const std::uint8_t> payload);

}  // namespace tallyrun::odbc
