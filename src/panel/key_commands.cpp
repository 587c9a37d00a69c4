#include "panel/key_commands.h"

#include <array>

#include "panel/panel_areas.h"

namespace qev {
namespace {

constexpr std::array kBindings{
    KeyBinding{KeyCommand::kPreviousPoint, Key::kLeft, false, false, "前のポイント", "←"},
    KeyBinding{KeyCommand::kNextPoint, Key::kRight, false, false, "次のポイント", "→"},
    KeyBinding{KeyCommand::kFirstPoint, Key::kHome, false, false, "最初のポイント", "Home"},
    KeyBinding{KeyCommand::kLastPoint, Key::kEnd, false, false, "最後のポイント", "End"},
    KeyBinding{KeyCommand::kRandomPoint, Key::kR, false, false, "ランダム選択", "R"},
    KeyBinding{KeyCommand::kNextRange, Key::kPlus, false, false, "次のレンジ", "+"},
    KeyBinding{KeyCommand::kPreviousRange, Key::kMinus, false, false, "前のレンジ", "-"},
    KeyBinding{KeyCommand::kPageLeft, Key::kPageUp, false, false, "1ページ左へ", "PgUp"},
    KeyBinding{KeyCommand::kPageRight, Key::kPageDown, false, false, "1ページ右へ", "PgDown"},
    KeyBinding{KeyCommand::kStepLeft, Key::kLeft, true, false, "1目盛り左へ", "Ctrl+←"},
    KeyBinding{KeyCommand::kStepRight, Key::kRight, true, false, "1目盛り右へ", "Ctrl+→"},
    KeyBinding{KeyCommand::kStopwatch, Key::kSpace, false, false, "タイマー 開始/停止/再開",
               "Space"},
    KeyBinding{KeyCommand::kHelp, Key::kF1, false, false, "暗記法の機能説明", "F1"},
    KeyBinding{KeyCommand::kCancelEdit, Key::kEscape, false, false, "変更の中止", "Esc"},
    KeyBinding{KeyCommand::kUndo, Key::kZ, true, false, "元に戻す", "Ctrl+Z"},
    KeyBinding{KeyCommand::kRedo, Key::kZ, true, true, "やり直し", "Ctrl+Shift+Z"},
    KeyBinding{KeyCommand::kSaveChanged, Key::kS, true, false, "変更したファイルを保存", "Ctrl+S"},
    KeyBinding{KeyCommand::kFind, Key::kF, true, false, "検索", "Ctrl+F"},
    KeyBinding{KeyCommand::kFindNext, Key::kF3, false, false, "次を検索", "F3"},
    KeyBinding{KeyCommand::kFindPrevious, Key::kF3, false, true, "前を検索", "Shift+F3"},
    KeyBinding{KeyCommand::kGoToYear, Key::kG, true, false, "年へ移動", "Ctrl+G"},
    KeyBinding{KeyCommand::kRandomOnLine, Key::kR, false, true, "QEVライン全体からランダム選択",
               "Shift+R"},
    KeyBinding{KeyCommand::kAddEvent, Key::kN, true, false, "できごとを追加", "Ctrl+N"},
    KeyBinding{KeyCommand::kEditEvent, Key::kE, true, false, "できごとを編集", "Ctrl+E"},
    KeyBinding{KeyCommand::kDeleteEvent, Key::kDelete, false, false, "できごとを削除", "Delete"},
    KeyBinding{KeyCommand::kSelfTest, Key::kT, false, false, "確認テスト", "T"},
};

int Middle(int from, int to) {
  return (from + to) / 2;
}

KeyInput ClickOn(InputKind kind, const PanelRect& r) {
  return {kind, Middle(r.left, r.right), Middle(r.top, r.bottom)};
}

KeyInput ScrollBy(ScrollCode code) {
  KeyInput input;
  input.kind = InputKind::kScroll;
  input.scroll = code;
  return input;
}

}  // namespace

std::span<const KeyBinding> KeyBindings() {
  return kBindings;
}

std::optional<KeyCommand> CommandForKey(Key key, bool ctrl, bool shift) {
  // The binding with this very Shift first, else the one of the key alone.
  for (bool exact : {true, false}) {
    for (const KeyBinding& b : kBindings) {
      if (b.key == key && b.ctrl == ctrl && (!exact || b.shift == shift)) return b.command;
    }
  }
  return std::nullopt;
}

bool ActsFromPanel(KeyCommand command, bool typing) {
  switch (command) {
    case KeyCommand::kCancelEdit:
    case KeyCommand::kSaveChanged:
    case KeyCommand::kFind:
    case KeyCommand::kFindNext:
    case KeyCommand::kFindPrevious:
    case KeyCommand::kGoToYear:
    case KeyCommand::kAddEvent:
    case KeyCommand::kEditEvent:
      return true;
    case KeyCommand::kUndo:
    case KeyCommand::kRedo:
    case KeyCommand::kRandomOnLine:
    case KeyCommand::kDeleteEvent:
    case KeyCommand::kSelfTest:
      return !typing;
    default:
      return false;
  }
}

KeyInput InputFor(const ScreenLayout& l, KeyCommand command) {
  // The timeline frame and the strips beside it, as the clicks test them.
  const PanelRect frame{l.X(15) + 1, l.Y(20) + 1, l.X(981), l.Y(675)};
  const PanelRect leftStrip{0, l.Y(20), l.X(15), l.Y(675)};
  const PanelRect rightStrip{l.X(981), l.Y(20), l.X(997), l.Y(675)};
  switch (command) {
    case KeyCommand::kPreviousPoint:
      return ClickOn(InputKind::kLeftClick, frame);
    case KeyCommand::kNextPoint:
      return ClickOn(InputKind::kRightClick, frame);
    case KeyCommand::kFirstPoint:
      return ClickOn(InputKind::kLeftDoubleClick, leftStrip);
    case KeyCommand::kLastPoint:
      return ClickOn(InputKind::kLeftDoubleClick, rightStrip);
    case KeyCommand::kRandomPoint:
      return ClickOn(InputKind::kLeftClick, AreaRect(l, PanelArea::kRandom));
    case KeyCommand::kNextRange:
      return ClickOn(InputKind::kLeftClick, AreaRect(l, PanelArea::kRange));
    case KeyCommand::kPreviousRange:
      return ClickOn(InputKind::kRightClick, AreaRect(l, PanelArea::kRange));
    case KeyCommand::kPageLeft:
      return ScrollBy(ScrollCode::kPageLeft);
    case KeyCommand::kPageRight:
      return ScrollBy(ScrollCode::kPageRight);
    case KeyCommand::kStepLeft:
      return ScrollBy(ScrollCode::kLineLeft);
    case KeyCommand::kStepRight:
      return ScrollBy(ScrollCode::kLineRight);
    case KeyCommand::kStopwatch:
      return ClickOn(InputKind::kLeftClick, AreaRect(l, PanelArea::kStopwatch));
    case KeyCommand::kHelp:
      return ClickOn(InputKind::kLeftClick, AreaRect(l, PanelArea::kHelp));
    case KeyCommand::kCancelEdit:
      return ClickOn(InputKind::kLeftClick, AreaRect(l, PanelArea::kEditCancel));
    case KeyCommand::kUndo:
    case KeyCommand::kRedo:
    case KeyCommand::kSaveChanged:
    case KeyCommand::kFind:
    case KeyCommand::kFindNext:
    case KeyCommand::kFindPrevious:
    case KeyCommand::kGoToYear:
    case KeyCommand::kRandomOnLine:
    case KeyCommand::kAddEvent:
    case KeyCommand::kEditEvent:
    case KeyCommand::kDeleteEvent:
    case KeyCommand::kSelfTest:
      break;
  }
  return {};
}

}  // namespace qev
