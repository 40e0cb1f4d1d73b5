#pragma once

#include <QPalette>

// The window's colours under the desktop's palette. The value cells, captions and status colours
// are designed for a light window; under a dark desktop palette the window keeps a light palette of
// its own, so every text keeps its designed colour and its contrast, and disabled controls still
// look disabled.
namespace WindowPalette {

// A palette whose window background is darker than its text.
bool isDark(const QPalette& palette);
// The palette the window takes under the desktop's: none of its own (the desktop's) when that is
// light, else a light one.
QPalette forDesktop(const QPalette& desktop);

} // namespace WindowPalette
