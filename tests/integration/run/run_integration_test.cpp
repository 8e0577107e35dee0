// A click on the real window's run button starts a stand-in client found under the client's name, waits for it in
// the dialog centred over the window, and the stand-in receives the arguments the client on Windows would receive.
#include "main_window/frm_Main.h"
#include "platform/process/system_launcher.h"
#include "platform/process/system_process_query.h"
#include "platform/qt/qt_form.h"
#include "platform/qt/qt_toolkit.h"
#include "tests/fixtures/fake_platform/fake_platform.h"

#include <QApplication>
#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

namespace tallyrun {

using Words = std::vector<std::string>;

class RunIntegrationTest : public QObject {
    Q_OBJECT

private slots:
    void clientReceivesTheComposedArguments_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("database");
        QTest::addColumn<Words>("arguments");
        QTest::newRow("placeholders") << QStringLiteral("<Server Name>") << QStringLiteral("<Database Name>")
                                      << Words{"osql", "-S", "<Server", "Name>", "-E", "-Q",
                                               "DBCC UPDATEUSAGE('<Database Name>') WITH NO_INFOMSGS, COUNT_ROWS"};
        QTest::newRow("mended") << QStringLiteral("HOST\\INST") << QStringLiteral("O'Brien \u00e9t\u00e9")
                                << Words{"osql", "-S", "HOST\\INST", "-E", "-Q",
                                         "DBCC UPDATEUSAGE(N'O''Brien \xC3\xA9t\xC3\xA9') WITH NO_INFOMSGS, "
                                         "COUNT_ROWS"};
    }

    void clientReceivesTheComposedArguments()
    {
        QFETCH(QString, server);
        QFETCH(QString, database);
        QFETCH(Words, arguments);
        QTemporaryDir dir;
        const std::filesystem::path clientDir = dir.path().toStdString();
        std::filesystem::copy_file(ARGV_RECORDER_PATH, clientDir / "osql");

        fakes::FakePlatform fake;
        SystemLauncher launcher(clientDir);
        SystemProcessQuery processes(launcher);
        fakes::FakeScreen screen;
        QtToolkit toolkit(screen);
        Platform platform{fake.objects, launcher, processes, toolkit};
        frm_Main frm(platform);
        frm.Show();
        QWidget& window = dynamic_cast<QtForm&>(frm.Form()).Window();
        // Half off the system's screen, where the toolkit on its own would push a dialog back in; the screen seen
        // through the platform is wide enough for the centred dialog to stay put.
        const QRect available = QApplication::primaryScreen()->availableGeometry();
        window.move(available.right() - window.width() / 2, available.top() + 100);
        screen.width = static_cast<float>(available.right() + 1000) * screen.twipsX;
        window.findChild<QComboBox*>("cbo_Servers")->setEditText(server);
        window.findChild<QComboBox*>("cbo_DBs")->setEditText(database);

        QPointer<QWidget> dialog;
        std::optional<QPoint> offset;
        QTimer::singleShot(300, [&] {
            dialog = QApplication::activeModalWidget();
            if (dialog && dialog->objectName() == QStringLiteral("frm_Updating")) {
                offset = dialog->frameGeometry().center() - window.frameGeometry().center();
            }
        });
        QTest::mouseClick(window.findChild<QPushButton*>("cmd_Tallyrun"), Qt::LeftButton);

        QVERIFY(fake.toolkit.messages.empty());
        std::ifstream recorded(clientDir / "argv.out", std::ios::binary);
        const std::string all{std::istreambuf_iterator<char>(recorded), std::istreambuf_iterator<char>()};
        Words received;
        for (std::size_t start = 0, end; (end = all.find('\0', start)) != std::string::npos; start = end + 1)
            received.push_back(all.substr(start, end - start));
        QCOMPARE(received, arguments);

        QVERIFY2(offset, "no modal wait dialog during the run");
        // Centres differ by at most the rounding of odd pixel sizes.
        QVERIFY2(std::abs(offset->x()) <= 1 && std::abs(offset->y()) <= 1,
                 "the dialog is not centred over the main window");
        QVERIFY2(dialog.isNull(), "the dialog outlived its run");
    }
};

}  // namespace tallyrun

QTEST_MAIN(tallyrun::RunIntegrationTest)
#include "run_integration_test.moc"
