// The application icon, for the windows' title bars and the task bar.
#pragma once

#include <QIcon>

namespace tallyrun {

// The icon at 16, 32 and 48 pixels; the system scales from these where it wants other sizes.
QIcon ApplicationIcon();

}  // namespace tallyrun
