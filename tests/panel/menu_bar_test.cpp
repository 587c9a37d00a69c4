#include "panel/menu_bar.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace qev {
namespace {

// The menus by task: every command with a key is in exactly one of them,
// each window once, and no menu holds more than twelve entries.
TEST(MenuBarTest, EveryCommandIsInOneMenuOfAtMostTwelveEntries) {
  std::vector<std::string> titles;
  std::map<KeyCommand, int> commands;
  std::map<WindowAction, int> windows;
  for (const MenuTable& menu : MenuBarMenus()) {
    titles.emplace_back(menu.title);
    int entries = 0;
    for (const MenuEntry& e : menu.entries) {
      if (e.action == WindowAction::kSeparator) continue;
      ++entries;
      if (e.action == WindowAction::kCommand) {
        ++commands[e.command];
      } else {
        ++windows[e.action];
        EXPECT_STRNE(e.label, "");
      }
    }
    EXPECT_LE(entries, 12) << menu.title;
    EXPECT_NE(menu.entries.front().action, WindowAction::kSeparator) << menu.title;
    EXPECT_NE(menu.entries.back().action, WindowAction::kSeparator) << menu.title;
  }
  EXPECT_EQ(titles, (std::vector<std::string>{"ﾊﾞｰｼﾞｮﾝ情報", "学習", "編集", "移動", "ファイル"}));
  for (const KeyBinding& b : KeyBindings()) {
    EXPECT_EQ(commands[b.command], 1) << b.label;
    EXPECT_EQ(BindingOf(b.command).label, b.label);
  }
  EXPECT_EQ(commands.size(), KeyBindings().size());
  for (WindowAction a : {WindowAction::kAbout, WindowAction::kGettingStarted,
                         WindowAction::kStudyRecord, WindowAction::kPrintTimeline}) {
    EXPECT_EQ(windows[a], 1) << static_cast<int>(a);
  }
}

}  // namespace
}  // namespace qev
