// The application icon, for the windows' title bars and the task bar.
#pragma once

#include <QIcon>

namespace tallyrun {

// Every size of the icon, from 16 to 256 pixels.
QIcon ApplicationIcon();

}  // namespace tallyrun
