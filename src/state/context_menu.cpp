#include "state/context_menu.h"

namespace qev {

std::vector<MenuItem> SlotMenu(bool loaded) {
  if (!loaded) {
    return {{MenuCommand::kReadFile, "ファイルを読み込む"},
            {MenuCommand::kNewFile, "新しいファイルを作る"}};
  }
  return {{MenuCommand::kSave, "ファイルを保存"}, {MenuCommand::kEraseFile, "ファイルを消去"}};
}

std::vector<MenuItem> StateMenu() {
  return {{MenuCommand::kRestoreState, "動作状態からの再入力"},
          {MenuCommand::kSave, "動作状態を保存"}};
}

}  // namespace qev
