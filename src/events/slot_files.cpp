#include "events/slot_files.h"

#include <algorithm>
#include <optional>
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

void CheckTarget(FileTarget target) {
  if (std::optional<int> k = target.slot(); k && (*k < 0 || *k >= EventStore::kSlotCount)) {
    throw std::out_of_range("no such file target");
  }
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

// The slot keeps `text`, which `parsed` views.
void TakeSlotFile(EventStore& store, int k, std::string&& text, ParsedFile&& parsed,
                  const FileForm& form, const std::filesystem::path& path, const FileStamp& stamp) {
  FileSlot& slot = SlotOf(store, k);
  std::error_code ec;
  slot.form = form;
  slot.readFrom = std::filesystem::absolute(path, ec);
  slot.readStamp = stamp;
  slot.droppedLines = parsed.dropped.size();
  slot.TakeLines(std::move(text), parsed.lines);
  store.TakeTitle(k, std::move(parsed.title));
  slot.headerLine = std::move(parsed.headerLine);
}

void TakeStateFile(EventStore& store, ParsedFile&& parsed, const std::filesystem::path& path,
                   const FileStamp& stamp) {
  std::error_code ec;
  store.stateReadFrom = std::filesystem::absolute(path, ec);
  store.stateStamp = stamp;
  store.stateTitle = std::move(parsed.title);
  store.stateHeaderLine = std::move(parsed.headerLine);
  store.stateFileText = std::move(parsed.lastFileText);
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  return !a.empty() && !b.empty() && std::filesystem::equivalent(a, b, ec);
}

// Whether `chosen` names the file `readFrom` (absolute) names, also when
// that file is gone.
bool IsReadFile(const std::filesystem::path& chosen, const std::filesystem::path& readFrom) {
  std::error_code ec;
  return SameFile(chosen, readFrom) ||
         (!readFrom.empty() &&
          std::filesystem::absolute(chosen, ec).lexically_normal() == readFrom.lexically_normal());
}

// The length of the UTF-8 character at the start of `s` (1 for a stray byte).
std::size_t CharLength(std::string_view s) {
  auto c = static_cast<unsigned char>(s.front());
  std::size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : 4;
  return std::min(n, s.size());
}

}  // namespace

FileResult CheckEventFileKind(const ParsedFile& parsed) {
  // Later "H" lines are notes an event file may carry, not a sign of
  // another kind of file.
  const auto others = std::count_if(parsed.dropped.begin(), parsed.dropped.end(), [](auto& d) {
    return d.why != DroppedLine::Why::kLaterHeader;
  });
  if (!parsed.lines.empty() || others == 0) return {};
  return {FileStatus::kUnreadable,
          "できごとの行が一つもなく、ほかの行が" + std::to_string(others) +
              "行あります。できごとのファイルではありません(動作状態のファイルは"
              "「動作状態」のメニューから読み込みます)。"};
}

bool IsPlainBaseName(const Sjis& baseName) {
  return baseName.find_first_of(std::string_view("/\0", 2)) == Sjis::npos && baseName != "." &&
         baseName != "..";
}

Sjis PlainBaseName(Sjis title) {
  // "/" is never the second byte of a CP932 character, so no character is
  // split here.
  std::replace(title.begin(), title.end(), '/', '_');
  std::replace(title.begin(), title.end(), '\0', '_');
  if (title == "." || title == "..") title = "_"_sj;
  return title;
}

std::optional<std::string> SaveFileName(const std::string& chosen) {
  const std::string name = std::filesystem::path(chosen).filename().string();
  if (name.find_first_of("*?") != std::string::npos) return std::nullopt;
  if (name.size() > 4 && name.ends_with(".txt")) return chosen;
  return chosen + ".txt";
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
  // A longer name does not fit its line of the state file, where it would
  // be cut and name another file.
  if (!state && baseName.size() > kBaseNameLimit) {
    store.ClearSlot(k);
    return {FileStatus::kUnreadable, DecodeCp932(EventStore::DefaultLabel(k)) +
                                         ": the name in the state file is longer than " +
                                         std::to_string(kBaseNameLimit) + " bytes"};
  }
  std::filesystem::path path = PathOf(store, k);
  FileBytes file = ReadWholeFile(path);
  if (file.status == ReadStatus::kMissing && !state) store.ClearSlot(k);
  if (file.status != ReadStatus::kRead) return Failure(file);

  if (state) {
    TakeStateFile(store, ParseEventFile(file.bytes, ReadText::kKeep), path, file.stamp);
    return {};
  }
  FileText text = ReadFileText(std::move(file.bytes));
  if (!text.ok()) return {FileStatus::kUnreadable, UnkeptCharacterMessage(text)};
  ParsedFile parsed = ParseEventFile(text.text);
  TakeSlotFile(store, k, std::move(text.text), std::move(parsed), text.form, path, file.stamp);
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
  if (name.bytes.size() > kBaseNameLimit) {
    return {FileStatus::kUnreadable, "the name is longer than the " +
                                         std::to_string(kBaseNameLimit) +
                                         " bytes the state file keeps"};
  }
  const std::string back = DecodeCp932(name.bytes);
  std::size_t i = 0;
  while (i < stem.size() && i < back.size() && stem[i] == back[i]) ++i;
  if (i == stem.size() && i == back.size()) return {};
  // Back up to the start of the character that differs.
  while (i > 0 && (static_cast<unsigned char>(stem[i]) & 0xC0) == 0x80) --i;
  return {FileStatus::kUnencodableName,
          stem.substr(i, CharLength(std::string_view(stem).substr(i)))};
}

