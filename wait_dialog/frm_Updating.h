// The modal dialog that stands over the main window while the client runs and refuses to close until it ends.
#pragma once

#include "platform/core/process_query.h"
#include "platform/ui/form.h"
#include "platform/ui/layout.h"
#include "platform/ui/toolkit.h"

#include <cstdint>
#include <memory>

namespace tallyrun {

// The dialog's layout, which every toolkit realises.
extern const ui::FormLayout frm_UpdatingLayout;

class frm_Updating {
public:
    // Creating the dialog loads it over its owner: the refusal to close is armed and the timer starts.
    frm_Updating(ui::Toolkit& toolkit, ProcessQuery& processes, ui::Form& owner);

    std::int32_t ProcessId() const { return m_ProcessId; }
    void SetProcessId(std::int32_t processId) { m_ProcessId = processId; }

    ui::Form& Form() { return *m_form; }
    // Modal over the owner; returns once the process has ended and the dialog has unloaded itself.
    void Show();

private:
    void Form_Load();
    // Sets cancel when the dialog must stay, whatever the way of closing.
    void Form_QueryUnload(bool& cancel) const;
    void Timer1_Timer();
    bool IsProcessRunning();

    ProcessQuery& m_processes;
    std::unique_ptr<ui::Form> m_form;
    ui::Timer& Timer1;
    std::int32_t m_ProcessId = 0;
    bool m_CancelUnload = false;
};

}  // namespace tallyrun
