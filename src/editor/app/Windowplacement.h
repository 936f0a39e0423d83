#pragma once

#include "Settingskeys.h"

class QWidget;

namespace vesk {

// Moves (and, when withSize, resizes) a top-level window to a stored
// placement. A placement that no screen shows any more, after a monitor was
// removed, is moved onto the primary screen so the window can be reached.
void ApplyPlacement(QWidget& window, const TWindowPlacement& placement, bool withSize);
// The window's current placement in the same terms.
TWindowPlacement CapturePlacement(const QWidget& window);

} // namespace vesk
