#pragma once

#include "PageImage.h"

// The page the program shows when no card is attached: a formatted page with
// a few made-up save files, for trying the program out.
CPageImage MakeDemoPage();
