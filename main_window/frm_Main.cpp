// frm_Main's layout, load and unload. The button handlers live in frm_Main_run.cpp and frm_Main_discovery.cpp.
#include "main_window/frm_Main.h"

#include "placement/basMisc.h"
#include "platform/ui/toolkit.h"

#include <exception>
#include <utility>

namespace tallyrun {

namespace {

using ui::Alignment;
using ui::ControlKind;

// Indices into the layout below.
namespace at {
enum : std::size_t { lbl_Info, lbl_Server, cbo_Servers, cmd_ListServers, lbl_DB, cbo_DBs, cmd_ListDBs, cmd_Tallyrun };
}

constexpr char ListAvailable[] = "List Available";

// In tab order; the two right-aligned labels end at the same x, 105 twips left of the combo boxes. The two list
// buttons share a caption, so a screen reader is told which list each fills.
constexpr ui::ControlLayout Controls[] = {
    {ControlKind::Label, "lbl_Info", "Use this utility to update table usage of a SQL Server database.", {},
     {120, 120, 5175, 255}, Alignment::Left},
    {ControlKind::Label, "lbl_Server", "Server:", {}, {848, 630, 855, 255}, Alignment::Right},
    {ControlKind::ComboBox, "cbo_Servers", ServerPlaceholder, "Server", {1808, 600, 2415, 315}},
    {ControlKind::CommandButton, "cmd_ListServers", ListAvailable, "List available servers", {4328, 600, 1215, 315}},
    {ControlKind::Label, "lbl_DB", "Database Name:", {}, {488, 1110, 1215, 255}, Alignment::Right},
    {ControlKind::ComboBox, "cbo_DBs", DatabasePlaceholder, "Database Name", {1808, 1080, 2415, 315}},
    {ControlKind::CommandButton, "cmd_ListDBs", ListAvailable, "List available databases", {4328, 1080, 1215, 315}},
    {ControlKind::CommandButton, "cmd_Tallyrun", "Tallyrun", "Tallyrun: update usage", {2408, 1620, 1215, 315}},
};
static_assert(Controls[at::cbo_Servers].name == "cbo_Servers" && Controls[at::cbo_DBs].name == "cbo_DBs" &&
              Controls[at::cmd_ListServers].name == "cmd_ListServers" &&
              Controls[at::cmd_ListDBs].name == "cmd_ListDBs" && Controls[at::cmd_Tallyrun].name == "cmd_Tallyrun");

}  // namespace

const ui::FormLayout frm_MainLayout{"frm_Main", "Tallyrun", ui::FormKind::Window, 6030, 2145, Controls};

frm_Main::frm_Main(Platform& platform)
    : m_platform(platform),
      m_form(platform.toolkit.CreateForm(frm_MainLayout, nullptr)),
      cbo_Servers(m_form->ComboBoxAt(at::cbo_Servers)),
      cbo_DBs(m_form->ComboBoxAt(at::cbo_DBs)),
      cmd_ListServers(m_form->CommandButtonAt(at::cmd_ListServers)),
      cmd_ListDBs(m_form->CommandButtonAt(at::cmd_ListDBs)),
      cmd_Tallyrun(m_form->CommandButtonAt(at::cmd_Tallyrun))
{
    cmd_ListServers.OnClick([this] { cmd_ListServers_Click(); });
    cmd_ListDBs.OnClick([this] { cmd_ListDBs_Click(); });
    cmd_Tallyrun.OnClick([this] { cmd_Tallyrun_Click(); });
    m_form->OnUnload([this] { Form_Unload(); });
    m_form->OnShown([this] { Form_Shown(); });
    Form_Load();
}

frm_Main::~frm_Main()
{
    Form_Unload();
}

void frm_Main::Show()
{
    m_form->Show();
}

void frm_Main::Form_Load()
{
    try {
        m_SQLApp = sqldmo::As<sqldmo::Application>(m_platform.objects.CreateObject(sqldmo::ApplicationProgId));
    } catch (...) {
        // The window opens all the same: the user can still type names and run the update, which does not need
        // the application object. The reason is shown once the window is on the screen.
        m_loadFailure = CurrentFailure();
    }

    try {
        basMisc::CenterForm(*m_form, m_platform.toolkit.GetScreen());
    } catch (...) {
        // A screen whose work area cannot be expressed in twips: the window stays where the system puts it.
    }
}

void frm_Main::Form_Unload()
{
    if (!m_SQLApp)
        return;
    // Taken out before Quit runs, so the reference is gone whatever Quit does and a second unload does nothing.
    const std::unique_ptr<sqldmo::Application> application = std::move(m_SQLApp);
    try {
        application->Quit();
    } catch (...) {
        // Closing always proceeds; once the user has chosen to leave there is no one left to tell.
    }
}

void frm_Main::Form_Shown()
{
    if (m_loadFailure)
        Report(*std::exchange(m_loadFailure, std::nullopt));
}

std::string frm_Main::CurrentFailure()
{
    try {
        throw;
    } catch (const std::exception& failure) {
        return failure.what();
    } catch (...) {
        return "An unexpected failure stopped the operation. Try again; if it recurs, restart Tallyrun.";
    }
}

void frm_Main::Report(const std::string& description)
{
    m_platform.toolkit.MsgBox(*m_form, description, ui::MessageStyleInformation, "Tallyrun");
}

}  // namespace tallyrun
