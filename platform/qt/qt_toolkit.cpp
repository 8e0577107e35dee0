#include "platform/qt/qt_toolkit.h"

#include "platform/core/error.h"
#include "platform/qt/qt_form.h"

#include <QMessageBox>

namespace tallyrun {

namespace {

QtForm& OfThisToolkit(ui::Form& form)
{
    auto* qtForm = dynamic_cast<QtForm*>(&form);
    if (!qtForm)
        throw Error(errc::InvalidArgument, "The window \"" + form.Caption() + "\" is not a Qt window");
    return *qtForm;
}

}  // namespace

std::unique_ptr<ui::Form> QtToolkit::CreateForm(const ui::FormLayout& layout, ui::Form* owner)
{
    return std::make_unique<QtForm>(layout, owner ? &OfThisToolkit(*owner) : nullptr, m_screen);
}

void QtToolkit::MsgBox(ui::Form& owner, const std::string& text, int style, const std::string& title)
{
    const auto icon = style == ui::MessageStyleInformation ? QMessageBox::Information : QMessageBox::NoIcon;
    QMessageBox box(icon, QString::fromStdString(title), QString::fromStdString(text), QMessageBox::Ok,
                    &OfThisToolkit(owner).Window());
    // The text comes from servers and users (a server's name, its messages): what looks like markup is shown as
    // it is.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace tallyrun
