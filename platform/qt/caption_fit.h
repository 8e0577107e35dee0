// Shrinking a form's font until its one-line captions fit their controls.
#pragma once

#include <vector>

class QFont;
class QLabel;
class QPushButton;
class QWidget;

namespace tallyrun {

// The layouts' twips were drawn for a small system font; where the desktop's font is larger, the form's font is
// shrunk from `font` until every caption fits its control rather than clip the captions.
void FitFontToCaptions(QWidget& form, QFont font, const std::vector<const QLabel*>& labels,
                       const std::vector<const QPushButton*>& buttons);

}  // namespace tallyrun