std::size_t LinesLostBySave(const EventStore& store, FileTarget target,
                            const std::filesystem::path& chosen) {
  CheckTarget(target);
  if (target.isStateFile()) return 0;
  const FileSlot& slot = store.slots[static_cast<std::size_t>(*target.slot())];
  return slot.droppedLines > 0 && SameFile(chosen, slot.readFrom) ? slot.droppedLines : 0;
}

FileResult ReadFileFromDialog(EventStore& store, FileTarget target,
                              const std::filesystem::path& picked) {
  CheckTarget(target);
  store.RecordDialogFolder(picked);
  bool state = target.isStateFile();
  Cp932Encoding baseName;
  if (!state) {
    if (FileResult name = CheckPickedName(picked); !name.ok()) return name;
    baseName = EncodeCp932(picked.stem().string());
  }
  FileBytes file = ReadWholeFile(picked);
  if (file.status != ReadStatus::kRead) return Failure(file);

  if (state) {
    TakeStateFile(store, ParseEventFile(file.bytes, ReadText::kKeep), picked, file.stamp);
    return {};
  }
  FileText text = ReadFileText(std::move(file.bytes));
  if (!text.ok()) return {FileStatus::kUnreadable, UnkeptCharacterMessage(text)};
  ParsedFile parsed = ParseEventFile(text.text);
  if (FileResult kind = CheckEventFileKind(parsed); !kind.ok()) return kind;
  const int k = *target.slot();
  TakeSlotFile(store, k, std::move(text.text), std::move(parsed), text.form, picked, file.stamp);
  store.TakePickedFile(k, std::move(baseName.bytes));
  return {};
}

FileResult WriteTarget(EventStore& store, FileTarget target, const std::filesystem::path& chosen,
                       const Sjis& clockText, const Sjis& rightPanelText) {
  CheckTarget(target);
  store.RecordDialogFolder(chosen);
  Cp932Encoding title = EncodeCp932(chosen.stem().string());
  if (!title.ok()) return {FileStatus::kUnencodableName, title.unencodable};

  const std::optional<int> k = target.slot();
  Sjis body = k ? ComposeSlotBody(SlotOf(store, *k).lines()) : ComposeStateBody(rightPanelText);
  ComposedFile file = ComposeFile(title.bytes, clockText, body);
  const FileForm form = k ? SlotOf(store, *k).form : FileForm{};
  WriteOutcome written = WriteFileAtomically(chosen, EncodeFileText(file.text, form));
  if (!written.ok) return {FileStatus::kWriteFailed, std::move(written.reason)};

  // What this save wrote is what the file holds: the next save finds it
  // unchanged.
  if (!k) {
    std::error_code ec;
    store.stateHeaderLine = std::move(file.headerLine);
    store.stateFileText = std::move(body);
    store.stateReadFrom = std::filesystem::absolute(chosen, ec);
    store.stateStamp = written.stamp;
  } else {
    FileSlot& slot = SlotOf(store, *k);
    slot.headerLine = std::move(file.headerLine);
    store.MarkChanged(*k, false);
    if (IsReadFile(chosen, slot.readFrom)) {
      slot.droppedLines = 0;
      slot.readStamp = written.stamp;
    }
  }
  return {};
}

std::optional<FileStamp> ChangedSinceRead(const EventStore& store, FileTarget target,
                                          const std::filesystem::path& chosen) {
  CheckTarget(target);
  const std::optional<int> k = target.slot();
  const std::filesystem::path& readFrom =
      k ? store.slots[static_cast<std::size_t>(*k)].readFrom : store.stateReadFrom;
  if (!IsReadFile(chosen, readFrom)) return std::nullopt;
  return ChangedOnDisk(chosen,
                       k ? store.slots[static_cast<std::size_t>(*k)].readStamp : store.stateStamp);
}

}  // namespace qev
