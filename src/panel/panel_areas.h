#pragma once

#include <optional>
#include <vector>

#include "platform/screen_layout.h"

namespace qev {

// Every clickable label of the control panel, in the order the left click
// tests them.
enum class PanelArea {
  kImportance1,
  kImportance2,
  kImportance3,
  kImportance4,
  kImportance5,
  kMemorisation1,
  kMemorisation2,
  kMemorisation3,
  kMemorisation4,
  kMemorisation5,
  kPriority,
  kImportanceChange,
  kMemorisationChange,
  kEditSetExecute,  // "[設定]", and "[実行]" while editing
  kEditCancel,      // "[中止]"
  kShowYear,
  kShowImportance,
  kShowMemorisation,
  kShowEventLeft,
  kRandom,
  kShowEventRight,
  kShowMemo1,
  kShowMemo2,
  kYearDisplayMode,
  kRange,
  kUnit,
  kSlot1,  // kSlot1 + k for slot k = 0..9
  kSlot10 = kSlot1 + 9,
  kStopwatch,
  kStateLabel,  // "動作状態" / "保存/入力"
  kTextSize,
  kPointDisplayMode,
  kDiagram,
  kHelp,
  kBrightness,
};

inline constexpr int kPanelAreaCount = static_cast<int>(PanelArea::kBrightness) + 1;

// A hit rectangle in view pixels: left and top inside, right and bottom not.
struct PanelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  friend bool operator==(const PanelRect&, const PanelRect&) = default;
};

// The area of importance or memorisation level 1..5.
PanelArea ImportanceArea(int level);
PanelArea MemorisationArea(int level);
// The level (1..5) or slot (0..9) an area stands for; nothing for any other.
std::optional<int> ImportanceLevelOf(PanelArea area);
std::optional<int> MemorisationLevelOf(PanelArea area);
std::optional<int> SlotOf(PanelArea area);

// Where a click on `area` acts. Where a label is drawn at a fixed place the
// rectangle's top-left is that place; the slot labels are drawn 10u right of
// theirs. Where 47u is wider than the column spacing (800, 1280 pixels
// wide), neighbouring slot rectangles meet where the right label's text
// begins, so one click switches one slot: the one whose text is under it.
PanelRect AreaRect(const ScreenLayout& layout, PanelArea area);

// Every area holding (x, y), in table order. Overlapping areas all answer.
std::vector<PanelArea> AreasAt(const ScreenLayout& layout, int x, int y);

// The x of slot label column `slot` (0..9); the label is drawn 2u left of it.
int SlotColumn(const ScreenLayout& layout, int slot);

// Where a right click opens slot `slot`'s context menu: from 4u left to 36u
// right of its column, one row high; neighbours meet as the left-click
// rectangles do, where the right label's text begins.
PanelRect SlotMenuRect(const ScreenLayout& layout, int slot);
// The slot whose menu rectangle holds (x, y).
std::optional<int> SlotLabelAt(const ScreenLayout& layout, int x, int y);

// The function diagram's link to help page `link` (0..3), in view pixels;
// the link's text is drawn at its top-left. Empty for any other number.
PanelRect DiagramLinkRect(const ScreenLayout& layout, int link);

// The left part (24u) of the operating-state label: pressing the button there
// ends a content edit, and a right click there opens the state menu.
PanelRect StateLabelPressRect(const ScreenLayout& layout);

}  // namespace qev
