#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <optional>
#include <sstream>
#include <string>

#include "events/event_file.h"
#include "events/file_check.h"
#include "events/file_io.h"
#include "events/slot_files.h"
#include "events/temp_folder.h"

namespace qev {
namespace {

using ::testing::HasSubstr;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

const std::string kEvent = "AD0794;3,2,,;p;e;m;n;";

// Files the reader takes apart: how many event lines it keeps, how many
// lines it drops (and a save over the file would lose), and what --check
// says about the file.
TEST(HostileFiles, TheReaderKeepsOrCountsEveryLineAndCheckSaysWhy) {
  std::string random;
  for (int i = 0; i < 4096; ++i) random += static_cast<char>((i * 7919 + 13) % 256);
  const struct {
    const char* name;
    std::string text;
    std::size_t kept;
    std::size_t dropped;
    const char* check;  // a part of the first message --check gives
  } cases[] = {
      {"CR-only line ends", "H;t;;\r" + kEvent + "\r" + kEvent + "\r;\r", 2, 0, "CR alone"},
      {"a file of NULs", std::string(1000, '\0'), 0, 1, "no header line and no event line"},
      {"leading blank", "H;t;;\r\n " + kEvent + "\r\n", 0, 1, "begins with a blank"},
      {"leading tab", "H;t;;\r\n\t" + kEvent + "\r\n", 0, 1, "begins with a tab"},
      {"lower-case era", "H;t;;\r\nad0794;3,2,,;p;e;m;n;\r\n", 0, 1, "upper-case"},
      {"full-width era", "H;t;;\r\n"_sj + "ＡＤ"_sj + "0794;3,2,,;p;e;m;n;\r\n", 0, 1,
       "begins with \"Ａ\""},
      {"after the end marker", "H;t;;\r\n;\r\n" + kEvent + "\r\n\r\nnote\r\n", 0, 2,
       "after the end marker \";\" of line 2"},
      {"random bytes", random, 0, 0, ""},
      {"long field", "H;t;;\r\nAD0794;3,2," + std::string(1 << 20, 'x') + ";p;e;m;n;\r\n", 1, 0,
       "second date"},
      {"cut double-byte character", "H;t;;\r\nAD0794;3,2,,;p;e;m;\x82", 1, 0, "Shift-JIS"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ParsedFile parsed = ParseEventFile(c.text);
    if (std::string(c.name) != "random bytes") {
      EXPECT_EQ(parsed.lines.size(), c.kept);
      EXPECT_EQ(parsed.dropped.size(), c.dropped);
    }
    // Whatever was kept is written back and read again unchanged.
    const Sjis written = ComposeFile("t"_sj, "c"_sj, ComposeSlotBody(parsed.lines)).text;
    EXPECT_EQ(ParseEventFile(written).lines, parsed.lines);

    TempFolder folder;
    WriteBytes(folder / "f.txt", c.text);
    std::ostringstream out, err;
    const int code = CheckEventFiles({(folder / "f.txt").string()}, out, err);
    if (*c.check != '\0') {
      EXPECT_EQ(code, 1);
      EXPECT_THAT(out.str(), HasSubstr(c.check));
    }
  }
}

TEST(HostileFiles, SpecialAndHugeFilesAreRefusedWithoutWaiting) {
  TempFolder folder;
  ASSERT_EQ(::mkfifo((folder / "fifo.txt").c_str(), 0644), 0);
  const std::filesystem::path huge = folder / "huge.txt";
  { std::ofstream(huge) << 'x'; }
  ASSERT_EQ(::truncate(huge.c_str(), static_cast<off_t>(kFileSizeLimit) + 1), 0);
  const struct {
    std::filesystem::path path;
    const char* reason;
  } cases[] = {
      {folder / "fifo.txt", "not a regular file"},
      {"/dev/zero", "not a regular file"},
      {huge, "larger than 64 MB"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    FileBytes file = ReadWholeFile(c.path);
    EXPECT_EQ(file.status, ReadStatus::kUnreadable);
    EXPECT_EQ(file.reason, c.reason);
    EXPECT_TRUE(file.bytes.empty());
  }
  // A FIFO named as the state file or a slot's file does not hold up the start.
  EventStore store;
  store.SetDataDir(folder.path());
  store.slots[0].baseName = "fifo"_sj;
  EXPECT_EQ(LoadSlot(store, 0).status, FileStatus::kUnreadable);
}

class SaveTargets : public ::testing::Test {
 protected:
  std::size_t Entries() const {
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator(folder.path()), {}));
  }
  TempFolder folder;
};

TEST_F(SaveTargets, WhatIsNotAWritableRegularFileIsRefusedAndKeptAsItWas) {
  ASSERT_EQ(::mkfifo((folder / "fifo.txt").c_str(), 0644), 0);
  std::filesystem::create_symlink("nowhere.txt", folder / "dangling.txt");
  WriteBytes(folder / "protected.txt", "old");
  ::chmod((folder / "protected.txt").c_str(), 0444);
  struct Case {
    std::string name;
    const char* reason;
  };
  std::vector<Case> cases{{"fifo.txt", "not a regular file"},
                          {"dangling.txt", "a symbolic link to a file that does not exist"}};
  // Root may write any file, so only others see the write protection.
  if (::geteuid() != 0) cases.push_back({"protected.txt", "the file is write-protected"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteOutcome outcome = WriteFileAtomically(folder / c.name, "new");
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.reason, c.reason);
  }
  struct stat st {};
  ASSERT_EQ(::lstat((folder / "fifo.txt").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  EXPECT_TRUE(std::filesystem::is_symlink(folder / "dangling.txt"));
  EXPECT_FALSE(std::filesystem::exists(folder / "nowhere.txt"));
  if (::geteuid() != 0) {
    EXPECT_EQ(ReadBytes(folder / "protected.txt"), "old");
  }
  EXPECT_EQ(Entries(), 3u);
}

TEST_F(SaveTargets, HardLinksModeAndLongNamesSurviveASave) {
  // A file with a second hard link is written in place: both names see it.
  const std::filesystem::path linked = folder / "linked.txt";
  WriteBytes(linked, std::string(5000, 'o'));
  ::chmod(linked.c_str(), 0604);
  std::filesystem::create_hard_link(linked, folder / "other name.txt");
  ASSERT_TRUE(WriteFileAtomically(linked, "new").ok);
  EXPECT_EQ(ReadBytes(folder / "other name.txt"), "new");
  EXPECT_EQ(std::filesystem::hard_link_count(linked), 2u);
  struct stat st {};
  ASSERT_EQ(::stat(linked.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0604u);

  // The group stays, where the file can be given another one to test with.
  const std::filesystem::path grouped = folder / "grouped.txt";
  WriteBytes(grouped, "old");
  const gid_t other = ::getegid() == 0 ? 1 : 0;
  if (::chown(grouped.c_str(), static_cast<uid_t>(-1), other) == 0) {
    ASSERT_TRUE(WriteFileAtomically(grouped, "new").ok);
    ASSERT_EQ(::stat(grouped.c_str(), &st), 0);
    EXPECT_EQ(st.st_gid, other);
    EXPECT_EQ(ReadBytes(grouped), "new");
  }
  std::filesystem::remove(grouped);

  // The longest name the system allows is no trouble for the temporary file.
  const std::string longName = std::string(251, 'n') + ".txt";
  ASSERT_TRUE(WriteFileAtomically(folder / longName, "a").ok);
  ASSERT_TRUE(WriteFileAtomically(folder / longName, "b").ok);
  EXPECT_EQ(ReadBytes(folder / longName), "b");
  EXPECT_EQ(Entries(), 3u);  // no temporary file left
}

// A save killed after any step of an overwrite in place (a file with a
// second hard link) leaves the file old or new, or its backup holding the
// old text. The backup is named when the file is read and kept by the next
// save.
TEST_F(SaveTargets, AnOverwriteInPlaceStoppedAtAnyStepLeavesOldNewOrTheBackup) {
  struct Killed {};
  const std::filesystem::path file = folder / "linked.txt";
  const std::string old(70000, 'o');
  auto prepare = [&] {
    for (const char* name :
         {"linked.txt", "link.txt", "linked.txt.qev-backup", "linked.txt.qev-backup-incomplete"}) {
      std::filesystem::remove(folder / name);
    }
    WriteBytes(file, old);
    std::filesystem::create_hard_link(file, folder / "link.txt");
  };
  auto killedAt = [&](OverwriteStep at, const std::string& text) {
    prepare();
    EXPECT_THROW(WriteFileAtomically(file, text,
                                     [&](OverwriteStep step) {
                                       if (step == at) throw Killed{};
                                     }),
                 Killed);
  };
  for (const std::string& text : {std::string(1000, 'n'), std::string(150000, 'n')}) {
    for (OverwriteStep at : {OverwriteStep::kBackupCopied, OverwriteStep::kBackupWritten,
                             OverwriteStep::kNewTextWritten, OverwriteStep::kCutToLength,
                             OverwriteStep::kSynced, OverwriteStep::kBackupRemoved}) {
      SCOPED_TRACE(std::to_string(text.size()) + " bytes, step " +
                   std::to_string(static_cast<int>(at)));
      killedAt(at, text);
      const std::string now = ReadBytes(file);
      if (std::optional<std::filesystem::path> backup = LeftoverBackup(file)) {
        EXPECT_EQ(*backup, folder / "linked.txt.qev-backup");
        EXPECT_TRUE(ReadBytes(*backup) == old);
      } else if (LeftoverIncompleteBackup(file)) {
        // Stopped before the copy had the backup's name: the file is untouched.
        EXPECT_EQ(at, OverwriteStep::kBackupCopied);
        EXPECT_TRUE(now == old);
      } else {
        EXPECT_TRUE(now == text);
      }
      EXPECT_TRUE(ReadBytes(folder / "link.txt") == now);
    }
  }

  // A copy cut short, as a kill while copying leaves it, is never taken for
  // the backup, and the next save replaces it.
  prepare();
  WriteBytes(IncompleteBackupPath(file), old.substr(0, 100));
  EXPECT_FALSE(LeftoverBackup(file));
  ASSERT_TRUE(WriteFileAtomically(file, "new").ok);
  EXPECT_EQ(ReadBytes(folder / "link.txt"), "new");
  EXPECT_FALSE(LeftoverIncompleteBackup(file));
  EXPECT_FALSE(LeftoverBackup(file));

  // The new beginning on the old end: the next save keeps the backup and
  // is refused.
  killedAt(OverwriteStep::kNewTextWritten, "new");
  const WriteOutcome again = WriteFileAtomically(file, "newer");
  EXPECT_FALSE(again.ok);
  EXPECT_THAT(again.reason, HasSubstr(BackupPath(file).string()));
  EXPECT_TRUE(ReadBytes(BackupPath(file)) == old);

  // A write that fails halfway puts the old text back and removes the backup.
  prepare();
  std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit limit {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
  struct rlimit small = limit;
  small.rlim_cur = 100000;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const WriteOutcome failed = WriteFileAtomically(file, std::string(150000, 'n'));
  ::setrlimit(RLIMIT_FSIZE, &limit);
  EXPECT_EQ(failed.reason, std::strerror(EFBIG));
  EXPECT_TRUE(ReadBytes(file) == old);
  EXPECT_FALSE(LeftoverBackup(file));
}

TEST_F(SaveTargets, ATextTooLargeToReadBackIsRefusedBeforeAnythingIsWritten) {
  const std::filesystem::path file = folder / "big.txt";
  WriteBytes(file, "old");
  const WriteOutcome outcome = WriteFileAtomically(file, std::string(kFileSizeLimit + 1, 'x'));
  EXPECT_FALSE(outcome.ok);
  EXPECT_THAT(outcome.reason, HasSubstr("larger than 64 MB"));
  EXPECT_EQ(ReadBytes(file), "old");
  EXPECT_EQ(Entries(), 1u);
}

TEST(HostileNames, TitlesAndSaveDialogNamesBecomePlainTxtFiles) {
  const struct {
    Sjis title;
    Sjis plain;
  } titles[] = {
      {"../../escaped"_sj, ".._.._escaped"_sj},
      {".."_sj, "_"_sj},
      {"日本史/世界史"_sj, "日本史_世界史"_sj},
      {Sjis("a\0b", 3), "a_b"_sj},
      {"表"_sj, "表"_sj},  // its second byte is "\\", which stays
  };
  for (const auto& t : titles) {
    EXPECT_EQ(PlainBaseName(t.title), t.plain);
    EXPECT_TRUE(IsPlainBaseName(PlainBaseName(t.title)));
  }
  const struct {
    std::string chosen;
    std::optional<std::string> saved;
  } names[] = {
      {"/d/日本史(古代).txt", "/d/日本史(古代).txt"},
      {"/d/世界史(近世).h", "/d/世界史(近世).h.txt"},
      {"/d/x", "/d/x.txt"},
      {"/d/.txt", "/d/.txt.txt"},
      {"/d/日本史(古代).*", std::nullopt},
      {"/d/a?.txt", std::nullopt},
      {"/d*/a.txt", "/d*/a.txt"},  // a folder may have any name
  };
  for (const auto& n : names) {
    SCOPED_TRACE(n.chosen);
    EXPECT_EQ(SaveFileName(n.chosen), n.saved);
  }
}

TEST(HostileNames, BaseNamesStayInTheDataFolderAndPickedNamesMustComeBack) {
  TempFolder folder;
  std::filesystem::create_directory(folder / "data");
  WriteBytes(folder / "outside.txt", "H;t;;\r\n" + kEvent + "\r\n");
  EventStore store;
  store.SetDataDir(folder / "data");
  for (const Sjis& name : {Sjis("../outside"), Sjis("sub/x"), Sjis("..")}) {
    SCOPED_TRACE(name);
    FileSlot& slot = store.slots[3];
    slot.loaded = slot.on = 1;
    slot.baseName = name;
    FileResult r = LoadSlot(store, 3);
    EXPECT_EQ(r.status, FileStatus::kUnreadable);
    EXPECT_THAT(r.reason, HasSubstr("\"" + name + "\" is not a file name in the data folder"));
    EXPECT_TRUE(slot.lines().empty());
    EXPECT_EQ(slot.loaded, 0);
    EXPECT_EQ(slot.label, EventStore::DefaultLabel(3));
  }
  // A name longer than the state file keeps was cut and names another file.
  store.slots[3].baseName = Sjis(300, 'n');
  EXPECT_EQ(LoadSlot(store, 3).reason,
            "ファイル④: the name in the state file is longer than 242 bytes");

  const struct {
    std::string name;
    FileStatus status;
    std::string reason;
  } picked[] = {
      {"a〜b.txt", FileStatus::kUnencodableName, "〜"},
      {"x—y.txt", FileStatus::kUnencodableName, "—"},
      {"X.TXT", FileStatus::kUnreadable, "the extension is \".TXT\", not \".txt\""},
      {"notes", FileStatus::kUnreadable, "the name has no extension \".txt\""},
      {std::string(243, 'n') + ".txt", FileStatus::kUnreadable,
       "the name is longer than the 242 bytes the state file keeps"},
      {"日本史～.txt", FileStatus::kOk, ""},
  };
  for (const auto& p : picked) {
    SCOPED_TRACE(p.name);
    WriteBytes(folder / p.name, "H;t;;\r\n" + kEvent + "\r\n");
    FileResult r = ReadFileFromDialog(store, FileTarget::Slot(1), folder / p.name);
    EXPECT_EQ(r.status, p.status);
    EXPECT_EQ(r.reason, p.reason);
    EXPECT_EQ(store.slots[1].Count(), p.status == FileStatus::kOk ? 1u : 0u);
  }
}

TEST(HostileNames, ALongTitleIsCutBeforeADoubleByteCharacter) {
  // 98 single bytes and then a two-byte character crossing byte 99.
  const Sjis title = Sjis(98, 't') + "日本"_sj;
  EXPECT_EQ(HeaderTitle("H;" + title + ";;"), std::string(98, 't'));
  EXPECT_EQ(HeaderTitle("H;" + std::string(97, 't') + "日本"_sj), std::string(97, 't') + "日"_sj);
}

TEST(LinesLostBySave, CountsTheDroppedLinesOfTheFileBeingReplaced) {
  TempFolder folder;
  EventStore store;
  store.SetDataDir(folder.path());
  const std::filesystem::path file = store.BuildPath(store.slots[0].baseName);
  WriteBytes(file, "H;t;;\r\n " + kEvent + "\r\n" + kEvent + "\r\n;\r\nafter\r\n");
  ASSERT_TRUE(LoadSlot(store, 0).ok());
  EXPECT_EQ(LinesLostBySave(store, FileTarget::Slot(0), file), 2u);
  EXPECT_EQ(LinesLostBySave(store, FileTarget::Slot(0), folder / "elsewhere.txt"), 0u);
  EXPECT_EQ(LinesLostBySave(store, FileTarget::StateFile(), file), 0u);
  // Saved over it, the file holds only what the slot has: nothing more to lose.
  ASSERT_TRUE(WriteTarget(store, FileTarget::Slot(0), file, "c"_sj, {}).ok());
  EXPECT_EQ(LinesLostBySave(store, FileTarget::Slot(0), file), 0u);
}

}  // namespace
}  // namespace qev
