// The two list buttons: fill the server and database lists from the SQL management objects.
#include "main_window/frm_Main.h"

namespace tallyrun {

void frm_Main::cmd_ListServers_Click() {}

void frm_Main::cmd_ListDBs_Click() {}

void frm_Main::ShowDropDown(QComboBox&) {}

}  // namespace tallyrun
