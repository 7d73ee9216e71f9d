// PNG output (libpng) for pictures that keep their alpha, such as the desktop icons.
#pragma once

#include <string>

#include "image.h"

// 8-bit RGBA, non-interlaced, with no time stamp or text, so the bytes are the same at every run.
void writePng(const std::string& path, const Image& img);
