#include <gtest/gtest.h>

#include <string>

#include "events/event_file.h"
#include "panel/key_commands.h"
#include "panel/panel_areas.h"
#include "view/view_fixture.h"

namespace qev {
namespace {

constexpr const char* kEvents =
    "AD0100;1,2,,;古代;一つ目;m1;m2;\r\n"
    "AD0300;5,1,,;古代;二つ目;;;\r\n"
    "AD0500;3,3,AD0600,;中世;三つ目;;;\r\n";

class KeysUndoTest : public testing::ViewFixture {
 protected:
  void SetUp() override {
    WriteSlot(0, "題", kEvents);
    Start();
    view->ScrollTimeline(ScrollCode::kThumbPosition, 365);
    ASSERT_GE(view->session()->visible().size(), 3);
  }
  void Left(PanelArea area) {
    const PanelRect r = AreaRect(view->layout(), area);
    view->OnLButtonDown((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    view->OnLButtonUp((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  // Slot ①'s context menu, answered with `command`.
  void SlotMenu(MenuCommand command) {
    const PanelRect r = SlotMenuRect(view->layout(), 0);
    platform.menuAnswers.push_back(command);
    view->ShowContextMenu(r.left + 1, r.top + 1);
  }
  std::string_view Line(std::size_t i) const { return view->session()->store().slots[0].Line(i); }
};

// A key draws and changes exactly what its click does: the same view state
// and the same drawing calls, whatever ran before.
TEST_F(KeysUndoTest, KeysDoWhatTheirClicksDo) {
  testing::FakePlatform otherPlatform;
  MainView other(otherPlatform, {800, 600}, folder.path().string());
  other.OnInitialUpdate();
  other.OnPaint();
  other.ScrollTimeline(ScrollCode::kThumbPosition, 365);
  auto click = [](MainView& v, KeyCommand c) {
    const KeyInput in = InputFor(v.layout(), c);
    switch (in.kind) {
      case InputKind::kLeftClick:
        v.OnLButtonDown(in.x, in.y);
        v.OnLButtonUp(in.x, in.y);
        break;
      case InputKind::kRightClick:
        v.OnRButtonUp(in.x, in.y);
        v.ShowContextMenu(in.x, in.y);
        break;
      case InputKind::kLeftDoubleClick:
        v.OnLButtonDown(in.x, in.y);
        v.OnLButtonUp(in.x, in.y);
        v.OnLButtonDblClk(in.x, in.y);
        v.OnLButtonUp(in.x, in.y);
        break;
      case InputKind::kScroll:
        v.ScrollTimeline(in.scroll, 0);
        break;
      case InputKind::kNone:
        break;
    }
  };
  for (const KeyBinding& b : KeyBindings()) {
    SCOPED_TRACE(b.label);
    for (testing::FakePlatform* p : {&platform, &otherPlatform}) {
      p->view.Clear();
      p->drawArea.Clear();
    }
    view->OnKeyCommand(b.command);
    click(other, b.command);
    EXPECT_EQ(view->session()->visible().selectedIndex(),
              other.session()->visible().selectedIndex());
    EXPECT_EQ(view->session()->scale().rangeIndex(), other.session()->scale().rangeIndex());
    EXPECT_EQ(view->session()->scale().originX(), other.session()->scale().originX());
    EXPECT_EQ(view->session()->stopwatch().stopwatchState(),
              other.session()->stopwatch().stopwatchState());
    EXPECT_EQ(platform.thumb, otherPlatform.thumb);
    EXPECT_EQ(platform.panelText[0], otherPlatform.panelText[0]);
    EXPECT_EQ(platform.panelText[1], otherPlatform.panelText[1]);
    EXPECT_EQ(platform.view.calls.size(), otherPlatform.view.calls.size());
    EXPECT_EQ(platform.drawArea.calls.size(), otherPlatform.drawArea.calls.size());
  }
}

// Undo goes back change by change to what was saved, byte for byte and with
// the changed flag; redo goes forward again, and both go on past a save.
TEST_F(KeysUndoTest, UndoAndRedoRestoreLinesAndTheChangedFlag) {
  const Sjis original(Line(0));
  Left(PanelArea::kEditSetExecute);
  platform.panelText[1] = EncodeCp932("できごと=新\r\n  メモ1  =x\r\n  メモ2  =y\r\n").bytes;
  Left(PanelArea::kEditSetExecute);
  const Sjis edited(Line(0));
  ASSERT_NE(edited, original);
  Left(PanelArea::kImportanceChange);
  const Sjis leveled(Line(0));
  ASSERT_NE(leveled, edited);
  ASSERT_EQ(view->session()->store().slots[0].changed, 1);

  view->OnKeyCommand(KeyCommand::kUndo);
  EXPECT_EQ(Line(0), edited);
  EXPECT_EQ(view->session()->store().slots[0].changed, 1);
  view->OnKeyCommand(KeyCommand::kUndo);
  EXPECT_EQ(Line(0), original);
  EXPECT_EQ(view->session()->store().slots[0].changed, 0);
  EXPECT_EQ(view->session()->visible().selectedIndex(), 0);
  view->OnKeyCommand(KeyCommand::kUndo);  // nothing left: nothing changes
  EXPECT_EQ(Line(0), original);
  view->OnKeyCommand(KeyCommand::kRedo);
  view->OnKeyCommand(KeyCommand::kRedo);
  EXPECT_EQ(Line(0), leveled);
  EXPECT_EQ(view->session()->store().slots[0].changed, 1);

  // Saved: undo goes back to the saved lines and on past them, the slot
  // then differing from its file again.
  platform.dialogAnswers.push_back(SlotFile(0).string());
  SlotMenu(MenuCommand::kSave);
  ASSERT_EQ(view->session()->store().slots[0].changed, 0);
  Left(PanelArea::kMemorisationChange);
  const Sjis afterSave(Line(0));
  view->OnKeyCommand(KeyCommand::kUndo);
  EXPECT_EQ(Line(0), leveled);
  EXPECT_EQ(view->session()->store().slots[0].changed, 0);
  view->OnKeyCommand(KeyCommand::kUndo);
  EXPECT_EQ(Line(0), edited);
  EXPECT_TRUE(view->session()->store().slots[0].changed);
  view->OnKeyCommand(KeyCommand::kRedo);
  view->OnKeyCommand(KeyCommand::kRedo);
  EXPECT_EQ(Line(0), afterSave);

  // Erasing the slot ends its history too.
  platform.saveAnswers.push_back(SaveAnswer::kDiscard);
  SlotMenu(MenuCommand::kEraseFile);
  view->OnKeyCommand(KeyCommand::kUndo);
  EXPECT_EQ(view->session()->store().slots[0].Count(), 0u);
  EXPECT_EQ(view->session()->store().slots[0].changed, 0);
}

// Ctrl+S writes every changed slot back to the file it was read from, with
// no dialog; an unchanged slot's file is not touched.
TEST_F(KeysUndoTest, SaveChangedWritesEachChangedSlotToItsOwnFile) {
  WriteSlot(1, "別", "AD0200;1,1,,;;別;;;\r\n");
  Start();
  view->ScrollTimeline(ScrollCode::kThumbPosition, 365);
  Left(PanelArea::kImportanceChange);
  const std::size_t k = view->session()->store().slots[0].changed ? 0 : 1;
  const std::size_t unchanged = 1 - k;
  ASSERT_EQ(view->session()->store().slots[k].changed, true);
  const std::string before = testing::ReadBytes(SlotFile(static_cast<int>(unchanged)));
  view->OnKeyCommand(KeyCommand::kSaveChanged);
  EXPECT_TRUE(platform.dialogs.empty());
  EXPECT_EQ(view->session()->store().slots[k].changed, false);
  EXPECT_TRUE(testing::ReadBytes(SlotFile(static_cast<int>(k)))
                  .ends_with(ComposeSlotBody(view->session()->store().slots[k].lines()) + ";\r\n"));
  EXPECT_EQ(testing::ReadBytes(SlotFile(static_cast<int>(unchanged))), before);
}

// Closing with two changed files asks once, naming both: 保存 writes each
// to the file it was read from, as Ctrl+S does, with no dialog; 保存しない
// closes and leaves the files as they were; キャンセル keeps the window open
// and the files as they were.
TEST_F(KeysUndoTest, ClosingAsksOnceForAllChangedFiles) {
  struct Row {
    SaveAnswer answer;
    bool closes;
    bool written;
  };
  const Row rows[] = {{SaveAnswer::kSave, true, true},
                      {SaveAnswer::kDiscard, true, false},
                      {SaveAnswer::kCancel, false, false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(static_cast<int>(r.answer));
    WriteSlot(0, "題", kEvents);
    WriteSlot(1, "別", "AD0200;1,1,,;;別;;;\r\n");
    Start();
    platform.saveQuestions.clear();
    platform.dialogs.clear();
    view->ScrollTimeline(ScrollCode::kThumbPosition, 365);
    const EventStore& store = view->session()->store();
    for (int step = 0; step < 4 && !(store.slots[0].changed && store.slots[1].changed); ++step) {
      Left(PanelArea::kImportanceChange);
      StepNext();
    }
    ASSERT_TRUE(store.slots[0].changed && store.slots[1].changed);
    const std::string before[] = {testing::ReadBytes(SlotFile(0)), testing::ReadBytes(SlotFile(1))};

    platform.saveAnswers.push_back(r.answer);
    EXPECT_EQ(view->QueryClose(), r.closes);
    ASSERT_EQ(platform.saveQuestions.size(), 1u);
    EXPECT_NE(platform.saveQuestions[0].find("歴史文書20.txt"), std::string::npos);
    EXPECT_NE(platform.saveQuestions[0].find("歴史文書21.txt"), std::string::npos);
    EXPECT_TRUE(platform.dialogs.empty());
    for (int k : {0, 1}) {
      const std::string now = testing::ReadBytes(SlotFile(k));
      if (r.written) {
        EXPECT_TRUE(now.ends_with(
            ComposeSlotBody(store.slots[static_cast<std::size_t>(k)].lines()) + ";\r\n"));
        EXPECT_FALSE(store.slots[static_cast<std::size_t>(k)].changed);
      } else {
        EXPECT_EQ(now, before[k]);
      }
    }
  }
}

}  // namespace
}  // namespace qev
