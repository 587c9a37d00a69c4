#include "panel/click_dispatch.h"
#include "panel/slot_area.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "panel/panel_areas.h"
#include "view/view_fixture.h"

// What the clicks do, seen through the view and its study session: after
// this click, these settings, this selection, this line, this page.
namespace qev {
namespace {

enum class Mouse { kLeftUp, kRightUp, kLeftDouble, kRightDouble, kLeftDown };

// What a click may change, as the user sees it.
struct Seen {
  int selected = 0;
  bool stateShown = false;
  bool editing = false;
  ScreenPage page = ScreenPage::kMain;
  int range = 0;
  DisplaySettings settings;
  int slot0On = 0;
  Sjis line;  // slot 0's second line
  Stopwatch::State stopwatch = Stopwatch::State::kIdle;
  friend bool operator==(const Seen&, const Seen&) = default;
};

// Five points AD 100..500 (importance 3, memorisation 5) in slot 0, slot 1
// empty; the second point selected and the state description shown.
class ClickDispatch : public testing::ViewFixture {
 protected:
  void SetUp() override {
    platform.steadyMs = 0;
    WriteSlot(0, "題",
              "AD0100;3,5,,;;一;;;\r\nAD0200;3,5,,;;二;;;\r\nAD0300;3,5,,;;三;;;\r\n"
              "AD0400;3,5,,;;四;;;\r\nAD0500;3,5,,;;五;;;\r\n");
    Start();
    view->ScrollTimeline(ScrollCode::kThumbPosition, 365);
    ASSERT_EQ(session().visible().size(), 5);
    Send(Mouse::kRightUp, layout().X(500), layout().Y(300));
    Send(Mouse::kLeftUp, Centre(PanelArea::kStateLabel));
    // The random index reads 2 from here on.
    platform.steadyMs = 2;
  }
  StudySession& session() { return *view->session(); }
  const ScreenLayout& layout() const { return view->layout(); }
  std::pair<int, int> Centre(PanelArea area) const {
    const PanelRect r = AreaRect(view->layout(), area);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  void Send(Mouse click, std::pair<int, int> at) { Send(click, at.first, at.second); }
  void Send(Mouse click, int x, int y) {
    switch (click) {
      case Mouse::kLeftUp:
        return view->OnLButtonUp(x, y);
      case Mouse::kRightUp:
        return view->OnRButtonUp(x, y);
      case Mouse::kLeftDouble:
        return view->OnLButtonDblClk(x, y);
      case Mouse::kRightDouble:
        return view->OnRButtonDblClk(x, y);
      case Mouse::kLeftDown:
        return view->OnLButtonDown(x, y);
    }
  }
  Seen Now() {
    const FileSlot& slot = session().store().slots[0];
    return {session().visible().selectedIndex(),
            view->stateDescriptionShown(),
            session().edit().editing(),
            view->screenPage(),
            session().scale().rangeIndex(),
            session().settings(),
            slot.on,
            Sjis(slot.Line(1)),
            session().stopwatch().stopwatchState()};
  }
  // The help page last drawn, "P1".."P4", or empty.
  std::string PageDrawn() const {
    std::string page;
    for (const auto* text : platform.drawArea.Texts()) {
      const std::size_t at = text->utf8.find("_ P");
      if (at != std::string::npos) page = text->utf8.substr(at + 2, 2);
    }
    return page;
  }
};

struct Case {
  const char* what;
  Mouse click;
  std::function<std::pair<int, int>(const ScreenLayout&)> at;
  std::function<void(Seen&)> changes;
};

std::function<std::pair<int, int>(const ScreenLayout&)> Area(PanelArea area) {
  return [area](const ScreenLayout& l) {
    const PanelRect r = AreaRect(l, area);
    return std::pair{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  };
}
std::function<std::pair<int, int>(const ScreenLayout&)> At(int xPerMille, int yPerMille) {
  return [=](const ScreenLayout& l) { return std::pair{l.X(xPerMille), l.Y(yPerMille)}; };
}

TEST_F(ClickDispatch, EachAreaDoesWhatItsLabelSays) {
  auto closed = [](Seen& s) { s.stateShown = false; };
  auto noPoints = [](Seen& s) {  // a full refresh that leaves no point
    s.stateShown = false;
    s.selected = 0;
  };
  const Case cases[] = {
      // The timeline frame, its edge and the side strips.
      {"frame, left", Mouse::kLeftUp, At(500, 300),
       [](Seen& s) { s.selected = 0, s.stateShown = false; }},
      {"frame, right", Mouse::kRightUp, At(500, 300),
       [](Seen& s) { s.selected = 2, s.stateShown = false; }},
      {"frame edge", Mouse::kLeftUp, At(15, 300), [](Seen&) {}},
      {"left strip", Mouse::kLeftDouble, At(5, 300),
       [](Seen& s) { s.selected = 0, s.stateShown = false; }},
      {"left strip, right", Mouse::kRightDouble, At(5, 300), [](Seen&) {}},
      {"right strip", Mouse::kLeftDouble, At(990, 300),
       [](Seen& s) { s.selected = 4, s.stateShown = false; }},
      {"right strip, right", Mouse::kRightDouble, At(990, 300),
       [](Seen& s) { s.selected = 4, s.stateShown = false; }},
      // Row 1: the filters refresh everything; every point has importance 3
      // and memorisation 5.
      {"importance 3", Mouse::kLeftUp, Area(PanelArea::kImportance3),
       [&](Seen& s) { noPoints(s), s.settings.importanceFilter[3] = 0; }},
      {"memorisation 5", Mouse::kLeftUp, Area(PanelArea::kMemorisation5),
       [&](Seen& s) { noPoints(s), s.settings.memorisationFilter[5] = 0; }},
      {"priority", Mouse::kLeftUp, Area(PanelArea::kPriority),
       [&](Seen& s) { closed(s), s.selected = 0, s.settings.filterPriority = 1; }},
      {"importance up", Mouse::kLeftUp, Area(PanelArea::kImportanceChange),
       [&](Seen& s) { closed(s), s.line = "AD0200;4,5,,;;二;;;"_sj; }},
      {"memorisation down", Mouse::kRightUp, Area(PanelArea::kMemorisationChange),
       [&](Seen& s) { closed(s), s.line = "AD0200;3,4,,;;二;;;"_sj; }},
      {"[設定]", Mouse::kLeftUp, Area(PanelArea::kEditSetExecute),
       [](Seen& s) { s.editing = true; }},
      {"[中止] while not editing", Mouse::kLeftUp, Area(PanelArea::kEditCancel), [](Seen&) {}},
      // Row 2.
      {"year display", Mouse::kLeftUp, Area(PanelArea::kShowYear),
       [&](Seen& s) { closed(s), s.settings.showYear = 0; }},
      {"importance display, with its panel symbol", Mouse::kLeftUp,
       Area(PanelArea::kShowImportance),
       [&](Seen& s) { closed(s), s.settings.showImportance = s.settings.importanceToPanel = 0; }},
      {"random", Mouse::kLeftUp, Area(PanelArea::kRandom),
       [&](Seen& s) { closed(s), s.selected = 2; }},
      {"random, right", Mouse::kRightUp, Area(PanelArea::kRandom),
       [&](Seen& s) { closed(s), s.selected = 2; }},
      {"range or year", Mouse::kLeftUp, Area(PanelArea::kYearDisplayMode),
       [](Seen& s) { s.settings.yearDisplayMode = YearDisplayMode::kYear; }},
      {"range up", Mouse::kLeftUp, Area(PanelArea::kRange),
       [&](Seen& s) { closed(s), s.selected = 0, s.range = 8; }},
      {"range down", Mouse::kRightUp, Area(PanelArea::kRange),
       [](Seen& s) { s.selected = 0, s.range = 6; }},
      {"unit", Mouse::kLeftUp, Area(PanelArea::kUnit), [](Seen&) {}},
      // Row 3: slot ① holds the file, slot ② none.
      {"slot 1", Mouse::kLeftUp, Area(PanelArea::kSlot1),
       [&](Seen& s) { noPoints(s), s.slot0On = 0; }},
      {"slot 2", Mouse::kLeftUp, Area(SlotArea(1)), closed},
      {"slot 1, right", Mouse::kRightUp, Area(PanelArea::kSlot1), [](Seen&) {}},
      // Row 4.
      {"stopwatch", Mouse::kLeftUp, Area(PanelArea::kStopwatch),
       [](Seen& s) { s.stopwatch = Stopwatch::State::kRunning; }},
      {"state label", Mouse::kLeftUp, Area(PanelArea::kStateLabel), closed},
      {"text size", Mouse::kLeftUp, Area(PanelArea::kTextSize),
       [](Seen& s) { s.settings.textSize = TextSize::kLarge; }},
      {"point mode", Mouse::kLeftUp, Area(PanelArea::kPointDisplayMode),
       [](Seen& s) { s.settings.pointDisplayMode = PointDisplayMode::kSelectedOnly; }},
      {"point mode, right", Mouse::kRightUp, Area(PanelArea::kPointDisplayMode),
       [](Seen& s) { s.settings.pointDisplayMode = PointDisplayMode::kHidden; }},
      {"diagram", Mouse::kLeftUp, Area(PanelArea::kDiagram),
       [](Seen& s) { s.page = ScreenPage::kDiagram; }},
      {"help", Mouse::kLeftUp, Area(PanelArea::kHelp), [](Seen& s) { s.page = ScreenPage::kHelp; }},
      {"brightness", Mouse::kLeftUp, Area(PanelArea::kBrightness),
       [](Seen& s) { s.settings.brightness = 4; }},
      {"brightness, right", Mouse::kRightUp, Area(PanelArea::kBrightness),
       [](Seen& s) { s.settings.brightness = 2; }},
      {"state label press", Mouse::kLeftDown, Area(PanelArea::kStateLabel), [](Seen&) {}},
  };
  for (const Case& c : cases) {
    SetUp();
    Seen expected = Now();
    c.changes(expected);
    Send(c.click, c.at(layout()));
    EXPECT_TRUE(Now() == expected) << c.what;
  }
}

// The strip above the frame selects the first point right of the click.
TEST_F(ClickDispatch, TheStripAboveSelectsThePointUnderIt) {
  const int area = layout().X(15);  // the drawing area's left edge in the view
  Send(Mouse::kLeftUp, area + session().visible().entries()[3].x1 - 1, 5);
  EXPECT_EQ(session().visible().selectedIndex(), 3);
  EXPECT_TRUE(view->stateDescriptionShown());
}

TEST_F(ClickDispatch, WithoutPointsOnlyTheSettingsAct) {
  Send(Mouse::kLeftUp, Centre(PanelArea::kImportance3));
  ASSERT_EQ(session().visible().size(), 0);
  const Case inert[] = {
      {"frame", Mouse::kLeftUp, At(500, 300), nullptr},
      {"strip above", Mouse::kLeftUp, At(300, 5), nullptr},
      {"importance up", Mouse::kLeftUp, Area(PanelArea::kImportanceChange), nullptr},
      {"importance down", Mouse::kRightUp, Area(PanelArea::kImportanceChange), nullptr},
      {"[設定]", Mouse::kLeftUp, Area(PanelArea::kEditSetExecute), nullptr},
      {"random", Mouse::kLeftUp, Area(PanelArea::kRandom), nullptr},
      {"point mode, right", Mouse::kRightUp, Area(PanelArea::kPointDisplayMode), nullptr},
      {"right strip", Mouse::kLeftDouble, At(990, 300), nullptr},
  };
  const Seen before = Now();
  for (const Case& c : inert) {
    Send(c.click, c.at(layout()));
    EXPECT_TRUE(Now() == before) << c.what;
  }
  Send(Mouse::kLeftUp, Centre(PanelArea::kPointDisplayMode));
  EXPECT_EQ(session().settings().pointDisplayMode, PointDisplayMode::kSelectedOnly);
  Send(Mouse::kLeftUp, Centre(PanelArea::kImportance3));
  EXPECT_EQ(session().visible().size(), 5);
}

TEST_F(ClickDispatch, EditingBlocksFiltersAndSwitchesAndEndsOnASelection) {
  const auto edit = Centre(PanelArea::kEditSetExecute);
  Send(Mouse::kLeftUp, edit);  // [設定]
  ASSERT_TRUE(session().edit().editing());
  const Seen editing = Now();
  for (PanelArea area :
       {PanelArea::kImportance3, PanelArea::kPriority, PanelArea::kShowYear, PanelArea::kRandom}) {
    Send(Mouse::kLeftUp, Centre(area));
    Seen now = Now();
    EXPECT_EQ(now.settings, editing.settings);
    EXPECT_EQ(now.selected, editing.selected);
    EXPECT_TRUE(now.editing);
  }

  // [実行] writes what the right panel holds.
  platform.panelText[1] = EncodeCp932("できごと=二改\r\n  メモ1  =m\r\n  メモ2  =\r\n").bytes;
  Send(Mouse::kLeftUp, edit);
  EXPECT_FALSE(session().edit().editing());
  EXPECT_EQ(Now().line, "AD0200;3,5,,;;二改;m;;"_sj);

  // A refused edit stays open with its text, and the next click tries again.
  Send(Mouse::kLeftUp, edit);
  platform.panelText[1] = EncodeCp932("できごと 二\r\n").bytes;
  Send(Mouse::kLeftUp, edit);
  EXPECT_TRUE(session().edit().editing());
  EXPECT_EQ(platform.messages.size(), 1u);
  platform.panelText[1] = EncodeCp932("できごと=二\r\n  メモ1  =\r\n  メモ2  =\r\n").bytes;
  Send(Mouse::kLeftUp, edit);
  EXPECT_FALSE(session().edit().editing());
  EXPECT_EQ(Now().line, "AD0200;3,5,,;;二;;;"_sj);

  // [中止] ends the edit unwritten, and [設定] then starts afresh.
  Send(Mouse::kLeftUp, edit);
  Send(Mouse::kLeftUp, Centre(PanelArea::kEditCancel));
  EXPECT_FALSE(session().edit().editing());
  Send(Mouse::kLeftUp, edit);
  EXPECT_TRUE(session().edit().editing());

  // A click in the frame ends the edit unwritten and steps from the first
  // point; so does the press on the state label.
  Send(Mouse::kLeftUp, layout().X(500), layout().Y(300));
  EXPECT_FALSE(session().edit().editing());
  EXPECT_EQ(session().visible().selectedIndex(), 0);
  Send(Mouse::kLeftUp, edit);
  Send(Mouse::kLeftDown, Centre(PanelArea::kStateLabel));
  EXPECT_FALSE(session().edit().editing());
  EXPECT_EQ(Now().line, "AD0200;3,5,,;;二;;;"_sj);
}

TEST_F(ClickDispatch, HelpPagesTurnAndTheButtonsSwitchPages) {
  const auto frame = std::pair{layout().X(500), layout().Y(300)};
  Send(Mouse::kLeftUp, Centre(PanelArea::kHelp));
  EXPECT_EQ(PageDrawn(), "P1");
  std::string pages;
  for (int i = 0; i < 4; ++i) {
    Send(Mouse::kLeftUp, frame);
    pages += PageDrawn();
  }
  EXPECT_EQ(pages, "P2P3P4P1");
  EXPECT_EQ(session().visible().selectedIndex(), 1);  // nothing selected behind the page

  Send(Mouse::kRightUp, Centre(PanelArea::kStopwatch));  // pages back from anywhere
  EXPECT_EQ(PageDrawn(), "P4");
  // Leaving and coming back shows P1 but pages on from the page last shown.
  Send(Mouse::kLeftUp, Centre(PanelArea::kHelp));
  EXPECT_EQ(view->screenPage(), ScreenPage::kMain);
  Send(Mouse::kLeftUp, Centre(PanelArea::kHelp));
  EXPECT_EQ(PageDrawn(), "P1");
  Send(Mouse::kLeftUp, frame);
  EXPECT_EQ(PageDrawn(), "P1");  // P4 → P1

  // The diagram's link to P2.
  Send(Mouse::kLeftUp, Centre(PanelArea::kDiagram));
  EXPECT_EQ(view->screenPage(), ScreenPage::kDiagram);
  const PanelRect link = DiagramLinkRect(layout(), 1);
  Send(Mouse::kLeftUp, link.left + 1, link.top + 1);
  EXPECT_EQ(PageDrawn(), "P2");
  EXPECT_EQ(view->screenPage(), ScreenPage::kHelp);
  Send(Mouse::kLeftUp, frame);
  EXPECT_EQ(PageDrawn(), "P3");  // paging goes on from the linked page
}

}  // namespace
}  // namespace qev
