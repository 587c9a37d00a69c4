// An event file of any bytes: read it, build the point list from it, format
// and compose the panels of every point, and write it back. An unedited
// slot must come back with the same event lines.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "events/event_file.h"
#include "events/event_store.h"
#include "events/point_list.h"
#include "platform/platform.h"
#include "require.h"
#include "timeline/info_panels.h"
#include "timeline/point_display.h"
#include "timeline/point_filter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace qev;
  using fuzz::Require;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  ParsedFile parsed = ParseEventFile(text);
  Require(parsed.title.size() <= kTitleLimit);

  EventStore store;
  // One slot keeps the text read, the other a copy of each line.
  std::string read(text);
  const ParsedFile readParsed = ParseEventFile(read);
  store.slots[0].TakeLines(std::move(read), readParsed.lines);
  store.slots[1].SetLines({parsed.lines.begin(), parsed.lines.end()});
  store.SwitchSlot(1);
  // The first byte picks the filter priority and which panel parts show.
  DisplaySettings settings;
  const int bits = size > 0 ? data[0] : 0;
  settings.filterPriority = bits & 1;
  settings.yearDisplayMode = (bits >> 1) & 1 ? YearDisplayMode::kYear : YearDisplayMode::kRange;
  settings.showYear = (bits >> 2) & 1;
  settings.showEventLeft = (bits >> 3) & 1;
  PointList points;
  points.Rebuild(
      store,
      [&](char importance, char memorisation) {
        return PassesFilter(settings, importance, memorisation);
      },
      [](int year) { return year % 100000; });
  Require(points.keys(store).size() == points.points().size());
  for (std::size_t i = 0; i < points.size(); ++i) {
    const TimelinePoint& point = points.points()[i];
    Require(point.slot == 0);
    Require(point.id() == store.slots[0].IdAt(static_cast<std::size_t>(point.line)));
    const Sjis display = FormatPointLine(store.slots[0].Line(static_cast<std::size_t>(point.line)));
    InfoPanelsContent panels = ComposeInfoPanels(display, settings, points.KeyAt(i, store), 1, 1);
    Require(PanelDisplayText(panels.left).size() <= panels.left.size() + kPanelLineLimit);
    PanelDisplayText(panels.right);
  }

  const ComposedFile written = ComposeFile(parsed.title, "c"_sj, ComposeSlotBody(parsed.lines));
  const ParsedFile again = ParseEventFile(written.text);
  Require(again.lines == parsed.lines);
  Require(again.dropped.empty());
  return 0;
}
