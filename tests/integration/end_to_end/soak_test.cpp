// Run after run through the real window, launcher, process watch and osql client against the SQL Server stand-in:
// what the program holds of the system stays where it was after the first few runs.
#include "tds_standin.h"
#include "tests/fixtures/real_window/own_resources.h"
#include "tests/fixtures/real_window/real_window.h"

#include <QTest>

namespace tallyrun {

namespace {

// Each run lasts at least the dialog's first look at the client, a second after it opens, and the real window's
// timer comes from the real toolkit, which no collaborator of the window can hurry: a hundred runs take about as
// many seconds. A descriptor, thread or child lost per run shows as 95 of them.
constexpr int WarmUpRuns = 5;
constexpr int Runs = 100;
// Allocators keep some of what was freed; a leak of the client's output (kept up to 32 KiB a run) or of a dialog
// would pass this well before the last run.
constexpr long ResidentSlackKilobytes = 2 * 1024;

void Print(const char* when, const testing::OwnResources& held)
{
    qInfo("%s: %d descriptors, %d threads, %d children (%d zombies), %ld KiB resident", when, held.descriptors,
          held.threads, held.children, held.zombies, held.residentKilobytes);
}

}  // namespace

class SoakTest : public QObject {
    Q_OBJECT

private slots:
    void runAfterRunGivesBackWhatEachTook()
    {
        testing::TdsStandIn server;
        testing::RealWindow real(CLIENT_DIR);
        const QString address = testing::LoopbackServer(server.Port());

        testing::OwnResources warm;
        for (int run = 1; run <= Runs; ++run) {
            real.Run(address, QStringLiteral("Sales"));
            QVERIFY2(real.recorder.messages.empty(), real.Told().c_str());
            if (run == WarmUpRuns) {
                warm = testing::CountOwnResources();
                Print("after the warm-up runs", warm);
            }
        }
        const testing::OwnResources last = testing::CountOwnResources();
        Print("after run 100", last);

        QCOMPARE(server.SuccessfulLogins(), Runs);
        QCOMPARE(static_cast<int>(server.Batches().size()), Runs);
        QCOMPARE(last.descriptors, warm.descriptors);
        QCOMPARE(last.threads, warm.threads);
        QCOMPARE(last.children, 0);
        QCOMPARE(last.zombies, 0);
        const long grown = last.residentKilobytes - warm.residentKilobytes;
        qInfo("resident memory grew by %ld KiB over %d runs", grown, Runs - WarmUpRuns);
        QVERIFY2(grown <= ResidentSlackKilobytes, qPrintable(QStringLiteral("grew by %1 KiB").arg(grown)));
    }
};

}  // namespace tallyrun

QTEST_MAIN(tallyrun::SoakTest)
#include "soak_test.moc"
