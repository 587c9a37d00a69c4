#include "events/event_store.h"

#include <algorithm>
#include <atomic>
#include <string>

namespace qev {
namespace {

const Sjis& Empty() {
  static const Sjis empty;
  return empty;
}

using Names = std::array<const Sjis*, EventStore::kSlotCount>;

const Sjis& NameOf(const Names& names, int k) {
  return *names.at(static_cast<std::size_t>(k));
}

// One counter for every slot of every store, so that a revision names one
// state of one slot's lines.
std::uint64_t NextRevision() {
  static std::atomic<std::uint64_t> last{0};
  return ++last;
}

}  // namespace

const Sjis& FileSlot::Line(std::size_t i) const {
  return i < lines_.size() ? lines_[i] : Empty();
}

EventId FileSlot::IdAt(std::size_t i) const {
  return i < ids_.size() ? ids_[i] : EventId{};
}

std::optional<std::size_t> FileSlot::IndexOf(EventId id, std::size_t hint) const {
  if (id.slot != number_ || !id.valid()) return std::nullopt;
  if (hint < ids_.size() && ids_[hint] == id) return hint;
  auto it = std::find(ids_.begin(), ids_.end(), id);
  if (it == ids_.end()) return std::nullopt;
  return static_cast<std::size_t>(it - ids_.begin());
}

void FileSlot::Prefetch(std::size_t i) const {
  if (i >= lines_.size()) return;
  __builtin_prefetch(&ids_[i]);
  __builtin_prefetch(&lines_[i]);
}

EventId FileSlot::NewId() const {
  // One counter for every slot of every store, so an id is never reused.
  static std::atomic<std::uint64_t> last{0};
  return {number_, ++last};
}

std::optional<std::vector<EventId>> FileSlot::ReplacedSince(std::uint64_t revision) const {
  if (revision < listedFrom_) return std::nullopt;
  std::vector<EventId> ids;
  for (auto it =
           std::upper_bound(replaced_.begin(), replaced_.end(), revision,
                            [](std::uint64_t r, const auto&change) { return r < change.first; });
       it != replaced_.end(); ++it) {
    ids.push_back(it->second);
  }
  return ids;
}

void FileSlot::NoteReplaced(EventId id) {
  // A long session of edits keeps a bounded list: a reader further behind
  // reads the lines again.
  constexpr std::size_t kListed = 4096;
  if (replaced_.size() == kListed) {
    replaced_.clear();
    listedFrom_ = revision_;
  }
  replaced_.emplace_back(revision_, id);
}

void FileSlot::SetLines(std::vector<Sjis> lines) {
  revision_ = NextRevision();
  listedFrom_ = revision_;
  replaced_.clear();
  lines_ = std::move(lines);
  ids_.clear();
  ids_.reserve(lines_.size());
  for (std::size_t i = 0; i < lines_.size(); ++i) ids_.push_back(NewId());
}

bool FileSlot::Replace(std::size_t i, Sjis line) {
  if (i >= lines_.size()) return false;
  revision_ = NextRevision();
  lines_[i] = std::move(line);
  NoteReplaced(ids_[i]);
  return true;
}

EventId FileSlot::Insert(std::size_t i, Sjis line) {
  EventId id = NewId();
  Insert(i, std::move(line), id);
  return id;
}

void FileSlot::Insert(std::size_t i, Sjis line, EventId id) {
  revision_ = NextRevision();
  i = std::min(i, lines_.size());
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(i), std::move(line));
  ids_.insert(ids_.begin() + static_cast<std::ptrdiff_t>(i), id);
  NoteReplaced(id);
}

bool FileSlot::Remove(EventId id) {
  std::optional<std::size_t> i = IndexOf(id);
  if (!i) return false;
  revision_ = NextRevision();
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*i));
  ids_.erase(ids_.begin() + static_cast<std::ptrdiff_t>(*i));
  return true;
}

