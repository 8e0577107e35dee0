#include "platform/qt/qt_screen.h"

namespace tallyrun {

float QtScreen::Width() const { return 0; }
float QtScreen::Height() const { return 0; }
float QtScreen::TwipsPerPixelX() const { return 15; }
float QtScreen::TwipsPerPixelY() const { return 15; }
bool QtScreen::QueryWorkArea(WorkAreaRect&) const { return false; }

}  // namespace tallyrun
