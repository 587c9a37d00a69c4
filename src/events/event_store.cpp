#include "events/event_store.h"

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

}  // namespace

const Sjis& FileSlot::Line(std::size_t i) const {
  return i < lines.size() ? lines[i] : Empty();
}

bool FileSlot::Replace(std::size_t i, Sjis line) {
  if (i >= lines.size()) return false;
  lines[i] = std::move(line);
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
    slot.label = DefaultLabel(k);
    slot.title = DefaultTitle(k);
    slot.baseName = DefaultBaseName(k);
  }
}

void EventStore::ClearSlot(int k) {
  FileSlot& slot = slots.at(static_cast<std::size_t>(k));
  slot.lines.clear();
  slot.loaded = 0;
  slot.on = 0;
  slot.changed = 0;
  slot.label = DefaultLabel(k);
  slot.readFrom.clear();
  slot.droppedLines = 0;
}

void EventStore::SetDataDir(std::filesystem::path dir) {
  dataDir_ = std::move(dir);
}

void EventStore::RecordDialogFolder(const std::filesystem::path& picked) {
  std::filesystem::path dir = picked.parent_path();
  pickedDir_ = dir.empty() ? std::filesystem::path(".") : dir;
  dialogUsed_ = 1;
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
