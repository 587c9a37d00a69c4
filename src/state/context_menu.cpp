#include "state/context_menu.h"

namespace qev {

std::vector<MenuItem> SlotMenu(bool loaded) {
  if (!loaded) return {{MenuCommand::kReadFile, "ファイルを読み込む"}};
  return {{MenuCommand::kSave, "ファイルを保存"}, {MenuCommand::kEraseFile, "ファイルを消去"}};
}

}  // namespace qev
