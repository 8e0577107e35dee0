// The run button: compose the client's command line, start it hidden, wait in the modal dialog, and say why the
// run failed when it did.
#include "main_window/command_line.h"
#include "main_window/frm_Main.h"
#include "main_window/run_outcome.h"
#include "placement/basMisc.h"
#include "platform/ui/toolkit.h"
#include "wait_dialog/frm_Updating.h"

#include <memory>

namespace tallyrun {

void frm_Main::cmd_Tallyrun_Click()
{
    const std::string server = cbo_Servers.Text();
    const std::string database = cbo_DBs.Text();

    std::int32_t processId = 0;
    try {
        processId = m_platform.launcher.StartHidden(OsqlCommandLine(server, database), WindowStyleHidden);
    } catch (...) {
        // Without a started client there is nothing to wait for; say why and leave the window as it was.
        Report(CurrentFailure());
        return;
    }

    auto dialog = std::make_unique<frm_Updating>(m_platform.toolkit, m_platform.processes, *m_form);
    dialog->SetProcessId(processId);
    try {
        basMisc::CenterChild(m_form.get(), dialog->Form(), m_platform.toolkit.GetScreen());
    } catch (...) {
        // The client runs already: the dialog must watch it wherever the system puts it.
    }
    dialog->Show();
    dialog.reset();

    if (const auto outcome = m_platform.launcher.TakeOutcome(processId))
        if (const auto failure = RunFailure(*outcome))
            Report(*failure);
}

}  // namespace tallyrun
