#include "platform/process/system_launcher.h"
#include "platform/process/system_process_query.h"
#include "tests/fixtures/fake_platform/fake_platform.h"
#include "wait_dialog/frm_Updating.h"

#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include <signal.h>
#include <sys/wait.h>

#include <fstream>

namespace tallyrun {
namespace {

// A real client stand-in that runs until it is told to end; never left behind, whatever the test's outcome.
class SleepingChild {
public:
    SleepingChild() : m_pid(m_launcher.StartHidden("/bin/sleep 60", WindowStyleHidden)) {}
    ~SleepingChild()
    {
        if (!std::filesystem::exists(ProcDir()))
            return;
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    std::int32_t Pid() const { return m_pid; }
    void End() { ::kill(m_pid, SIGKILL); }
    std::filesystem::path ProcDir() const { return "/proc/" + std::to_string(m_pid); }
    bool IsZombie() const
    {
        std::ifstream stat(ProcDir() / "stat");
        std::string line;
        return std::getline(stat, line) && line.substr(line.rfind(')') + 2, 1) == "Z";
    }

private:
    SystemLauncher m_launcher{std::filesystem::path{}};
    std::int32_t m_pid;
};

int OpenDescriptors()
{
    return static_cast<int>(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::System).size());
}

void Tick(frm_Updating& dialog)
{
    QMetaObject::invokeMethod(dialog.findChild<QTimer*>(QStringLiteral("Timer1")), "timeout");
}

}  // namespace

class WaitDialogTest : public QObject {
    Q_OBJECT

private slots:
    void showsTheWaitMessageAtItsSize()
    {
        SystemProcessQuery query;
        frm_Updating dialog(query, m_screen, nullptr);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Updating Usage"));
        QCOMPARE(dialog.size(), QSize(277, 60));
        QVERIFY(!(dialog.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        const auto* label = dialog.findChild<QLabel*>(QStringLiteral("lbl_Info"));
        QVERIFY(label);
        QCOMPARE(label->text(), QStringLiteral("Updating Usage.  This may take several minutes.  Please wait..."));
        QCOMPARE(label->geometry(), QRect(22, 14, 233, 33));
        QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        const auto* timer = dialog.findChild<QTimer*>(QStringLiteral("Timer1"));
        QVERIFY(timer && timer->isActive());
        QCOMPARE(timer->interval(), 1000);
    }

    void refusesEveryCloseUntilTheProcessEnds()
    {
        SleepingChild child;
        SystemProcessQuery query;
        frm_Updating dialog(query, m_screen, nullptr);
        dialog.SetProcessId(child.Pid());

        bool stayed = false;
        QElapsedTimer sinceEnd;
        QTimer::singleShot(300, &dialog, [&] {
            dialog.close();
            dialog.windowHandle()->close();
            QCloseEvent request;
            QApplication::sendEvent(&dialog, &request);
            QTest::keyClick(&dialog, Qt::Key_Escape);
            dialog.reject();
            stayed = dialog.isVisible() && !request.isAccepted();
        });
        // Past the first tick, so that at least one poll has found the process running.
        QTimer::singleShot(1600, &dialog, [&] {
            child.End();
            sinceEnd.start();
        });
        dialog.exec();

        QVERIFY(stayed);
        QVERIFY2(sinceEnd.isValid(), "the dialog closed while the process still ran");
        QCOMPARE_LT(sinceEnd.elapsed(), 3000);
        QVERIFY2(!std::filesystem::exists(child.ProcDir()), "the ended child was left a zombie");
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
            child.End();
            QTRY_VERIFY(child.IsZombie());
        }
        SystemProcessQuery query;
        QElapsedTimer shown;
        shown.start();
        frm_Updating dialog(query, m_screen, nullptr);
        dialog.SetProcessId(ended ? child.Pid() : 0);
        dialog.exec();
        QCOMPARE_GE(shown.elapsed(), 900);
        QCOMPARE_LT(shown.elapsed(), 3000);
    }

    void ticksLeaveNoDescriptorOpen()
    {
        SleepingChild child;
        SystemProcessQuery query;
        frm_Updating dialog(query, m_screen, nullptr);
        dialog.SetProcessId(child.Pid());
        dialog.show();
        const int before = OpenDescriptors();
        for (int i = 0; i < 100; ++i)
            Tick(dialog);
        QCOMPARE(OpenDescriptors(), before);
        QVERIFY(!dialog.close());
    }

private:
    fakes::FakeScreen m_screen;
};

}  // namespace tallyrun

QTEST_MAIN(tallyrun::WaitDialogTest)
#include "wait_dialog_test.moc"
