#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "panel/panel_areas.h"
#include "panel/slot_area.h"
#include "platform/platform.h"
#include "state/context_menu.h"
#include "view/view_fixture.h"

namespace qev {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;

constexpr const char* kThreeEvents =
    "AD0100;1,2,,;古代;一つ目;m1;m2;\r\n"
    "AD0300;5,1,,;古代;二つ目;;;\r\n"
    "AD0500;3,3,,;中世;三つ目;;;\r\n";

// Clicks through the view, on slot ① holding three events that lie on screen
// with the era line 50 pixels in.
class ClicksTest : public testing::ViewFixture {
 protected:
  void Start(ScreenLayout layout = {800, 600}) {
    WriteSlot(0, "題", kThreeEvents);
    ViewFixture::Start(layout);
    view->ScrollTimeline(ScrollCode::kThumbPosition, 365);
    ASSERT_GE(view->session()->visible().size(), 3);
  }
  // The middle of a control-panel label.
  std::pair<int, int> At(PanelArea area) const {
    const PanelRect r = AreaRect(view->layout(), area);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  void Left(PanelArea area) {
    auto [x, y] = At(area);
    view->OnLButtonDown(x, y);
    view->OnLButtonUp(x, y);
  }
  void Right(PanelArea area) {
    auto [x, y] = At(area);
    view->OnRButtonUp(x, y);
    view->ShowContextMenu(x, y);
  }
  // The right panel's text as the user would have typed it.
  void Type(const std::string& utf8) { platform.panelText[1] = EncodeCp932(utf8).bytes; }
  std::string Line(int k, std::size_t i) const {
    return DecodeCp932(view->session()->store().slots[static_cast<std::size_t>(k)].Line(i));
  }
};

TEST_F(ClicksTest, EveryPanelLabelActsOnItsSetting) {
  struct Row {
    PanelArea area;
    bool right;
    std::function<int(MainView&)> value;
    int expected;
  };
  const Row rows[] = {
      {PanelArea::kImportance3, false,
       [](MainView& v) { return v.session()->settings().importanceFilter[3]; }, 0},
      {PanelArea::kMemorisation5, false,
       [](MainView& v) { return v.session()->settings().memorisationFilter[5]; }, 0},
      {PanelArea::kPriority, false,
       [](MainView& v) { return v.session()->settings().filterPriority; }, 1},
      {PanelArea::kShowYear, false, [](MainView& v) { return v.session()->settings().showYear; },
       0},
      {PanelArea::kShowMemo2, false, [](MainView& v) { return v.session()->settings().showMemo2; },
       0},
      {PanelArea::kYearDisplayMode, false,
       [](MainView& v) { return static_cast<int>(v.session()->settings().yearDisplayMode); }, 1},
      {PanelArea::kRange, false, [](MainView& v) { return v.session()->scale().rangeIndex(); }, 8},
      {PanelArea::kRange, true, [](MainView& v) { return v.session()->scale().rangeIndex(); }, 6},
      {PanelArea::kBrightness, false,
       [](MainView& v) { return v.session()->settings().brightness; }, 4},
      {PanelArea::kBrightness, true, [](MainView& v) { return v.session()->settings().brightness; },
       2},
      {PanelArea::kPointDisplayMode, false,
       [](MainView& v) { return static_cast<int>(v.session()->settings().pointDisplayMode); }, 2},
      {PanelArea::kPointDisplayMode, true,
       [](MainView& v) { return static_cast<int>(v.session()->settings().pointDisplayMode); }, 0},
      {PanelArea::kTextSize, false,
       [](MainView& v) { return static_cast<int>(v.session()->settings().textSize); }, 1},
      {PanelArea::kSlot1, false, [](MainView& v) { return v.session()->store().slots[0].on; }, 0},
      {PanelArea::kStopwatch, false,
       [](MainView& v) { return static_cast<int>(v.session()->stopwatch().stopwatchState()); },
       static_cast<int>(Stopwatch::State::kRunning)},
      {PanelArea::kStateLabel, false,
       [](MainView& v) { return static_cast<int>(v.stateDescriptionShown()); }, 1},
      {PanelArea::kHelp, false, [](MainView& v) { return static_cast<int>(v.screenPage()); }, 3},
  };
  for (ScreenLayout layout : {ScreenLayout{800, 600}, ScreenLayout{1024, 768}}) {
    for (const Row& row : rows) {
      Start(layout);
      row.right ? Right(row.area) : Left(row.area);
      EXPECT_EQ(row.value(*view), row.expected)
          << layout.W << " area " << static_cast<int>(row.area) << (row.right ? " right" : "");
    }
  }
}

TEST_F(ClicksTest, OneClickWhereTwoSlotLabelsMeetFlipsOneSlot) {
  WriteSlot(1, "二", kThreeEvents);
  Start();
  const PanelRect second = AreaRect(view->layout(), SlotArea(1));
  view->OnLButtonUp(second.left, second.top);
  EXPECT_EQ(view->session()->store().slots[0].on, 1);
  EXPECT_EQ(view->session()->store().slots[1].on, 0);
}

TEST_F(ClicksTest, FrameStripsAndDoubleClicksMoveTheSelection) {
  Start();
  const ScreenLayout& l = view->layout();
  const int frameY = l.Y(300);
  view->OnRButtonUp(l.X(500), frameY);
  EXPECT_EQ(view->session()->visible().selectedIndex(), 1);
  view->OnLButtonUp(l.X(500), frameY);
  EXPECT_EQ(view->session()->visible().selectedIndex(), 0);
  // A double click arrives as down, up, double click, up.
  view->OnLButtonDown(l.X(990), frameY);
  view->OnLButtonUp(l.X(990), frameY);
  view->OnLButtonDblClk(l.X(990), frameY);
  view->OnLButtonUp(l.X(990), frameY);
  EXPECT_EQ(view->session()->visible().selectedIndex(), 2);
  view->OnLButtonDblClk(l.X(5), frameY);
  EXPECT_EQ(view->session()->visible().selectedIndex(), 0);
  view->OnRButtonDblClk(l.X(990), frameY);
  EXPECT_EQ(view->session()->visible().selectedIndex(), 2);
  view->OnLButtonUp(l.X(20), l.Y(5));  // above the frame, left of every point
  EXPECT_EQ(view->session()->visible().selectedIndex(), 0);
}

TEST_F(ClicksTest, ContentEditWritesTheTextsBackOrKeepsWhatWasTyped) {
  Start();
  Left(PanelArea::kEditSetExecute);
  EXPECT_TRUE(view->session()->edit().editing());
  EXPECT_EQ(view->session()->edit().editClickCount, 2);
  EXPECT_EQ(platform.PanelUtf8(InfoPanel::kRight),
            "できごと=一つ目\r\n  メモ1  =m1\r\n  メモ2  =m2\r\n");
  Left(PanelArea::kEditCancel);
  EXPECT_FALSE(view->session()->edit().editing());
  EXPECT_EQ(view->session()->edit().editClickCount, 0);
  EXPECT_EQ(view->session()->store().slots[0].changed, 0);

  // "[実行]" on the texts as they were changes nothing and leaves no undo
  // step: one undo then takes back the level change before it.
  Left(PanelArea::kEditSetExecute);
  Left(PanelArea::kEditSetExecute);
  EXPECT_FALSE(view->session()->edit().editing());
  EXPECT_EQ(view->session()->store().slots[0].changed, 0);
  Left(PanelArea::kImportanceChange);
  Left(PanelArea::kEditSetExecute);
  Left(PanelArea::kEditSetExecute);
  view->OnKeyCommand(KeyCommand::kUndo);
  EXPECT_EQ(Line(0, 0), "AD0100;1,2,,;古代;一つ目;m1;m2;");
  EXPECT_EQ(view->session()->store().slots[0].changed, 0);

  // Text typed after the memo 2 line would be lost: refused, still editing.
  Left(PanelArea::kEditSetExecute);
  Type("できごと=一つ目\r\n  メモ1  =m1\r\n  メモ2  =m2\r\n追記");
  Left(PanelArea::kEditSetExecute);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_NE(platform.messages[0].find("メモ2"), std::string::npos);
  EXPECT_TRUE(view->session()->edit().editing());
  Left(PanelArea::kEditCancel);
  platform.messages.clear();

  Left(PanelArea::kEditSetExecute);
  Type("できごと=新しい;できごと\r\n  メモ1  =😀\r\n  メモ2  =\r\n");
  platform.panelUnencodable[1] = "😀";
  Left(PanelArea::kEditSetExecute);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_NE(platform.messages[0].find("😀"), std::string::npos);
  EXPECT_TRUE(view->session()->edit().editing());
  EXPECT_EQ(Line(0, 0), "AD0100;1,2,,;古代;一つ目;m1;m2;");

  platform.panelUnencodable[1].clear();
  Type("できごと=新しい;できごと\r\n  メモ1  =メモ\r\n  メモ2  =\r\n");
  Left(PanelArea::kEditSetExecute);
  EXPECT_FALSE(view->session()->edit().editing());
  EXPECT_EQ(view->session()->edit().editClickCount, 0);
  EXPECT_EQ(Line(0, 0), "AD0100;1,2,,;古代;新しい；できごと;メモ;;");
  EXPECT_EQ(view->session()->store().slots[0].changed, 1);
  EXPECT_EQ(view->session()->visible().selectedIndex(), 0);
}

TEST_F(ClicksTest, LevelValuesStepAndWriteBothDigits) {
  Start();
  Left(PanelArea::kImportanceChange);
  EXPECT_EQ(Line(0, 0), "AD0100;2,2,,;古代;一つ目;m1;m2;");
  Right(PanelArea::kMemorisationChange);
  Right(PanelArea::kMemorisationChange);
  EXPECT_EQ(Line(0, 0), "AD0100;2,5,,;古代;一つ目;m1;m2;");
  EXPECT_EQ(view->session()->store().slots[0].changed, 1);
}

TEST_F(ClicksTest, TheStateSavedFromItsMenuRestoresEverySetting) {
  Start();
  Left(PanelArea::kImportance2);
  Left(PanelArea::kPriority);
  Left(PanelArea::kShowMemo1);
  Left(PanelArea::kRange);
  Left(PanelArea::kBrightness);
  Left(PanelArea::kPointDisplayMode);
  Left(PanelArea::kSlot1);
  const DisplaySettings saved = view->session()->settings();
  const int savedRange = view->session()->scale().rangeIndex();

  Left(PanelArea::kStateLabel);
  ASSERT_EQ(SplitPanelLines(platform.panelText[1]).size(), 55u);
  platform.menuAnswers.push_back(MenuCommand::kSave);
  platform.dialogAnswers.push_back((folder / "保存.txt").string());
  Right(PanelArea::kStateLabel);
  ASSERT_EQ(platform.menus.back(), StateMenu());
  const std::string file = DecodeCp932(ReadBytes(folder / "保存.txt"));
  EXPECT_EQ(file.rfind("H;保存;;", 0), 0u);

  // Back to the start, then restored from the file.
  Start();
  ASSERT_NE(view->session()->settings().brightness, saved.brightness);
  Left(PanelArea::kStateLabel);
  platform.menuAnswers.push_back(MenuCommand::kRestoreState);
  platform.dialogAnswers.push_back((folder / "保存.txt").string());
  Right(PanelArea::kStateLabel);
  const DisplaySettings& now = view->session()->settings();
  EXPECT_EQ(now.importanceFilter, saved.importanceFilter);
  EXPECT_EQ(now.filterPriority, saved.filterPriority);
  EXPECT_EQ(now.showMemo1, saved.showMemo1);
  EXPECT_EQ(now.brightness, saved.brightness);
  EXPECT_EQ(now.pointDisplayMode, saved.pointDisplayMode);
  EXPECT_EQ(view->session()->scale().rangeIndex(), savedRange);
  EXPECT_EQ(view->session()->store().slots[0].on, 0);
  EXPECT_EQ(view->session()->visible().selectedIndex(), 0);
}

TEST_F(ClicksTest, RestoreReadsTheMachineLinesAndAsksBeforeDroppingEdits) {
  Start();
  Left(PanelArea::kStateLabel);
  std::vector<Sjis> lines = SplitPanelLines(platform.panelText[1]);
  // Line 2 carries the range after its fourth ";"; line 32 only describes it.
  lines[2] = Sjis("D2;1111;111;0;12;1;365;0;");
  lines[32] = "  レンジ=3"_sj;
  Sjis text;
  for (const Sjis& line : lines) text += line + "\r\n"_sj;
  text.resize(text.size() - 2);
  WriteBytes(folder / "編集.txt", Sjis("H;x;;;\r\n") + text.substr(text.find("D1")) + ";\r\n"_sj);

  Left(PanelArea::kImportanceChange);  // an unsaved change in slot ①
  Left(PanelArea::kStateLabel);
  platform.menuAnswers.push_back(MenuCommand::kRestoreState);
  platform.saveAnswers.push_back(SaveAnswer::kCancel);
  Right(PanelArea::kStateLabel);
  EXPECT_EQ(platform.saveQuestions.size(), 1u);
  EXPECT_EQ(view->session()->scale().rangeIndex(), 7);
  EXPECT_EQ(view->session()->store().slots[0].changed, 1);

  platform.menuAnswers.push_back(MenuCommand::kRestoreState);
  platform.saveAnswers.push_back(SaveAnswer::kDiscard);
  platform.dialogAnswers.push_back((folder / "編集.txt").string());
  Right(PanelArea::kStateLabel);  // the state text is still shown
  EXPECT_EQ(view->session()->scale().rangeIndex(), 12);
  EXPECT_EQ(view->session()->store().slots[0].changed, 0);
  EXPECT_EQ(Line(0, 0), "AD0100;1,2,,;古代;一つ目;m1;m2;");  // read again from disk
}

TEST_F(ClicksTest, AFieldTooLongForThePanelIsNotEdited) {
  WriteSlot(0, "題", "AD0100;1,2,,;古代;一つ目;" + std::string(300, 'm') + ";;\r\n");
  ViewFixture::Start();
  view->ScrollTimeline(ScrollCode::kThumbPosition, 365);
  Left(PanelArea::kEditSetExecute);
  EXPECT_FALSE(view->session()->edit().editing());
  EXPECT_EQ(view->session()->edit().editClickCount, 0);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_NE(platform.messages[0].find("メモ1"), std::string::npos);
}

}  // namespace
}  // namespace qev
