// The start-up window: server and database inputs, the run button and the two list buttons. It holds the SQL
// management application object from load to unload.
#pragma once

#include "platform/core/platform.h"

#include <QWidget>

#include <memory>
#include <optional>

class QComboBox;
class QLabel;
class QPushButton;
class QShowEvent;

namespace tallyrun {

// What the combo boxes' edit text says before anything is typed, and the first row of a filled list.
inline constexpr char ServerPlaceholder[] = "<Server Name>";
inline constexpr char DatabasePlaceholder[] = "<Database Name>";

// Values of the form-wide mouse pointer.
inline constexpr int PointerDefault = 0;
inline constexpr int PointerHourglass = 11;

class frm_Main : public QWidget {
    Q_OBJECT

public:
    // Creating the window loads it (application object, centring); it is shown by the caller.
    explicit frm_Main(Platform& platform, QWidget* parent = nullptr);
    ~frm_Main() override;

    // Form-wide mouse pointer: 0 default, 11 hourglass.
    int MousePointer() const { return m_mousePointer; }
    void SetMousePointer(int pointer);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    void Form_Unload();
    void cmd_Tallyrun_Click();
    void cmd_ListServers_Click();
    void cmd_ListDBs_Click();
    void ShowDropDown(QComboBox& combo);
    void FinishList(QComboBox& combo);
    void ReportListFailure(const QString& description);

    void CreateControls();
    void FitFontToCaptions();
    void ReportLoadFailure();

    Platform& m_platform;
    std::unique_ptr<sqldmo::Application> m_SQLApp;
    int m_mousePointer = PointerDefault;
    // Why the application object could not be created, until the message has been shown.
    std::optional<QString> m_loadFailure;

    QLabel* lbl_Info = nullptr;
    QLabel* lbl_Server = nullptr;
    QComboBox* cbo_Servers = nullptr;
    QPushButton* cmd_ListServers = nullptr;
    QLabel* lbl_DB = nullptr;
    QComboBox* cbo_DBs = nullptr;
    QPushButton* cmd_ListDBs = nullptr;
    QPushButton* cmd_Tallyrun = nullptr;
};

}  // namespace tallyrun
