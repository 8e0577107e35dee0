#include "wait_dialog/frm_Updating.h"

#include "platform/qt/twips.h"
#include "resources/application_icon.h"

#include <QCloseEvent>
#include <QLabel>
#include <QTimer>

namespace tallyrun {

frm_Updating::frm_Updating(ProcessQuery& processes, const Screen& screen, QWidget* owner)
    : QDialog(owner), m_processes(processes)
{
    const float tx = screen.TwipsPerPixelX();
    const float ty = screen.TwipsPerPixelY();

    setObjectName(QStringLiteral("frm_Updating"));
    setWindowTitle(QStringLiteral("Updating Usage"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowIcon(ApplicationIcon());
    setFixedSize(TwipsToPixels(4155, tx), TwipsToPixels(900, ty));

    lbl_Info = new QLabel(QStringLiteral("Updating Usage.  This may take several minutes.  Please wait..."), this);
    lbl_Info->setObjectName(QStringLiteral("lbl_Info"));
    lbl_Info->setGeometry(TwipsToPixels(330, tx), TwipsToPixels(203, ty), TwipsToPixels(3495, tx),
                          TwipsToPixels(495, ty));
    lbl_Info->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lbl_Info->setWordWrap(true);
    lbl_Info->setForegroundRole(QPalette::WindowText);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &frm_Updating::Timer1_Timer);

    Form_Load();
    Timer1->start();
}

void frm_Updating::Form_Load()
{
    m_CancelUnload = true;
}

void frm_Updating::Form_QueryUnload(bool& cancel) const
{
    cancel = m_CancelUnload;
}

void frm_Updating::closeEvent(QCloseEvent* event)
{
    bool cancel = false;
    Form_QueryUnload(cancel);
    if (cancel) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void frm_Updating::reject()
{
    bool cancel = false;
    Form_QueryUnload(cancel);
    if (!cancel)
        QDialog::reject();
}

void frm_Updating::Timer1_Timer()
{
    if (IsProcessRunning())
        return;
    m_CancelUnload = false;
    Timer1->stop();
    close();
}

bool frm_Updating::IsProcessRunning()
{
    const auto process = m_processes.OpenProcess(m_ProcessId);
    if (!process)
        return false;
    return process->StillActive().value_or(false);
}

}  // namespace tallyrun
