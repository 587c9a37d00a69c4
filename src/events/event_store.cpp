#include "events/event_store.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace qev {
namespace {

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

EventId FileSlot::IdAt(std::size_t i) const {
  return i < serials_.size() ? EventId{number_, serials_[i]} : EventId{};
}

std::optional<std::size_t> FileSlot::IndexOf(EventId id, std::size_t hint) const {
  if (id.slot != number_ || !id.valid()) return std::nullopt;
  if (hint < serials_.size() && serials_[hint] == id.serial) return hint;
  auto it = std::find(serials_.begin(), serials_.end(), id.serial);
  if (it == serials_.end()) return std::nullopt;
  return static_cast<std::size_t>(it - serials_.begin());
}

void FileSlot::Prefetch(std::size_t i) const {
  if (i >= spans_.size()) return;
  __builtin_prefetch(&serials_[i]);
  __builtin_prefetch(&spans_[i]);
}

void FileSlot::Revise() {
  priorRevision_ = revision_;
  revision_ = NextRevision();
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

std::string_view FileSlot::Line(std::size_t i) const {
  if (i >= spans_.size()) return {};
  const Span& span = spans_[i];
  const std::uint64_t offset = span.offset();
  return offset < text_.size()
             ? std::string_view(text_.data() + offset, span.size)
             : std::string_view(added_.data() + (offset - text_.size()), span.size);
}

FileSlot::Span FileSlot::Append(std::string_view line) {
  if (line.size() > UINT32_MAX) throw std::length_error("an event line of 4 GiB or more");
  // Edits leave the bytes of the lines they replace or remove behind; once
  // those outweigh the lines, the lines move into a buffer of their own.
  constexpr std::uint64_t kSlack = std::uint64_t{1} << 20;
  std::string kept;
  if (text_.size() + added_.size() > 2 * lineBytes_ + kSlack) {
    kept.assign(line);  // `line` may be one of the lines that move
    line = kept;
    Compact();
  }
  const std::uint64_t offset = text_.size() + added_.size();
  added_.append(line);
  lineBytes_ += line.size();
  return {static_cast<std::uint32_t>(line.size()), static_cast<std::uint32_t>(offset),
          static_cast<std::uint32_t>(offset >> 32)};
}

void FileSlot::Compact() {
  std::string text;
  text.reserve(lineBytes_);
  for (std::size_t i = 0; i < spans_.size(); ++i) {
    const std::uint64_t offset = text.size();
    text.append(Line(i));
    spans_[i].low = static_cast<std::uint32_t>(offset);
    spans_[i].high = static_cast<std::uint32_t>(offset >> 32);
  }
  text_ = std::move(text);
  std::string().swap(added_);  // frees its bytes, as assigning an empty one does not
}

void FileSlot::SetLines(const std::vector<Sjis>& lines) {
  std::string text;
  std::size_t size = 0;
  for (const Sjis& line : lines) size += line.size();
  text.reserve(size);
  std::vector<std::string_view> views;
  views.reserve(lines.size());
  for (const Sjis& line : lines) {
    views.emplace_back(text.data() + text.size(), line.size());
    text.append(line);
  }
  TakeLines(std::move(text), views);
}

void FileSlot::TakeLines(std::string&& text, const std::vector<std::string_view>& lines) {
  Revise();
  listedFrom_ = revision_;
  replaced_.clear();
  // Offsets are taken before the text moves: a short text moves its bytes.
  const char* base = text.data();
  spans_.clear();
  spans_.reserve(lines.size());
  std::vector<std::size_t> outside;
  lineBytes_ = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (line.data() < base || line.data() + line.size() > base + text.size()) {
      outside.push_back(i);
      spans_.emplace_back();
      continue;
    }
    const auto offset = static_cast<std::uint64_t>(line.data() - base);
    spans_.push_back({static_cast<std::uint32_t>(line.size()), static_cast<std::uint32_t>(offset),
                      static_cast<std::uint32_t>(offset >> 32)});
    lineBytes_ += line.size();
  }
  text_ = std::move(text);
  text_.shrink_to_fit();
  std::string().swap(added_);  // frees its bytes, as assigning an empty one does not
  // A line that is not part of the text is kept beside it.
  for (std::size_t i : outside) spans_[i] = Append(lines[i]);
  serials_.clear();
  serials_.reserve(spans_.size());
  for (std::size_t i = 0; i < spans_.size(); ++i) serials_.push_back(NewId().serial);
}

bool FileSlot::Replace(std::size_t i, std::string_view line) {
  if (i >= spans_.size()) return false;
  Revise();
  // The old bytes count as unused before the new ones are appended.
  lineBytes_ -= spans_[i].size;
  spans_[i] = Span{};
  spans_[i] = Append(line);
  NoteReplaced(IdAt(i));
  return true;
}

EventId FileSlot::Insert(std::size_t i, std::string_view line) {
  EventId id = NewId();
  Insert(i, line, id);
  return id;
}

void FileSlot::Insert(std::size_t i, std::string_view line, EventId id) {
  Revise();
  i = std::min(i, spans_.size());
  const Span span = Append(line);
  spans_.insert(spans_.begin() + static_cast<std::ptrdiff_t>(i), span);
  serials_.insert(serials_.begin() + static_cast<std::ptrdiff_t>(i), id.serial);
  NoteReplaced(IdAt(i));
}

bool FileSlot::Remove(EventId id) {
  std::optional<std::size_t> i = IndexOf(id);
  if (!i) return false;
  Revise();
  lineBytes_ -= spans_[*i].size;
  spans_.erase(spans_.begin() + static_cast<std::ptrdiff_t>(*i));
  serials_.erase(serials_.begin() + static_cast<std::ptrdiff_t>(*i));
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
  slot.SetLines(std::vector<Sjis>{});
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
