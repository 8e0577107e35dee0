// A click on the run button of the real window, with the real launcher, process watch and osql client, reaches the
// SQL Server stand-in; the wait dialog stays until the client has ended and then goes; a run that failed says why.
#include "closed_port.h"
#include "tds_standin.h"
#include "tests/fixtures/real_window/own_resources.h"
#include "tests/fixtures/real_window/real_window.h"

#include <QApplication>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>

namespace tallyrun {

namespace {

using testing::LoopbackServer;
using testing::RealWindow;

// Sets an environment variable for the clients started while it lives.
class ClientEnvironment {
public:
    ClientEnvironment(const char* name, const QByteArray& value) : m_name(name), m_old(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~ClientEnvironment() { m_old.isNull() ? qunsetenv(m_name) : qputenv(m_name, m_old); }
    ClientEnvironment(const ClientEnvironment&) = delete;
    ClientEnvironment& operator=(const ClientEnvironment&) = delete;

private:
    const char* m_name;
    QByteArray m_old;
};

}  // namespace

class EndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void runDeliversTheUsageUpdateAndTheDialogWaitsForTheClient_data()
    {
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("batch");
        QTest::newRow("ascii") << QStringLiteral("Sales")
                               << QStringLiteral("DBCC UPDATEUSAGE('Sales') WITH NO_INFOMSGS, COUNT_ROWS");
        QTest::newRow("outside ascii") << QStringLiteral("Ventes d'\u00e9t\u00e9 \u6570\u636e")
                                       << QStringLiteral("DBCC UPDATEUSAGE(N'Ventes d''\u00e9t\u00e9 \u6570\u636e') "
                                                         "WITH NO_INFOMSGS, COUNT_ROWS");
    }

    void runDeliversTheUsageUpdateAndTheDialogWaitsForTheClient()
    {
        QFETCH(QString, database);
        QFETCH(QString, batch);
        testing::TdsStandIn server;
        RealWindow real(CLIENT_DIR);

        // While the dialog is up, ask it to close: it must refuse for as long as the client runs.
        QPointer<QWidget> dialog;
        bool survivedCloseRequest = false;
        QTimer::singleShot(200, [&] {
            dialog = QApplication::activeModalWidget();
            if (dialog && dialog->objectName() == QStringLiteral("frm_Updating")) {
                dialog->close();
                survivedCloseRequest = dialog->isVisible();
            }
        });

        const qint64 waited = real.Run(LoopbackServer(server.Port()), database);

        QVERIFY2(real.recorder.messages.empty(), real.Told().c_str());
        QVERIFY2(survivedCloseRequest, "no wait dialog, or it closed on request while the client ran");
        QVERIFY2(dialog.isNull(), "the dialog outlived its run");
        // The first look at the client comes a second after the dialog opened; the client needs well under that
        // against the stand-in, so the dialog goes at the first or second tick.
        QVERIFY2(waited >= 900 && waited < 10000, qPrintable(QStringLiteral("waited %1 ms").arg(waited)));

        const std::vector<std::string> batches = server.Batches();
        const std::string expected = batch.toStdString();
        QCOMPARE(std::count(batches.begin(), batches.end(), expected), 1);
        QCOMPARE(server.SuccessfulLogins(), 1);
        QVERIFY(real.Window().isEnabled());
    }

    void aFailedRunSaysWhyOnceTheDialogHasGone_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("told");
        QTest::newRow("unknown database") << QStringLiteral("database") << QStringLiteral("Could not find database 'Salse'.");
        QTest::newRow("no ticket") << QStringLiteral("ticket") << QStringLiteral("Run kinit to get one.");
        QTest::newRow("closed port") << QStringLiteral("port") << QStringLiteral("was refused: nothing listens there");
    }

    void aFailedRunSaysWhyOnceTheDialogHasGone()
    {
        QFETCH(QString, cause);
        QFETCH(QString, told);
        testing::TdsStandIn server;
        server.AddReply("UPDATEUSAGE('Salse')", {2520, 11, 16, "Could not find database 'Salse'. The database "
                                                               "either does not exist, or was dropped before a "
                                                               "statement tried to use it."});
        const std::uint16_t port = cause == QStringLiteral("port") ? testing::PortNobodyListensOn() : server.Port();
        std::optional<ClientEnvironment> noTicket;
        if (cause == QStringLiteral("ticket"))
            noTicket.emplace("KRB5CCNAME", "FILE:" + qgetenv("TALLYRUN_TEST_KDC_DIR") + "/none");
        RealWindow real(CLIENT_DIR);

        bool toldWhileWaiting = false;
        QTimer::singleShot(200, [&] { toldWhileWaiting = !real.recorder.messages.empty(); });
        real.Run(LoopbackServer(port), QStringLiteral("Salse"));

        QVERIFY(!toldWhileWaiting);
        QCOMPARE(real.recorder.messages.size(), std::size_t{1});
        const auto& message = real.recorder.messages.front();
        QVERIFY2(message.text.find(told.toStdString()) != std::string::npos, message.text.c_str());
        QCOMPARE(message.style, ui::MessageStyleInformation);
        QCOMPARE(message.title, std::string("Tallyrun"));
        QCOMPARE(message.owner, &real.frm.Form());
        QVERIFY(real.Window().isEnabled());
    }

    void aClientWritingALotNeitherStallsNorGrowsTheProgram()
    {
        // A client of the same name that writes 64 MiB, far past what is kept, then a server's error.
        const QTemporaryDir directory;
        const std::filesystem::path client = directory.path().toStdString() + "/osql";
        std::ofstream(client) << "#!/bin/sh\n"
                                 "yes 'a line of output that nobody reads' | head -c 67108864\n"
                                 "echo\n"
                                 "printf 'Msg 2520, Level 16, State 11, Server SRV1, Line 1\\nCould not find database.\\n'\n";
        std::filesystem::permissions(client, std::filesystem::perms::owner_all);
        RealWindow real(client.parent_path());

        const long before = testing::CountOwnResources().residentKilobytes;
        const qint64 waited = real.Run(QStringLiteral("SRV1"), QStringLiteral("Sales"));
        const long grown = testing::CountOwnResources().residentKilobytes - before;
        qInfo("64 MiB of client output: the run took %lld ms, resident memory grew by %ld KiB", waited, grown);

        QVERIFY2(waited < 30000, qPrintable(QStringLiteral("waited %1 ms").arg(waited)));
        QVERIFY2(grown < 16 * 1024, qPrintable(QStringLiteral("grew by %1 KiB").arg(grown)));
        QCOMPARE(real.Told(), std::string("Could not find database.\n"));
    }
};

}  // namespace tallyrun

QTEST_MAIN(tallyrun::EndToEndTest)
#include "end_to_end_test.moc"
