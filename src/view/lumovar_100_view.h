#pragma once

#include <string>

#include "platform/platform.h"
#include "platform/screen_layout.h"

namespace qev {

// Scroll bar actions, as the scroll bar reports them.
enum class ScrollCode {
  kLineLeft,
  kLineRight,
  kPageLeft,
  kPageRight,
  kThumbPosition,
  kThumbTrack,
  kLeft,
  kRight,
  kEndScroll,
};

// The program's one view: owns the state of every subsystem and runs the two
// redraw chains. The window forwards its events here; everything the view
// shows goes through the platform.
class CLumovar_100View {
 public:
  // `dataDir` is the folder of the event files and the state file.
  CLumovar_100View(Platform& platform, ScreenLayout layout, std::string dataDir);

  const ScreenLayout& layout() const { return layout_; }

  // One-time initialisation: initial values, the empty timeline and the
  // control panel.
  void OnInitialUpdate();
  // Every paint; the first one restores the state file and the slots.
  void OnPaint();

  // Pointer input, in view coordinates.
  void OnLButtonUp(int x, int y);
  void OnRButtonUp(int x, int y);
  void OnLButtonDown(int x, int y);
  void OnLButtonDblClk(int x, int y);
  // The context menu for the label under (x, y), after the right-button
  // release was dispatched.
  void ShowContextMenu(int x, int y);

  void ScrollTimeline(ScrollCode code, int thumbPos);

  // Timer 3: once a second, clock and stopwatch.
  void OnClockTick();

  // Before the window closes: asks about unsaved slots. False keeps the
  // window open.
  bool QueryClose();

 private:
  Platform& platform_;
  ScreenLayout layout_;
  std::string dataDir_;
};

}  // namespace qev
