// Times the database list button against a stand-in server holding 1,000, 8,000 and 32,767 user databases: the
// whole click (login, query, fill, selection, drop-down opened) against unixODBC's isql fetching the same rows
// through the same driver and connection string, each the median of several runs.
#include "bench/freetds_peer.h"
#include "bench/table_row.h"
#include "main_window/frm_Main.h"
#include "platform/qt/qt_form.h"
#include "platform/qt/qt_toolkit.h"
#include "platform/sqldmo/server.h"
#include "platform/sqldmo/system_objects.h"
#include "tds_standin.h"
#include "tests/fixtures/fake_platform/fake_platform.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace tallyrun;
using bench::Median;
using Clock = std::chrono::steady_clock;

constexpr int Runs = 5;

sqldmo::SystemObjectSettings Settings()
{
    sqldmo::SystemObjectSettings settings;
    settings.serverListing = [] { return std::vector<std::string>{}; };
    settings.server.driver = odbc::Driver{odbc::DriverKind::FreeTds, odbc::FreeTdsDebianLibrary};
    return settings;
}

// isql reading the catalog query from `queryFile` through `isql`; the number of lines it printed.
int RunIsql(const std::string& isql, const std::string& queryFile)
{
    const std::string command = isql + " < " + queryFile;
    FILE* output = popen(command.c_str(), "r");
    if (!output)
        return -1;
    // Read in blocks: a character at a time would charge our reading to isql.
    int lines = 0;
    char buffer[1 << 16];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, output)) > 0;)
        lines += static_cast<int>(std::count(buffer, buffer + n, '\n'));
    return pclose(output) == 0 ? lines : -1;
}

std::vector<testing::CatalogDatabase> Catalog(int userDatabases)
{
    std::vector<testing::CatalogDatabase> catalog{{"master", true}, {"model", true}, {"msdb", true}, {"tempdb", true}};
    for (int number = 1; number <= userDatabases; ++number) {
        char name[16];
        std::snprintf(name, sizeof name, "db%05d", number);
        catalog.push_back({name, false});
    }
    return catalog;
}

std::vector<double> Time(const std::function<void()>& run)
{
    std::vector<double> times;
    for (int i = 0; i < Runs; ++i) {
        const auto start = Clock::now();
        run();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return times;
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    testing::TdsStandIn server;
    const std::string serverName = "localhost," + std::to_string(server.Port());

    const sqldmo::SystemObjectSettings settings = Settings();
    const std::string isqlCommand = bench::IsqlCommand(serverName, "-b -e");
    const std::string queryFile = "/tmp/tallyrun-catalog-query-" + std::to_string(server.Port()) + ".sql";
    std::ofstream(queryFile) << sqldmo::DatabaseCatalogQuery << "\n";

    sqldmo::SystemObjectFactory objects(settings);
    fakes::FakePlatform fake;
    QtToolkit qtToolkit(fake.toolkit.screen);

    for (const int count : {1'000, 8'000, 32'767}) {
        server.SetCatalog(Catalog(count));
        const double isql = Median(Time([&] {
            if (RunIsql(isqlCommand, queryFile) < count) {
                std::fprintf(stderr, "isql did not list %d databases\n", count);
                std::exit(1);
            }
        }));

        Platform platform{objects, fake.launcher, fake.processes, qtToolkit};
        frm_Main window(platform);
        window.Show();
        QApplication::processEvents();
        auto& form = dynamic_cast<QtForm&>(window.Form());
        form.ComboBoxAt(2).SetText(serverName);
        auto* button = qobject_cast<QPushButton*>(&form.ControlWidget(6));
        auto* databases = qobject_cast<QComboBox*>(&form.ControlWidget(5));
        const double click = Median(Time([&] {
            button->click();
            if (databases->count() != count + 1 || !databases->view()->isVisible()) {
                std::fprintf(stderr, "the list holds %d rows\n", databases->count());
                std::exit(1);
            }
            databases->hidePopup();
            QApplication::processEvents();
        }));
        bench::PrintRow("database list " + std::to_string(count) + ": click to list open", click, isql);
    }
    std::remove(queryFile.c_str());
    return 0;
}
