#pragma once

#include <span>

#include "panel/key_commands.h"

namespace qev {

// What a menu entry does besides the commands with keys: the window's own
// windows, and the separators between groups of entries.
enum class WindowAction {
  kCommand,  // the entry's KeyCommand
  kSeparator,
  kAbout,
  kGettingStarted,
  kStudyRecord,
  kPrintTimeline,
  kImportTable,
  kExportTable,
};

struct MenuEntry {
  WindowAction action = WindowAction::kCommand;
  KeyCommand command = KeyCommand::kPreviousPoint;  // for kCommand
  const char* label = "";  // UTF-8; a command's entry shows its binding's label
};

struct MenuTable {
  const char* title;  // UTF-8
  std::span<const MenuEntry> entries;
};

// The menus of the window's menu bar, by task, in their order.
std::span<const MenuTable> MenuBarMenus();

// The binding of a command: its label and its key.
const KeyBinding& BindingOf(KeyCommand command);

}  // namespace qev
