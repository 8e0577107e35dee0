// The primary screen seen in twips: its size, its twips-per-pixel factors and the work area left to windows.
#pragma once

#include "platform/ui/placement_view.h"

namespace tallyrun {

class Win32Screen : public Screen {
public:
    float Width() const override;
    float Height() const override;
    // 1440 divided by the screen's logical dots per inch; 15 when the system reports none.
    float TwipsPerPixelX() const override;
    float TwipsPerPixelY() const override;
    // What SPI_GETWORKAREA answers; false, the rectangle untouched, when the system refuses the query.
    bool QueryWorkArea(WorkAreaRect& rect) const override;
};

}  // namespace tallyrun
