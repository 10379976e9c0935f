#pragma once

class QWidget;

// Opens the user guide in a window of its own beside the program, or brings
// the one already open to the front. The window does not block the program.
void ShowUserGuide(QWidget* parent);
