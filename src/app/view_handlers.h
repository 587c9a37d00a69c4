#pragma once

#include <string>
#include <utility>

#include "platform/platform.h"
#include "platform/screen_layout.h"
#include "view/lumovar_100_view.h"

namespace qev {

// What the window tells the view. The program plugs in its view; the
// window's tests plug in recorders.
class ViewHandlers {
 public:
  virtual ~ViewHandlers() = default;

  virtual void OnInitialUpdate() = 0;
  virtual void OnPaint() = 0;
  virtual void OnLButtonUp(int x, int y) = 0;
  virtual void OnRButtonUp(int x, int y) = 0;
  virtual void OnLButtonDown(int x, int y) = 0;
  virtual void OnLButtonDblClk(int x, int y) = 0;
  virtual void ShowContextMenu(int x, int y) = 0;
  virtual void ScrollTimeline(ScrollCode code, int thumbPos) = 0;
  virtual void OnClockTick() = 0;
  virtual bool QueryClose() = 0;
};

// The program's own view behind the window.
class CoreViewHandlers final : public ViewHandlers {
 public:
  CoreViewHandlers(Platform& platform, const ScreenLayout& layout, std::string dataDir)
      : view_(platform, layout, std::move(dataDir)) {}

  void OnInitialUpdate() override { view_.OnInitialUpdate(); }
  void OnPaint() override { view_.OnPaint(); }
  void OnLButtonUp(int x, int y) override { view_.OnLButtonUp(x, y); }
  void OnRButtonUp(int x, int y) override { view_.OnRButtonUp(x, y); }
  void OnLButtonDown(int x, int y) override { view_.OnLButtonDown(x, y); }
  void OnLButtonDblClk(int x, int y) override { view_.OnLButtonDblClk(x, y); }
  void ShowContextMenu(int x, int y) override { view_.ShowContextMenu(x, y); }
  void ScrollTimeline(ScrollCode code, int thumbPos) override {
    view_.ScrollTimeline(code, thumbPos);
  }
  void OnClockTick() override { view_.OnClockTick(); }
  bool QueryClose() override { return view_.QueryClose(); }

  // The view itself, for tests that check its state against the screen.
  CLumovar_100View& view() { return view_; }

 private:
  CLumovar_100View view_;
};

}  // namespace qev
