#include "events/slot_files.h"
#include "events/slot_lines.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "events/file_io.h"
#include "events/temp_folder.h"

namespace qev {
namespace {

using ::testing::ElementsAre;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

const Sjis& Clock() {
  return "2024年01月02日03時04分"_sj;
}

// Invalid CP932 (a lead byte with a bad trail, a lone 0xFF) and a double-byte
// character cut at the end of the event line.
const std::string kOddLine = "AD0794;3,2,,;\x81\x20\xFF;\x93\xFA\x96;memo;\x82";

class SlotFiles : public ::testing::Test {
 protected:
  SlotFiles() { store.SetDataDir(folder.path()); }

  std::filesystem::path SlotPath(int k) const {
    return store.BuildPath(store.slots[static_cast<std::size_t>(k)].baseName);
  }

  TempFolder folder;
  EventStore store;
};

TEST_F(SlotFiles, LoadTakesLinesTitleAndHeaderAndKeepsTheFlags) {
  WriteBytes(SlotPath(2), "H;日本史;;c;\r\nAD0710;3,2,,;a;b;c;d;\r\n"_sj + kOddLine +
                              "\r\nnote\r\n;\r\nAD2000;1,1,,;;;;;\r\n");
  store.slots[2].on = 0;
  store.slots[2].changed = 1;
  AppendLine(store.slots[2], "stale"_sj);

  ASSERT_TRUE(LoadSlot(store, 2).ok());
  const FileSlot& slot = store.slots[2];
  EXPECT_THAT(slot.lines(), ElementsAre("AD0710;3,2,,;a;b;c;d;", kOddLine));
  EXPECT_EQ(slot.title, "日本史"_sj);
  EXPECT_EQ(slot.label, "日本史"_sj);
  EXPECT_EQ(slot.headerLine, "H;日本史;;c;"_sj);
  EXPECT_EQ(slot.loaded, 1);
  EXPECT_EQ(slot.on, 0);
  EXPECT_EQ(slot.changed, 1);
}

TEST_F(SlotFiles, AFileWithoutHeaderLeavesAnEmptyLabel) {
  WriteBytes(SlotPath(0), "AD0710;3,2,,;a;b;c;d;\n");
  ASSERT_TRUE(LoadSlot(store, 0).ok());
  EXPECT_EQ(store.slots[0].label, "");
  EXPECT_EQ(store.slots[0].title, "");
  EXPECT_EQ(store.slots[0].Count(), 1u);
}

TEST_F(SlotFiles, AMissingFileEmptiesTheSlotQuietly) {
  FileSlot& slot = store.slots[4];
  AppendLine(slot, "AD0001;1,1,,;;;;;"_sj);
  slot.label = "old"_sj;
  FileResult result = LoadSlot(store, 4);
  EXPECT_EQ(result.status, FileStatus::kMissing);
  EXPECT_TRUE(slot.lines().empty());
  EXPECT_EQ(slot.loaded, 0);
  EXPECT_EQ(slot.on, 0);
  EXPECT_EQ(slot.label, "ファイル⑤"_sj);

  // A missing state file changes nothing.
  store.stateFileText = "kept"_sj;
  EXPECT_EQ(LoadSlot(store, EventStore::kStateEntry).status, FileStatus::kMissing);
  EXPECT_EQ(store.stateFileText, "kept");

  // So does a data folder that is gone.
  store.SetDataDir(folder / "gone");
  EXPECT_EQ(LoadSlot(store, 4).status, FileStatus::kMissing);
}

TEST_F(SlotFiles, AFileThatCannotBeReadIsReportedAndTheSlotKeepsEverything) {
  std::filesystem::create_directory(SlotPath(1));
  FileSlot& slot = store.slots[1];
  AppendLine(slot, "AD0001;1,1,,;;;;;"_sj);
  slot.label = "mine"_sj;
  FileResult result = LoadSlot(store, 1);
  EXPECT_EQ(result.status, FileStatus::kUnreadable);
  EXPECT_EQ(result.reason, std::strerror(EISDIR));
  EXPECT_THAT(slot.lines(), ElementsAre("AD0001;1,1,,;;;;;"));
  EXPECT_EQ(slot.label, "mine");
  EXPECT_EQ(slot.loaded, 1);
  EXPECT_EQ(slot.on, 1);

  std::filesystem::create_directory(store.BuildPath(store.stateBaseName));
  store.stateFileText = "kept"_sj;
  EXPECT_EQ(LoadSlot(store, EventStore::kStateEntry).status, FileStatus::kUnreadable);
  EXPECT_EQ(store.stateFileText, "kept");
}

TEST_F(SlotFiles, AFileWithoutReadPermissionIsUnreadable) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads files whatever their permissions";
  WriteBytes(SlotPath(0), "H;t;;\r\n;\r\n");
  ::chmod(SlotPath(0).c_str(), 0);
  AppendLine(store.slots[0], "AD0001;1,1,,;;;;;"_sj);
  FileResult result = LoadSlot(store, 0);
  EXPECT_EQ(result.status, FileStatus::kUnreadable);
  EXPECT_EQ(result.reason, std::strerror(EACCES));
  EXPECT_EQ(store.slots[0].Count(), 1u);
}

TEST_F(SlotFiles, TheStateFileIsEntryTen) {
  WriteBytes(store.BuildPath("動作状態10"_sj),
             "H;状態;;c;\r\nline 1\r\nAD line\r\n;\r\nafter\r\n"_sj);
  ASSERT_TRUE(LoadSlot(store, EventStore::kStateEntry).ok());
  EXPECT_EQ(store.stateTitle, "状態"_sj);
  EXPECT_EQ(store.stateHeaderLine, "H;状態;;c;"_sj);
  EXPECT_EQ(store.stateFileText, "H;状態;;c;\r\nline 1\r\nAD line\r\n;\r\n"_sj);
  for (const FileSlot& slot : store.slots) EXPECT_TRUE(slot.lines().empty());
}

TEST_F(SlotFiles, ReadingFromADialogRenamesTheSlotAndSwitchesItOn) {
  std::filesystem::create_directory(folder / "他所");
  std::filesystem::path picked = folder / "他所" / "世界史.txt";
  WriteBytes(picked, "H;世界;;c;\r\nBC0221;1,1,,;;秦;;;\r\n;\r\n"_sj);
  FileSlot& slot = store.slots[5];
  slot.loaded = 0;
  slot.on = 0;
  slot.changed = 1;

  ASSERT_TRUE(ReadFileFromDialog(store, FileTarget::Slot(5), picked).ok());
  EXPECT_THAT(slot.lines(), ElementsAre("BC0221;1,1,,;;秦;;;"_sj));
  EXPECT_EQ(slot.baseName, "世界史"_sj);
  EXPECT_EQ(slot.label, "世界"_sj);
  EXPECT_EQ(slot.title, "世界"_sj);
  EXPECT_EQ(slot.loaded, 1);
  EXPECT_EQ(slot.on, 1);
  EXPECT_EQ(slot.changed, 1);

  // Later loads look in the dialog's folder, under the new base name.
  EXPECT_EQ(store.BuildPath(slot.baseName), picked);
  ASSERT_TRUE(LoadSlot(store, 5).ok());
  EXPECT_EQ(slot.Count(), 1u);

  WriteBytes(folder / "他所" / "空.txt", "H;空;;c;\r\n;\r\n"_sj);
  ASSERT_TRUE(ReadFileFromDialog(store, FileTarget::Slot(5), folder / "他所" / "空.txt").ok());
  EXPECT_EQ(slot.Count(), 0u);
}

TEST_F(SlotFiles, AFailedDialogReadLeavesTheSlotAlone) {
  FileSlot& slot = store.slots[0];
  AppendLine(slot, "AD0001;1,1,,;;;;;"_sj);
  FileResult missing = ReadFileFromDialog(store, FileTarget::Slot(0), folder / "nothing.txt");
  EXPECT_EQ(missing.status, FileStatus::kMissing);
  std::filesystem::create_directory(folder / "dir.txt");
  EXPECT_EQ(ReadFileFromDialog(store, FileTarget::Slot(0), folder / "dir.txt").status,
            FileStatus::kUnreadable);
  // A name CP932 cannot hold would not find the file again at the next start.
  WriteBytes(folder / "😀.txt", "H;t;;\r\n;\r\n");
  FileResult badName = ReadFileFromDialog(store, FileTarget::Slot(0), folder / "😀.txt");
  EXPECT_EQ(badName.status, FileStatus::kUnencodableName);
  EXPECT_EQ(badName.reason, "😀");
  // A file with no event line but other lines (the state file) is no event
  // file; one with no line at all but its header is an empty one.
  WriteBytes(folder / "状態.txt", "H;s;;\r\nD1;1111;\r\nD2;1;\r\n;\r\n"_sj);
  FileResult state = ReadFileFromDialog(store, FileTarget::Slot(0), folder / "状態.txt");
  EXPECT_EQ(state.status, FileStatus::kUnreadable);
  EXPECT_NE(state.reason.find("ほかの行が2行"), std::string::npos);

  EXPECT_THAT(slot.lines(), ElementsAre("AD0001;1,1,,;;;;;"));
  EXPECT_EQ(slot.baseName, "歴史文書20"_sj);
  EXPECT_EQ(slot.label, "ファイル①"_sj);
}

// A UTF-8 slot file is held as CP932 and saved back as it was; one with a
// character Shift-JIS cannot hold is not read.
TEST_F(SlotFiles, AUtf8FileIsReadAsItsShiftJisTextAndSavedBackAsUtf8) {
  const std::string utf8 = "H;歴史文書20;;2024年01月02日03時04分;\nAD0794;3,1,,;平安;遷都;;;\n;\n";
  WriteBytes(SlotPath(0), utf8);
  ASSERT_TRUE(LoadSlot(store, 0).ok());
  EXPECT_THAT(store.slots[0].lines(), ElementsAre("AD0794;3,1,,;平安;遷都;;;"_sj));
  EXPECT_EQ(store.slots[0].title, "歴史文書20"_sj);
  ASSERT_TRUE(WriteTarget(store, FileTarget::Slot(0), SlotPath(0), Clock(), {}).ok());
  EXPECT_EQ(ReadBytes(SlotPath(0)), utf8);

  WriteBytes(folder / "絵文字.txt", "H;t;;\nAD0794;3,1,,;;😀;;;\n;\n");
  const FileResult refused = ReadFileFromDialog(store, FileTarget::Slot(0), folder / "絵文字.txt");
  EXPECT_EQ(refused.status, FileStatus::kUnreadable);
  EXPECT_NE(refused.reason.find("2行目の文字「😀」"), std::string::npos);
  EXPECT_THAT(store.slots[0].lines(), ElementsAre("AD0794;3,1,,;平安;遷都;;;"_sj));
}

TEST_F(SlotFiles, ReadingTheStateFileFromADialogKeepsItsName) {
  std::filesystem::path picked = folder / "saved state.txt";
  WriteBytes(picked, "H;saved;;c;\r\nx\r\n;\r\n");
  ASSERT_TRUE(ReadFileFromDialog(store, FileTarget::StateFile(), picked).ok());
  EXPECT_EQ(store.stateTitle, "saved");
  EXPECT_EQ(store.stateFileText, "H;saved;;c;\r\nx\r\n;\r\n");
  EXPECT_EQ(store.stateBaseName, "動作状態10"_sj);
}

TEST_F(SlotFiles, SavingALoadedSlotKeepsEveryEventByte) {
  const std::string events = "AD0710;3,2,AD0794,;奈良;平城京;;;\r\n"_sj + kOddLine + "\r\n";
  WriteBytes(SlotPath(0), "H;old;;c;\r\n" + events + ";\r\n");
  ASSERT_TRUE(LoadSlot(store, 0).ok());
  store.slots[0].changed = 1;

  std::filesystem::path chosen = folder / "新しい名前.txt";
  ASSERT_TRUE(WriteTarget(store, FileTarget::Slot(0), chosen, Clock(), {}).ok());
  EXPECT_EQ(ReadBytes(chosen), "H;新しい名前;;"_sj + Clock() + ";\r\n" + events + ";\r\n");
  const FileSlot& slot = store.slots[0];
  EXPECT_EQ(slot.changed, 0);
  EXPECT_EQ(slot.headerLine, "H;新しい名前;;"_sj);
  // Only the header line follows the new name.
  EXPECT_EQ(slot.title, "old");
  EXPECT_EQ(slot.label, "old");
  EXPECT_EQ(slot.baseName, "歴史文書20"_sj);
  // The old file is untouched and no temporary file is left.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                          std::filesystem::directory_iterator()),
            2);
}

