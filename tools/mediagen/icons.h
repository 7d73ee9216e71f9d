// The desktop icons: the window icon's blocks drawn afresh at each size a desktop asks for.
#pragma once

#include <string>

#include "image.h"

// One icon, size x size pixels, transparent around its rounded plate.
Image drawIcon(int size);

// Writes <dir>/NxN/apps/vextile.png for every icon size (the layout of an icon theme's folder);
// answers the exit status and reports a failure on standard error.
int writeIcons(const std::string& dir);
