// A click on the run button of the real window, with the real launcher, process watch and osql client, reaches the
// SQL Server stand-in; the wait dialog stays until the client has ended and then goes.
#include "main_window/frm_Main.h"
#include "platform/process/system_launcher.h"
#include "platform/process/system_process_query.h"
#include "platform/qt/qt_form.h"
#include "platform/qt/qt_screen.h"
#include "platform/qt/qt_toolkit.h"
#include "tds_standin.h"
#include "tests/fixtures/fake_platform/fake_platform.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace tallyrun {

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

        fakes::FakePlatform fake;
        QtScreen screen;
        SystemLauncher launcher(CLIENT_DIR);
        SystemProcessQuery processes(launcher);
        QtToolkit toolkit(screen);
        Platform platform{fake.objects, launcher, processes, toolkit};
        frm_Main frm(platform);
        frm.Show();
        QWidget& window = dynamic_cast<QtForm&>(frm.Form()).Window();
        window.findChild<QComboBox*>(QStringLiteral("cbo_Servers"))
            ->setEditText(QStringLiteral("127.0.0.1,%1").arg(server.Port()));
        window.findChild<QComboBox*>(QStringLiteral("cbo_DBs"))->setEditText(database);

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

        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cmd_Tallyrun")), Qt::LeftButton);
        const qint64 waited = clock.elapsed();

        QVERIFY2(fake.toolkit.messages.empty(), "the run reported a failure");
        QVERIFY2(survivedCloseRequest, "no wait dialog, or it closed on request while the client ran");
        QVERIFY2(dialog.isNull(), "the dialog outlived its run");
        // The first look at the client comes a second after the dialog opened; the client needs well under that
        // against the stand-in, so the dialog goes at the first or second tick.
        QVERIFY2(waited >= 900 && waited < 10000, qPrintable(QStringLiteral("waited %1 ms").arg(waited)));

        const std::vector<std::string> batches = server.Batches();
        const std::string expected = batch.toStdString();
        QCOMPARE(std::count(batches.begin(), batches.end(), expected), 1);
        QCOMPARE(server.SuccessfulLogins(), 1);
        QVERIFY(window.isEnabled());
    }
};

}  // namespace tallyrun

QTEST_MAIN(tallyrun::EndToEndTest)
#include "end_to_end_test.moc"
