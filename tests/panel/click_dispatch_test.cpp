#include "panel/click_dispatch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qev {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

// Records every operation the dispatch asks for, and keeps the state the
// view would keep: the selection, the edit, the page.
class FakeTarget : public ClickTarget {
 public:
  explicit FakeTarget(ScreenLayout l) : layout_(l) {
    // Five points at drawing-area x 100..500.
    std::vector<TimelinePoint> points;
    for (int i = 1; i <= 5; ++i) points.push_back({false, 100 * i});
    visible_.RebuildVisiblePoints(points, 0, l.drawAreaWidth());
    visible_.SetSelectedIndex(1);
    store_.slots[1].loaded = 0;
  }

  void RemovePoints() { visible_.RebuildVisiblePoints({}, 0, layout_.drawAreaWidth()); }

  const ScreenLayout& layout() const override { return layout_; }
  DisplaySettings& settings() override { return settings_; }
  ContentEditState& edit() override { return edit_; }
  EventStore& store() override { return store_; }
  VisiblePointList& visible() override { return visible_; }
  ScreenPage& screenPage() override { return screenPage_; }
  int& helpPageIndex() override { return helpPageIndex_; }
  int& timeUnitIndex() override { return timeUnitIndex_; }
  DrawAreaContent drawAreaContent() const override { return drawAreaContent_; }
  bool stateDescriptionShown() const override { return stateShown_; }
  int randomIndex() override { return 3; }

  void CloseStateText() override {
    stateShown_ = false;
    log.push_back("close");
  }
  void ShowStateDescription() override {
    stateShown_ = true;
    log.push_back("state");
  }
  void CancelContentEdit() override {
    log.push_back("cancel");
    if (edit_.Cancel()) FullRefresh();
  }
  void FullRefresh() override {
    visible_.SelectFirst();
    log.push_back("refresh");
  }
  void SelectRedraw() override {
    log.push_back("select" + std::to_string(visible_.selectedIndex()));
  }
  void PanelsRedraw() override { log.push_back("panels"); }
  void TimelineRedraw() override {
    screenPage_ = ScreenPage::kMain;
    drawAreaContent_ = DrawAreaContent::kTimeline;
    log.push_back("timeline");
  }
  void DrawControlPanel() override { log.push_back("panel"); }
  void ChangeRange(int direction) override {
    visible_.SelectFirst();
    log.push_back(direction > 0 ? "range+" : "range-");
  }
  void RebuildSlotViews() override {
    visible_.SelectFirst();
    log.push_back("rebuild");
  }
  void BeginContentEdit() override {
    edit_.contentEditMode = true;
    log.push_back("begin");
  }
  void ExecuteContentEdit() override {
    if (!refuseEdit) edit_.contentEditMode = false;
    log.push_back("execute");
  }
  void ApplyLevelChange() override {
    log.push_back("apply" + std::to_string(edit_.importanceChange) +
                  std::to_string(edit_.memorisationChange));
  }
  void StopwatchClick() override { log.push_back("stopwatch"); }
  void ShowHelpPage(int k) override {
    drawAreaContent_ = DrawAreaContent::kHelpPage;
    log.push_back("help" + std::to_string(k));
  }
  void ShowDiagram() override {
    drawAreaContent_ = DrawAreaContent::kDiagram;
    log.push_back("diagram");
  }

  std::vector<std::string> log;
  DisplaySettings settings_;
  ContentEditState edit_{0, 0, 3, 5};
  EventStore store_;
  ScreenPage screenPage_ = ScreenPage::kMain;
  int helpPageIndex_ = 0;
  int timeUnitIndex_ = 0;
  DrawAreaContent drawAreaContent_ = DrawAreaContent::kTimeline;
  bool stateShown_ = true;
  bool refuseEdit = false;

 private:
  ScreenLayout layout_;
  VisiblePointList visible_;
};

enum class Click { kLeftUp, kRightUp, kLeftDouble, kRightDouble, kLeftDown };

void Send(FakeTarget& t, Click click, int x, int y) {
  switch (click) {
    case Click::kLeftUp:
      return OnLButtonUp(t, x, y);
    case Click::kRightUp:
      return OnRButtonUp(t, x, y);
    case Click::kLeftDouble:
      return OnLButtonDblClk(t, x, y);
    case Click::kRightDouble:
      return OnRButtonDblClk(t, x, y);
    case Click::kLeftDown:
      return OnLButtonDown(t, x, y);
  }
}

