// The start-up window: server and database inputs, the run button and the two list buttons. It holds the SQL
// management application object from load to unload.
#pragma once

#include "platform/core/platform.h"
#include "platform/ui/form.h"
#include "platform/ui/layout.h"

#include <memory>
#include <optional>
#include <string>

namespace tallyrun {

// What the combo boxes' edit text says before anything is typed, and the first row of a filled list.
inline constexpr char ServerPlaceholder[] = "<Server Name>";
inline constexpr char DatabasePlaceholder[] = "<Database Name>";

// The window's layout, which every toolkit realises.
extern const ui::FormLayout frm_MainLayout;

class frm_Main {
public:
    // Creating the window loads it (application object, centring); the caller shows it.
    explicit frm_Main(Platform& platform);
    ~frm_Main();
    frm_Main(const frm_Main&) = delete;
    frm_Main& operator=(const frm_Main&) = delete;

    void Show();
    ui::Form& Form() { return *m_form; }

private:
    void Form_Load();
    void Form_Unload();
    void Form_Shown();
    void cmd_Tallyrun_Click();
    void cmd_ListServers_Click();
    void cmd_ListDBs_Click();
    void ShowDropDown(ui::ComboBox& combo);
    void FinishList(ui::ComboBox& combo);
    void ReportListFailure(const std::string& description);
    void Report(const std::string& description);
    // For a handler's catch-all: the description of what is being handled, an Error's or the library's own words.
    static std::string CurrentFailure();

    Platform& m_platform;
    std::unique_ptr<ui::Form> m_form;
    std::unique_ptr<sqldmo::Application> m_SQLApp;
    // Why the application object could not be created, until the message has been shown.
    std::optional<std::string> m_loadFailure;

    ui::ComboBox& cbo_Servers;
    ui::ComboBox& cbo_DBs;
    ui::CommandButton& cmd_ListServers;
    ui::CommandButton& cmd_ListDBs;
    ui::CommandButton& cmd_Tallyrun;
};

}  // namespace tallyrun
