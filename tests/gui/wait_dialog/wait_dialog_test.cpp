// The wait dialog watching real child processes: it refuses to close while one runs, closes within about a second
// of its end, and leaves neither descriptors nor zombies behind.
#include "platform/process/system_launcher.h"
#include "platform/process/system_process_query.h"
#include "tests/fixtures/fake_platform/fake_platform.h"
#include "wait_dialog/frm_Updating.h"

#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include <signal.h>
#include <sys/wait.h>

#include <fstream>

namespace tallyrun {
namespace {

// A client stand-in that runs until told to end; never left behind, whatever the test's outcome.
struct SleepingChild {
    SystemLauncher launcher{std::filesystem::path{}};
    const std::int32_t pid = launcher.StartHidden("/bin/sleep 60", WindowStyleHidden);
    const std::string proc = "/proc/" + std::to_string(pid);

    ~SleepingChild()
    {
        if (std::filesystem::exists(proc) && ::kill(pid, SIGKILL) == 0)
            ::waitpid(pid, nullptr, 0);
    }
    bool IsZombie() const
    {
        std::ifstream stat(proc + "/stat");
        std::string line;
        return std::getline(stat, line) && line.substr(line.rfind(')') + 2, 1) == "Z";
    }
};

}  // namespace

class WaitDialogTest : public QObject {
    Q_OBJECT

private slots:
    void refusesEveryCloseUntilTheProcessEnds()
    {
        SleepingChild child;
        frm_Updating dialog(m_query, m_screen, nullptr);
        dialog.SetProcessId(child.pid);
        bool stayed = false;
        QElapsedTimer sinceEnd;
        QTimer::singleShot(300, &dialog, [&] {
            QCloseEvent request;
            QApplication::sendEvent(&dialog, &request);
            dialog.close();
            dialog.windowHandle()->close();
            QTest::keyClick(&dialog, Qt::Key_Escape);
            stayed = dialog.isVisible() && !request.isAccepted();
        });
        // After the first tick, so that one poll has found the process running.
        QTimer::singleShot(1600, &dialog, [&] {
            ::kill(child.pid, SIGKILL);
            sinceEnd.start();
        });
        dialog.exec();

        QVERIFY(stayed);
        QVERIFY2(sinceEnd.isValid(), "the dialog closed while the process still ran");
        QCOMPARE_LT(sinceEnd.elapsed(), 3000);
        QVERIFY2(!std::filesystem::exists(child.proc), "the ended child was left a zombie");
    }

    void closesAtTheFirstTickWithoutARunningProcess_data()
    {
        QTest::addColumn<bool>("ended");
        QTest::newRow("identifier 0") << false;
        QTest::newRow("ended process") << true;
    }

    void closesAtTheFirstTickWithoutARunningProcess()
    {
        QFETCH(bool, ended);
        SleepingChild child;
        if (ended) {
            ::kill(child.pid, SIGKILL);
            QTRY_VERIFY(child.IsZombie());
        }
        QElapsedTimer shown;
        shown.start();
        frm_Updating dialog(m_query, m_screen, nullptr);
        dialog.SetProcessId(ended ? child.pid : 0);
        dialog.exec();
        QCOMPARE_GE(shown.elapsed(), 900);
        QCOMPARE_LT(shown.elapsed(), 3000);
    }

    void ticksLeaveNoDescriptorOpen()
    {
        SleepingChild child;
        frm_Updating dialog(m_query, m_screen, nullptr);
        dialog.SetProcessId(child.pid);
        dialog.show();
        const QDir descriptors(QStringLiteral("/proc/self/fd"));
        const auto before = descriptors.entryList(QDir::System).size();
        for (int i = 0; i < 100; ++i)
            QMetaObject::invokeMethod(dialog.findChild<QTimer*>(QStringLiteral("Timer1")), "timeout");
        QCOMPARE(descriptors.entryList(QDir::System).size(), before);
        QVERIFY(!dialog.close());
    }

private:
    fakes::FakeScreen m_screen;
    SystemProcessQuery m_query;
};

}  // namespace tallyrun

QTEST_MAIN(tallyrun::WaitDialogTest)
#include "wait_dialog_test.moc"
