#include "wait_dialog/frm_Updating.h"

namespace tallyrun {

frm_Updating::frm_Updating(ProcessQuery& processes, const Screen&, QWidget* owner)
    : QDialog(owner), m_processes(processes)
{
}

}  // namespace tallyrun
