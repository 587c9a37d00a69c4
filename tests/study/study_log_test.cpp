#include "study/study_log.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "events/temp_folder.h"
#include "study/event_key.h"
#include "study/review_history.h"
#include "study/study_time.h"
#include "text/cp932.h"

namespace qev {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

StudyLogEntry Entry(std::string text, std::string answer, bool right) {
  StudyLogEntry entry;
  entry.time = {2026, 12, 9, 8, 30, 5};
  entry.baseName = "日本史(古代)";
  entry.dateField = "AD0794";
  entry.eventText = std::move(text);
  entry.answer = std::move(answer);
  entry.right = right;
  entry.levelBefore = 2;
  entry.levelAfter = right ? 3 : 1;
  entry.grade = right ? Grade::kGood : Grade::kAgain;
  return entry;
}

CardKey YearCard(std::string_view base, std::string_view date, std::string_view text) {
  return KeyOfCard(KeyOfLogFields(base, date, text), kYearKindName);
}

const std::string kHeader =
    "日時,ファイル,年代,できごと,解答,正誤,記憶度(前),記憶度(後),出題形式,評価,ヒント,秒数,"
    "取り違え\n";

TEST(StudyLogTest, AppendsOneQuotedLinePerAnswerAfterTheHeader) {
  TempFolder folder;
  const auto path = folder / kStudyLogName;
  ASSERT_FALSE(AppendStudyLog(path, Entry("平安京, \"遷都\"", "794", true)));
  StudyLogEntry hinted = Entry("a\rb", "x\ny", false);
  hinted.hint = true;
  hinted.seconds = 41;
  ASSERT_FALSE(AppendStudyLog(path, hinted));
  // One line per record: a line break in a field becomes a blank.
  EXPECT_EQ(
      ReadBytes(path),
      kHeader +
          "2026-12-09T08:30:05,日本史(古代),AD0794,\"平安京, \"\"遷都\"\"\",794,正解,2,3,年,3,0,,\n"
          "2026-12-09T08:30:05,日本史(古代),AD0794,\"a\rb\",\"x y\",不正解,2,1,年,1,1,41,\n");
  const ReviewHistory log = ReviewHistory::Read(path);
  EXPECT_EQ(log.reviews().size(), 2u);
  EXPECT_EQ(log.skippedLines(), 0u);
  EXPECT_EQ(log.LastAnswered(YearCard("日本史(古代)", "AD0794", "平安京, \"遷都\"")),
            Moment({2026, 12, 9, 8, 30, 5}));
  const std::vector<Review> cut = log.Of(YearCard("日本史(古代)", "AD0794", "a\rb"));
  ASSERT_EQ(cut.size(), 1u);
  EXPECT_TRUE(cut[0].hint);
  EXPECT_EQ(cut[0].seconds, 41);
}

TEST(StudyLogTest, ReadingSkipsACutLastLineAndMalformedLinesAndAppendingKeepsThemApart) {
  TempFolder folder;
  const auto path = folder / kStudyLogName;
  const std::string good = "2026-12-01T10:00:00,f,AD0794,x,794,正解,1,2,年,2,1,7\n";
  // Later columns a later program may append are read past.
  const std::string wider = "2026-12-01T10:00:00,f,AD0794,w,794,正解,1,2,年,4,0,,later\n";
  WriteBytes(path, kHeader + good + wider + "garbage line\n" +
                       "2026-12-01T10:00:00,f,AD0794,y,1,正解,9,1\n" +
                       "2026-12-01T10:00:00,f,AD0794,y,1,正解,1,2,年\n" +
                       "2026-12-01T10:00:00,f,AD0794,y,1,正解,1,2,年,5,0,\n" +
                       "2026-12-01T10:00:00,f,AD0794,y,1,正解,1,2,年,3,2,\n" +
                       "2026-12-01T10:00:00,f,AD0794,y,1,正解,1,2,,3,0,\n" +
                       "2026-12-02T10:00:00,f,AD0794,\"cut here");
  ReviewHistory log = ReviewHistory::Read(path);
  EXPECT_EQ(log.reviews().size(), 2u);
  EXPECT_EQ(log.skippedLines(), 6u);

  ASSERT_FALSE(AppendStudyLog(path, Entry("z", "794", true)));
  log = ReviewHistory::Read(path);
  EXPECT_EQ(log.reviews().size(), 3u);
  EXPECT_TRUE(log.LastAnswered(YearCard("日本史(古代)", "AD0794", "z")));
  EXPECT_EQ(log.Of(YearCard("f", "AD0794", "w")).at(0).grade, Grade::kEasy);
  EXPECT_TRUE(ReadBytes(path).starts_with(kHeader + good + wider));
}

// A spreadsheet on a Japanese system saves the log again as Shift-JIS with
// CR LF; the program then appends in UTF-8. Every answer reads as written,
// to the same card as before.
TEST(StudyLogTest, ALogSavedAgainAsShiftJisReadsAsBefore) {
  TempFolder folder;
  const auto path = folder / kStudyLogName;
  const std::string answer =
      "2026-12-01T10:00:00,日本史(古代),AD0794,平安京に都を移す,794,正解,1,2,年,3,0,7,\r\n";
  const Cp932Encoding header = EncodeCp932(kHeader.substr(0, kHeader.size() - 1) + "\r\n");
  const Cp932Encoding saved = EncodeCp932(answer);
  ASSERT_TRUE(header.ok() && saved.ok());
  WriteBytes(path, header.bytes + saved.bytes);
  ASSERT_FALSE(AppendStudyLog(path, Entry("平安京に都を移す", "", false)));

  const ReviewHistory log = ReviewHistory::Read(path);
  EXPECT_EQ(log.skippedLines(), 0u);
  const std::vector<Review> card = log.Of(YearCard("日本史(古代)", "AD0794", "平安京に都を移す"));
  ASSERT_EQ(card.size(), 2u);
  EXPECT_EQ(card[0].grade, Grade::kGood);
  EXPECT_EQ(card[0].seconds, 7);
  EXPECT_EQ(card[1].grade, Grade::kAgain);
}

// A line cut anywhere (by a crash, a full disk, a copy), inside quotes too,
// and then appended to: the cut answer is read whole or not at all, and
// every later answer goes to its own event, whatever its fields hold. Also
// where the cut line was ended by a bare line break (as earlier versions
// of the program did), and with more columns than are read.
TEST(StudyLogTest, NoCutLineFollowedByAnyAnswerIsMisread) {
  TempFolder folder;
  StudyLogEntry cut = Entry("平安京, \"遷都\"", "7,9\"4", true);
  cut.baseName = "日本史,古代";
  const std::string cutLine = StudyLogLine(cut);
  const std::string wide = cutLine.substr(0, cutLine.size() - 1) + ",\"x,\"\"y\",12\n";
  const struct {
    std::string text;
    std::string answer;
  } nexts[] = {{",a,b", ""},      {",", ","},         {"\"", "\""},
               {",\",\"", "794"}, {"a,b", ",\",\","}, {"", ""}};
  int cases = 0;
  for (const std::string& line : {cutLine, wide}) {
    for (std::size_t at = 0; at < line.size(); ++at) {
      for (const bool bareBreak : {false, true}) {
        for (const auto& n : nexts) {
          StudyLogEntry next = Entry(n.text, n.answer, false);
          next.time = {2026, 12, 10, 7, 0, 0};
          next.baseName = "g";
          // A new file each time: rewriting one would wait for the disk.
          const auto path = folder / (std::to_string(cases) + ".csv");
          WriteBytes(path, kHeader + line.substr(0, at) + (bareBreak ? "\n" : ""));
          ASSERT_FALSE(AppendStudyLog(path, next));
          ASSERT_FALSE(AppendStudyLog(path, next));
          const ReviewHistory log = ReviewHistory::Read(path);
          SCOPED_TRACE("cut at " + std::to_string(at) + " before \"" + n.text + "\"");
          // Every later answer goes to its own event.
          EXPECT_EQ(
              log.LastAnswered(KeyOfCard(KeyOfLogFields("g", "AD0794", n.text), kYearKindName)),
              Moment(next.time));
          // Cut just after its last column, its twelfth (a log before the
          // confusions) or its eighth (a log before the question kinds),
          // the cut answer is whole and
          // its own event's; cut anywhere else in the columns read, it is
          // skipped. (Columns a later program appends are not read.)
          if (at + 1 <= cutLine.size()) {
            const bool whole =
                at + 1 == cutLine.size() || at + 2 == cutLine.size() || at == cutLine.find(",年,");
            EXPECT_EQ(log.reviews().size(), whole ? 3u : 2u);
            const CardKey cutCard =
                KeyOfCard(KeyOfLogFields(cut.baseName, "AD0794", cut.eventText), kYearKindName);
            EXPECT_EQ(log.LastAnswered(cutCard).has_value(), whole);
          }
          ++cases;
        }
      }
    }
  }
  EXPECT_GT(cases, 1000);
}

// The log stays in the data folder: a link to nothing or out of the folder
// is refused, with the reason, and nothing is written through it; a link to
// a file in the folder is followed.
TEST(StudyLogTest, ALinkOutOfTheDataFolderIsRefused) {
  TempFolder folder;
  TempFolder elsewhere;
  const auto path = folder / kStudyLogName;
  const struct {
    std::filesystem::path target;
    const char* reason;
  } links[] = {
      {elsewhere / "missing.csv", "存在しないファイルへのリンク"},
      {folder / "sub" / "missing.csv", "存在しないファイルへのリンク"},
      {elsewhere / "there.csv", "データフォルダの外"},
  };
  WriteBytes(elsewhere / "there.csv", kHeader + "2026-12-01T10:00:00,f,AD0794,x,794,正解,1,2\n");
  for (const auto& link : links) {
    SCOPED_TRACE(link.target.string());
    std::filesystem::remove(path);
    std::filesystem::create_symlink(link.target, path);
    const std::optional<std::string> refused = AppendStudyLog(path, Entry("x", "1", true));
    ASSERT_TRUE(refused);
    EXPECT_NE(refused->find(link.reason), std::string::npos) << *refused;
    EXPECT_NE(refused->find(kStudyLogName), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder / "sub"));
    EXPECT_TRUE(ReviewHistory::Read(path).reviews().empty());
  }
  EXPECT_FALSE(std::filesystem::exists(elsewhere / "missing.csv"));
  EXPECT_EQ(ReadBytes(elsewhere / "there.csv"),
            kHeader + "2026-12-01T10:00:00,f,AD0794,x,794,正解,1,2\n");

