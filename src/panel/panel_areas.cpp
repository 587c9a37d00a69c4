#include "panel/panel_areas.h"

#include <algorithm>
#include <array>

#include "events/event_store.h"

namespace qev {

namespace {

constexpr int kSlotCount = EventStore::kSlotCount;
constexpr std::array<int, kSlotCount> kSlotColumns{30, 125, 220, 315, 410, 505, 600, 695, 790, 885};
// Offsets in u of the five level marks after a filter's column.
constexpr std::array<int, 5> kLevelMarkSteps{16, 27, 38, 49, 60};

int Index(PanelArea area) {
  return static_cast<int>(area);
}

std::optional<int> OffsetIn(PanelArea area, PanelArea first, int count) {
  const int i = Index(area) - Index(first);
  if (i < 0 || i >= count) return std::nullopt;
  return i;
}

// One row high: 12v below the row's y.
PanelRect Label(const ScreenLayout& l, int row, int left, int right) {
  return {left, row, right, row + 12 * l.v()};
}

PanelRect LevelMark(const ScreenLayout& l, int column, int level) {
  const int left = column + kLevelMarkSteps[static_cast<std::size_t>(level - 1)] * l.u();
  return Label(l, l.row1(), left, left + 6 * l.u());
}

// Whether the left-click rectangles of slot `slot` and the next one, 12u
// left to 35u right of their columns, would overlap (800, 1280 pixels wide).
bool CrowdedWithNext(const ScreenLayout& l, int slot) {
  return slot + 1 < kSlotCount &&
         SlotColumn(l, slot) + 35 * l.u() > SlotColumn(l, slot + 1) - 12 * l.u();
}

// Slot label `slot`'s row-3 span, reaching `before` u left and `after` u
// right of its column. Crowded neighbours meet where the right label's text
// begins, 2u left of its column, for the left and the right click alike: both
// act on the slot whose text is under the pointer.
PanelRect SlotSpan(const ScreenLayout& l, int slot, int before, int after) {
  const int u = l.u();
  const int c = SlotColumn(l, slot);
  const int left = slot > 0 && CrowdedWithNext(l, slot - 1) ? c - 2 * u : c - before * u;
  const int right = CrowdedWithNext(l, slot) ? SlotColumn(l, slot + 1) - 2 * u : c + after * u;
  return Label(l, l.row3(), left, right);
}

PanelRect SlotRect(const ScreenLayout& l, int slot) {
  return SlotSpan(l, slot, 12, 35);
}

}  // namespace

PanelArea ImportanceArea(int level) {
  return static_cast<PanelArea>(Index(PanelArea::kImportance1) + level - 1);
}

PanelArea MemorisationArea(int level) {
  return static_cast<PanelArea>(Index(PanelArea::kMemorisation1) + level - 1);
}

std::optional<int> ImportanceLevelOf(PanelArea area) {
  auto i = OffsetIn(area, PanelArea::kImportance1, 5);
  return i ? std::optional<int>(*i + 1) : std::nullopt;
}

std::optional<int> MemorisationLevelOf(PanelArea area) {
  auto i = OffsetIn(area, PanelArea::kMemorisation1, 5);
  return i ? std::optional<int>(*i + 1) : std::nullopt;
}

std::optional<int> SlotOf(PanelArea area) {
  return OffsetIn(area, PanelArea::kSlot1, kSlotCount);
}

PanelRect AreaRect(const ScreenLayout& l, PanelArea area) {
  if (auto level = ImportanceLevelOf(area)) return LevelMark(l, l.X(30), *level);
  if (auto level = MemorisationLevelOf(area)) return LevelMark(l, l.X(220), *level);
  if (auto slot = SlotOf(area)) return SlotRect(l, *slot);
  const int u = l.u();
  switch (area) {
    case PanelArea::kPriority:
      return Label(l, l.row1(), l.X(405), l.X(405) + 30 * u);
    case PanelArea::kImportanceChange:
      return Label(l, l.row1(), l.X(502) + 34 * u, l.X(502) + 40 * u);
    case PanelArea::kMemorisationChange:
      return Label(l, l.row1(), l.X(605) + 34 * u, l.X(605) + 40 * u);
    case PanelArea::kEditSetExecute:
      return Label(l, l.row1(), l.X(820) + 31 * u, l.X(820) + 46 * u);
    case PanelArea::kEditCancel:
      return Label(l, l.row1(), l.X(820) + 48 * u, l.X(820) + 64 * u);
    case PanelArea::kShowYear:
      return Label(l, l.row2(), l.X(15), l.X(15) + 38 * u);
    case PanelArea::kShowImportance:
      return Label(l, l.row2(), l.X(120), l.X(120) + 30 * u);
    case PanelArea::kShowMemorisation:
      return Label(l, l.row2(), l.X(205), l.X(205) + 30 * u);
    case PanelArea::kShowEventLeft:
      return Label(l, l.row2(), l.X(290), l.X(290) + 32 * u);
    case PanelArea::kRandom:
      // 12 pixels high whatever v is.
      return {l.X(395), l.row2(), l.X(395) + 33 * u, l.row2() + 12};
    case PanelArea::kShowEventRight:
      return Label(l, l.row2(), l.X(502), l.X(502) + 32 * u);
    case PanelArea::kShowMemo1:
      return Label(l, l.row2(), l.X(605) - 4 * u, l.X(605) + 21 * u);
    case PanelArea::kShowMemo2:
      return Label(l, l.row2(), l.X(690) - 8 * u, l.X(690) + 17 * u);
    case PanelArea::kYearDisplayMode:
      return Label(l, l.row2(), l.X(690) + 22 * u, l.X(690) + 46 * u);
    case PanelArea::kRange:
      return Label(l, l.row2(), l.X(815), l.X(815) + 30 * u);
    case PanelArea::kUnit:
      return Label(l, l.row2(), l.X(900), l.X(900) + 32 * u);
    case PanelArea::kStopwatch:
      return Label(l, l.row4(), l.X(205), l.X(205) + 44 * u);
    case PanelArea::kStateLabel:
      return Label(l, l.row4(), l.X(330), l.X(330) + 30 * u);
    case PanelArea::kTextSize:
      return Label(l, l.row4(), l.X(490) + 15 * u, l.X(490) + 39 * u);
    case PanelArea::kPointDisplayMode:
      return Label(l, l.row4(), l.X(410), l.X(410) + 43 * u);
    case PanelArea::kDiagram:
      return Label(l, l.row4(), l.X(615), l.X(615) + 74 * u);
    case PanelArea::kHelp:
      return Label(l, l.row4(), l.X(775) + 15 * u, l.X(775) + 64 * u);
    case PanelArea::kBrightness:
      return Label(l, l.row4(), l.X(875) + 26 * u, l.X(875) + 38 * u);
    default:
      return {};
  }
}

std::vector<PanelArea> AreasAt(const ScreenLayout& layout, int x, int y) {
  std::vector<PanelArea> hits;
  for (int i = 0; i < kPanelAreaCount; ++i) {
    const auto area = static_cast<PanelArea>(i);
    if (AreaRect(layout, area).Contains(x, y)) hits.push_back(area);
  }
  return hits;
}

int SlotColumn(const ScreenLayout& layout, int slot) {
  return layout.X(kSlotColumns[static_cast<std::size_t>(slot)]);
}

PanelRect SlotMenuRect(const ScreenLayout& layout, int slot) {
  return SlotSpan(layout, slot, 4, 36);
}

std::optional<int> SlotLabelAt(const ScreenLayout& layout, int x, int y) {
  for (int k = 0; k < kSlotCount; ++k) {
    if (SlotMenuRect(layout, k).Contains(x, y)) return k;
  }
  return std::nullopt;
}

PanelRect DiagramLinkRect(const ScreenLayout& layout, int link) {
  // Tops per mille of the drawing area's height, one link under another.
  static constexpr std::array<int, 4> kTops{110, 160, 210, 260};
  if (link < 0 || link >= static_cast<int>(kTops.size())) return {};
  const int dw = layout.drawAreaWidth();
  const int dh = layout.drawAreaHeight();
  const int left = layout.drawAreaX() + dw * 12 / 1000;
  const int top = layout.drawAreaY() + dh * kTops[static_cast<std::size_t>(link)] / 1000;
  return {left, top, left + dw * 160 / 1000, top + dh * 30 / 1000};
}

PanelRect StateLabelPressRect(const ScreenLayout& layout) {
  return Label(layout, layout.row4(), layout.X(330), layout.X(330) + 24 * layout.u());
}

}  // namespace qev
