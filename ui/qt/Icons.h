#pragma once

#include <QIcon>
#include <QPixmap>

#include "MenuTable.h"

// The program's own pictures, painted rather than loaded, so that they need
// no files and stay sharp at every size they are drawn for.

// The card itself: 16, 32, 48, 64, 128 and 256 pixels.
QIcon ProgramIcon();
// A card file in the list: 16 and 32 pixels.
QIcon FileIcon();
// A toolbar button's picture: 16 pixels, with a 32-pixel twin for
// high-density screens.
QIcon ToolbarIcon(ToolbarPicture picture);

// One size of the program icon, for a window that shows it large (About).
QPixmap ProgramPixmap(int size);
