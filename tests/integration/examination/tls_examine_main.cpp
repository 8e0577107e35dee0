// The Windows build's examining program: looks at the TLS of host and port (strict, or inside PRELOGIN) as the
// client does after a failed connect, and writes what it saw for the Linux tests that start it under Wine.
#include "examination_seen.h"

#include "sqlclient/tls/tls_examination.h"

#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    using namespace tallyrun::odbc;
    const TlsStart start = std::string(argv[3]) == "strict" ? TlsStart::Strict : TlsStart::InsidePrelogin;
    const auto port = static_cast<std::uint16_t>(std::stoi(argv[2]));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    std::cout << tallyrun::testing::Seen(ExamineTls(argv[1], port, start, deadline));
    return 0;
}
