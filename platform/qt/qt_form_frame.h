// The frame a window manager will draw around a top-level window not shown yet, asked of it before the window is
// mapped, so that a window can be centred on its outer frame from the start.
#pragma once

#include <QMargins>

#include <optional>

class QWidget;

namespace tallyrun {

// The window manager's frame extents for `window`, requested through the desktop's window-manager protocol and
// awaited briefly. Nothing when the display is not X11, no window manager offers the request, or none answers in
// time; the native window is created only when one does offer it.
std::optional<QMargins> RequestFrameExtents(QWidget& window);

}  // namespace tallyrun
