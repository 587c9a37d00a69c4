#include "state/context_menu.h"

namespace qev {

std::vector<MenuItem> SlotMenu(bool loaded) {
  if (!loaded) return {{kCommandReadFile, "ファイルを読み込む"}};
  return {{kCommandSave, "ファイルを保存"}, {kCommandEraseFile, "ファイルを消去"}};
}

}  // namespace qev
