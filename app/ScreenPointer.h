// The mouse pointer drawn into a picture of the screen. A grab of the X
// screen leaves the pointer out, so the tour asks the X server for the
// pointer's current image to show what the user sees, the busy cursor above
// all.
#pragma once

#include <QPixmap>
#include <QPoint>

// Draws the pointer into `picture`, which shows the screen from `origin`.
// Leaves the picture as it is where the X server cannot say (another
// platform, or built without the XFixes library).
QPixmap WithPointer(QPixmap picture, QPoint origin);