TEST_F(SlotFiles, SavingOverAFileReplacesItAndKeepsItsPermissions) {
  std::filesystem::path chosen = folder / "t.txt";
  WriteBytes(chosen, std::string(10000, 'x'));
  ::chmod(chosen.c_str(), 0640);
  AppendLine(store.slots[3], "BC0001;1,1,,;;;;;"_sj);
  ASSERT_TRUE(WriteTarget(store, FileTarget::Slot(3), chosen, "c"_sj, {}).ok());
  EXPECT_EQ(ReadBytes(chosen), "H;t;;c;\r\nBC0001;1,1,,;;;;;\r\n;\r\n");
  struct stat st {};
  ASSERT_EQ(::stat(chosen.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);

  // Through a symbolic link the file it names is replaced; the link stays.
  std::filesystem::create_symlink("t.txt", folder / "link.txt");
  ASSERT_TRUE(WriteTarget(store, FileTarget::Slot(3), folder / "link.txt", "c"_sj, {}).ok());
  EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.txt"));
  EXPECT_EQ(ReadBytes(chosen), "H;link;;c;\r\nBC0001;1,1,,;;;;;\r\n;\r\n");
}

TEST_F(SlotFiles, AFailedSaveReportsWhyAndKeepsTheOldFileAndTheChangedFlag) {
  std::filesystem::path chosen = folder / "keep.txt";
  WriteBytes(chosen, "old content");
  FileSlot& slot = store.slots[0];
  AppendLine(slot, "AD0001;1,1,,;;;;;"_sj);
  slot.changed = 1;
  slot.headerLine = "H;before;;"_sj;

  // The target is a folder: the rename fails after the text was written.
  std::filesystem::create_directory(folder / "dir.txt");
  FileResult intoDir = WriteTarget(store, FileTarget::Slot(0), folder / "dir.txt", "c"_sj, {});
  EXPECT_EQ(intoDir.status, FileStatus::kWriteFailed);
  EXPECT_EQ(intoDir.reason, std::strerror(EISDIR));

  // The folder is gone.
  FileResult gone = WriteTarget(store, FileTarget::Slot(0), folder / "gone" / "x.txt", "c"_sj, {});
  EXPECT_EQ(gone.status, FileStatus::kWriteFailed);
  EXPECT_EQ(gone.reason, std::strerror(ENOENT));

  EXPECT_EQ(slot.changed, 1);
  EXPECT_EQ(slot.headerLine, "H;before;;");
  EXPECT_EQ(ReadBytes(chosen), "old content");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                          std::filesystem::directory_iterator()),
            2);

  // A name CP932 cannot hold is refused before anything is written.
  EXPECT_EQ(WriteTarget(store, FileTarget::Slot(0), folder / "😀.txt", "c"_sj, {}).status,
            FileStatus::kUnencodableName);
  EXPECT_FALSE(std::filesystem::exists(folder / "😀.txt"));
}

