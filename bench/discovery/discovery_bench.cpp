// Times the database list button against a stand-in server holding 32,767 user databases: the whole click (login,
// query, fill, selection, list opened), the server object's part alone, and the click with the real drop-down.
#include "main_window/frm_Main.h"
#include "platform/qt/qt_form.h"
#include "platform/qt/qt_toolkit.h"
#include "platform/sqldmo/system_objects.h"
#include "tds_standin.h"
#include "tests/fixtures/fake_platform/fake_platform.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using namespace tallyrun;
using Clock = std::chrono::steady_clock;

constexpr int DatabaseCount = 32'767;
constexpr int Runs = 5;

sqldmo::SystemObjectSettings Settings()
{
    sqldmo::SystemObjectSettings settings;
    settings.serverListing = [] { return std::vector<std::string>{}; };
    settings.server.driver = odbc::Driver{odbc::DriverKind::FreeTds, odbc::FreeTdsDebianLibrary};
    return settings;
}

void Report(const char* what, std::vector<double> milliseconds)
{
    std::ranges::sort(milliseconds);
    std::printf("%-44s min %8.1f ms   median %8.1f ms   max %8.1f ms\n", what, milliseconds.front(),
                milliseconds[milliseconds.size() / 2], milliseconds.back());
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

    std::vector<testing::CatalogDatabase> catalog{{"master", true}, {"model", true}, {"msdb", true}, {"tempdb", true}};
    for (int number = 1; number <= DatabaseCount; ++number) {
        char name[16];
        std::snprintf(name, sizeof name, "db%05d", number);
        catalog.push_back({name, false});
    }
    testing::TdsStandIn server;
    server.SetCatalog(std::move(catalog));
    const std::string serverName = "localhost," + std::to_string(server.Port());

    sqldmo::SystemObjectFactory objects(Settings());
    fakes::FakePlatform fake;
    QtToolkit qtToolkit(fake.toolkit.screen);

    // The list button's click over the given toolkit; `close` shuts the list it opened.
    const auto clickTimes = [&](ui::Toolkit& toolkit, const std::function<void(frm_Main&)>& close) {
        Platform platform{objects, fake.launcher, fake.processes, toolkit};
        frm_Main window(platform);
        window.Show();
        QApplication::processEvents();
        ui::Form& form = window.Form();
        ui::ComboBox& servers = form.ComboBoxAt(2);
        ui::ComboBox& databases = form.ComboBoxAt(5);
        servers.SetText(serverName);
        return Time([&] {
            if (auto* fakeForm = dynamic_cast<fakes::FakeForm*>(&form))
                fakeForm->Button("cmd_ListDBs").Click();
            else
                qobject_cast<QPushButton*>(&dynamic_cast<QtForm&>(form).ControlWidget(6))->click();
            if (databases.ListCount() != DatabaseCount + 1 || !fake.toolkit.messages.empty()) {
                std::fprintf(stderr, "the list holds %d rows\n", databases.ListCount());
                std::exit(1);
            }
            close(window);
            QApplication::processEvents();
        });
    };

    std::printf("Database list of %d user databases, %d runs each\n", DatabaseCount, Runs);
    Report("server object: connect, query, walk", Time([&] {
               const auto sqlServer = sqldmo::As<sqldmo::SQLServer>(objects.CreateObject(sqldmo::ServerProgId));
               sqlServer->SetLoginSecure(true);
               sqlServer->Connect(serverName);
               const auto list = sqlServer->GetDatabases();
               for (std::int32_t index = 1; index <= list->Count(); ++index)
                   list->Item(index)->SystemObject();
               sqlServer->Disconnect();
           }));
    Report("click to filled combo box (list recorded)", clickTimes(fake.toolkit, [](frm_Main&) {}));
    Report("click to filled combo box (list opened)", clickTimes(qtToolkit, [](frm_Main& window) {
               qobject_cast<QComboBox*>(&dynamic_cast<QtForm&>(window.Form()).ControlWidget(5))->hidePopup();
           }));
    return 0;
}
