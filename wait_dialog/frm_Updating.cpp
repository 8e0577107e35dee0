#include "wait_dialog/frm_Updating.h"

namespace tallyrun {

namespace {

constexpr ui::ControlLayout Controls[] = {
    {ui::ControlKind::Label, "lbl_Info", "Updating Usage.  This may take several minutes.  Please wait...", {},
     {330, 203, 3495, 495}, ui::Alignment::Center, true},
};

}  // namespace

const ui::FormLayout frm_UpdatingLayout{"frm_Updating", "Updating Usage", ui::FormKind::Dialog, 4155, 900, Controls,
                                        true};

frm_Updating::frm_Updating(ui::Toolkit& toolkit, ProcessQuery& processes, ui::Form& owner)
    : m_processes(processes), m_form(toolkit.CreateForm(frm_UpdatingLayout, &owner)), Timer1(m_form->AddTimer())
{
    Timer1.SetInterval(1000);
    Timer1.OnTimer([this] { Timer1_Timer(); });
    m_form->OnQueryUnload([this](bool& cancel) { Form_QueryUnload(cancel); });
    Form_Load();
    Timer1.SetEnabled(true);
}

void frm_Updating::Show()
{
    m_form->ShowModal();
}

void frm_Updating::Form_Load()
{
    m_CancelUnload = true;
}

void frm_Updating::Form_QueryUnload(bool& cancel) const
{
    cancel = m_CancelUnload;
}

void frm_Updating::Timer1_Timer()
{
    if (IsProcessRunning())
        return;
    m_CancelUnload = false;
    Timer1.SetEnabled(false);
    m_form->Unload();
}

bool frm_Updating::IsProcessRunning()
{
    const auto process = m_processes.OpenProcess(m_ProcessId);
    if (!process)
        return false;
    return process->StillActive().value_or(false);
}

}  // namespace tallyrun
