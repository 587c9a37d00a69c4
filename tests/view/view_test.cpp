#include "model/session_probe.h"
#include "view/main_view.h"

#include <gtest/gtest.h>

#include <string>

#include "events/file_io.h"
#include "events/temp_folder.h"
#include "panel/control_panel.h"
#include "platform/fake_platform.h"
#include "state/context_menu.h"
#include "view/view_fixture.h"

namespace qev {
namespace {

using testing::FakePlatform;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

class ViewTest : public testing::ViewFixture {};

TEST_F(ViewTest, FirstPaintLoadsTheSlotsAndShowsTheFirstVisiblePoint) {
  WriteBytes(SlotFile(0), EventFile("日本史",
                                    "AD0794;3,1,,;平安時代;平安京に都を移す;桓武天皇;なくよ;\r\n"
                                    "AD0710;4,2,AD0794,;奈良時代;平城京;;;\r\n"));
  Start();
  const EventStore& store = view->session()->store();
  EXPECT_EQ(store.slots[0].label, "日本史"_sj);
  EXPECT_EQ(store.slots[1].loaded, 0);  // 歴史文書21.txt is missing
  EXPECT_EQ(store.slots[1].on, 0);
  EXPECT_TRUE(platform.messages.empty());

  // The bare start-up scale puts the era line at -620: nothing is visible.
  EXPECT_EQ(view->session()->visible().size(), 0);
  EXPECT_EQ(platform.thumb, TimelineScale::kStartThumb);
  view->ScrollTimeline(ScrollCode::kLineRight, 0);
  EXPECT_EQ(view->session()->scale().originX(), 20 * (350 - 347) + 350);
  EXPECT_EQ(view->session()->savedScrollPos(), 347);
  view->ScrollTimeline(ScrollCode::kThumbPosition, 365);  // the era line at x = 50
  ASSERT_EQ(view->session()->visible().size(), 2);
  EXPECT_EQ(view->session()->visible().selectedIndex(), 0);
  EXPECT_EQ(platform.PanelUtf8(InfoPanel::kLeft),
            "AD 710;④,②;平城京;\r\n                  AD 710 　～ 　AD 794 = 奈良時代\r\n");
  EXPECT_EQ(platform.PanelUtf8(InfoPanel::kRight),
            "できごと=平城京\r\n  メモ1  =\r\n  メモ2  =\r\n");

  StepNext();
  StepNext();  // on the last point: stays
  EXPECT_EQ(view->session()->visible().selectedIndex(), 1);
  EXPECT_EQ(platform.PanelUtf8(InfoPanel::kLeft),
            "AD 794;③,①;平安京に都を移す;\r\n                 平安時代\r\n");
}

TEST_F(ViewTest, RangeStepAndSlotColoursOnTheControlPanel) {
  WriteBytes(SlotFile(2), EventFile("世界史", "AD1789;5,1,,;近代;フランス革命;;;\r\n"));
  Start();
  const ScreenLayout& l = view->layout();
  Click(PanelArea::kRange);
  const testing::DrawCall* range = platform.view.TextAt(l.X(815), l.row2());
  ASSERT_NE(range, nullptr);
  EXPECT_EQ(range->utf8, " レンジ= 8 ");
  EXPECT_EQ(range->color, kPanelOn);
  EXPECT_EQ(platform.thumb, TimelineScale::ThumbForOriginX(view->session()->scale().originX()));

  FileSlot& slot = view->session()->store().slots[2];
  slot.changed = 1;
  view->DrawControlPanel();
  int x = SlotColumn(l, 2) - 2 * l.u();
  EXPECT_EQ(platform.view.TextAt(x, l.row3())->color, kPanelChanged);
  slot.on = 0;  // loaded, off and changed
  view->DrawControlPanel();
  EXPECT_EQ(platform.view.TextAt(x, l.row3())->utf8, "世界史");
  EXPECT_EQ(platform.view.TextAt(x, l.row3())->color, kPanelOff);
}

TEST_F(ViewTest, PointsOnBothEdgesOfTheDrawingAreaAreVisible) {
  // At range 7 and 800 wide, AD 1190 lies 772 px (the area's width) right of
  // the era line, AD 1191 one pixel further.
  WriteBytes(
      SlotFile(0),
      EventFile("t", "AD0000;1,1,,;;zero;;;\r\nAD1190;1,1,,;;edge;;;\r\nAD1191;1,1,,;;out;;;\r\n"));
  Start();
  view->Redraw(SessionProbe::PutEraLineAt(*view->session(), 0));
  ASSERT_EQ(view->session()->visible().size(), 2);
  EXPECT_EQ(view->session()->visible().entries()[0].x1, 0);
  EXPECT_EQ(view->session()->visible().entries()[1].x1, 772);
}

TEST_F(ViewTest, ImportancePriorityWithEveryImportanceOffShowsNothing) {
  WriteBytes(SlotFile(0), EventFile("t", "AD0100;1,1,,;;a;;;\r\nAD0200;5,5,,;;b;;;\r\n"));
  Start();
  view->Redraw(SessionProbe::PutEraLineAt(*view->session(), 0));
  for (int k = 1; k <= 5; ++k) Click(ImportanceArea(k));
  EXPECT_TRUE(view->session()->points().empty());
  EXPECT_EQ(platform.PanelUtf8(InfoPanel::kLeft), "");
  Click(PanelArea::kPriority);
  EXPECT_EQ(view->session()->points().size(), 2u);
}

TEST_F(ViewTest, ClickAboveAMarkSelectsItAt1024) {
  WriteBytes(SlotFile(0), EventFile("t", "AD0100;1,1,,;;a;;;\r\nAD0200;1,1,,;;b;;;\r\n"));
  Start({1024, 768});
  view->Redraw(SessionProbe::PutEraLineAt(*view->session(), 0));
  int second = view->session()->visible().entries()[1].x1;
  // The drawing area starts 15 px from the view's edge at 1024.
  ClickAbove(second + 15 - 1);
  EXPECT_EQ(view->session()->visible().selectedIndex(), 1);
}

// The file commands, through the context menu of a slot label.
class FileCommandTest : public ViewTest {
 protected:
  void RightClickSlot(int k, MenuCommand command) {
    const ScreenLayout& l = view->layout();
    platform.menuAnswers.push_back(command);
    view->ShowContextMenu(SlotColumn(l, k), l.row3() + 2);
  }
};

TEST_F(FileCommandTest, ReadIntoAnEmptySlotThenSaveElsewhere) {
  WriteBytes(folder / "近代.txt", EventFile("近代", "AD1868;5,3,,;明治;明治維新;;;\r\n"));
  Start();
  ASSERT_EQ(view->session()->store().slots[3].loaded, 0);

  platform.dialogAnswers.push_back((folder / "近代.txt").string());
  RightClickSlot(3, MenuCommand::kReadFile);
  ASSERT_EQ(platform.menus.size(), 1u);
  EXPECT_EQ(platform.menus[0], SlotMenu(false));
  // The first dialog opens in the data folder on the slot's base name.
  EXPECT_EQ(platform.dialogs[0].initialPath, (folder / "歴史文書23.txt").string());
  const FileSlot& slot = view->session()->store().slots[3];
  EXPECT_EQ(slot.loaded, 1);
  EXPECT_EQ(slot.on, 1);
  EXPECT_EQ(slot.baseName, "近代"_sj);
  EXPECT_EQ(view->session()->points().size(), 1u);

  std::filesystem::create_directory(folder / "sub");
  platform.dialogAnswers.push_back((folder / "sub" / "写し.txt").string());
  platform.now = {2026, 12, 8, 9, 5, 0};
  RightClickSlot(3, MenuCommand::kSave);
  EXPECT_EQ(platform.menus[1], SlotMenu(true));
  EXPECT_EQ(platform.dialogs[1].initialPath, (folder / "近代.txt").string());
  EXPECT_EQ(ReadBytes(folder / "sub" / "写し.txt"),
            EncodeCp932("H;写し;;2026年12月08日09時05分;\r\nAD1868;5,3,,;明治;明治維新;;;\r\n;\r\n")
                .bytes);
  EXPECT_EQ(slot.baseName, "近代"_sj);  // the slot keeps its own file for the next start
}

TEST_F(FileCommandTest, NewFileIntoAnEmptySlot) {
  WriteBytes(folder / "近代.txt", "keep");
  Start();
  // A name already taken is refused and asked again; the file stays.
  platform.newFileAnswers = {{"近代", ""}, {"世界史", "世界の歴史"}};
  RightClickSlot(4, MenuCommand::kNewFile);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_NE(platform.messages[0].find("近代.txt"), std::string::npos);
  EXPECT_EQ(ReadBytes(folder / "近代.txt"), "keep");
  EXPECT_EQ(ReadBytes(folder / "世界史.txt"),
            EncodeCp932("H;世界の歴史;;2026年12月08日09時05分;\r\n;\r\n").bytes);
  const FileSlot& slot = view->session()->store().slots[4];
  EXPECT_TRUE(slot.loaded);
  EXPECT_TRUE(slot.on);
  EXPECT_FALSE(slot.changed);
  EXPECT_EQ(slot.baseName, "世界史"_sj);
  EXPECT_EQ(slot.label, "世界の歴史"_sj);
}

TEST_F(FileCommandTest, ChangedSlotIsNotLostByEraseOrAFailedSave) {
  WriteBytes(SlotFile(0), EventFile("t", "AD0100;1,1,,;;a;;;\r\n"));
  Start();
  FileSlot& slot = view->session()->store().slots[0];
  slot.changed = 1;

  platform.saveAnswers.push_back(SaveAnswer::kCancel);
  RightClickSlot(0, MenuCommand::kEraseFile);
  EXPECT_EQ(slot.loaded, 1);
  EXPECT_EQ(slot.Count(), 1u);
  EXPECT_EQ(platform.saveQuestions.size(), 1u);

  // Saving into a folder that is gone fails: the message says so and the
  // slot stays changed.
  platform.dialogAnswers.push_back((folder / "gone" / "t.txt").string());
  RightClickSlot(0, MenuCommand::kSave);
  EXPECT_EQ(slot.changed, 1);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_NE(platform.messages[0].find("保存できませんでした"), std::string::npos);

  EXPECT_FALSE(view->QueryClose());  // no answer scripted: cancel
  platform.saveAnswers.push_back(SaveAnswer::kDiscard);
  RightClickSlot(0, MenuCommand::kEraseFile);
  EXPECT_EQ(slot.loaded, 0);
  EXPECT_EQ(slot.label, "ファイル①"_sj);
  EXPECT_EQ(slot.baseName, "歴史文書20"_sj);
  EXPECT_EQ(ReadBytes(SlotFile(0)).empty(), false);  // the file itself stays
  EXPECT_TRUE(view->QueryClose());
}

TEST_F(FileCommandTest, UnreadableFilesAndUnencodableNamesAreReported) {
  std::filesystem::create_directory(SlotFile(1));  // there, but not a file
  Start();
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_NE(platform.messages[0].find("歴史文書21.txt"), std::string::npos);
  EXPECT_EQ(view->session()->store().slots[1].loaded, 1);  // kept for the next start

  WriteBytes(folder / "😀.txt", EventFile("x", "AD0100;1,1,,;;a;;;\r\n"));
  platform.dialogAnswers.push_back((folder / "😀.txt").string());
  RightClickSlot(4, MenuCommand::kReadFile);
  EXPECT_EQ(view->session()->store().slots[4].loaded, 0);
  ASSERT_EQ(platform.messages.size(), 2u);
  EXPECT_NE(platform.messages[1].find("😀"), std::string::npos);
}

TEST_F(FileCommandTest, SaveNamesStayInTheFolderAndEndInTxt) {
  WriteBytes(SlotFile(0), EventFile("../../escaped", "AD0100;1,1,,;;a;;;\r\n"));
  Start();
  // The title is offered as a plain name in the data folder.
  platform.dialogAnswers.push_back(std::nullopt);
  RightClickSlot(0, MenuCommand::kSave);
  EXPECT_EQ(platform.dialogs[0].initialPath, (folder / ".._.._escaped.txt").string());

  // A filter's pattern taken for the name is refused, another name gets ".txt".
  platform.dialogAnswers.push_back((folder / "日本史.*").string());
  RightClickSlot(0, MenuCommand::kSave);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_NE(platform.messages[0].find("日本史.*"), std::string::npos);
  platform.dialogAnswers.push_back((folder / "世界史.h").string());
  RightClickSlot(0, MenuCommand::kSave);
  EXPECT_FALSE(std::filesystem::exists(folder / "世界史.h"));
  EXPECT_EQ(view->session()->store().slots[0].Count(), 1u);
  EXPECT_TRUE(ReadBytes(folder / "世界史.h.txt").starts_with(EncodeCp932("H;世界史.h;;").bytes));
  // Made up like that, an existing file is only replaced when the user agrees.
  platform.dialogAnswers.push_back((folder / "世界史.h").string());
  platform.saveAnswers.push_back(SaveAnswer::kCancel);
  RightClickSlot(0, MenuCommand::kSave);
  ASSERT_EQ(platform.saveQuestions.size(), 1u);
  EXPECT_NE(platform.saveQuestions[0].find("世界史.h.txt"), std::string::npos);
  EXPECT_EQ(platform.messages.size(), 1u);
}

TEST_F(FileCommandTest, ABackupLeftByAnInterruptedSaveIsNamedAtStart) {
  WriteSlot(0, "t", "AD0100;1,1,,;;a;;;\r\n");
  WriteBytes(BackupPath(SlotFile(0)), "old");
  Start();
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_NE(platform.messages[0].find("the last save of this file was interrupted; the previous "
                                      "content is in " +
                                      BackupPath(SlotFile(0)).string()),
            std::string::npos);
  EXPECT_EQ(view->session()->store().slots[0].Count(), 1u);
  EXPECT_EQ(ReadBytes(BackupPath(SlotFile(0))), "old");

  // A copy cut short by a kill is named as such, never as the previous
  // content.
  WriteSlot(1, "u", "AD0100;1,1,,;;a;;;\r\n");
  WriteBytes(IncompleteBackupPath(SlotFile(1)), "ol");
  Start();
  ASSERT_EQ(platform.messages.size(), 2u);
  EXPECT_NE(platform.messages[1].find(IncompleteBackupPath(SlotFile(1)).string() +
                                      " is an incomplete copy, not the previous content"),
            std::string::npos);
  EXPECT_EQ(platform.messages[1].find("the previous content is in " +
                                      IncompleteBackupPath(SlotFile(1)).string()),
            std::string::npos);
  platform.messages.erase(platform.messages.begin());

  // And when the file is read into a slot.
  platform.dialogAnswers.push_back(SlotFile(0).string());
  RightClickSlot(3, MenuCommand::kReadFile);
  ASSERT_EQ(platform.messages.size(), 2u);
  EXPECT_NE(platform.messages[1].find(BackupPath(SlotFile(0)).string()), std::string::npos);
}

TEST_F(ViewTest, MissingDataFolderIsReported) {
  view =
      std::make_unique<MainView>(platform, ScreenLayout{800, 600}, (folder / "nowhere").string());
  view->OnInitialUpdate();
  view->OnPaint();
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_NE(platform.messages[0].find("nowhere"), std::string::npos);
}

}  // namespace
}  // namespace qev

