#include "platform/qt/qt_ui.h"

#include <QComboBox>
#include <QMessageBox>

namespace tallyrun {

void QtMessageBoxes::Show(QWidget* owner, const QString& text, int style, const QString& title)
{
    const auto icon = style == MessageStyleInformation ? QMessageBox::Information : QMessageBox::NoIcon;
    QMessageBox box(icon, title, text, QMessageBox::Ok, owner);
    box.exec();
}

void QtDropDown::ShowDropDown(QComboBox& combo)
{
    combo.showPopup();
}

}  // namespace tallyrun
