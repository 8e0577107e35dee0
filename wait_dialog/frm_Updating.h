// The modal dialog that stands over the main window while the client runs and refuses to close until it ends.
#pragma once

#include "platform/core/placement_view.h"
#include "platform/core/process_query.h"

#include <QDialog>

#include <cstdint>

class QCloseEvent;
class QLabel;
class QTimer;

namespace tallyrun {

class frm_Updating : public QDialog {
    Q_OBJECT

public:
    // Creating the dialog loads it: the refusal to close is armed and the timer starts.
    frm_Updating(ProcessQuery& processes, const Screen& screen, QWidget* owner);

    std::int32_t ProcessId() const { return m_ProcessId; }
    void SetProcessId(std::int32_t processId) { m_ProcessId = processId; }

    // The Escape key and any other dismissal end here; refused while the process runs.
    void reject() override;

protected:
    // The close box, Alt+F4, the system menu and the session all end here; refused while the process runs.
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    // Sets cancel when the dialog must stay, whatever the way of closing.
    void Form_QueryUnload(bool& cancel) const;
    void Timer1_Timer();
    bool IsProcessRunning();

    ProcessQuery& m_processes;
    QLabel* lbl_Info = nullptr;
    QTimer* Timer1 = nullptr;
    std::int32_t m_ProcessId = 0;
    bool m_CancelUnload = false;
};

}  // namespace tallyrun
