// The run button: compose the client's command line, start it hidden, wait in the modal dialog.
#include "main_window/frm_Main.h"

namespace tallyrun {

void frm_Main::cmd_Tallyrun_Click() {}

}  // namespace tallyrun
