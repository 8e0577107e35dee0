// A Qt top-level window seen as a form in twips, for the centring procedures.
#pragma once

#include "platform/core/placement_view.h"

class QSize;
class QWidget;

namespace tallyrun {

class QtForm : public Form {
public:
    // Twips per pixel are taken from the screen. The window must outlive this view.
    QtForm(QWidget& window, const Screen& screen);

    int WindowState() const override;  // 0 normal, 1 minimised, 2 maximised or full screen
    float Left() const override;        // the frame's outer geometry
    float Top() const override;
    float Width() const override;  // a window never shown yet is taken to wear its owner's frame
    float Height() const override;
    float ScaleWidth() const override;  // the client area
    float ScaleHeight() const override;
    bool MDIChild() const override { return false; }
    // None of our windows has one: raises an Error.
    const StatusBarView& StatusBar() const override;
    // Moves the frame's top-left corner to the nearest whole pixels; raises an Error when they are out of range.
    void Move(double left, double top) override;

private:
    QSize FrameSize() const;
    float ToTwipsX(int pixels) const;
    float ToTwipsY(int pixels) const;

    QWidget& m_window;
    const Screen& m_screen;
};

}  // namespace tallyrun
