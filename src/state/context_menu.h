#pragma once

#include <vector>

#include "panel/panel_areas.h"  // SlotLabelAt, the slot label under a right click
#include "platform/platform.h"

namespace qev {

// Command identifiers of the context menus.
constexpr int kCommandReadFile = 32771;      // ファイルを読み込む
constexpr int kCommandSave = 32772;          // ファイルを保存 / 動作状態を保存
constexpr int kCommandEraseFile = 32773;     // ファイルを消去
constexpr int kCommandRestoreState = 32778;  // 動作状態からの再入力

// Menu 132 for a slot without a file, menu 134 for one with a file.
std::vector<MenuItem> SlotMenu(bool loaded);

}  // namespace qev
