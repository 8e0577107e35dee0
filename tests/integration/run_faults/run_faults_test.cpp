// The real window, launcher, process watch and osql client when the run is broken from outside: the client killed
// while the dialog waits, the server gone in the middle of the batch, a server that takes the connection and never
// answers. The dialog always goes, the message says what happened, and nothing is left running.
#include "tds_standin.h"
#include "tests/fixtures/real_window/own_resources.h"
#include "tests/fixtures/real_window/real_window.h"

#include <QTest>
#include <QTimer>

#include <signal.h>

#include <functional>
#include <optional>

namespace tallyrun {

namespace {

using AfterBatch = testing::TdsStandIn::AfterBatch;

constexpr const char* Database = "Sales";
// What the client is told when it gives up on a server: the main window passes no login timeout of its own.
constexpr qint64 ClientLoginTimeoutMs = 15000;

testing::TdsStandIn::Options Failing(AfterBatch afterBatch)
{
    testing::TdsStandIn::Options options;
    options.afterBatch = afterBatch;
    return options;
}

// Calls `act` once, from the event loop the dialog runs, as soon as the server has the batch: the client is then
// waiting for the answer.
class OnceTheBatchArrives {
public:
    OnceTheBatchArrives(const testing::TdsStandIn& server, std::function<void()> act)
    {
        QObject::connect(&m_poll, &QTimer::timeout, [this, &server, act = std::move(act)] {
            if (server.Batches().empty())
                return;
            m_poll.stop();
            act();
        });
        m_poll.start(20);
    }

private:
    QTimer m_poll;
};

void ExpectNothingLeftRunning()
{
    const auto held = testing::CountOwnResources();
    QCOMPARE(held.children, 0);
    QCOMPARE(held.zombies, 0);
}

void ExpectOneMessageSaying(const testing::RealWindow& real, const std::string& words)
{
    QCOMPARE(real.recorder.messages.size(), std::size_t{1});
    QVERIFY2(real.recorder.messages.front().text.find(words) != std::string::npos, real.Told().c_str());
}

}  // namespace

class RunFaultsTest : public QObject {
    Q_OBJECT

private slots:
    void aClientKilledFromOutsideEndsTheWaitAndSaysSo()
    {
        testing::TdsStandIn server(Failing(AfterBatch::Stall));
        testing::RealWindow real(CLIENT_DIR);
        int killed = 0;
        const OnceTheBatchArrives kill(server, [&] {
            for (const auto& child : testing::OwnChildren())
                if (child.name == "osql" && ::kill(child.pid, SIGKILL) == 0)
                    ++killed;
        });

        const qint64 waited = real.Run(testing::LoopbackServer(server.Port()), Database);

        QCOMPARE(killed, 1);
        QVERIFY2(waited < 10000, qPrintable(QStringLiteral("waited %1 ms").arg(waited)));
        ExpectOneMessageSaying(real, "osql was stopped from outside (signal 9, SIGKILL) before it finished.");
        ExpectNothingLeftRunning();
        QVERIFY(real.Window().isEnabled());
    }

    void aServerGoneMidBatchEndsTheRunNamingTheLostConnection_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("told");
        QTest::newRow("closed") << static_cast<int>(AfterBatch::Close)
                                << QStringLiteral("The connection to the server was lost: the server closed it");
        QTest::newRow("reset") << static_cast<int>(AfterBatch::Reset)
                               << QStringLiteral("The connection to the server was reset by the server");
        // The server stops altogether while the client waits for the batch's answer.
        QTest::newRow("stopped") << static_cast<int>(AfterBatch::Stall)
                                 << QStringLiteral("The connection to the server was lost");
    }

    void aServerGoneMidBatchEndsTheRunNamingTheLostConnection()
    {
        QFETCH(int, fault);
        QFETCH(QString, told);
        std::optional<testing::TdsStandIn> server(std::in_place, Failing(static_cast<AfterBatch>(fault)));
        testing::RealWindow real(CLIENT_DIR);
        std::optional<OnceTheBatchArrives> stop;
        if (static_cast<AfterBatch>(fault) == AfterBatch::Stall)
            stop.emplace(*server, [&] { server.reset(); });

        const qint64 waited = real.Run(testing::LoopbackServer(server->Port()), Database);

        QVERIFY2(waited < 10000, qPrintable(QStringLiteral("waited %1 ms").arg(waited)));
        ExpectOneMessageSaying(real, told.toStdString());
        ExpectNothingLeftRunning();
    }

    void aServerThatNeverAnswersEndsTheRunAtTheClientsLoginTimeout()
    {
        testing::TdsStandIn::Options silent;
        silent.mode = testing::TdsStandIn::Mode::Silent;
        testing::TdsStandIn server(silent);
        testing::RealWindow real(CLIENT_DIR);

        const qint64 waited = real.Run(testing::LoopbackServer(server.Port()), Database);

        // The dialog looks once a second, and the instrumented client starts slower: a margin of a few seconds.
        QVERIFY2(waited >= ClientLoginTimeoutMs - 100 && waited < ClientLoginTimeoutMs + 6000,
                 qPrintable(QStringLiteral("waited %1 ms").arg(waited)));
        ExpectOneMessageSaying(real, "did not answer within the login timeout of 15 seconds");
        ExpectNothingLeftRunning();
    }
};

}  // namespace tallyrun

QTEST_MAIN(tallyrun::RunFaultsTest)
#include "run_faults_test.moc"
