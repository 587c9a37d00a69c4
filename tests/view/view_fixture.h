#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "events/temp_folder.h"
#include "panel/panel_areas.h"
#include "platform/fake_platform.h"
#include "view/main_view.h"

namespace qev::testing {

// The program's view on a data folder of its own, with the fake platform and
// the recording canvases behind it.
class ViewFixture : public ::testing::Test {
 protected:
  // Slot k reads 歴史文書2k.txt until a dialog renames it.
  std::filesystem::path SlotFile(int k) const {
    return folder / ("歴史文書2" + std::to_string(k) + ".txt");
  }
  // An event file titled `title` holding `utf8Lines` (each ended by CR LF).
  static Sjis EventFile(const std::string& title, const std::string& utf8Lines) {
    return EncodeCp932("H;" + title + ";;2026年01月01日00時00分;\r\n" + utf8Lines + ";\r\n").bytes;
  }
  void WriteSlot(int k, const std::string& title, const std::string& utf8Lines) {
    WriteBytes(SlotFile(k), EventFile(title, utf8Lines));
  }
  // Creates the view and runs its initialisation and first paint.
  void Start(ScreenLayout layout = {800, 600}) {
    view = std::make_unique<MainView>(platform, layout, folder.path().string());
    view->OnInitialUpdate();
    view->OnPaint();
  }

  // Clicks as the user makes them: on a control-panel label, in the
  // timeline frame (left: the previous point, right: the next), and in the
  // strip above it at view x.
  void Click(PanelArea area, bool right = false) {
    const PanelRect r = AreaRect(view->layout(), area);
    const int x = (r.left + r.right) / 2;
    const int y = (r.top + r.bottom) / 2;
    if (right) return view->OnRButtonUp(x, y);
    view->OnLButtonDown(x, y);
    view->OnLButtonUp(x, y);
  }
  void StepPrevious() { view->OnLButtonUp(view->layout().X(500), view->layout().Y(300)); }
  void StepNext() { view->OnRButtonUp(view->layout().X(500), view->layout().Y(300)); }
  void ClickAbove(int x) { view->OnLButtonUp(x, 5); }

  TempFolder folder;
  FakePlatform platform;
  std::unique_ptr<MainView> view;
};

}  // namespace qev::testing
