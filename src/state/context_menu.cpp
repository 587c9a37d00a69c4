#include "state/context_menu.h"

namespace qev {

std::optional<int> SlotLabelAt(const ScreenLayout& layout, int x, int y) {
  int top = layout.row3();
  if (y < top || y >= top + 12 * layout.v()) return std::nullopt;
  for (int k = 0; k < 10; ++k) {
    int xk = layout.X(30 + 95 * k);
    if (x >= xk - 4 * layout.u() && x < xk + 36 * layout.u()) return k;
  }
  return std::nullopt;
}

std::vector<MenuItem> SlotMenu(bool loaded) {
  if (!loaded) return {{MenuCommand::kReadFile, "ファイルを読み込む"}};
  return {{MenuCommand::kSave, "ファイルを保存"}, {MenuCommand::kEraseFile, "ファイルを消去"}};
}

}  // namespace qev
