#include "events/slot_files.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>
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

void TakeSlotFile(EventStore& store, int k, ParsedFile&& parsed,
                  const std::filesystem::path& path) {
  FileSlot& slot = SlotOf(store, k);
  std::error_code ec;
  slot.readFrom = std::filesystem::absolute(path, ec);
  slot.droppedLines = parsed.dropped.size();
  slot.SetLines(std::move(parsed.lines));
  store.TakeTitle(k, std::move(parsed.title));
  slot.headerLine = std::move(parsed.lastHeaderLine);
}

void TakeStateFile(EventStore& store, ParsedFile&& parsed) {
  store.stateTitle = std::move(parsed.title);
  store.stateHeaderLine = std::move(parsed.lastHeaderLine);
  store.stateFileText = std::move(parsed.lastFileText);
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  return !a.empty() && !b.empty() && std::filesystem::equivalent(a, b, ec);
}

// The length of the UTF-8 character at the start of `s` (1 for a stray byte).
std::size_t CharLength(std::string_view s) {
  auto c = static_cast<unsigned char>(s.front());
  std::size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : 4;
  return std::min(n, s.size());
}

}  // namespace

bool IsPlainBaseName(const Sjis& baseName) {
  return baseName.find_first_of(std::string_view("/\0", 2)) == Sjis::npos && baseName != "." &&
         baseName != "..";
}

FileResult LoadSlot(EventStore& store, int k) {
  CheckEntry(k);
  bool state = k == EventStore::kStateEntry;
  const Sjis& baseName = state ? store.stateBaseName : SlotOf(store, k).baseName;
  if (!IsPlainBaseName(baseName)) {
    if (!state) store.ClearSlot(k);
    return {FileStatus::kUnreadable,
            "the name \"" + DecodeCp932(baseName) + "\" is not a file name in the data folder"};
  }
  std::filesystem::path path = PathOf(store, k);
  FileBytes file = ReadWholeFile(path);
  if (file.status == ReadStatus::kMissing && !state) store.ClearSlot(k);
  if (file.status != ReadStatus::kRead) return Failure(file);

  ParsedFile parsed = ParseEventFile(file.bytes);
  if (state) {
    TakeStateFile(store, std::move(parsed));
  } else {
    TakeSlotFile(store, k, std::move(parsed), path);
  }
  return {};
}

FileResult CheckPickedName(const std::filesystem::path& picked) {
  const std::string extension = picked.extension().string();
  if (extension != ".txt") {
    return {FileStatus::kUnreadable, extension.empty()
                                         ? "the name has no extension \".txt\""
                                         : "the extension is \"" + extension + "\", not \".txt\""};
  }
  const std::string stem = picked.stem().string();
  Cp932Encoding name = EncodeCp932(stem);
  if (!name.ok()) return {FileStatus::kUnencodableName, name.unencodable};
  const std::string back = DecodeCp932(name.bytes);
  std::size_t i = 0;
  while (i < stem.size() && i < back.size() && stem[i] == back[i]) ++i;
  if (i == stem.size() && i == back.size()) return {};
  // Back up to the start of the character that differs.
  while (i > 0 && (static_cast<unsigned char>(stem[i]) & 0xC0) == 0x80) --i;
  return {FileStatus::kUnencodableName,
          stem.substr(i, CharLength(std::string_view(stem).substr(i)))};
}

std::size_t LinesLostBySave(const EventStore& store, int menuTarget,
                            const std::filesystem::path& chosen) {
  CheckTarget(menuTarget);
  if (menuTarget == kStateTarget) return 0;
  const FileSlot& slot = store.slots[static_cast<std::size_t>(menuTarget - kFirstSlotTarget)];
  return slot.droppedLines > 0 && SameFile(chosen, slot.readFrom) ? slot.droppedLines : 0;
}

FileResult ReadFileFromDialog(EventStore& store, int menuTarget,
                              const std::filesystem::path& picked) {
  CheckTarget(menuTarget);
  store.RecordDialogFolder(picked);
  bool state = menuTarget == kStateTarget;
  Cp932Encoding baseName;
  if (!state) {
    if (FileResult name = CheckPickedName(picked); !name.ok()) return name;
    baseName = EncodeCp932(picked.stem().string());
  }
  FileBytes file = ReadWholeFile(picked);
  if (file.status != ReadStatus::kRead) return Failure(file);

  ParsedFile parsed = ParseEventFile(file.bytes);
  if (state) {
    TakeStateFile(store, std::move(parsed));
    return {};
  }
  const int k = menuTarget - kFirstSlotTarget;
  TakeSlotFile(store, k, std::move(parsed), picked);
  store.TakePickedFile(k, std::move(baseName.bytes));
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
                    : ComposeSlotBody(SlotOf(store, menuTarget - kFirstSlotTarget).lines());
  ComposedFile file = ComposeFile(title.bytes, clockText, body);
  WriteOutcome written = WriteFileAtomically(chosen, file.text);
  if (!written.ok) return {FileStatus::kWriteFailed, std::move(written.reason)};

  if (state) {
    store.stateHeaderLine = std::move(file.headerLine);
    store.stateFileText = std::move(body);
  } else {
    FileSlot& slot = SlotOf(store, menuTarget - kFirstSlotTarget);
    slot.headerLine = std::move(file.headerLine);
    store.MarkChanged(menuTarget - kFirstSlotTarget, false);
    if (SameFile(chosen, slot.readFrom)) slot.droppedLines = 0;
  }
  return {};
}

}  // namespace qev
