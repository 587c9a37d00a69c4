#include "model/operating_state.h"

namespace qev {

std::array<OperatingState::Slot, OperatingState::kSlotCount> OperatingState::InitialSlots() {
  std::array<Slot, kSlotCount> slots;
  for (int k = 0; k < kSlotCount; ++k) {
    Slot& slot = slots[static_cast<std::size_t>(k)];
    slot.baseName = EventStore::DefaultBaseName(k);
    slot.label = EventStore::DefaultLabel(k);
  }
  return slots;
}

}  // namespace qev
