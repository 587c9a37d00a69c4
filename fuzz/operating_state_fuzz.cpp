// A state file of any bytes: read it as the state entry, read the settings
// out of it and apply what the start-up applies. Every value must come back
// within its set, and composing the state again must read back the same.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "events/event_file.h"
#include "events/event_store.h"
#include "events/slot_files.h"
#include "platform/screen_layout.h"
#include "require.h"
#include "state/operating_state_text.h"
#include "timeline/timeline_scale.h"

namespace {

bool IsFlag(int value) {
  return value == 0 || value == 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace qev;
  using fuzz::Require;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const ParsedFile parsed = ParseEventFile(text);
  const OperatingState state = ReadOperatingState(parsed.lastFileText, OperatingState{});

  Require(state.rangeIndex >= 0 && state.rangeIndex <= 20);
  Require(state.savedScrollPos >= 0 && state.savedScrollPos <= 700);
  Require(state.display.brightness >= OperatingState::kMinBrightness &&
          state.display.brightness <= OperatingState::kMaxBrightness);
  EventStore store;
  for (std::size_t k = 0; k < state.slots.size(); ++k) {
    Require(IsFlag(state.slots[k].loaded) && IsFlag(state.slots[k].on));
    store.RestoreSlot(static_cast<int>(k), state.slots[k].baseName, state.slots[k].label,
                      state.slots[k].loaded == 1, state.slots[k].on == 1);
    // A name that passes stays inside the data folder.
    if (IsPlainBaseName(state.slots[k].baseName)) {
      Require(store.BuildPath(state.slots[k].baseName).parent_path() == store.dataDir());
    }
  }

  TimelineScale scale(ScreenLayout{800, 600});
  scale.SetRange(state.rangeIndex);
  scale.ScrollTo(state.savedScrollPos);
  const int thumb = TimelineScale::ThumbForOriginX(scale.originX());
  Require(thumb >= 0 && thumb <= 700);

  const Sjis composed = ComposeStateText(state, parsed.title, "c"_sj);
  const OperatingState again = ReadOperatingState(composed, OperatingState{});
  Require(again.rangeIndex == state.rangeIndex);
  Require(again.savedScrollPos == state.savedScrollPos);
  Require(again.display.brightness == state.display.brightness);
  return 0;
}
