// The system's words for a socket error on a Windows in German (CTest starts Wine so): UTF-8 that the message
// box takes, not the ANSI code page's bytes that it would refuse.
#include "base/system_message.h"

#include <winsock2.h>

#include <gtest/gtest.h>

namespace tallyrun {
namespace {

TEST(SystemMessage, IsUtf8InTheSystemsLanguage)
{
    EXPECT_EQ(SystemMessage(WSAECONNRESET), "Verbindung von Gegenstelle zur\xC3\xBC" "ckgesetzt");
}

}  // namespace
}  // namespace tallyrun
