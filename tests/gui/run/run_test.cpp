// The run button over a fake platform when no client can be started: the user learns why, no dialog opens, and
// the window stays usable.
#include "main_window/frm_Main.h"
#include "tests/fixtures/fake_platform/fake_platform.h"
#include "wait_dialog/frm_Updating.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include <cerrno>

namespace tallyrun {
namespace {

const std::string NotFound = "Cannot start \"osql\": no program of that name was found in /opt/tallyrun or on the "
                             "search path.";

class MissingClientLauncher : public Launcher {
public:
    std::vector<std::string> lines;
    std::int32_t StartHidden(const std::string& commandLine, int) override
    {
        lines.push_back(commandLine);
        throw Error(ENOENT, NotFound);
    }
};

}  // namespace

class RunTest : public QObject {
    Q_OBJECT

private slots:
    void refusedAndFailedStartsAreExplainedWithoutADialog()
    {
        fakes::FakePlatform fake;
        MissingClientLauncher launcher;
        Platform platform{fake.objects, fake.screen, launcher, fake.processes, fake.messages, fake.dropDown};
        frm_Main window(platform);
        window.show();
        auto* database = window.findChild<QComboBox*>("cbo_DBs");
        auto* run = window.findChild<QPushButton*>("cmd_Tallyrun");

        database->setEditText(QStringLiteral("Sa\"les"));
        QTest::mouseClick(run, Qt::LeftButton);
        QVERIFY2(launcher.lines.empty(), "a name with a double quote reached the launcher");
        database->setEditText(QStringLiteral("Sales"));
        QTest::mouseClick(run, Qt::LeftButton);
        QCOMPARE(launcher.lines.size(), 1U);

        const auto& shown = fake.messages.shown;
        QCOMPARE(shown.size(), 2U);
        QVERIFY2(shown[0].text.contains(QStringLiteral("\"Database Name\"")), qPrintable(shown[0].text));
        QCOMPARE(shown[1].text, QString::fromStdString(NotFound));
        for (const auto& message : shown) {
            QCOMPARE(message.style, MessageStyleInformation);
            QCOMPARE(message.title, QStringLiteral("Tallyrun"));
            QCOMPARE(message.owner, &window);
        }
        QVERIFY(window.findChildren<frm_Updating*>().isEmpty());
        QVERIFY(window.isEnabled() && QApplication::activeModalWidget() == nullptr);
    }
};

}  // namespace tallyrun

QTEST_MAIN(tallyrun::RunTest)
#include "run_test.moc"
