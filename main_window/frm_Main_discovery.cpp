// The two list buttons: fill the server and database lists from the SQL management objects.
#include "main_window/frm_Main.h"

#include <QComboBox>
#include <QString>

#include <cstdint>
#include <exception>
#include <memory>
#include <utility>

namespace tallyrun {

namespace {

// Empties the list and puts the placeholder back as its only row. Qt selects the first row added to an empty list;
// the selection is set only once the fill has succeeded, so it is cleared again here.
void RestartList(QComboBox& combo, const QString& placeholder)
{
    combo.clear();
    combo.addItem(placeholder);
    combo.setCurrentIndex(-1);
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

// A control that cannot take the focus is reported as an invalid call, so the caller decides whether that matters.
void GiveFocus(QWidget& widget)
{
    if (!widget.isVisible() || !widget.isEnabled())
        throw Error(errc::InvalidArgument, "Invalid procedure call or argument");
    widget.setFocus(Qt::OtherFocusReason);
}

}  // namespace

void frm_Main::cmd_ListServers_Click()
{
    QString description;
    try {
        SetMousePointer(PointerHourglass);
        RestartList(*cbo_Servers, QString::fromLatin1(ServerPlaceholder));
        if (!m_SQLApp)
            throw Error(errc::ObjectRequired,
                        "The server list is not available: the SQL management application could not be started.");
        {
            std::unique_ptr<sqldmo::Object> servers = m_SQLApp->ListAvailableSQLServers();
            if (servers && QString::fromStdString(servers->TypeName()).toUpper() == QStringLiteral("NAMELIST")) {
                const auto names = sqldmo::As<sqldmo::NameList>(std::move(servers));
                const std::int32_t count = names->Count();
                for (std::int32_t index = 1; index <= count; ++index)
                    cbo_Servers->addItem(QString::fromStdString(names->Item(index)));
            }
        }
        FinishList(*cbo_Servers);
        return;
    } catch (const Error& error) {
        description = QString::fromStdString(error.Description());
    } catch (const std::exception& error) {
        description = QString::fromUtf8(error.what());
    }

    ReportListFailure(description);
}

void frm_Main::cmd_ListDBs_Click()
{
    std::unique_ptr<sqldmo::SQLServer> server;
    QString description;
    try {
        SetMousePointer(PointerHourglass);
        RestartList(*cbo_DBs, QString::fromLatin1(DatabasePlaceholder));
        server = sqldmo::As<sqldmo::SQLServer>(m_platform.objects.CreateObject(sqldmo::ServerProgId));
        server->SetLoginSecure(true);
        server->Connect(cbo_Servers->currentText().toStdString());
        {
            const auto databases = server->GetDatabases();
            const std::int32_t count = databases->Count();
            for (std::int32_t index = 1; index <= count; ++index) {
                const auto database = databases->Item(index);
                if (!database->SystemObject())
                    cbo_DBs->addItem(QString::fromStdString(database->Name()));
            }
        }
        server->Disconnect();
        server.reset();
        FinishList(*cbo_DBs);
        return;
    } catch (const Error& error) {
        description = QString::fromStdString(error.Description());
    } catch (const std::exception& error) {
        description = QString::fromUtf8(error.what());
    }

    if (server) {
        Attempt([&] { server->Disconnect(); });
        server.reset();
    }
    ReportListFailure(description);
}

// Selects the placeholder row, brings the list on screen and opens it. The selection, focus and repaints are
// cosmetic, so their failures are dropped; restoring the pointer and opening the list are not.
void frm_Main::FinishList(QComboBox& combo)
{
    Attempt([&] { combo.setCurrentIndex(0); });
    Attempt([&] { GiveFocus(combo); });
    Attempt([&] { combo.repaint(); });
    Attempt([&] { repaint(); });

    SetMousePointer(PointerDefault);
    ShowDropDown(combo);
}

// The click ends here, so nothing raised while reporting has anywhere left to go.
void frm_Main::ReportListFailure(const QString& description)
{
    Attempt([&] { SetMousePointer(PointerDefault); });
    Attempt([&] { m_platform.messages.Show(this, description, MessageStyleInformation, QStringLiteral("Tallyrun")); });
}

void frm_Main::ShowDropDown(QComboBox& combo)
{
    m_platform.dropDown.ShowDropDown(combo);
}

}  // namespace tallyrun
