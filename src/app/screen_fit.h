#pragma once

#include <QScreen>
#include <QSize>

namespace qev {

// The size the client area of the main window has when it is maximised on
// `screen`: the screen's available geometry less the window frame and the
// menu bar. The window system reports the frame only for a window it has
// placed, so a bare main window with the same menu bar is shown maximised,
// measured once its size has settled (at most `waitMilliseconds`), and
// closed again.
QSize MaximisedClientSize(QScreen& screen, int waitMilliseconds = 2000);

}  // namespace qev
