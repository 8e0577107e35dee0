// Shrinking a form's font until its one-line captions fit their controls.
#pragma once

#include <vector>

class QFont;
class QLabel;
class QPushButton;
class QWidget;

namespace tallyrun {

// Gives the form `font`, shrunk until every caption fits its control by the rule every toolkit shares
// (ui::FittedFontSize), in Qt's measure.
void FitFontToCaptions(QWidget& form, QFont font, const std::vector<const QLabel*>& labels,
                       const std::vector<const QPushButton*>& buttons);

}  // namespace tallyrun
