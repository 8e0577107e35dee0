// The two list buttons: fill the server and database lists from the SQL management objects.
#include "main_window/frm_Main.h"
#include "platform/core/ascii.h"

#include <cstdint>
#include <memory>
#include <utility>

namespace tallyrun {

namespace {

// Empties the list and puts the placeholder back as its only row; the selection is set only once the fill has
// succeeded.
void RestartList(ui::ComboBox& combo, const std::string& placeholder)
{
    combo.Clear();
    combo.AddItem(placeholder);
}

// Runs one statement of a best-effort stage: whatever it raises is dropped.
template <class Statement>
void Attempt(Statement&& statement) noexcept
{
    try {
        std::forward<Statement>(statement)();
    } catch (...) {
    }
}

}  // namespace

void frm_Main::cmd_ListServers_Click()
{
    std::string description;
    try {
        m_form->SetMousePointer(ui::PointerHourglass);
        RestartList(cbo_Servers, ServerPlaceholder);
        if (!m_SQLApp)
            throw Error(errc::ObjectRequired,
                        "The server list is not available: the SQL management application could not be started.");
        {
            std::unique_ptr<sqldmo::Object> servers = m_SQLApp->ListAvailableSQLServers();
            if (servers && EqualsIgnoringAsciiCase(servers->TypeName(), "NAMELIST")) {
                const auto names = sqldmo::As<sqldmo::NameList>(std::move(servers));
                const std::int32_t count = names->Count();
                for (std::int32_t index = 1; index <= count; ++index)
                    cbo_Servers.AddItem(names->Item(index));
            }
        }
        FinishList(cbo_Servers);
        return;
    } catch (...) {
        description = CurrentFailure();
    }

    ReportListFailure(description);
}

void frm_Main::cmd_ListDBs_Click()
{
    std::unique_ptr<sqldmo::SQLServer> server;
    std::string description;
    try {
        m_form->SetMousePointer(ui::PointerHourglass);
        RestartList(cbo_DBs, DatabasePlaceholder);
        server = sqldmo::As<sqldmo::SQLServer>(m_platform.objects.CreateObject(sqldmo::ServerProgId));
        server->SetLoginSecure(true);
        server->Connect(cbo_Servers.Text());
        {
            const auto databases = server->GetDatabases();
            const std::int32_t count = databases->Count();
            for (std::int32_t index = 1; index <= count; ++index) {
                const auto database = databases->Item(index);
                if (!database->SystemObject())
                    cbo_DBs.AddItem(database->Name());
            }
        }
        server->Disconnect();
        server.reset();
        FinishList(cbo_DBs);
        return;
    } catch (...) {
        description = CurrentFailure();
    }

    if (server) {
        Attempt([&] { server->Disconnect(); });
        server.reset();
    }
    ReportListFailure(description);
}

// Selects the placeholder row, brings the list on screen and opens it. The selection, focus and repaints are
// cosmetic, so their failures are dropped; restoring the pointer and opening the list are not.
void frm_Main::FinishList(ui::ComboBox& combo)
{
    Attempt([&] { combo.SetListIndex(0); });
    Attempt([&] { combo.SetFocus(); });
    Attempt([&] { combo.Refresh(); });
    Attempt([&] { m_form->Refresh(); });

    m_form->SetMousePointer(ui::PointerDefault);
    ShowDropDown(combo);
}

// The click ends here, so nothing raised while reporting has anywhere left to go.
void frm_Main::ReportListFailure(const std::string& description)
{
    Attempt([&] { m_form->SetMousePointer(ui::PointerDefault); });
    Attempt([&] { Report(description); });
}

void frm_Main::ShowDropDown(ui::ComboBox& combo)
{
    combo.ShowDropDown();
}

}  // namespace tallyrun
