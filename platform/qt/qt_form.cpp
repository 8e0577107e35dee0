#include "platform/qt/qt_form.h"

#include "platform/core/error.h"
#include "platform/qt/caption_fit.h"
#include "platform/qt/form_accessible.h"
#include "platform/qt/qt_form_frame.h"
#include "platform/qt/windows_keys.h"
#include "platform/ui/twips.h"
#include "resources/application_icon.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScreen>

namespace tallyrun {

namespace {

QString Text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

Qt::Alignment Horizontal(ui::Alignment alignment)
{
    switch (alignment) {
    case ui::Alignment::Right:
        return Qt::AlignRight;
    case ui::Alignment::Center:
        return Qt::AlignHCenter;
    case ui::Alignment::Left:
        break;
    }
    return Qt::AlignLeft;
}

// Qt sizes fonts at the system's dots per inch; a screen laying the form out at another factor gets a font grown or
// shrunk to match, so that captions keep their share of their controls.
QFont FontAtScreensFactor(QFont font, float twipsPerPixelY)
{
    const QScreen* system = QGuiApplication::primaryScreen();
    const qreal systemDotsPerInch = system ? system->logicalDotsPerInchY() : 96;
    const qreal scale = 1440 / static_cast<qreal>(twipsPerPixelY) / systemDotsPerInch;
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * scale);
    else
        font.setPixelSize(qRound(font.pixelSize() * scale));
    return font;
}

// Fixed size, a close box, and neither minimise nor maximise button.
constexpr Qt::WindowFlags FrameFlags = Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                       Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;

}  // namespace

QtForm::QtForm(const ui::FormLayout& layout, QtForm* owner, const Screen& screen) : m_screen(screen)
{
    InstallFormAccessibility();
    if (layout.kind == ui::FormKind::Dialog) {
        m_window = std::make_unique<QtDialogWidget>(m_events, owner ? owner->m_window.get() : nullptr,
                                                    layout.waits);
        m_window->setWindowFlags(Qt::Dialog | FrameFlags);
    } else {
        m_window = std::make_unique<QtWindowWidget>(m_events);
        m_window->setWindowFlags(Qt::Window | FrameFlags);
    }
    m_window->setObjectName(Text(layout.name));
    m_window->setWindowTitle(Text(layout.caption));
    m_window->setWindowIcon(ApplicationIcon());
    m_window->setFixedSize(PixelsOf(layout.clientWidth, screen.TwipsPerPixelX()),
                           PixelsOf(layout.clientHeight, screen.TwipsPerPixelY()));
    CreateControls(layout);
}

QtForm::~QtForm() = default;

void QtForm::CreateControls(const ui::FormLayout& layout)
{
    const float x = m_screen.TwipsPerPixelX();
    const float y = m_screen.TwipsPerPixelY();
    auto* keys = new WindowsKeys(m_window.get());
    std::vector<const QLabel*> fittedLabels;
    std::vector<const QPushButton*> fittedButtons;
    QLabel* previousLabel = nullptr;
    QWidget* previousInTabOrder = nullptr;
    QWidget* firstInTabOrder = nullptr;

    for (const ui::ControlLayout& control : layout.controls) {
        QWidget* widget = nullptr;
        switch (control.kind) {
        case ui::ControlKind::Label: {
            auto* label = new QLabel(Text(control.caption), m_window.get());
            label->setAlignment(Horizontal(control.alignment) | (control.wordWrap ? Qt::AlignTop : Qt::AlignVCenter));
            label->setWordWrap(control.wordWrap);
            label->setForegroundRole(QPalette::WindowText);
            if (!control.wordWrap)
                fittedLabels.push_back(label);
            m_controls.emplace_back(std::make_unique<QtLabel>(*label));
            widget = label;
            break;
        }
        case ui::ControlKind::ComboBox: {
            auto* combo = new QComboBox(m_window.get());
            combo->setEditable(true);
            // The list holds only what the program puts there, never what the user typed.
            combo->setInsertPolicy(QComboBox::NoInsert);
            // Every row is one line of text; measuring each of tens of thousands of database names before the
            // list can open would cost more than the query that fetched them.
            if (auto* list = qobject_cast<QListView*>(combo->view()))
                list->setUniformItemSizes(true);
            combo->setEditText(Text(control.caption));
            combo->installEventFilter(keys);
            combo->lineEdit()->installEventFilter(keys);
            if (previousLabel)
                previousLabel->setBuddy(combo);
            m_controls.emplace_back(std::make_unique<QtComboBox>(*combo));
            widget = combo;
            break;
        }
        case ui::ControlKind::CommandButton: {
            auto* button = new QPushButton(Text(control.caption), m_window.get());
            button->installEventFilter(keys);
            fittedButtons.push_back(button);
            m_controls.emplace_back(std::make_unique<QtCommandButton>(*button));
            widget = button;
            break;
        }
        }
        widget->setObjectName(Text(control.name));
        if (!control.accessibleName.empty())
            widget->setAccessibleName(Text(control.accessibleName));
        previousLabel = qobject_cast<QLabel*>(widget);
        widget->setGeometry(PixelsOf(control.at.left, x), PixelsOf(control.at.top, y), PixelsOf(control.at.width, x),
                            PixelsOf(control.at.height, y));
        m_controlWidgets.push_back(widget);

        if (widget->focusPolicy() == Qt::NoFocus)
            continue;
        if (previousInTabOrder)
            QWidget::setTabOrder(previousInTabOrder, widget);
        else
            firstInTabOrder = widget;
        previousInTabOrder = widget;
    }
    if (firstInTabOrder)
        firstInTabOrder->setFocus();

    const QFont font = FontAtScreensFactor(m_window->font(), y);
    FitFontToCaptions(*m_window, font, fittedLabels, fittedButtons);
}

