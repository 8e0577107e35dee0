// The real window as a screen reader hears it through AT-SPI, the interface Orca reads (under with_openbox.sh on a
// private session bus): the main window is a frame with its title, and the wait dialog says it is busy while the
// client runs.
#include "platform/qt/qt_screen.h"
#include "tests/fixtures/real_window/real_window.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace tallyrun {

class ScreenReaderTest : public QObject {
    Q_OBJECT

private slots:
    void theWindowIsAFrameAndTheWaitDialogIsBusy()
    {
        // A client that stays for three seconds keeps the wait dialog up long enough to be asked about.
        QTemporaryDir clients;
        QFile client(clients.filePath(QStringLiteral("osql")));
        QVERIFY(client.open(QIODevice::WriteOnly) && client.write("#!/bin/sh\nexec sleep 3\n") > 0);
        client.setPermissions(client.permissions() | QFile::ExeOwner);
        client.close();
        const QtScreen system;
        testing::RealWindow real(clients.path().toStdString(), &system);
        QVERIFY(QTest::qWaitForWindowExposed(&real.Window()));

        QProcess reader;
        reader.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        reader.start(QStringLiteral(SYSTEM_PYTHON),
                     {QStringLiteral(SCREEN_READER_SCRIPT), QCoreApplication::applicationName(), QStringLiteral("30")});
        QVERIFY(reader.waitForStarted());
        // The reader asks this process over the bus: the events must keep running while it does.
        QTest::qWait(1500);
        real.Run(QStringLiteral("127.0.0.1,1"), QStringLiteral("Sales"));
        QTRY_VERIFY_WITH_TIMEOUT(reader.state() == QProcess::NotRunning, 30000);
        const QString heard = QString::fromUtf8(reader.readAllStandardOutput());
        QVERIFY2(heard.contains(QStringLiteral("frame\tTallyrun\tidle")), qPrintable(heard));
        QVERIFY2(heard.contains(QStringLiteral("dialog\tUpdating Usage\tbusy")), qPrintable(heard));
    }
};

}  // namespace tallyrun

QTEST_MAIN(tallyrun::ScreenReaderTest)
#include "screen_reader_test.moc"
