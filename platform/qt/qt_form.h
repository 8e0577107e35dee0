// A form of the Qt toolkit: a fixed-size window made from a layout at the screen's twips per pixel, with its
// controls, and the view in twips that the centring procedures read and move.
#pragma once

#include "platform/qt/qt_controls.h"
#include "platform/qt/qt_form_widget.h"
#include "platform/ui/form.h"
#include "platform/ui/layout.h"

#include <memory>
#include <variant>
#include <vector>

class QSize;
class QWidget;

namespace tallyrun {

class QtForm : public ui::Form {
public:
    // A dialog's window is owned by the owner's from the start. The screen must outlive the form.
    QtForm(const ui::FormLayout& layout, QtForm* owner, const Screen& screen);
    ~QtForm() override;

    std::string Caption() const override;
    ui::Label& LabelAt(std::size_t index) override;
    ui::ComboBox& ComboBoxAt(std::size_t index) override;
    ui::CommandButton& CommandButtonAt(std::size_t index) override;
    ui::Timer& AddTimer() override;
    int MousePointer() const override { return m_mousePointer; }
    void SetMousePointer(int pointer) override;
    void Refresh() override;
    void Show() override;
    // Dialogs only; a top-level window raises an Error (errc::InvalidArgument).
    void ShowModal() override;
    void Unload() override;
    void OnQueryUnload(std::function<void(bool& cancel)> handler) override;
    void OnUnload(std::function<void()> handler) override;
    void OnShown(std::function<void()> handler) override;

    int WindowState() const override;  // 0 normal, 1 minimised, 2 maximised or full screen
    float Left() const override;        // the frame's outer geometry
    float Top() const override;
    float Width() const override;  // a dialog never shown yet is taken to wear its owner's frame
    float Height() const override;
    float ScaleWidth() const override;  // the client area
    float ScaleHeight() const override;
    bool MDIChild() const override { return false; }
    // None of our windows has one: raises an Error.
    const StatusBarView& StatusBar() const override;
    // Moves the frame's top-left corner to whole pixels; raises an Error when they are out of range.
    void Move(double left, double top) override;

    QWidget& Window() { return *m_window; }
    // The widget of the control at that index in the layout.
    QWidget& ControlWidget(std::size_t index);
    std::size_t ControlCount() const { return m_controlWidgets.size(); }

private:
    using Control = std::variant<std::unique_ptr<QtLabel>, std::unique_ptr<QtComboBox>, std::unique_ptr<QtCommandButton>>;

    void CreateControls(const ui::FormLayout& layout);
    template <class T>
    T& ControlAt(std::size_t index);
    QRect OuterFrame() const;
    QSize FrameSize() const;

    const Screen& m_screen;
    FormEvents m_events;
    // Owns the controls' widgets; destroyed after the views that point at them.
    std::unique_ptr<QWidget> m_window;
    std::vector<Control> m_controls;
    std::vector<QWidget*> m_controlWidgets;
    std::vector<std::unique_ptr<QtTimer>> m_timers;
    int m_mousePointer = ui::PointerDefault;
};

}  // namespace tallyrun