std::string QtForm::Caption() const
{
    return m_window->windowTitle().toStdString();
}

template <class T>
T& QtForm::ControlAt(std::size_t index)
{
    if (index < m_controls.size()) {
        if (auto* control = std::get_if<std::unique_ptr<T>>(&m_controls[index]))
            return **control;
    }
    throw Error(errc::InvalidArgument, "The form \"" + Caption() + "\" has no such control at " + std::to_string(index));
}

ui::Label& QtForm::LabelAt(std::size_t index) { return ControlAt<QtLabel>(index); }
ui::ComboBox& QtForm::ComboBoxAt(std::size_t index) { return ControlAt<QtComboBox>(index); }
ui::CommandButton& QtForm::CommandButtonAt(std::size_t index) { return ControlAt<QtCommandButton>(index); }

QWidget& QtForm::ControlWidget(std::size_t index)
{
    return *m_controlWidgets.at(index);
}

ui::Timer& QtForm::AddTimer()
{
    return *m_timers.emplace_back(std::make_unique<QtTimer>(*m_window));
}

void QtForm::SetMousePointer(int pointer)
{
    m_mousePointer = pointer;
    const bool hourglass = pointer == ui::PointerHourglass;
    if (hourglass)
        m_window->setCursor(Qt::WaitCursor);
    else
        m_window->unsetCursor();
    // The edit fields carry their own text cursor, which would otherwise show through the form's pointer.
    for (QLineEdit* edit : m_window->findChildren<QLineEdit*>())
        edit->setCursor(hourglass ? Qt::WaitCursor : Qt::IBeamCursor);
}

void QtForm::Refresh()
{
    m_window->repaint();
}

void QtForm::Show()
{
    m_window->show();
    SelectFocusedText(*m_window);
}

void QtForm::ShowModal()
{
    auto* dialog = dynamic_cast<QDialog*>(m_window.get());
    if (!dialog)
        throw Error(errc::InvalidArgument, "The window \"" + Caption() + "\" cannot be shown modally");
    dialog->exec();
}

void QtForm::Unload()
{
    m_window->close();
}

void QtForm::OnQueryUnload(std::function<void(bool& cancel)> handler) { m_events.queryUnload = std::move(handler); }
void QtForm::OnUnload(std::function<void()> handler) { m_events.unload = std::move(handler); }
void QtForm::OnShown(std::function<void()> handler) { m_events.shown = std::move(handler); }

int QtForm::WindowState() const
{
    const Qt::WindowStates state = m_window->windowState();
    if (state & Qt::WindowMinimized)
        return 1;
    if (state & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return 2;
    return 0;
}

float QtForm::Left() const { return TwipsOf(OuterFrame().x(), m_screen.TwipsPerPixelX()); }
float QtForm::Top() const { return TwipsOf(OuterFrame().y(), m_screen.TwipsPerPixelY()); }
float QtForm::Width() const { return TwipsOf(FrameSize().width(), m_screen.TwipsPerPixelX()); }
float QtForm::Height() const { return TwipsOf(FrameSize().height(), m_screen.TwipsPerPixelY()); }
float QtForm::ScaleWidth() const { return TwipsOf(m_window->width(), m_screen.TwipsPerPixelX()); }
float QtForm::ScaleHeight() const { return TwipsOf(m_window->height(), m_screen.TwipsPerPixelY()); }

const StatusBarView& QtForm::StatusBar() const
{
    throw Error(errc::ObjectRequired, "The window \"" + Caption() + "\" has no status bar");
}

void QtForm::Move(double left, double top)
{
    const int x = PixelsOf(left, m_screen.TwipsPerPixelX());
    const int y = PixelsOf(top, m_screen.TwipsPerPixelY());
    // Once the window manager has told the frame of a window not shown yet, Qt takes a position given it as the
    // client area's; the client area goes inside the frame instead.
    if (!m_window->isVisible()) {
        if (const std::optional<QMargins> frame = RequestFrameExtents(*m_window)) {
            m_window->setGeometry(QRect(QPoint(x + frame->left(), y + frame->top()), m_window->size()));
            return;
        }
    }
    // Otherwise QWidget::move places a top-level window's frame, not its client area.
    m_window->move(x, y);
}

QRect QtForm::OuterFrame() const
{
    if (!m_window->isVisible())
        return m_window->frameGeometry();
    // Qt learns a shown window's frame from the window manager's events, and on a busy machine may not have it yet
    // when asked; a dialog centred over such a window would land half a title bar low. The frame the window
    // manager has published comes first.
    if (const std::optional<QMargins> frame = RequestFrameExtents(*m_window))
        return m_window->geometry().marginsAdded(*frame);
    return m_window->frameGeometry();
}

QSize QtForm::FrameSize() const
{
    if (m_window->isVisible())
        return OuterFrame().size();
    // Not shown, so Qt does not know the frame yet. A window manager that tells it before the window is mapped is
    // asked, so that the window is centred on its outer frame and not half a title bar low.
    if (const std::optional<QMargins> frame = RequestFrameExtents(*m_window))
        return m_window->size().grownBy(*frame);
    if (!m_window->parentWidget())
        return m_window->frameGeometry().size();
    // Otherwise the owner's frame is the best guess of the one a dialog will wear.
    const QWidget* owner = m_window->parentWidget()->window();
    return m_window->size() + (owner->frameGeometry().size() - owner->size());
}

}  // namespace tallyrun