TEST_F(SlotFiles, AFolderWithoutWritePermissionFailsTheSave) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes whatever the permissions";
  std::filesystem::path locked = folder / "locked";
  std::filesystem::create_directory(locked);
  WriteBytes(locked / "a.txt", "old");
  ::chmod(locked.c_str(), 0555);
  store.slots[0].changed = 1;
  FileResult result = WriteTarget(store, FileTarget::Slot(0), locked / "a.txt", "c"_sj, {});
  ::chmod(locked.c_str(), 0755);
  EXPECT_EQ(result.status, FileStatus::kWriteFailed);
  EXPECT_EQ(result.reason, std::strerror(EACCES));
  EXPECT_EQ(store.slots[0].changed, 1);
  EXPECT_EQ(ReadBytes(locked / "a.txt"), "old");
}

TEST_F(SlotFiles, SavingTheStateFileWritesThePanelLinesBetweenFirstAndLast) {
  std::filesystem::path chosen = folder / "動作状態10.txt";
  Sjis panel = "■ 動作状態\r\n重要度=1\r\n記憶度=2\r\n(end)"_sj;
  ASSERT_TRUE(WriteTarget(store, FileTarget::StateFile(), chosen, Clock(), panel).ok());
  EXPECT_EQ(ReadBytes(chosen),
            "H;動作状態10;;"_sj + Clock() + ";\r\n" + "重要度=1\r\n記憶度=2\r\n"_sj + ";\r\n");
  EXPECT_EQ(store.stateHeaderLine, "H;動作状態10;;"_sj);
  EXPECT_EQ(store.stateFileText, "重要度=1\r\n記憶度=2\r\n"_sj);

  // Read back through the automatic rule once the dialog's folder is known.
  store.stateFileText.clear();
  ASSERT_TRUE(LoadSlot(store, EventStore::kStateEntry).ok());
  EXPECT_EQ(store.stateTitle, "動作状態10"_sj);
}

