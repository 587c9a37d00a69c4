#include "events/event_store.h"
#include "events/slot_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "events/slot_files.h"
#include "events/temp_folder.h"

namespace qev {
namespace {

using testing::TempFolder;
using testing::WriteBytes;

// An event keeps its id while lines are inserted and removed around it;
// new lines (a read, an erase) get ids no line had before.
TEST(EventStore, EventIdsStayWithTheirLines) {
  EventStore store;
  FileSlot& slot = store.slots[4];
  slot.SetLines({"a"_sj, "b"_sj});
  const EventId a = slot.IdAt(0);
  const EventId b = slot.IdAt(1);
  EXPECT_EQ(a.slot, 4);
  EXPECT_NE(a, b);
  const EventId x = slot.Insert(0, "x"_sj);
  EXPECT_EQ(slot.IndexOf(b, 1), 2u);  // a stale hint is looked past
  EXPECT_TRUE(slot.Remove(a));
  EXPECT_FALSE(slot.Remove(a));
  EXPECT_EQ(LinesOf(slot), (std::vector<Sjis>{"x"_sj, "b"_sj}));
  EXPECT_EQ(slot.IndexOf(x), 0u);
  EXPECT_FALSE(store.slots[5].IndexOf(x).has_value());
  EXPECT_FALSE(slot.IdAt(2).valid());
  slot.SetLines({"x"_sj, "b"_sj});
  EXPECT_FALSE(slot.IndexOf(x).has_value());
  EXPECT_FALSE(slot.IndexOf(b).has_value());
  store.ClearSlot(4);
  EXPECT_EQ(slot.Count(), 0u);
}

// What changed since a revision: the lines replaced or put back, in order,
// until the lines are set anew; never a revision that cannot say.
TEST(EventStore, ASlotListsTheLinesReplacedSinceARevision) {
  FileSlot slot;
  slot.SetLines({"a"_sj, "b"_sj, "c"_sj});
  const EventId a = slot.IdAt(0);
  const EventId c = slot.IdAt(2);
  const std::uint64_t read = slot.revision();
  EXPECT_EQ(slot.ReplacedSince(read), std::vector<EventId>{});
  slot.Replace(2, "c2"_sj);
  const std::uint64_t edited = slot.revision();
  slot.Remove(a);
  slot.Insert(0, "a"_sj, a);  // an undo puts it back
  EXPECT_EQ(slot.ReplacedSince(read), (std::vector<EventId>{c, a}));
  EXPECT_EQ(slot.ReplacedSince(edited), std::vector<EventId>{a});
  slot.SetLines({"z"_sj});
  EXPECT_EQ(slot.ReplacedSince(edited), std::nullopt);
  EXPECT_EQ(slot.ReplacedSince(slot.revision()), std::vector<EventId>{});
  // A long session of edits: a reader far behind reads the lines again.
  const std::uint64_t before = slot.revision();
  for (int i = 0; i < 5000; ++i) slot.Replace(0, "z"_sj);
  EXPECT_EQ(slot.ReplacedSince(before), std::nullopt);
  EXPECT_EQ(slot.ReplacedSince(slot.revision()), std::vector<EventId>{});
}

// However long a session of edits, each line reads as last written under
// its id: replaced by another line of the slot, by a long one, inserted,
// removed; and a read's lines, part of its text or not, read as given.
TEST(EventStore, LinesReadAsLastWrittenThroughALongSessionOfEdits) {
  std::string text = "H;t;;\r\nAD0001;1,1,,;a;;;;\r\nAD0002;1,1,,;b;;;;\r\n";
  const std::string elsewhere = "AD0003;1,1,,;c;;;;";
  FileSlot slot;
  slot.TakeLines(std::move(text), {std::string_view(text).substr(7, 18),
                                   std::string_view(text).substr(27, 18), elsewhere});
  std::vector<std::pair<EventId, Sjis>> expected;
  for (std::size_t i = 0; i < slot.Count(); ++i) {
    expected.emplace_back(slot.IdAt(i), Sjis(slot.Line(i)));
  }
  EXPECT_EQ(expected[1].second, "AD0002;1,1,,;b;;;;");
  EXPECT_EQ(expected[2].second, elsewhere);

  std::uint32_t seed = 7;
  auto next = [&seed](std::size_t n) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<std::size_t>(seed >> 8) % n;
  };
  for (int step = 0; step < 20000; ++step) {
    const std::size_t i = next(expected.size());
    switch (next(4)) {
      case 0:  // a line of the slot itself, moved while it is written
        ASSERT_TRUE(slot.Replace(i, slot.Line(next(expected.size()))));
        expected[i].second = Sjis(slot.Line(i));
        break;
      case 1: {
        Sjis line(std::string(200 + next(20000), static_cast<char>('a' + step % 26)));
        ASSERT_TRUE(slot.Replace(i, line));
        expected[i].second = line;
        break;
      }
      case 2: {
        Sjis line("AD" + std::to_string(step) + ";1,1,,;;;;;");
        expected.insert(expected.begin() + static_cast<std::ptrdiff_t>(i),
                        {slot.Insert(i, line), line});
        break;
      }
      default:
        if (expected.size() > 1) {
          ASSERT_TRUE(slot.Remove(expected[i].first));
          expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
  }
  ASSERT_EQ(slot.Count(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(slot.IdAt(i), expected[i].first);
    EXPECT_EQ(slot.Line(i), expected[i].second);
  }
}

TEST(EventStore, SlotsStartWithTheirNamesLoadedAndOn) {
  EventStore store;
  const FileSlot& first = store.slots[0];
  EXPECT_EQ(first.label, "ファイル①"_sj);
  EXPECT_EQ(first.title, "    ①    "_sj);
  EXPECT_EQ(first.baseName, "歴史文書20"_sj);
  const FileSlot& last = store.slots[9];
  EXPECT_EQ(last.label, "ファイル⑩"_sj);
  EXPECT_EQ(last.title, "    ⑩    "_sj);
  EXPECT_EQ(last.baseName, "歴史文書29"_sj);
  for (const FileSlot& slot : store.slots) {
    EXPECT_TRUE(slot.lines().empty());
    EXPECT_TRUE(slot.headerLine.empty());
    EXPECT_EQ(slot.loaded, 1);
    EXPECT_EQ(slot.on, 1);
    EXPECT_EQ(slot.changed, 0);
  }
  // Titles are four blanks, the two-byte circled digit, four blanks.
  EXPECT_EQ(first.title.size(), 10u);
  EXPECT_EQ(store.stateBaseName, "動作状態10"_sj);
  EXPECT_TRUE(store.stateTitle.empty());
  EXPECT_TRUE(store.stateFileText.empty());
}

TEST(EventStore, LinesKeepTheirOrderAndReplaceInPlace) {
  EventStore store;
  FileSlot& slot = store.slots[3];
  AppendLine(slot, "BC0100;1,1,,;a;b;c;d;"_sj);
  AppendLine(slot, "AD0100;1,1,,;a;b;c;d;"_sj);
  AppendLine(slot, "AD0050;1,1,,;a;b;c;d;"_sj);
  ASSERT_EQ(slot.Count(), 3u);
  EXPECT_TRUE(slot.Replace(1, "AD0101;2,2,,;x;y;z;w;"_sj));
  EXPECT_EQ(slot.Line(0), "BC0100;1,1,,;a;b;c;d;");
  EXPECT_EQ(slot.Line(1), "AD0101;2,2,,;x;y;z;w;");
  EXPECT_EQ(slot.Line(2), "AD0050;1,1,,;a;b;c;d;");

  // An index the slot does not hold reads as empty and cannot be replaced.
  EXPECT_EQ(slot.Line(3), "");
  EXPECT_FALSE(slot.Replace(3, "AD0001;1,1,,;;;;;"_sj));
  EXPECT_EQ(slot.Count(), 3u);

  slot.changed = 1;
  store.ClearSlot(3);
  EXPECT_EQ(slot.Count(), 0u);
  EXPECT_EQ(slot.label, "ファイル④"_sj);
  EXPECT_EQ(std::tie(slot.loaded, slot.on, slot.changed), std::make_tuple(0, 0, 0));
}

TEST(PathRule, DataFolderUntilADialogThenTheDialogsFolder) {
  EventStore store;
  EXPECT_EQ(store.BuildPath("歴史文書20"_sj), std::filesystem::path("qev_file/歴史文書20.txt"));
  store.SetDataDir("/srv/data/qev_file");
  EXPECT_EQ(store.BuildPath("歴史文書20"_sj), "/srv/data/qev_file/歴史文書20.txt");

  // The first dialog opens in the data folder; a cancelled one keeps files
  // there.
  store.NoteDialogOpened();
  EXPECT_EQ(store.BuildPath("動作状態10"_sj), "/srv/data/qev_file/動作状態10.txt");

  store.RecordDialogFolder("/home/u/年表/日本史.txt");
  EXPECT_EQ(store.BuildPath("歴史文書20"_sj), "/home/u/年表/歴史文書20.txt");
  EXPECT_EQ(store.BuildPath("    ①    "_sj), "/home/u/年表/    ①    .txt");
}

TEST(PathRule, NamesAreConvertedWholeAndStayInTheirFolder) {
  EventStore store;
  // 表 is 0x95 0x5C in CP932: its second byte is a backslash, which must not
  // reach the file name.
  Sjis name = "年表"_sj;
  ASSERT_NE(name.find('\\'), Sjis::npos);
  std::string path = store.BuildPath(name).string();
  EXPECT_EQ(path, "qev_file/年表.txt");
  EXPECT_EQ(path.find('\\'), std::string::npos);

  EXPECT_EQ(store.BuildPath("/etc/passwd"_sj).string(), "qev_file//etc/passwd.txt"_sj);
  // An invalid byte becomes U+FFFD rather than a raw byte in a UTF-8 path.
  EXPECT_EQ(store.BuildPath(Sjis("a\x82")).string(), Sjis("qev_file/a\xEF\xBF\xBD.txt"));
}

TEST(PathRule, PathsOfAnyLengthWork) {
  TempFolder folder;
  std::filesystem::path deep = folder.path();
  for (int i = 0; i < 6; ++i) deep /= std::string(60, static_cast<char>('a' + i));
  std::filesystem::create_directories(deep);
  EventStore store;
  store.SetDataDir(deep);
  std::filesystem::path path = store.BuildPath(store.slots[0].baseName);
  ASSERT_GT(path.string().size(), 255u);
  WriteBytes(path, "H;長い;;\r\nAD0710;3,2,,;a;b;c;d;\r\n;\r\n"_sj);

  ASSERT_TRUE(LoadSlot(store, 0).ok());
  EXPECT_EQ(store.slots[0].title, "長い"_sj);
  EXPECT_EQ(store.slots[0].Count(), 1u);
}

}  // namespace
}  // namespace qev
