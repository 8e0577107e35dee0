// A click on the real window's run button starts a stand-in client, found under the client's name, and waits for it:
// the arguments the stand-in receives are the ones the client on Windows would receive.
#include "main_window/frm_Main.h"
#include "platform/process/system_launcher.h"
#include "platform/process/system_process_query.h"
#include "tests/fixtures/fake_platform/fake_platform.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace tallyrun {
namespace {

namespace fs = std::filesystem;

using Words = std::vector<std::string>;

Words RecordedArguments(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    const std::string all{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    Words words;
    std::string::size_type start = 0;
    for (auto end = all.find('\0'); end != std::string::npos; end = all.find('\0', start)) {
        words.push_back(all.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

// Children of this process that have ended but were never reaped.
int Zombies()
{
    int zombies = 0;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line) || line.rfind(')') == std::string::npos)
            continue;
        char state = 0;
        pid_t parent = 0;
        std::istringstream(line.substr(line.rfind(')') + 2)) >> state >> parent;
        zombies += state == 'Z' && parent == ::getpid();
    }
    return zombies;
}

}  // namespace

class RunIntegrationTest : public QObject {
    Q_OBJECT

private slots:
    void clientReceivesTheComposedArguments_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("database");
        QTest::addColumn<Words>("arguments");
        const std::string options = ") WITH NO_INFOMSGS, COUNT_ROWS";
        QTest::newRow("placeholders") << QStringLiteral("<Server Name>") << QStringLiteral("<Database Name>")
                                      << Words{"osql", "-S", "<Server", "Name>", "-E", "-Q",
                                               "DBCC UPDATEUSAGE('<Database Name>'" + options};
        QTest::newRow("empty") << QString() << QString()
                               << Words{"osql", "-S", "-E", "-Q", "DBCC UPDATEUSAGE(''" + options};
        QTest::newRow("mended") << QStringLiteral("HOST\\INST") << QStringLiteral("O'Brien \u00e9t\u00e9")
                                << Words{"osql", "-S", "HOST\\INST", "-E", "-Q",
                                         "DBCC UPDATEUSAGE(N'O''Brien \xC3\xA9t\xC3\xA9'" + options};
    }

    void clientReceivesTheComposedArguments()
    {
        QFETCH(QString, server);
        QFETCH(QString, database);
        QFETCH(Words, arguments);

        char pattern[] = "/tmp/tallyrun-run-XXXXXX";
        QVERIFY(::mkdtemp(pattern));
        const fs::path dir = pattern;
        struct Cleanup {
            fs::path dir;
            ~Cleanup() { fs::remove_all(dir); }
        } cleanup{dir};
        fs::copy_file(ARGV_RECORDER_PATH, dir / "osql");

        fakes::FakePlatform fake;
        SystemLauncher launcher(dir);
        SystemProcessQuery processes;
        Platform platform{fake.objects, fake.screen, launcher, processes, fake.messages, fake.dropDown};
        frm_Main window(platform);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.findChild<QComboBox*>("cbo_Servers")->setEditText(server);
        window.findChild<QComboBox*>("cbo_DBs")->setEditText(database);

        QElapsedTimer run;
        run.start();
        QTest::mouseClick(window.findChild<QPushButton*>("cmd_Tallyrun"), Qt::LeftButton);
        QCOMPARE_LT(run.elapsed(), 5000);

        QVERIFY(fake.messages.shown.empty());
        QCOMPARE(RecordedArguments(dir / "argv.out"), arguments);
        QCOMPARE(Zombies(), 0);
    }
};

}  // namespace tallyrun

QTEST_MAIN(tallyrun::RunIntegrationTest)
#include "run_integration_test.moc"
