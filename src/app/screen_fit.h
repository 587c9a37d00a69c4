#pragma once

#include <QRect>
#include <QScreen>
#include <QSize>
#include <QWidget>

namespace qev {

// The size the client area of the main window has when it is maximised on
// `screen`: the screen's available geometry less the window frame and the
// menu bar. The window system reports the frame only for a window it has
// placed, so a bare main window with the same menu bar is shown maximised,
// measured once its size has settled (at most `waitMilliseconds`), and
// closed again.
QSize MaximisedClientSize(QScreen& screen, int waitMilliseconds = 2000);

// Sizes `window` to `preferred` or smaller and centres it, so that it lies
// whole, with a window manager's frame, within the screen it shows on and
// within the `screen` size the program is laid out for.
void FitOnScreen(QWidget& window, QSize preferred, QSize screen);

// Where a window of `wanted` size goes so that it never covers `keepClear`
// (the drawing area and the panels of the main window, in screen
// coordinates): beside the main window's frame on its right or left, else
// below or above it, within `screen`; where the screen has no room for
// that, docked into the main window under `keepClear`, as wide as the main
// window and no taller than the room there.
QRect PlaceClearOf(QRect screen, QRect mainFrame, QRect keepClear, QSize wanted);

}  // namespace qev
