#pragma once

#include "Settingskeys.h"

#include <vector>

class QWidget;

namespace vesk {

class TSettingsFile;

// Moves (and, when withSize, resizes) a top-level window to a stored
// placement. A placement that no screen shows any more, after a monitor was
// removed, is moved onto the primary screen so the window can be reached.
void ApplyPlacement(QWidget& window, const TWindowPlacement& placement, bool withSize);
// The window's current placement in the same terms.
TWindowPlacement CapturePlacement(const QWidget& window);
// The stored placement of a dialog when the settings file has one. Without
// one only its stored (or default) size is taken: the dialog then comes up
// centred on the window it belongs to, as dialogs do.
void RestoreDialogPlacement(QWidget& dialog, const TSettingsFile& file, const TPlacementSection& section);

// A first start: the main window and its panels laid out side by side on
// the main window's screen, the panels stacked from its top right edge
// outwards, none over the main window's menus or drawing. The main window
// narrows when the screen has no room for both.
void PlaceBesideOnFirstStart(QWidget& main, const std::vector<QWidget*>& panels, bool moveMain);

} // namespace vesk
