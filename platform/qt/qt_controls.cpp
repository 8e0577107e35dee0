#include "platform/qt/qt_controls.h"

#include "base/error.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace tallyrun {

namespace {

QString Text(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

}  // namespace

std::string QtLabel::Caption() const
{
    return m_label.text().toStdString();
}

std::string QtComboBox::Text() const
{
    return m_combo.currentText().toStdString();
}

void QtComboBox::SetText(const std::string& text)
{
    m_combo.setEditText(tallyrun::Text(text));
}

void QtComboBox::Clear()
{
    m_combo.clear();
}

void QtComboBox::AddItem(const std::string& text)
{
    const int selected = m_combo.currentIndex();
    m_combo.addItem(tallyrun::Text(text));
    if (m_combo.currentIndex() != selected)
        m_combo.setCurrentIndex(selected);
}

int QtComboBox::ListCount() const
{
    return m_combo.count();
}

std::string QtComboBox::List(int index) const
{
    return m_combo.itemText(index).toStdString();
}

int QtComboBox::ListIndex() const
{
    return m_combo.currentIndex();
}

void QtComboBox::SetListIndex(int index)
{
    if (index < -1 || index >= m_combo.count())
        throw Error(errc::InvalidArgument, "Invalid property value");
    m_combo.setCurrentIndex(index);
}

void QtComboBox::SetFocus()
{
    if (!m_combo.isVisible() || !m_combo.isEnabled())
        throw Error(errc::InvalidArgument, "Invalid procedure call or argument");
    m_combo.setFocus(Qt::OtherFocusReason);
}

void QtComboBox::Refresh()
{
    m_combo.repaint();
}

void QtComboBox::ShowDropDown()
{
    m_combo.showPopup();
}

QtCommandButton::QtCommandButton(QPushButton& button) : m_button(button)
{
    QObject::connect(&m_button, &QPushButton::clicked, &m_button, [this] {
        if (m_click)
            m_click();
    });
}

std::string QtCommandButton::Caption() const
{
    return m_button.text().toStdString();
}

QtTimer::QtTimer(QWidget& form) : m_timer(*new QTimer(&form))
{
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
        if (m_tick)
            m_tick();
    });
}

int QtTimer::Interval() const
{
    return m_timer.interval();
}

void QtTimer::SetInterval(int milliseconds)
{
    m_timer.setInterval(milliseconds);
}

bool QtTimer::Enabled() const
{
    return m_timer.isActive();
}

void QtTimer::SetEnabled(bool enabled)
{
    if (enabled)
        m_timer.start();
    else
        m_timer.stop();
}

}  // namespace tallyrun
