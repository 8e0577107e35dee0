// The primary screen seen in twips: its size, its twips-per-pixel factors and the work area left to windows.
#pragma once

#include "platform/ui/placement_view.h"

namespace tallyrun {

class QtScreen : public Screen {
public:
    float Width() const override;
    float Height() const override;
    // 1440 divided by the screen's logical dots per inch; 15 when there is no screen.
    float TwipsPerPixelX() const override;
    float TwipsPerPixelY() const override;
    // The primary screen's available geometry, right and bottom exclusive; false when there is no screen.
    bool QueryWorkArea(WorkAreaRect& rect) const override;
};

}  // namespace tallyrun
