#include "placement/basMisc.h"

#include "platform/ui/twips.h"

#include <cstdint>

namespace tallyrun::basMisc {

void CenterForm(Form& form, const Screen& screen)
{
    if (form.WindowState() != 0)
        return;

    // A failed query is deliberately not examined: the rectangle stays empty, nothing fits in it, and the form is
    // centred on the whole screen instead.
    WorkAreaRect rect{};
    screen.QueryWorkArea(rect);

    // Only the far edges count: the form is centred between the screen origin and the work area's right and bottom.
    const std::int32_t workWidth = WholeTwipsOf(rect.right, screen.TwipsPerPixelX());
    const std::int32_t workHeight = WholeTwipsOf(rect.bottom, screen.TwipsPerPixelY());

    const double width = form.Width();
    const double height = form.Height();
    if (workWidth >= width && workHeight >= height)
        form.Move((workWidth - width) / 2, (workHeight - height) / 2);
    else
        form.Move((screen.Width() - width) / 2, (screen.Height() - height) / 2);
}

void CenterChild(PlacementObject* parent, Form& child, const Screen& screen)
{
    Form* const parentForm = parent ? parent->AsForm() : nullptr;
    if (!parentForm) {
        CenterForm(child, screen);
        return;
    }

    // Single precision throughout, as the form properties are; a sum that rounds onto the screen edge is on it.
    float left = 0;
    float top = 0;
    if (child.MDIChild()) {
        const StatusBarView& statusBar = parentForm->StatusBar();
        const float status = statusBar.Visible() ? statusBar.Height() : 0.0f;
        top = (parentForm->ScaleHeight() - status - child.ScaleHeight()) / 2;
        left = (parentForm->ScaleWidth() - child.ScaleWidth()) / 2;
    } else {
        left = parentForm->Left() + (parentForm->Width() - child.Width()) / 2;
        top = parentForm->Top() + (parentForm->Height() - child.Height()) / 2;
        if (left + child.Width() > screen.Width())
            left = screen.Width() - child.Width();
        if (top + child.Height() > screen.Height())
            top = screen.Height() - child.Height();
    }

    // Last, so that a child larger than the screen keeps its top-left corner on it.
    if (top < 0)
        top = 0;
    if (left < 0)
        left = 0;

    child.Move(left, top);
}

}  // namespace tallyrun::basMisc
