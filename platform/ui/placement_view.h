// What the centring procedures read and change on a window and on the screen, in twips. Every toolkit's form
// and screen are these views.
#pragma once

#include <cstdint>

namespace tallyrun {

class Form;

// Anything a caller may hand in as a parent; only a form counts as one.
class PlacementObject {
public:
    virtual ~PlacementObject() = default;
    virtual Form* AsForm() { return nullptr; }
};

class StatusBarView {
public:
    virtual ~StatusBarView() = default;
    virtual bool Visible() const = 0;
    virtual float Height() const = 0;
};

class Form : public PlacementObject {
public:
    Form* AsForm() override { return this; }

    virtual int WindowState() const = 0;  // 0 normal, anything else minimised or maximised
    virtual float Left() const = 0;       // outer frame, twips
    virtual float Top() const = 0;
    virtual float Width() const = 0;
    virtual float Height() const = 0;
    virtual float ScaleWidth() const = 0;  // client area
    virtual float ScaleHeight() const = 0;
    virtual bool MDIChild() const = 0;
    // The status bar the form exposes; a form without one raises an Error.
    virtual const StatusBarView& StatusBar() const = 0;
    virtual void Move(double left, double top) = 0;
};

// Pixel rectangle in screen coordinates, in the order the system reports it.
struct WorkAreaRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

class Screen {
public:
    virtual ~Screen() = default;
    virtual float Width() const = 0;  // whole screen, twips
    virtual float Height() const = 0;
    virtual float TwipsPerPixelX() const = 0;
    virtual float TwipsPerPixelY() const = 0;
    // Fills the rectangle with the desktop work area; returns false (leaving it as it was) when the query fails.
    virtual bool QueryWorkArea(WorkAreaRect& rect) const = 0;
};

}  // namespace tallyrun
