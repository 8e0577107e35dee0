// The modal dialog that stands over the main window while the client runs and refuses to close until it ends.
#pragma once

#include "platform/core/placement_view.h"
#include "platform/core/process_query.h"

#include <QDialog>

#include <cstdint>

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

private:
    ProcessQuery& m_processes;
    std::int32_t m_ProcessId = 0;
    bool m_CancelUnload = false;
};

}  // namespace tallyrun