const Sjis& EventStore::DefaultLabel(int k) {
  static const Names names{
      &"ファイル①"_sj, &"ファイル②"_sj, &"ファイル③"_sj, &"ファイル④"_sj, &"ファイル⑤"_sj,
      &"ファイル⑥"_sj, &"ファイル⑦"_sj, &"ファイル⑧"_sj, &"ファイル⑨"_sj, &"ファイル⑩"_sj,
  };
  return NameOf(names, k);
}

const Sjis& EventStore::DefaultTitle(int k) {
  static const Names names{
      &"    ①    "_sj, &"    ②    "_sj, &"    ③    "_sj, &"    ④    "_sj, &"    ⑤    "_sj,
      &"    ⑥    "_sj, &"    ⑦    "_sj, &"    ⑧    "_sj, &"    ⑨    "_sj, &"    ⑩    "_sj,
  };
  return NameOf(names, k);
}

const Sjis& EventStore::DefaultBaseName(int k) {
  static const Names names{
      &"歴史文書20"_sj, &"歴史文書21"_sj, &"歴史文書22"_sj, &"歴史文書23"_sj, &"歴史文書24"_sj,
      &"歴史文書25"_sj, &"歴史文書26"_sj, &"歴史文書27"_sj, &"歴史文書28"_sj, &"歴史文書29"_sj,
  };
  return NameOf(names, k);
}

EventStore::EventStore() : stateBaseName("動作状態10"_sj) {
  for (int k = 0; k < kSlotCount; ++k) {
    FileSlot& slot = slots[static_cast<std::size_t>(k)];
    slot.number_ = k;
    slot.label = DefaultLabel(k);
    slot.title = DefaultTitle(k);
    slot.baseName = DefaultBaseName(k);
  }
}

void EventStore::ClearSlot(int k) {
  FileSlot& slot = slots.at(static_cast<std::size_t>(k));
  slot.SetLines({});
  slot.loaded = false;
  slot.on = false;
  slot.changed = false;
  slot.label = DefaultLabel(k);
  slot.readFrom.clear();
  slot.droppedLines = 0;
  slot.readStamp = {};
}

void EventStore::EraseSlot(int k) {
  ClearSlot(k);
  slots.at(static_cast<std::size_t>(k)).baseName = DefaultBaseName(k);
}

void EventStore::RestoreSlot(int k, Sjis baseName, Sjis label, bool loaded, bool on) {
  FileSlot& slot = slots.at(static_cast<std::size_t>(k));
  slot.baseName = std::move(baseName);
  slot.label = std::move(label);
  slot.loaded = loaded;
  slot.on = on;
}

bool EventStore::SwitchSlot(int k) {
  FileSlot& slot = slots.at(static_cast<std::size_t>(k));
  if (!slot.loaded) return false;
  slot.on = !slot.on;
  slot.title = slot.label;
  return true;
}

void EventStore::MarkChanged(int k, bool changed) {
  slots.at(static_cast<std::size_t>(k)).changed = changed;
}

void EventStore::TakeTitle(int k, Sjis title) {
  FileSlot& slot = slots.at(static_cast<std::size_t>(k));
  slot.title = title;
  slot.label = std::move(title);
}

void EventStore::TakePickedFile(int k, Sjis baseName) {
  FileSlot& slot = slots.at(static_cast<std::size_t>(k));
  slot.baseName = std::move(baseName);
  slot.loaded = true;
  slot.on = true;
}

void EventStore::SetDataDir(std::filesystem::path dir) {
  dataDir_ = std::move(dir);
}

void EventStore::RecordDialogFolder(const std::filesystem::path& picked) {
  std::filesystem::path dir = picked.parent_path();
  pickedDir_ = dir.empty() ? std::filesystem::path(".") : dir;
  dialogUsed_ = true;
}

std::filesystem::path EventStore::BuildPath(const Sjis& baseName) const {
  const std::filesystem::path& folder = dialogUsed_ ? dialogDir() : dataDir_;
  std::filesystem::path path = folder.empty() ? std::filesystem::path(".") : folder;
  // Appended as text, so a name beginning with "/" still lands in the folder.
  path /= "";
  path += DecodeCp932(baseName) + ".txt";
  return path;
}

}  // namespace qev