TEST(FileIo, ReadsAndWritesEveryByte) {
  TempFolder folder;
  std::string all;
  for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
  all += std::string(200000, '\x82');  // more than one read buffer
  ASSERT_TRUE(WriteFileAtomically(folder / "bytes", all).ok);
  FileBytes read = ReadWholeFile(folder / "bytes");
  EXPECT_EQ(read.status, ReadStatus::kRead);
  EXPECT_EQ(read.bytes, all);
  EXPECT_EQ(ReadWholeFile(folder / "none").status, ReadStatus::kMissing);
  EXPECT_EQ(ReadWholeFile(folder / "none" / "deeper").status, ReadStatus::kMissing);
}

// What counts as a change since a file was read or saved: other bytes,
// whatever the size; not the same bytes written again, nor a file gone.
TEST(FileIo, AFileChangedOnDiskIsToldByItsSizeOrItsBytes) {
  TempFolder folder;
  const std::filesystem::path file = folder / "f.txt";
  const std::string text = "H;t;;\r\n" + std::string(100, 'a') + "\r\n;\r\n";
  const struct {
    const char* what;
    std::string now;  // empty: the file is removed
    bool changed;
  } cases[] = {
      {"same bytes again", text, false},
      {"one byte, same size", "H;t;;\r\n" + std::string(99, 'a') + "b\r\n;\r\n", true},
      {"a line added", text + "AD0001;1,1,,;;x;;;\r\n", true},
      {"cut short", text.substr(0, 10), true},
      {"removed", "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const WriteOutcome saved = WriteFileAtomically(file, text);
    ASSERT_TRUE(saved.ok);
    EXPECT_EQ(saved.stamp, ReadWholeFile(file).stamp);
    if (c.now.empty()) {
      std::filesystem::remove(file);
    } else {
      WriteBytes(file, c.now);
    }
    EXPECT_EQ(ChangedOnDisk(file, saved.stamp).has_value(), c.changed);
  }
}

}  // namespace
}  // namespace qev