  std::filesystem::remove(path);
  std::filesystem::create_directories(folder / "logs");
  std::filesystem::create_symlink("logs/2026.csv", path);
  WriteBytes(folder / "logs" / "2026.csv", "");
  ASSERT_FALSE(AppendStudyLog(path, Entry("x", "1", true)));
  EXPECT_EQ(ReviewHistory::Read(path).reviews().size(), 1u);
  EXPECT_TRUE(ReadBytes(folder / "logs" / "2026.csv").starts_with(kHeader));
}

TEST(StudyLogTest, RefusesAFifoInsteadOfHanging) {
  TempFolder folder;
  const auto path = folder / kStudyLogName;
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  EXPECT_TRUE(AppendStudyLog(path, Entry("x", "1", true)));
  EXPECT_TRUE(ReviewHistory::Read(path).reviews().empty());
}

TEST(StudyLogTest, AnEventIsKnownByBaseNameDateFieldAndTextAsTheLogWritesThem) {
  // Every line of the bundled files, keyed from its CP932 bytes, meets the
  // key of its decoded fields.
  const auto dir = std::filesystem::path(QEV_SOURCE_DIR) / "qev_file";
  int lines = 0;
  for (const auto& file : std::filesystem::directory_iterator(dir)) {
    std::ifstream in(file.path(), std::ios::binary);
    const Sjis base = EncodeCp932(file.path().stem().string()).bytes;
    for (std::string line; std::getline(in, line); ++lines) {
      ASSERT_EQ(KeyOfEvent(base, line),
                KeyOfLogFields(DecodeCp932(base), DecodeCp932(EventDateField(line)),
                               DecodeCp932(EventTextField(line))))
          << line;
    }
  }
  EXPECT_GT(lines, 500);
  const std::string line = "AD0794;3,2,,;p;" + EncodeCp932("平安京").bytes + ";m;";
  const std::string edited = "AD0794;3,2,,;p;" + EncodeCp932("平安京へ").bytes + ";m;";
  const std::string levels = "AD0794;1,5,,;q;" + EncodeCp932("平安京").bytes + ";n;";
  EXPECT_NE(KeyOfEvent("f", line), KeyOfEvent("f", edited));
  EXPECT_NE(KeyOfEvent("f", line), KeyOfEvent("g", line));
  EXPECT_EQ(KeyOfEvent("f", line), KeyOfEvent("f", levels));
  // Bytes that are not CP932 decode as U+FFFD on both sides.
  EXPECT_EQ(KeyOfEvent("f", "AD0001;1,1,,;p;\x81\x20\xFF;"),
            KeyOfLogFields("f", "AD0001", DecodeCp932("\x81\x20\xFF")));
}

}  // namespace
}  // namespace qev
