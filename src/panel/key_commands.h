#pragma once

#include <optional>
#include <span>

#include "platform/screen_layout.h"
#include "timeline/scrolling.h"

namespace qev {

// The keys the timeline answers to, whatever the window system calls them.
enum class Key {
  kLeft,
  kRight,
  kHome,
  kEnd,
  kR,
  kPlus,
  kMinus,
  kPageUp,
  kPageDown,
  kSpace,
  kF1,
  kEscape,
  kS,
  kZ,
  kF,
  kF3,
  kG,
  kN,
  kE,
  kDelete,
  kT
};

// What the keyboard and the menus can do.
enum class KeyCommand {
  kPreviousPoint,
  kNextPoint,
  kFirstPoint,
  kLastPoint,
  kRandomPoint,
  kNextRange,
  kPreviousRange,
  kPageLeft,
  kPageRight,
  kStepLeft,
  kStepRight,
  kStopwatch,
  kHelp,
  kCancelEdit,
  kUndo,
  kRedo,
  kSaveChanged,
  // Commands of the window's own: finding, going to a year, random over the
  // whole line, adding, editing and deleting events.
  kFind,
  kFindNext,
  kFindPrevious,
  kGoToYear,
  kRandomOnLine,
  kAddEvent,
  kEditEvent,
  kDeleteEvent,
  kSelfTest,  // the self-test window, not the view's
};

// A command with its key and its menu entry (UTF-8), in menu order.
struct KeyBinding {
  KeyCommand command;
  Key key;
  bool ctrl = false;
  bool shift = false;  // only told apart where it selects another command
  const char* label = "";
  const char* shortcut = "";
};
std::span<const KeyBinding> KeyBindings();

// The command of a key; Shift counts only where it selects another command
// (Ctrl+Shift+Z, Shift+R, Shift+F3).
std::optional<KeyCommand> CommandForKey(Key key, bool ctrl, bool shift);

// Whether a key's command acts while the keyboard is in an information
// panel: Esc and the commands with keys of their own do, but for the keys
// a field being typed in (`typing`) needs itself: text keys, Delete and
// undo. The keys that stand for clicks on the line act on the timeline
// only.
bool ActsFromPanel(KeyCommand command, bool typing);

// The pointer input a command stands for, so that a key does exactly what
// its click or scroll bar action does. kNone: a command of its own.
enum class InputKind { kNone, kLeftClick, kRightClick, kLeftDoubleClick, kScroll };
struct KeyInput {
  InputKind kind = InputKind::kNone;
  int x = 0;  // view position of the click: the middle of the area it stands for
  int y = 0;
  ScrollCode scroll = ScrollCode::kEndScroll;
};
KeyInput InputFor(const ScreenLayout& layout, KeyCommand command);

}  // namespace qev
