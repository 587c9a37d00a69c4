#include "app/screen_fit.h"

#include <algorithm>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QThread>
#include <QWindow>

namespace qev {
namespace {

// Room left for the frame a window manager puts around a window.
constexpr int kFrameWidth = 16;
constexpr int kFrameHeight = 48;

// How long the client size must stay the same before it counts as settled:
// a window manager maximises a window a moment after mapping it.
constexpr int kSettledMilliseconds = 250;

}  // namespace

QSize MaximisedClientSize(QScreen& screen, int waitMilliseconds) {
  QMainWindow probe;
  // A menu bar as tall as the main window's: a Japanese title, since a
  // fallback face for it may be taller than the Latin one.
  probe.menuBar()->addMenu(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
  auto* client = new QWidget;
  probe.setCentralWidget(client);
  // Unseen where the window system can blend windows; elsewhere it shows
  // for a moment as an empty window where the real one will come.
  probe.setWindowOpacity(0.0);
  probe.setGeometry(screen.availableGeometry());
  probe.showMaximized();

  // Off screen no window manager resizes the window after it shows.
  const int settle =
      QGuiApplication::platformName() == QLatin1String("offscreen") ? 0 : kSettledMilliseconds;
  QElapsedTimer waited;
  waited.start();
  QElapsedTimer unchanged;
  QSize last;
  while (waited.elapsed() < waitMilliseconds) {
    QCoreApplication::processEvents();
    QThread::msleep(10);
    const QWindow* window = probe.windowHandle();
    const QSize now = client->size();
    if (!window || !window->isExposed() || now != last) {
      last = now;
      unchanged.start();
    } else if (unchanged.elapsed() >= settle) {
      break;
    }
  }
  probe.hide();
  // A window system that never showed the probe: the available geometry is
  // the best guess left.
  return last.isEmpty() ? screen.availableGeometry().size() : last;
}

void FitOnScreen(QWidget& window, QSize preferred, QSize screen) {
  QRect room(QPoint(0, 0), screen);
  if (const QScreen* shown = window.screen()) {
    const QRect available = shown->availableGeometry();
    room = available.intersected(QRect(available.topLeft(), screen));
  }
  const QSize size = preferred.boundedTo(room.size() - QSize(kFrameWidth, kFrameHeight));
  window.resize(size);
  window.move(room.left() + (room.width() - size.width()) / 2,
              room.top() + (room.height() - size.height() - kFrameHeight) / 2);
}

QRect PlaceClearOf(QRect screen, QRect mainFrame, QRect keepClear, QSize wanted) {
  const int top = std::clamp(mainFrame.top(), screen.top(), screen.bottom() - wanted.height() + 1);
  const int left = std::clamp(mainFrame.left(), screen.left(), screen.right() - wanted.width() + 1);
  const QRect candidates[] = {
      {QPoint(mainFrame.right() + 1, top), wanted},
      {QPoint(mainFrame.left() - wanted.width(), top), wanted},
      {QPoint(left, mainFrame.bottom() + 1), wanted},
      {QPoint(left, mainFrame.top() - wanted.height()), wanted},
  };
  for (const QRect& place : candidates) {
    if (screen.contains(place) && !place.intersects(keepClear)) return place;
  }
  const int dockTop = keepClear.bottom() + 1;
  const int room = std::min(mainFrame.bottom(), screen.bottom()) - dockTop + 1;
  return {mainFrame.left(), dockTop, mainFrame.width(),
          std::max(1, std::min(wanted.height(), room))};
}

}  // namespace qev
