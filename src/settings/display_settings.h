#pragma once

#include <array>

namespace qev {

// How the points show on the timeline.
enum class PointDisplayMode {
  kHidden = 0,
  kAll = 1,
  kSelectedOnly = 2
};  // 非表示 全表示 1 ポイント
// What the left panel and the timeline show of a point's dates.
enum class YearDisplayMode { kRange = 0, kYear = 1 };  // 範囲表示, 年表示
// The control panel's text size.
enum class TextSize { kSmall = 0, kLarge = 1 };  // 12 px, 14 px

// The display settings the user switches on the control panel and the
// operating state saves. Flags are 0/1 as the state file writes them; the
// level filters are indexed 1..5 (index 0 is unused).
struct DisplaySettings {
  std::array<int, 6> importanceFilter{0, 1, 1, 1, 1, 1};
  std::array<int, 6> memorisationFilter{0, 1, 1, 1, 1, 1};
  int filterPriority = 0;  // 0 重要度優先, 1 記憶度優先

  // Left information panel.
  int showYear = 1;
  int showImportance = 1;
  int showMemorisation = 1;
  int showEventLeft = 1;
  // Switched together with showImportance / showMemorisation: whether the
  // selected point's level symbols are handed to the control panel.
  int importanceToPanel = 1;
  int memorisationToPanel = 1;
  // Right information panel.
  int showEventRight = 1;
  int showMemo1 = 1;
  int showMemo2 = 1;

  YearDisplayMode yearDisplayMode = YearDisplayMode::kRange;
  PointDisplayMode pointDisplayMode = PointDisplayMode::kAll;
  TextSize textSize = TextSize::kSmall;
  int brightness = 3;  // 1..5

  // Never saved: set while the self-test asks for the selected event's
  // years, which the screen then keeps to itself.
  bool yearsHidden = false;

  friend bool operator==(const DisplaySettings&, const DisplaySettings&) = default;
};

// What of the selected event's years the screen shows; the information
// panels, the timeline and the control panel all ask here.
struct ShownYears {
  bool date = false;          // the year in the left panel, and its switch lit
  bool range = false;         // the left panel's range lines (範囲表示)
  bool rangeEndMark = false;  // the range end marked on the timeline
  bool memos = false;         // the right panel's memos, which often tell the year
};

inline ShownYears YearsShown(const DisplaySettings& d) {
  const bool shown = !d.yearsHidden;
  const bool range = d.yearDisplayMode == YearDisplayMode::kRange;
  return {shown && d.showYear == 1, shown && d.showYear == 1 && range, shown && range, shown};
}

}  // namespace qev
