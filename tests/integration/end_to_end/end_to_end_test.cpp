// A click on the run button of the real window, with the real launcher, process watch and osql client, reaches the
// SQL Server stand-in over TLS; the wait dialog stays until the client has ended and then goes. A run that fails,
// whether the server refuses it or stops while the client waits, says why once the dialog has gone, with nothing left
// running.
#include "tds_standin.h"
#include "tests/fixtures/real_window/own_resources.h"
#include "tests/fixtures/real_window/real_window.h"

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

namespace tallyrun {

namespace {

using testing::LoopbackServer;
using testing::RealWindow;
using testing::TdsStandIn;
using AfterBatch = TdsStandIn::AfterBatch;
using Words = std::vector<std::string>;

}  // namespace

class EndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void theClientGetsTheComposedArgumentsBehindADialogCentredOverTheWindow_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("database");
        QTest::addColumn<Words>("arguments");
        QTest::newRow("placeholders") << QStringLiteral("<Server Name>") << QStringLiteral("<Database Name>")
                                      << Words{"-S", "<Server", "Name>", "-E", "-Q",
                                               "DBCC UPDATEUSAGE('<Database Name>') WITH NO_INFOMSGS, COUNT_ROWS"};
        QTest::newRow("mended") << QStringLiteral("HOST\\INST") << QStringLiteral("O'Brien \u00e9t\u00e9")
                                << Words{"-S", "HOST\\INST", "-E", "-Q",
                                         "DBCC UPDATEUSAGE(N'O''Brien \xC3\xA9t\xC3\xA9') WITH NO_INFOMSGS, "
                                         "COUNT_ROWS"};
    }

    // A stand-in client under the client's name writes down the arguments it was given, each followed by a NUL.
    void theClientGetsTheComposedArgumentsBehindADialogCentredOverTheWindow()
    {
        QFETCH(QString, server);
        QFETCH(QString, database);
        QFETCH(Words, arguments);
        const QTemporaryDir directory;
        const std::filesystem::path clientDirectory = directory.path().toStdString();
        std::ofstream(clientDirectory / "osql") << "#!/bin/sh\nprintf '%s\\0' \"$@\" >\"${0%/*}/argv.out\"\n";
        std::filesystem::permissions(clientDirectory / "osql", std::filesystem::perms::owner_all);
        RealWindow real(clientDirectory);
        // Half off the system's screen, where the toolkit on its own would push a dialog back in; the screen seen
        // through the platform is wide enough for the centred dialog to stay put.
        const QRect available = QApplication::primaryScreen()->availableGeometry();
        real.Window().move(available.right() - real.Window().width() / 2, available.top() + 100);
        real.screen.width = static_cast<float>(available.right() + 1000) * real.screen.twipsX;
        std::optional<QPoint> offset;
        QTimer::singleShot(300, [&] {
            const QWidget* dialog = QApplication::activeModalWidget();
            if (dialog && dialog->objectName() == QStringLiteral("frm_Updating"))
                offset = dialog->frameGeometry().center() - real.Window().frameGeometry().center();
        });

        real.Run(server, database);

        QVERIFY2(real.recorder.messages.empty(), real.Told().c_str());
        std::ifstream recorded(clientDirectory / "argv.out", std::ios::binary);
        const std::string all{std::istreambuf_iterator<char>(recorded), std::istreambuf_iterator<char>()};
        Words received;
        for (std::size_t start = 0, end; (end = all.find('\0', start)) != std::string::npos; start = end + 1)
            received.push_back(all.substr(start, end - start));
        QCOMPARE(received, arguments);
        QVERIFY2(offset, "no modal wait dialog during the run");
        // Centres differ by at most the rounding of odd pixel sizes.
        QVERIFY2(std::abs(offset->x()) <= 1 && std::abs(offset->y()) <= 1,
                 "the dialog is not centred over the main window");
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void runDeliversTheUsageUpdateAndTheDialogWaitsForTheClient_data()
    {
        QTest::addColumn<TdsStandIn::Encryption>("encryption");
        QTest::newRow("encryption offered") << TdsStandIn::Encryption::Login;
        QTest::newRow("encryption forced") << TdsStandIn::Encryption::Full;
    }

    // A name outside ASCII reaches the server intact, and nothing travels in clear.
    void runDeliversTheUsageUpdateAndTheDialogWaitsForTheClient()
    {
        QFETCH(TdsStandIn::Encryption, encryption);
        const QString database = QStringLiteral("Ventes d'\u00e9t\u00e9 \u6570\u636e");
        const QString batch = QStringLiteral("DBCC UPDATEUSAGE(N'Ventes d''\u00e9t\u00e9 \u6570\u636e') "
                                             "WITH NO_INFOMSGS, COUNT_ROWS");
        TdsStandIn::Options options;
        options.encryption = encryption;
        TdsStandIn server(options);
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
        QCOMPARE(std::count(batches.begin(), batches.end(), batch.toStdString()), 1);
        QCOMPARE(server.SuccessfulLogins(), 1);
        QCOMPARE(server.InClear(), 0);
        QVERIFY(real.Window().isEnabled());
    }

    void aFailedRunSaysWhyOnceTheDialogHasGone_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("told");
        // A server's error in another language: its text reaches the user intact, through driver, client and window.
        QTest::newRow("unknown database") << "database" << "Die Datenbank „Salse“ ist nicht vorhanden.";
        QTest::newRow("server stopped") << "stopped" << "The connection to the server was lost";
    }

    void aFailedRunSaysWhyOnceTheDialogHasGone()
    {
        QFETCH(QString, cause);
        QFETCH(QString, told);
        const bool stop = cause == QStringLiteral("stopped");
        TdsStandIn::Options options;
        options.afterBatch = stop ? AfterBatch::Stall : AfterBatch::Answer;
        std::optional<TdsStandIn> server(std::in_place, options);
        server->AddReply("UPDATEUSAGE('Salse')",
                         {2520, 11, 16, "Die Datenbank „Salse“ ist nicht vorhanden. Überprüfen Sie den Namen."});
        const std::uint16_t port = server->Port();
        RealWindow real(CLIENT_DIR);
        // Stopped once it has the batch, from the event loop the dialog runs: the client then waits for the answer.
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (stop && server && !server->Batches().empty())
                server.reset();
        });
        poll.start(20);

        const qint64 waited = real.Run(LoopbackServer(port), QStringLiteral("Salse"));

        QVERIFY2(!real.recorder.toldOverADialog, "told while the wait dialog was up");
        QCOMPARE(real.recorder.messages.size(), std::size_t{1});
        const auto& message = real.recorder.messages.front();
        QVERIFY2(message.text.find(told.toStdString()) != std::string::npos, message.text.c_str());
        QCOMPARE(message.style, ui::MessageStyleInformation);
        QCOMPARE(message.title, std::string("Tallyrun"));
        QCOMPARE(message.owner, &real.frm.Form());
        // A margin of a few seconds over the wait: the dialog looks once a second, and an instrumented client
        // starts slower.
        QVERIFY2(waited >= 900 && waited < 7900, qPrintable(QStringLiteral("waited %1 ms").arg(waited)));
        const auto held = testing::CountOwnResources();
        QCOMPARE(held.children, 0);
        QCOMPARE(held.zombies, 0);
        QVERIFY(real.Window().isEnabled());
    }
};

}  // namespace tallyrun

QTEST_MAIN(tallyrun::EndToEndTest)
#include "end_to_end_test.moc"
