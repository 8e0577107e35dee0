// The run button over a fake platform: what is started, the dialog it waits in, and what the user sees when
// nothing can be started.
#include "main_window/frm_Main.h"
#include "tests/fixtures/fake_platform/fake_platform.h"
#include "wait_dialog/frm_Updating.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <cstdlib>
#include <optional>

namespace tallyrun {
namespace {

class RecordingLauncher : public Launcher {
public:
    std::vector<std::string> lines;
    std::optional<Error> failure;

    std::int32_t StartHidden(const std::string& commandLine, int windowStyle) override
    {
        lines.push_back(commandLine);
        if (windowStyle != WindowStyleHidden)
            QTest::qFail("the client must start hidden", __FILE__, __LINE__);
        if (failure)
            throw *failure;
        return 4242;
    }
};

// Each process reports itself running for a given number of polls, then ended.
class CountdownProcessQuery : public ProcessQuery {
public:
    int runningPolls = 1;
    std::vector<std::int32_t> asked;

    std::unique_ptr<ProcessHandle> OpenProcess(std::int32_t processId) override
    {
        asked.push_back(processId);
        return std::make_unique<Handle>(runningPolls-- > 0);
    }

private:
    struct Handle : ProcessHandle {
        explicit Handle(bool running) : running(running) {}
        std::optional<bool> StillActive() override { return running; }
        bool running;
    };
};

struct RunFixture {
    fakes::FakePlatform fake;
    RecordingLauncher launcher;
    CountdownProcessQuery processes;
    Platform platform{fake.objects, fake.screen, launcher, processes, fake.messages, fake.dropDown};
    frm_Main window{platform};

    RunFixture()
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    void Type(const char* combo, const QString& text) { window.findChild<QComboBox*>(combo)->setEditText(text); }
    void Click() { QTest::mouseClick(window.findChild<QPushButton*>("cmd_Tallyrun"), Qt::LeftButton); }
};

}  // namespace

class RunTest : public QObject {
    Q_OBJECT

private slots:
    void waitsInTheCentredDialogUntilTheProcessEnds()
    {
        RunFixture run;
        // Half off the system's screen, where the toolkit on its own would push the dialog back in; the screen the
        // window sees through the platform is wide enough to leave the centred dialog alone.
        const QRect available = QApplication::primaryScreen()->availableGeometry();
        run.window.move(available.right() - run.window.width() / 2, available.top() + 100);
        run.fake.screen.widthTwips = static_cast<float>(available.right() + 1000) * run.fake.screen.twipsPerPixelX;
        struct Seen {
            QPointer<frm_Updating> dialog;
            std::int32_t processId = 0;
            QPoint offset;
            QSize frame;  // a window has no frame before it is first shown, so centring may be off by half of it
            bool ownedByTheWindow = false;
        } seen;
        QTimer::singleShot(300, [&] {
            seen.dialog = qobject_cast<frm_Updating*>(QApplication::activeModalWidget());
            if (!seen.dialog)
                return;
            seen.processId = seen.dialog->ProcessId();
            seen.offset = seen.dialog->frameGeometry().center() - run.window.frameGeometry().center();
            seen.frame = seen.dialog->frameGeometry().size() - seen.dialog->size();
            seen.ownedByTheWindow = seen.dialog->parentWidget() == &run.window;
        });
        run.Click();

        QCOMPARE(run.launcher.lines, std::vector<std::string>{"osql -S <Server Name> -E -Q \"DBCC UPDATEUSAGE("
                                                               "'<Database Name>') WITH NO_INFOMSGS, COUNT_ROWS\""});
        QVERIFY2(seen.processId, "no modal wait dialog while the process ran");
        QCOMPARE(seen.processId, 4242);
        QVERIFY(seen.ownedByTheWindow);
        QVERIFY2(std::abs(seen.offset.x()) <= seen.frame.width() / 2 + 1 &&
                     std::abs(seen.offset.y()) <= seen.frame.height() / 2 + 1,
                 "the dialog is not centred over the main window");
        QCOMPARE(run.processes.asked, (std::vector<std::int32_t>{4242, 4242}));
        QVERIFY2(seen.dialog.isNull(), "the dialog outlived its run");
        QVERIFY(run.fake.messages.shown.empty());

        run.processes.runningPolls = 0;
        run.Type("cbo_DBs", QStringLiteral("Sales"));
        run.Click();
        QCOMPARE(run.launcher.lines.size(), 2U);
        QCOMPARE(run.launcher.lines.back(),
                 "osql -S <Server Name> -E -Q \"DBCC UPDATEUSAGE('Sales') WITH NO_INFOMSGS, COUNT_ROWS\"");
    }

    void explainsAClientThatCannotStartAndShowsNoDialog()
    {
        RunFixture run;
        const std::string why = "Cannot start \"osql\": no program of that name was found in /opt/tallyrun or on "
                                "the search path.";
        run.launcher.failure = Error(ENOENT, why);
        run.Click();

        QCOMPARE(run.fake.messages.shown.size(), 1U);
        const auto& message = run.fake.messages.shown.front();
        QCOMPARE(message.text, QString::fromStdString(why));
        QCOMPARE(message.style, MessageStyleInformation);
        QCOMPARE(message.title, QStringLiteral("Tallyrun"));
        QCOMPARE(message.owner, &run.window);
        QVERIFY(run.window.findChildren<frm_Updating*>().isEmpty());
        QVERIFY(run.processes.asked.empty());
        QVERIFY(run.window.isEnabled() && QApplication::activeModalWidget() == nullptr);

        run.Click();
        QCOMPARE(run.fake.messages.shown.size(), 2U);
    }

    void refusesADoubleQuoteBeforeStartingAnything_data()
    {
        QTest::addColumn<QString>("combo");
        QTest::addColumn<QString>("field");
        QTest::newRow("server") << "cbo_Servers" << "\"Server\"";
        QTest::newRow("database") << "cbo_DBs" << "\"Database Name\"";
    }

    void refusesADoubleQuoteBeforeStartingAnything()
    {
        QFETCH(QString, combo);
        QFETCH(QString, field);
        RunFixture run;
        run.Type(combo.toLatin1().constData(), QStringLiteral("Sa\"les"));
        run.Click();

        QVERIFY(run.launcher.lines.empty());
        QCOMPARE(run.fake.messages.shown.size(), 1U);
        QVERIFY2(run.fake.messages.shown.front().text.contains(field), qPrintable(run.fake.messages.shown.front().text));
        QCOMPARE(run.fake.messages.shown.front().style, MessageStyleInformation);
        QCOMPARE(run.fake.messages.shown.front().title, QStringLiteral("Tallyrun"));
    }
};

}  // namespace tallyrun

QTEST_MAIN(tallyrun::RunTest)
#include "run_test.moc"
