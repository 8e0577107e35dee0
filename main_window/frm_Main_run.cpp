// The run button: compose the client's command line, start it hidden, wait in the modal dialog.
#include "main_window/command_line.h"
#include "main_window/frm_Main.h"
#include "placement/basMisc.h"
#include "platform/qt/qt_form.h"
#include "wait_dialog/frm_Updating.h"

#include <QComboBox>

#include <memory>

namespace tallyrun {

void frm_Main::cmd_Tallyrun_Click()
{
    const std::string server = cbo_Servers->currentText().toStdString();
    const std::string database = cbo_DBs->currentText().toStdString();

    std::int32_t processId = 0;
    try {
        processId = m_platform.launcher.StartHidden(OsqlCommandLine(server, database), WindowStyleHidden);
    } catch (const Error& error) {
        // Without a started client there is nothing to wait for; say why and leave the window as it was.
        m_platform.messages.Show(this, QString::fromStdString(error.Description()), MessageStyleInformation,
                                 QStringLiteral("Tallyrun"));
        return;
    }

    auto dialog = std::make_unique<frm_Updating>(m_platform.processes, m_platform.screen, this);
    dialog->SetProcessId(processId);
    QtForm parent(*this, m_platform.screen);
    QtForm child(*dialog, m_platform.screen);
    try {
        basMisc::CenterChild(&parent, child, m_platform.screen);
    } catch (const Error&) {
        // The client runs already: the dialog must watch it wherever the system puts it.
    }
    dialog->exec();
}

}  // namespace tallyrun