struct Case {
  const char* what;
  int width;
  int x;
  int y;
  Click click;
  std::vector<std::string> log;
};

// What each click asks of the view, from the main page with five points,
// the second one selected, and the state description shown. At 800 x 600
// rows 1..4 are at y 466, 483, 500, 516; at 1024 x 768 at 597, 619, 640, 661.
TEST(ClickDispatch, EachAreaAsksForItsOperations) {
  const Case cases[] = {
      // The timeline frame and the strip above it.
      {"frame left", 800, 400, 300, Click::kLeftUp, {"close", "cancel", "select0"}},
      {"frame right", 800, 400, 300, Click::kRightUp, {"close", "cancel", "select2"}},
      {"strip above", 800, 250, 5, Click::kLeftUp, {"select2"}},
      {"frame edge", 800, 12, 300, Click::kLeftUp, {}},
      // Row 1.
      {"importance ③", 800, 100, 466, Click::kLeftUp, {"refresh"}},
      {"memorisation ⑤", 1024, 345, 597, Click::kLeftUp, {"refresh"}},
      {"priority", 800, 330, 470, Click::kLeftUp, {"close", "refresh"}},
      {"importance up",
       800,
       470,
       466,
       Click::kLeftUp,
       {"close", "cancel", "apply45", "rebuild", "panel", "select1"}},
      {"memorisation down",
       1024,
       690,
       597,
       Click::kRightUp,
       {"close", "cancel", "apply34", "rebuild", "panel", "select1"}},
      {"[設定]", 800, 720, 466, Click::kLeftUp, {"begin", "panel"}},
      {"[中止] while not editing", 800, 760, 466, Click::kLeftUp, {}},
      // Row 2.
      {"year display", 800, 12, 483, Click::kLeftUp, {"close", "panels", "panel"}},
      {"random", 800, 320, 483, Click::kLeftUp, {"close", "select3"}},
      {"random, right", 800, 320, 483, Click::kRightUp, {"close", "select3"}},
      {"year or range", 800, 600, 483, Click::kLeftUp, {"timeline", "select1", "panels"}},
      {"range up", 800, 660, 483, Click::kLeftUp, {"close", "cancel", "range+"}},
      {"range down", 1024, 840, 619, Click::kRightUp, {"cancel", "range-"}},
      {"unit", 800, 730, 483, Click::kLeftUp, {}},
      // Row 3: at 800 the old overlap of ① and ② belongs to the label whose
      // text is there: ①'s up to x 96, then ②, which holds no file.
      {"slot ①", 800, 20, 500, Click::kLeftUp, {"close", "cancel", "refresh"}},
      {"slot ① overlap", 800, 80, 500, Click::kLeftUp, {"close", "cancel", "refresh"}},
      {"slot ②", 800, 96, 500, Click::kLeftUp, {"close", "cancel"}},
      {"slot gap", 1024, 102, 640, Click::kLeftUp, {}},
      {"slot, right", 800, 20, 500, Click::kRightUp, {}},
      // Row 4.
      {"stopwatch", 800, 170, 516, Click::kLeftUp, {"stopwatch", "panel"}},
      {"state label", 800, 270, 516, Click::kLeftUp, {"close", "panels", "panel"}},
      {"text size", 1024, 531, 661, Click::kLeftUp, {"panel"}},
      {"point mode", 800, 330, 516, Click::kLeftUp, {"timeline", "select1", "panel"}},
      {"point mode, right", 800, 330, 516, Click::kRightUp, {"select1", "panel"}},
      {"diagram", 800, 500, 516, Click::kLeftUp, {"diagram"}},
      {"help", 1024, 823, 661, Click::kLeftUp, {"help0"}},
      {"brightness", 800, 760, 516, Click::kLeftUp, {"timeline", "select1"}},
      {"brightness, right", 800, 760, 516, Click::kRightUp, {"timeline", "select1"}},
      // The side strips and the button press.
      {"left strip", 800, 5, 300, Click::kLeftDouble, {"close", "cancel", "select0"}},
      {"left strip, right", 800, 5, 300, Click::kRightDouble, {}},
      {"right strip", 800, 790, 300, Click::kLeftDouble, {"close", "cancel", "select4"}},
      {"right strip, right", 1024, 1010, 300, Click::kRightDouble, {"close", "cancel", "select4"}},
      {"state label press", 800, 300, 520, Click::kLeftDown, {"cancel"}},
      {"state label press, right part", 800, 318, 520, Click::kLeftDown, {}},
  };
  for (const Case& c : cases) {
    FakeTarget t(c.width == 800 ? ScreenLayout{800, 600} : ScreenLayout{1024, 768});
    Send(t, c.click, c.x, c.y);
    EXPECT_THAT(t.log, ElementsAreArray(c.log)) << c.what;
  }
}

