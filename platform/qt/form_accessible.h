// What screen readers hear of a form itself: a top-level window is a window (a frame to AT-SPI, which Orca
// announces with its title), and a dialog that only waits is busy while it is shown.
#pragma once

namespace tallyrun {

// Idempotent; before the first form is asked about.
void InstallFormAccessibility();

}  // namespace tallyrun
