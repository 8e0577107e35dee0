#include "platform/qt/form_accessible.h"

#include "platform/qt/qt_form_widget.h"

#include <QAccessibleWidget>

namespace tallyrun {

namespace {

class WaitingDialogAccessible : public QAccessibleWidget {
public:
    explicit WaitingDialogAccessible(QWidget* dialog) : QAccessibleWidget(dialog, QAccessible::Dialog) {}

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.busy = widget()->isVisible();
        return state;
    }
};

// Qt calls a plain top-level widget a client area, which AT-SPI turns into a filler.
QAccessibleInterface* FormAccessible(const QString&, QObject* object)
{
    if (auto* window = dynamic_cast<QtWindowWidget*>(object))
        return new QAccessibleWidget(window, QAccessible::Window);
    if (auto* dialog = dynamic_cast<QtDialogWidget*>(object); dialog && dialog->Waits())
        return new WaitingDialogAccessible(dialog);
    return nullptr;
}

}  // namespace

void InstallFormAccessibility()
{
    static const bool installed = (QAccessible::installFactory(&FormAccessible), true);
    static_cast<void>(installed);
}

}  // namespace tallyrun