TEST(ClickDispatch, ClicksChangeTheSettingsTheyName) {
  const ScreenLayout l{800, 600};
  FakeTarget t(l);
  OnLButtonUp(t, 100, 466);  // importance ③
  OnLButtonUp(t, 330, 470);  // priority
  OnLButtonUp(t, 100, 483);  // 重要度表示 switches its panel flag with it
  OnLButtonUp(t, 730, 483);  // unit
  OnRButtonUp(t, 330, 516);  // point display mode 1 → 0
  OnRButtonUp(t, 330, 516);  // 0 → 2
  OnLButtonUp(t, 760, 516);  // brightness 3 → 4
  const DisplaySettings& d = t.settings_;
  EXPECT_EQ(d.importanceFilter[3], 0);
  EXPECT_EQ(d.filterPriority, 1);
  EXPECT_EQ(d.showImportance, 0);
  EXPECT_EQ(d.importanceToPanel, 0);
  EXPECT_EQ(t.timeUnitIndex_, kTimeUnitYear);
  EXPECT_EQ(d.pointDisplayMode, 2);
  EXPECT_EQ(d.brightness, 4);

  OnLButtonUp(t, 20, 500);  // slot ①: off, its label becomes its title
  EXPECT_EQ(t.store_.slots[0].on, 0);
  EXPECT_EQ(t.store_.slots[0].title, t.store_.slots[0].label);
  OnLButtonUp(t, 80, 500);  // slot ② holds no file
  EXPECT_EQ(t.store_.slots[1].on, 1);

  for (int i = 0; i < 2; ++i) OnRButtonUp(t, 760, 516);
  EXPECT_EQ(d.brightness, 2);
  for (int i = 0; i < 2; ++i) OnRButtonUp(t, 470, 466);  // importance 3 → 2 → 1
  EXPECT_EQ(t.edit_.importanceChange, 1);
  OnRButtonUp(t, 470, 466);
  EXPECT_EQ(t.edit_.importanceChange, 5);
}

TEST(ClickDispatch, WithoutPointsOnlyTheSettingsAct) {
  FakeTarget t(ScreenLayout{800, 600});
  t.RemovePoints();
  const Case cases[] = {
      {"frame", 800, 400, 300, Click::kLeftUp, {}},
      {"strip above", 800, 250, 5, Click::kLeftUp, {}},
      {"importance up", 800, 470, 466, Click::kLeftUp, {}},
      {"importance down", 800, 470, 466, Click::kRightUp, {"close", "cancel"}},
      {"[設定]", 800, 720, 466, Click::kLeftUp, {}},
      {"random", 800, 320, 483, Click::kLeftUp, {}},
      {"point mode, right", 800, 330, 516, Click::kRightUp, {}},
      {"point mode", 800, 330, 516, Click::kLeftUp, {"timeline", "select0", "panel"}},
      {"importance ③", 800, 100, 466, Click::kLeftUp, {"refresh"}},
      {"left strip", 800, 5, 300, Click::kLeftDouble, {"close", "cancel"}},
      {"right strip", 800, 790, 300, Click::kLeftDouble, {}},
      {"state label press", 800, 300, 520, Click::kLeftDown, {}},
  };
  for (const Case& c : cases) {
    t.log.clear();
    Send(t, c.click, c.x, c.y);
    EXPECT_THAT(t.log, ElementsAreArray(c.log)) << c.what;
  }
}