namespace qev {
namespace {

TEST(BundledStart, TheStateFileOpensEveryThemeOnAFullScreen) {
  testing::FakePlatform platform;
  MainView view(platform, {800, 600}, std::string(QEV_SOURCE_DIR) + "/qev_file");
  view.OnInitialUpdate();
  view.OnPaint();
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(view.session()->scale().rangeIndex(), 7);
  EXPECT_EQ(view.session()->scale().originX(), 50);
  EXPECT_EQ(platform.thumb, 365);
  for (const FileSlot& slot : view.session()->store().slots) {
    EXPECT_EQ(slot.loaded, 1);
    EXPECT_EQ(slot.on, 1);
    EXPECT_EQ(slot.label, slot.baseName);
    EXPECT_GE(slot.Count(), 30u);
  }
  EXPECT_GE(view.session()->visible().size(), 50);
  EXPECT_FALSE(platform.PanelUtf8(InfoPanel::kLeft).empty());
}

}  // namespace
}  // namespace qev

namespace qev {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;

class SaveLossTest : public testing::ViewFixture {};

// A save over the file a slot was read from asks before the lines the
// program did not keep are lost.
TEST_F(SaveLossTest, SavingOverAFileWithUnreadLinesAsksFirst) {
  // Only the first line is the header: later "H" lines are unread lines too.
  const Sjis original =
      EventFile("t", "AD0100;1,1,,;;a;;;\r\n ad0200;1,1,,;;b;;;\r\nHTML版は別ファイル\r\n") +
      Sjis("after the end\r\n");
  WriteBytes(SlotFile(0), original);
  Start();
  EXPECT_EQ(view->session()->store().slots[0].label, "t"_sj);
  const ScreenLayout& l = view->layout();
  for (SaveAnswer answer : {SaveAnswer::kCancel, SaveAnswer::kSave}) {
    platform.menuAnswers.push_back(MenuCommand::kSave);
    platform.dialogAnswers.push_back(SlotFile(0).string());
    platform.saveAnswers.push_back(answer);
    view->ShowContextMenu(SlotColumn(l, 0), l.row3() + 2);
    if (answer == SaveAnswer::kCancel) {
      EXPECT_EQ(ReadBytes(SlotFile(0)), original);
    }
  }
  ASSERT_EQ(platform.saveQuestions.size(), 2u);
  EXPECT_NE(platform.saveQuestions[0].find("3行"), std::string::npos);
  EXPECT_EQ(DecodeCp932(ReadBytes(SlotFile(0))).find("HTML"), std::string::npos);
  EXPECT_EQ(DecodeCp932(ReadBytes(SlotFile(0))).find("b;;;"), std::string::npos);
  EXPECT_EQ(DecodeCp932(ReadBytes(SlotFile(0))).rfind(";\r\n"),
            DecodeCp932(ReadBytes(SlotFile(0))).size() - 3);
}

}  // namespace
}  // namespace qev

