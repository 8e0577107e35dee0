// What crosses the ODBC boundary: UTF-16, the driver's diagnostics and what they say of a failed encrypted login,
// length indicators read against the buffer, and the watchdog that bounds a call.
#include "base/unicode.h"
#include "sqlclient/odbc/call_lengths.h"
#include "sqlclient/odbc/call_watchdog.h"
#include "sqlclient/odbc/diagnostic.h"
#include "sqlclient/odbc/encryption_failure.h"
#include "tests/fixtures/errors/expect_error.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <tuple>

namespace tallyrun::odbc {
namespace {

using namespace std::chrono_literals;
using fixtures::Record;

TEST(Utf16, ReplacesMalformedInputInsteadOfStoppingOrRefusesItWhenAsked)
{
    // A stray continuation byte, an overlong '/', an encoded surrogate.
    EXPECT_EQ(ToUtf16("a\x80z", Malformed::Replace), u"a\uFFFDz");
    EXPECT_EQ(ToUtf16("\xC0\xAF", Malformed::Replace), u"\uFFFD");
    EXPECT_EQ(ToUtf16("\xED\xA0\x80", Malformed::Replace), u"\uFFFD");
    EXPECT_EQ(ToUtf8(std::u16string(u"x") + char16_t(0xD800) + u"y"), "x\xEF\xBF\xBDy");
    EXPECT_EQ(fixtures::RaisedError([] { ToUtf16("a\x80z", Malformed::Refuse); }).Number(), errc::NotUtf8);
}

TEST(Diagnostics, SeverityDecidesErrorsAndSqlStateStandsInForIt)
{
    EXPECT_FALSE(Record("01000", 5701, "x").IsError());
    EXPECT_TRUE(Record("42000", 50000, "x").IsError());
    EXPECT_FALSE(Record("42000", 50000, "x", 10).IsError());

    EXPECT_FALSE(Record("42S02", 208, "Invalid object name").EndsBatch());
    EXPECT_TRUE(Record("HYT00", 0, "Timeout expired").EndsBatch());

    // Only a server error with nothing that ends the batch makes a failed call a message of the batch.
    const Diagnostic missing = Record("42000", 2520, "Could not find database 'Nope'.", 16);
    const Diagnostic endOfStream = Record("01000", 20017, "Unexpected EOF from the server", 9);
    EXPECT_TRUE(HoldsServerError({missing}));
    EXPECT_FALSE(HoldsServerError({endOfStream}));
    EXPECT_FALSE(HoldsServerError({missing, Record("08S01", 20004, "Read from the server failed")}));
}

TEST(Diagnostics, ErrorKeepsEveryRecordAndTellsEachTextOnceThenTheNotes)
{
    const OdbcError error({Record("08S01", 20009, "[FreeTDS][SQL Server]Unable to connect"),
                           Record("08S01", 20009, "[FreeTDS][SQL Server]Unable to connect"),
                           Record("08001", 0, "[FreeTDS][SQL Server]Unable to connect to data source")},
                          {"The connection was refused."});
    EXPECT_EQ(error.Number(), 20009);
    EXPECT_EQ(error.Description(),
              "Unable to connect\nUnable to connect to data source\nThe connection was refused.");
    EXPECT_EQ(OdbcError({Record("08001", 0, "x")}).Number(), errc::OdbcCallFailed);
}

// Drivers' own records of failed encrypted logins: FreeTDS 1.3.17's as it gave them against loopback servers,
// Microsoft's as Microsoft documents them (Windows gives Schannel's code as the native error, in the system's
// language; Linux quotes OpenSSL with -1).
const std::vector<Diagnostic> FreeTdsConnectionFailed{
    Record("08001", 0, "[FreeTDS][SQL Server]Unable to connect to data source"),
    Record("01000", 20002, "[FreeTDS][SQL Server]Adaptive Server connection failed")};
const std::vector<Diagnostic> FreeTdsClosedAfterPrelogin{
    Record("08001", 0, "[FreeTDS][SQL Server]Unable to connect to data source"),
    Record("01000", 20017, "[FreeTDS][SQL Server]Unexpected EOF from the server"),
    Record("01000", 20002, "[FreeTDS][SQL Server]Adaptive Server connection failed")};
const std::vector<Diagnostic> Driver18ClosedAfterPrelogin{
    Record("08001", 10054, "[Microsoft][ODBC Driver 18 for SQL Server]TCP Provider: Error code 0x2746"),
    Record("08001", 10054, "[Microsoft][ODBC Driver 18 for SQL Server]Client unable to establish connection")};
const std::vector<Diagnostic> Driver18SelfSignedLinux{
    Record("08001", -1, "[Microsoft][ODBC Driver 18 for SQL Server]SSL Provider: [error:0A000086:SSL routines::"
                        "certificate verify failed:self-signed certificate]"),
    Record("08001", -1, "[Microsoft][ODBC Driver 18 for SQL Server]Client unable to establish connection. For "
                        "solutions related to encryption errors, see https://go.microsoft.com/fwlink/?linkid=2226722")};

std::string AdviceText(const EncryptionFinding& finding)
{
    std::string text;
    for (const auto& line : EncryptionAdvice(finding, "srv1", ParseServerName("srv1,1533")))
        text += line + "\n";
    return text;
}

TEST(EncryptionFailures, RecordedDriverTextsAndPreloginAnswersBecomeTheAdvice)
{
    using enum EncryptionProblem;
    const struct {
        const char* what;
        std::vector<Diagnostic> records;
        PreloginAnswer answer;
        EncryptionProblem problem;
        bool examine;       // whether the client's own handshake may tell more
        const char* words;  // in the advice
    } cases[] = {
        {"self-signed, Linux", Driver18SelfSignedLinux, PreloginAnswer::StrictOnly, UntrustedCertificate, true,
         "computer.\nFor a server you know, -C accepts its certificate as it is.\n"},
        {"OpenSSL 1.1", {Record("08001", -1, "[Microsoft][ODBC Driver 18 for SQL Server]SSL Provider: [error:1416F086:"
                                "SSL routines:tls_process_server_certificate:certificate verify failed:self signed "
                                "certificate]")},
         PreloginAnswer::Unknown, UntrustedCertificate, true, "Configuration Manager"},
        {"untrusted, Windows, German", {Record("08001", -2146893019, "[Microsoft][ODBC Driver 18 for SQL Server]"
                                               "SSL-Anbieter: Die Zertifikatkette wurde von einer nicht "
                                               "vertrauensw\xc3\xbcrdigen Zertifizierungsstelle ausgestellt.")},
         PreloginAnswer::Unknown, UntrustedCertificate, true, "install the authority"},
        {"name, Windows", {Record("08001", -2146893022, "[Microsoft][ODBC Driver 18 for SQL Server]SSL Provider: The "
                                  "target principal name is incorrect.")},
         PreloginAnswer::Unknown, CertificateName, true, "issued to another name than srv1. Type the name"},
        {"name, Linux", {Record("08001", -1, "[Microsoft][ODBC Driver 17 for SQL Server]SSL Provider: [error:"
                                "14090086:SSL routines:ssl3_get_server_certificate:certificate verify failed:subject "
                                "name does not match host name]")},
         PreloginAnswer::Unknown, CertificateName, true, "usually the server's full name"},
        {"TLS 1.0, Windows", {Record("08001", -2146893007, "[Microsoft][ODBC Driver 18 for SQL Server]SSL Provider: "
                                     "The client and server cannot communicate, because they do not possess a "
                                     "common algorithm.")},
         PreloginAnswer::Unknown, Handshake, true, "failed: The client and server cannot communicate, because they "
                                                   "do not possess a common algorithm. If the server"},
        {"TLS 1.0, Linux", {Record("08001", -1, "[Microsoft][ODBC Driver 18 for SQL Server]SSL Provider: [error:"
                                   "0A000102:SSL routines::unsupported protocol]")},
         PreloginAnswer::Unknown, Handshake, true, "protocol]. If the server speaks only TLS 1.0 or 1.1"},
        {"FreeTDS, TLS refused", FreeTdsConnectionFailed, PreloginAnswer::EncryptionOffered, HandshakeUntold, true,
         "TDSDUMP"},
        {"FreeTDS, no encryption", FreeTdsConnectionFailed, PreloginAnswer::EncryptionNotOffered, NotOffered, false,
         "No SQL Server since SQL Server 2005 answers so: something between this computer and the server may be "
         "removing encryption. Check the network path to srv1 port 1533 (a proxy, a load balancer, a device that "
         "intercepts traffic) before anything else.\nFor a server you know to have no encryption, -N o connects "
         "without it.\n"},
        {"FreeTDS, strict", FreeTdsClosedAfterPrelogin, PreloginAnswer::StrictOnly, StrictOnly, false,
         "strict (TDS 8.0) encryption, which the installed ODBC driver cannot make. Install ODBC Driver 18 for SQL "
         "Server 18.1.2.1 or later."},
        {"Driver 18, strict", Driver18ClosedAfterPrelogin, PreloginAnswer::StrictOnly, StrictOnly, false, "strict"},
        {"FreeTDS, a web server", FreeTdsClosedAfterPrelogin, PreloginAnswer::NotSqlServer, NotSqlServer, false,
         "Something other than SQL Server answers at srv1 port 1533."},
        {"FreeTDS, closed without strict", FreeTdsClosedAfterPrelogin, PreloginAnswer::ClosedWithoutAnswer,
         ClosedWithoutAnswer, false, "The server at srv1 port 1533 closed the connection without answering"},
        {"FreeTDS, EOF from a server that encrypts", FreeTdsClosedAfterPrelogin, PreloginAnswer::EncryptionOffered,
         None, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(WorthAskingServer(c.records));
        const auto finding = FindEncryptionProblem(c.records, c.answer, Encryption::Mandatory);
        EXPECT_EQ(finding.problem, c.problem);
        EXPECT_EQ(WorthExaminingTls(finding), c.examine);
        const std::string advice = AdviceText(finding);
        EXPECT_NE(advice.find(c.words), std::string::npos) << advice;
    }
    EXPECT_EQ(FindEncryptionProblem(FreeTdsConnectionFailed, PreloginAnswer::EncryptionNotOffered,
                                    Encryption::Optional).problem, None);
    EXPECT_TRUE(WorthExaminingTls({.problem = StrictFailed}));
    EXPECT_EQ(AdviceText({.problem = Examined, .verdict = {"one", "two"}}), "one\ntwo\n");
    EXPECT_EQ(AdviceText({.problem = HandshakeUntold, .verdict = {"one"}}), "one\n");
    EXPECT_FALSE(WorthAskingServer({Record("28000", 18456, "Login failed for user 'sa'."),
                                    Record("08001", 0, "Unable to connect to data source")}));
}

TEST(EncryptionFailures, OnlyAStrictOnlyServerIsRetriedStrictlyAndOnlyByADriverThatCan)
{
    const auto strictOnly = FindEncryptionProblem(Driver18ClosedAfterPrelogin, PreloginAnswer::StrictOnly,
                                                  Encryption::Mandatory);
    const auto certificate = FindEncryptionProblem(Driver18SelfSignedLinux, PreloginAnswer::StrictOnly,
                                                   Encryption::Mandatory);
    EXPECT_TRUE(RetryStrictly(strictOnly, Encryption::Mandatory, true));
    EXPECT_TRUE(RetryStrictly(strictOnly, Encryption::Optional, true));
    EXPECT_FALSE(RetryStrictly(strictOnly, Encryption::Mandatory, false));
    EXPECT_FALSE(RetryStrictly(strictOnly, Encryption::Strict, true)) << "strict already";
    EXPECT_FALSE(RetryStrictly(certificate, Encryption::Mandatory, true));
    for (const auto answer : {PreloginAnswer::ClosedWithoutAnswer, PreloginAnswer::NotSqlServer,
                              PreloginAnswer::EncryptionOffered})
        EXPECT_FALSE(RetryStrictly(FindEncryptionProblem(Driver18ClosedAfterPrelogin, answer, Encryption::Mandatory),
                                   Encryption::Mandatory, true));
}

TEST(CallLengths, AnIndicatorIsReadAgainstTheBufferAndANegativeLengthIsADriverError)
{
    constexpr long long capacity = 8;  // three UTF-16 units and the terminator
    const auto read = [](long long indicator) {
        const Piece piece = ReadPiece(indicator, capacity);
        return std::tuple(piece.null, piece.truncated, piece.units);
    };
    EXPECT_EQ(read(NullData), std::tuple(true, false, 0u));
    EXPECT_EQ(read(6), std::tuple(false, false, 3u));
    EXPECT_EQ(read(1'000'000), std::tuple(false, true, 3u));
    EXPECT_EQ(read(NoTotal), std::tuple(false, true, 3u));
    for (const long long bad : {-2LL, -3LL, -5LL}) {
        const Error error = fixtures::RaisedError([&] { ReadPiece(bad, capacity); });
        EXPECT_EQ(error.Number(), errc::OdbcCallFailed);
        EXPECT_NE(error.Description().find(std::to_string(bad)), std::string::npos) << error.Description();
    }
}

TEST(CallWatchdog, ActsOnlyOnACallStillRunningPastItsLimit)
{
    std::atomic<int> overruns = 0;
    CallWatchdog watchdog(200ms, [&] { ++overruns; });
    for (int call = 0; call < 1000; ++call)
        const auto guard = watchdog.Arm();
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(overruns, 0);
    EXPECT_FALSE(watchdog.Fired());
    {
        const auto guard = watchdog.Arm();
        std::this_thread::sleep_for(600ms);
    }
    EXPECT_EQ(overruns, 1);
    EXPECT_TRUE(watchdog.Fired());
}

}  // namespace
}  // namespace tallyrun::odbc