TEST(ClickDispatch, EditingBlocksFiltersAndTogglesAndIsCancelledBySelection) {
  FakeTarget t(ScreenLayout{800, 600});
  OnLButtonUp(t, 720, 466);  // [設定]
  EXPECT_TRUE(t.edit_.editing());
  EXPECT_EQ(t.edit_.editClickCount, 2);

  const Case blocked[] = {
      {"importance ③", 800, 100, 466, Click::kLeftUp, {}},
      {"priority", 800, 330, 470, Click::kLeftUp, {"close"}},
      {"year display", 800, 12, 483, Click::kLeftUp, {"close"}},
      {"random", 800, 320, 483, Click::kLeftUp, {"close"}},
  };
  for (const Case& c : blocked) {
    t.log.clear();
    Send(t, c.click, c.x, c.y);
    EXPECT_THAT(t.log, ElementsAreArray(c.log)) << c.what;
  }
  EXPECT_EQ(t.settings_.importanceFilter[3], 1);

  // [実行]: the second click brings the count to 4.
  t.log.clear();
  OnLButtonUp(t, 720, 466);
  EXPECT_THAT(t.log, ElementsAre("execute"));
  EXPECT_EQ(t.edit_.editClickCount, 0);

  // A refused edit stays open, and the next click tries again.
  OnLButtonUp(t, 720, 466);
  t.refuseEdit = true;
  t.log.clear();
  OnLButtonUp(t, 720, 466);
  t.refuseEdit = false;
  OnLButtonUp(t, 720, 466);
  EXPECT_THAT(t.log, ElementsAre("execute", "execute"));
  EXPECT_FALSE(t.edit_.editing());

  // [中止] in between returns the count to 0, so [設定] starts afresh.
  OnLButtonUp(t, 720, 466);
  t.log.clear();
  OnLButtonUp(t, 760, 466);
  EXPECT_THAT(t.log, ElementsAre("close", "panels", "panel"));
  EXPECT_FALSE(t.edit_.editing());
  EXPECT_EQ(t.edit_.editClickCount, 0);

  // A click in the frame while editing first ends the edit.
  OnLButtonUp(t, 720, 466);
  t.log.clear();
  OnLButtonUp(t, 400, 300);
  EXPECT_THAT(t.log, ElementsAre("close", "cancel", "refresh", "select0"));
  EXPECT_FALSE(t.edit_.editing());
}

TEST(ClickDispatch, HelpPagesTurnAndTheButtonsSwitchPages) {
  FakeTarget t(ScreenLayout{800, 600});
  OnLButtonUp(t, 660, 516);  // 暗記法の機能説明
  EXPECT_EQ(t.screenPage_, ScreenPage::kHelp);
  t.log.clear();
  for (int i = 0; i < 4; ++i) OnLButtonUp(t, 400, 300);
  EXPECT_THAT(t.log, ElementsAre("help1", "help2", "help3", "help0"));
  EXPECT_EQ(t.visible().selectedIndex(), 1);  // no point selected behind the page

  t.log.clear();
  OnLButtonUp(t, 400, 530);  // below the paging area
  OnRButtonUp(t, 400, 530);  // a right click pages back from anywhere
  EXPECT_THAT(t.log, ElementsAre("help3"));

  // Leaving and re-entering shows P1 but keeps the page index.
  OnLButtonUp(t, 400, 300);  // P4 → P1
  OnLButtonUp(t, 400, 300);  // P2
  OnLButtonUp(t, 400, 300);  // P3, index 2
  OnLButtonUp(t, 660, 516);
  EXPECT_EQ(t.screenPage_, ScreenPage::kMain);
  t.log.clear();
  OnLButtonUp(t, 660, 516);
  OnLButtonUp(t, 400, 300);
  EXPECT_THAT(t.log, ElementsAre("help0", "help3"));

  // The diagram's link to P2 (drawing area 772 x 393 at (12, 12)).
  OnLButtonUp(t, 500, 516);
  EXPECT_EQ(t.screenPage_, ScreenPage::kDiagram);
  t.log.clear();
  OnLButtonUp(t, 12 + 9, 12 + 62);
  EXPECT_THAT(t.log, ElementsAre("help1"));
  EXPECT_EQ(t.screenPage_, ScreenPage::kHelp);
  EXPECT_EQ(t.helpPageIndex_, 1);
}

}  // namespace
}  // namespace qev
