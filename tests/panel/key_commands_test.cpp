#include "panel/key_commands.h"

#include <gtest/gtest.h>

#include <optional>

#include "panel/panel_areas.h"

namespace qev {
namespace {

// Every command: its key, and the click or scroll action it stands for,
// which must land on its area alone.
TEST(KeyCommandsTest, EveryKeyStandsForItsClickOrScroll) {
  struct Row {
    Key key;
    bool ctrl;
    bool shift;
    KeyCommand command;
    InputKind kind;
    std::optional<PanelArea> area;  // the one label the click lands on
    ScrollCode scroll = ScrollCode::kEndScroll;
  };
  const Row rows[] = {
      {Key::kLeft, false, false, KeyCommand::kPreviousPoint, InputKind::kLeftClick, {}},
      {Key::kRight, false, false, KeyCommand::kNextPoint, InputKind::kRightClick, {}},
      {Key::kHome, false, false, KeyCommand::kFirstPoint, InputKind::kLeftDoubleClick, {}},
      {Key::kEnd, false, false, KeyCommand::kLastPoint, InputKind::kLeftDoubleClick, {}},
      {Key::kR, false, false, KeyCommand::kRandomPoint, InputKind::kLeftClick, PanelArea::kRandom},
      {Key::kPlus, false, true, KeyCommand::kNextRange, InputKind::kLeftClick, PanelArea::kRange},
      {Key::kMinus, false, false, KeyCommand::kPreviousRange, InputKind::kRightClick,
       PanelArea::kRange},
      {Key::kPageUp,
       false,
       false,
       KeyCommand::kPageLeft,
       InputKind::kScroll,
       {},
       ScrollCode::kPageLeft},
      {Key::kPageDown,
       false,
       false,
       KeyCommand::kPageRight,
       InputKind::kScroll,
       {},
       ScrollCode::kPageRight},
      {Key::kLeft,
       true,
       false,
       KeyCommand::kStepLeft,
       InputKind::kScroll,
       {},
       ScrollCode::kLineLeft},
      {Key::kRight,
       true,
       false,
       KeyCommand::kStepRight,
       InputKind::kScroll,
       {},
       ScrollCode::kLineRight},
      {Key::kSpace, false, false, KeyCommand::kStopwatch, InputKind::kLeftClick,
       PanelArea::kStopwatch},
      {Key::kF1, false, false, KeyCommand::kHelp, InputKind::kLeftClick, PanelArea::kHelp},
      {Key::kEscape, false, false, KeyCommand::kCancelEdit, InputKind::kLeftClick,
       PanelArea::kEditCancel},
      {Key::kZ, true, false, KeyCommand::kUndo, InputKind::kNone, {}},
      {Key::kZ, true, true, KeyCommand::kRedo, InputKind::kNone, {}},
      {Key::kS, true, false, KeyCommand::kSaveChanged, InputKind::kNone, {}},
      {Key::kF, true, false, KeyCommand::kFind, InputKind::kNone, {}},
      {Key::kF3, false, false, KeyCommand::kFindNext, InputKind::kNone, {}},
      {Key::kF3, false, true, KeyCommand::kFindPrevious, InputKind::kNone, {}},
      {Key::kG, true, false, KeyCommand::kGoToYear, InputKind::kNone, {}},
      {Key::kR, false, true, KeyCommand::kRandomOnLine, InputKind::kNone, {}},
      {Key::kN, true, false, KeyCommand::kAddEvent, InputKind::kNone, {}},
      {Key::kE, true, false, KeyCommand::kEditEvent, InputKind::kNone, {}},
      {Key::kDelete, false, false, KeyCommand::kDeleteEvent, InputKind::kNone, {}},
      {Key::kT, false, false, KeyCommand::kSelfTest, InputKind::kNone, {}},
  };
  for (const ScreenLayout l : {ScreenLayout{800, 600}, ScreenLayout{1024, 768}}) {
    for (const Row& r : rows) {
      SCOPED_TRACE(static_cast<int>(r.command));
      EXPECT_EQ(CommandForKey(r.key, r.ctrl, r.shift), r.command);
      const KeyInput in = InputFor(l, r.command);
      EXPECT_EQ(in.kind, r.kind);
      if (r.kind == InputKind::kScroll) {
        EXPECT_EQ(in.scroll, r.scroll);
      }
      if (r.kind == InputKind::kNone || r.kind == InputKind::kScroll) continue;
      const std::vector<PanelArea> hits = AreasAt(l, in.x, in.y);
      if (r.area) {
        EXPECT_EQ(hits, std::vector<PanelArea>{*r.area});
        continue;
      }
      EXPECT_TRUE(hits.empty());
      // Inside the frame (edges excluded), or in a strip beside it.
      const bool inFrame = l.X(15) < in.x && in.x < l.X(981) && l.Y(20) < in.y && in.y < l.Y(675);
      const bool inLeftStrip = in.x < l.X(15) && l.Y(20) <= in.y && in.y < l.Y(675);
      const bool inRightStrip = l.X(981) <= in.x && in.x < l.X(997) && l.Y(20) <= in.y;
      if (r.kind == InputKind::kLeftDoubleClick) {
        EXPECT_EQ(r.command == KeyCommand::kFirstPoint ? inLeftStrip : inRightStrip, true);
      } else {
        EXPECT_TRUE(inFrame);
      }
    }
  }
  EXPECT_EQ(CommandForKey(Key::kZ, false, false), std::nullopt);
  EXPECT_EQ(CommandForKey(Key::kR, true, false), std::nullopt);
  // Shift is told apart only where it selects another command.
  EXPECT_EQ(CommandForKey(Key::kPlus, false, true), KeyCommand::kNextRange);
  EXPECT_EQ(CommandForKey(Key::kLeft, false, true), KeyCommand::kPreviousPoint);
  EXPECT_EQ(KeyBindings().size(), std::size(rows));
}

}  // namespace
}  // namespace qev
