// The primary screen seen in twips.
#pragma once

#include "platform/core/placement_view.h"

namespace tallyrun {

class QtScreen : public Screen {
public:
    float Width() const override;
    float Height() const override;
    float TwipsPerPixelX() const override;
    float TwipsPerPixelY() const override;
    bool QueryWorkArea(WorkAreaRect& rect) const override;
};

}  // namespace tallyrun
