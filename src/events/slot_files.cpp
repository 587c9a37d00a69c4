#include "events/slot_files.h"

#include <stdexcept>
#include <utility>

#include "events/event_file.h"
#include "events/file_io.h"

namespace qev {
namespace {

FileSlot& SlotOf(EventStore& store, int k) {
  return store.slots.at(static_cast<std::size_t>(k));
}

void CheckEntry(int k) {
  if (k < 0 || k > EventStore::kStateEntry) throw std::out_of_range("no such file entry");
}

void CheckTarget(int menuTarget) {
  bool slot =
      menuTarget >= kFirstSlotTarget && menuTarget < kFirstSlotTarget + EventStore::kSlotCount;
  if (!slot && menuTarget != kStateTarget) throw std::out_of_range("no such file target");
}

std::filesystem::path PathOf(const EventStore& store, int k) {
  return store.BuildPath(k == EventStore::kStateEntry
                             ? store.stateBaseName
                             : store.slots[static_cast<std::size_t>(k)].baseName);
}

FileResult Failure(const FileBytes& file) {
  return {file.status == ReadStatus::kMissing ? FileStatus::kMissing : FileStatus::kUnreadable,
          file.reason};
}

void TakeSlotFile(FileSlot& slot, ParsedFile&& parsed) {
  slot.lines = std::move(parsed.lines);
  slot.title = parsed.title;
  slot.label = std::move(parsed.title);
  slot.headerLine = std::move(parsed.lastHeaderLine);
}

void TakeStateFile(EventStore& store, ParsedFile&& parsed) {
  store.stateTitle = std::move(parsed.title);
  store.stateHeaderLine = std::move(parsed.lastHeaderLine);
  store.stateFileText = std::move(parsed.lastFileText);
}

}  // namespace

FileResult LoadSlot(EventStore& store, int k) {
  CheckEntry(k);
  bool state = k == EventStore::kStateEntry;
  FileBytes file = ReadWholeFile(PathOf(store, k));
  if (file.status == ReadStatus::kMissing && !state) {
    store.ClearSlot(k);
  }
  if (file.status != ReadStatus::kRead) return Failure(file);

  ParsedFile parsed = ParseEventFile(file.bytes);
  if (state) {
    TakeStateFile(store, std::move(parsed));
  } else {
    TakeSlotFile(SlotOf(store, k), std::move(parsed));
  }
  return {};
}

FileResult ReadFileFromDialog(EventStore& store, int menuTarget,
                              const std::filesystem::path& picked) {
  CheckTarget(menuTarget);
  store.RecordDialogFolder(picked);
  bool state = menuTarget == kStateTarget;
  Cp932Encoding baseName;
  if (!state) {
    baseName = EncodeCp932(picked.stem().string());
    if (!baseName.ok()) return {FileStatus::kUnencodableName, baseName.unencodable};
  }
  FileBytes file = ReadWholeFile(picked);
  if (file.status != ReadStatus::kRead) return Failure(file);

  ParsedFile parsed = ParseEventFile(file.bytes);
  if (state) {
    TakeStateFile(store, std::move(parsed));
    return {};
  }
  FileSlot& slot = SlotOf(store, menuTarget - kFirstSlotTarget);
  TakeSlotFile(slot, std::move(parsed));
  slot.baseName = std::move(baseName.bytes);
  slot.loaded = 1;
  slot.on = 1;
  return {};
}

FileResult WriteTarget(EventStore& store, int menuTarget, const std::filesystem::path& chosen,
                       const Sjis& clockText, const Sjis& rightPanelText) {
  CheckTarget(menuTarget);
  store.RecordDialogFolder(chosen);
  Cp932Encoding title = EncodeCp932(chosen.stem().string());
  if (!title.ok()) return {FileStatus::kUnencodableName, title.unencodable};

  bool state = menuTarget == kStateTarget;
  Sjis body = state ? ComposeStateBody(rightPanelText)
                    : ComposeSlotBody(SlotOf(store, menuTarget - kFirstSlotTarget).lines);
  ComposedFile file = ComposeFile(title.bytes, clockText, body);
  WriteOutcome written = WriteFileAtomically(chosen, file.text);
  if (!written.ok) return {FileStatus::kWriteFailed, std::move(written.reason)};

  if (state) {
    store.stateHeaderLine = std::move(file.headerLine);
    store.stateFileText = std::move(body);
  } else {
    FileSlot& slot = SlotOf(store, menuTarget - kFirstSlotTarget);
    slot.headerLine = std::move(file.headerLine);
    slot.changed = 0;
  }
  return {};
}

}  // namespace qev