namespace qev {
namespace {

using testing::FakePlatform;
using testing::ReadBytes;
using testing::WriteBytes;

// Two programs and an editor on one folder: a save over a file changed
// since this program read or saved it asks first, naming the file, however
// the save is made; "cancel" (the default) keeps the file as the others
// left it, "save under another name" writes the other file only.
TEST_F(SaveLossTest, ASaveOverAFileChangedOnDiskAsksFirst) {
  enum class Route { kCtrlS, kClosing, kSelfTestResult };
  const std::string other = (folder / "別名.txt").string();
  auto open = [&](FakePlatform& screen) {
    auto program =
        std::make_unique<MainView>(screen, ScreenLayout{800, 600}, folder.path().string());
    program->OnInitialUpdate();
    program->OnPaint();
    return program;
  };
  // Raises the memorisation digit of event i, as a click does.
  auto raise = [](MainView& program, std::size_t i) {
    EventStore& store = program.session()->store();
    Sjis line(store.slots[0].Line(i));
    line[9] = static_cast<char>(line[9] + 1);
    store.slots[0].Replace(i, line);
    store.MarkChanged(0, true);
  };
  auto save = [&](MainView& program, FakePlatform& screen, Route route) {
    screen.dialogAnswers.push_back(other);  // for "save under another name"
    switch (route) {
      case Route::kCtrlS:
        return program.OnKeyCommand(KeyCommand::kSaveChanged);
      case Route::kClosing:
        screen.saveAnswers.push_front(SaveAnswer::kSave);
        program.QueryClose();
        return;
      case Route::kSelfTestResult:
        return program.SaveSlots({0});
    }
  };
  for (Route route : {Route::kCtrlS, Route::kClosing, Route::kSelfTestResult}) {
    for (ChangedFileAnswer answer :
         {ChangedFileAnswer::kCancel, ChangedFileAnswer::kOverwrite, ChangedFileAnswer::kSaveAs}) {
      SCOPED_TRACE(static_cast<int>(route) * 10 + static_cast<int>(answer));
      std::filesystem::remove(other);
      WriteSlot(0, "t", "AD0100;1,1,,;;a;;;\r\nAD0200;1,1,,;;b;;;\r\n");
      FakePlatform screenA, screenB;
      auto a = open(screenA);
      auto b = open(screenB);
      raise(*a, 0);
      a->OnKeyCommand(KeyCommand::kSaveChanged);
      const std::string editor = ReadBytes(SlotFile(0)) + "AD0300;1,1,,;;editor;;;\r\n";
      WriteBytes(SlotFile(0), editor);
      raise(*b, 1);
      screenB.changedFileAnswers.push_back(answer);
      save(*b, screenB, route);

      EXPECT_TRUE(screenA.changedFileQuestions.empty());
      ASSERT_EQ(screenB.changedFileQuestions.size(), 1u);
      EXPECT_NE(screenB.changedFileQuestions[0].find("「" + SlotFile(0).string() + "」"),
                std::string::npos);
      EXPECT_TRUE(screenB.saveQuestions.size() == (route == Route::kClosing ? 1u : 0u));
      const std::string now = DecodeCp932(ReadBytes(SlotFile(0)));
      switch (answer) {
        case ChangedFileAnswer::kCancel:
          EXPECT_EQ(ReadBytes(SlotFile(0)), editor);
          EXPECT_FALSE(std::filesystem::exists(other));
          EXPECT_EQ(b->session()->store().slots[0].changed, 1);
          break;
        case ChangedFileAnswer::kOverwrite:
          EXPECT_EQ(now.find("editor"), std::string::npos);
          EXPECT_NE(now.find("AD0200;1,2,,;;b;;;"), std::string::npos);
          EXPECT_FALSE(std::filesystem::exists(other));
          // What this program saved is no change: the next save asks nothing.
          raise(*b, 1);
          b->OnKeyCommand(KeyCommand::kSaveChanged);
          EXPECT_EQ(screenB.changedFileQuestions.size(), 1u);
          EXPECT_NE(DecodeCp932(ReadBytes(SlotFile(0))).find("AD0200;1,3,,;;b;;;"),
                    std::string::npos);
          break;
        case ChangedFileAnswer::kSaveAs:
          EXPECT_EQ(ReadBytes(SlotFile(0)), editor);
          EXPECT_NE(DecodeCp932(ReadBytes(other)).find("AD0200;1,2,,;;b;;;"), std::string::npos);
          break;
      }
    }
  }
}

// The state file too: saved by another program since it was read, it is
// overwritten only when the user says so.
TEST_F(SaveLossTest, TheStateFileChangedOnDiskIsNotOverwrittenUnasked) {
  const std::filesystem::path state = folder / "動作状態10.txt";
  WriteBytes(state, "H;動作状態10;;;\r\n;\r\n"_sj);
  Start();
  auto saveState = [&] {
    Click(PanelArea::kStateLabel);
    const PanelRect r = AreaRect(view->layout(), PanelArea::kStateLabel);
    platform.menuAnswers.push_back(MenuCommand::kSave);
    platform.dialogAnswers.push_back(state.string());
    view->ShowContextMenu((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  };
  saveState();
  saveState();  // over what it saved itself: no question
  EXPECT_TRUE(platform.changedFileQuestions.empty());
  WriteBytes(state, ReadBytes(state) + "changed elsewhere\r\n");
  const std::string elsewhere = ReadBytes(state);
  saveState();
  ASSERT_EQ(platform.changedFileQuestions.size(), 1u);
  EXPECT_EQ(ReadBytes(state), elsewhere);
}

}  // namespace
}  // namespace qev
