// The Qt controls behind a form's labels, combo boxes, buttons and timers. The widgets belong to the form's
// window; these views only point at them.
#pragma once

#include "platform/ui/controls.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTimer;
class QWidget;

namespace tallyrun {

class QtLabel : public ui::Label {
public:
    explicit QtLabel(QLabel& label) : m_label(label) {}
    std::string Caption() const override;

private:
    QLabel& m_label;
};

class QtComboBox : public ui::ComboBox {
public:
    explicit QtComboBox(QComboBox& combo) : m_combo(combo) {}
    std::string Text() const override;
    void SetText(const std::string& text) override;
    void Clear() override;
    // Qt selects the first row added to an empty list; that selection is taken back.
    void AddItem(const std::string& text) override;
    int ListCount() const override;
    std::string List(int index) const override;
    int ListIndex() const override;
    void SetListIndex(int index) override;
    // Refused (raising) while the combo box is hidden or disabled, as the focus could not land there.
    void SetFocus() override;
    void Refresh() override;
    void ShowDropDown() override;

private:
    QComboBox& m_combo;
};

class QtCommandButton : public ui::CommandButton {
public:
    explicit QtCommandButton(QPushButton& button);
    std::string Caption() const override;
    void OnClick(std::function<void()> handler) override { m_click = std::move(handler); }

private:
    QPushButton& m_button;
    std::function<void()> m_click;
};

class QtTimer : public ui::Timer {
public:
    explicit QtTimer(QWidget& form);
    int Interval() const override;
    void SetInterval(int milliseconds) override;
    bool Enabled() const override;
    void SetEnabled(bool enabled) override;
    void OnTimer(std::function<void()> handler) override { m_tick = std::move(handler); }

private:
    QTimer& m_timer;
    std::function<void()> m_tick;
};

}  // namespace tallyrun
