#include "events/new_event_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "events/file_io.h"
#include "events/temp_folder.h"
#include "text/cp932.h"

namespace qev {
namespace {

TEST(NewEventFile, AnEmptyFileInTheWritersFormat) {
  testing::TempFolder folder;
  const Sjis clock = "2026年12月09日04時05分"_sj;
  const NewEventFile file = PlanNewEventFile(folder.path(), " 世界史.txt ", "", clock);
  ASSERT_TRUE(file.ok()) << file.problem;
  EXPECT_EQ(file.path, folder.path() / std::filesystem::u8path("世界史.txt"));
  EXPECT_EQ(file.baseName, "世界史"_sj);
  EXPECT_EQ(file.text, "H;世界史;;2026年12月09日04時05分;\r\n;\r\n"_sj);
  EXPECT_EQ(PlanNewEventFile(folder.path(), "a", "年表", clock).text,
            "H;年表;;"_sj + clock + Sjis(";\r\n;\r\n"));

  ASSERT_TRUE(WriteNewFile(file.path, file.text).ok);
  EXPECT_EQ(ReadWholeFile(file.path).bytes, file.text);
  // Never over an existing file, however it is asked.
  EXPECT_FALSE(WriteNewFile(file.path, "x").ok);
  EXPECT_EQ(ReadWholeFile(file.path).bytes, file.text);
  EXPECT_NE(PlanNewEventFile(folder.path(), "世界史", "", clock).problem.find("もうあります"),
            std::string::npos);
}

TEST(NewEventFile, RefusesNamesAndTitlesItCannotKeep) {
  testing::TempFolder folder;
  const std::string tooLong(250, 'n');
  const std::vector<std::string> names{"",        "  ",   ".txt", "a/b", "..",
                                       ".hidden", "a\\b", "a\nb", "😀",   tooLong};
  for (const std::string& name : names) {
    EXPECT_FALSE(PlanNewEventFile(folder.path(), name, "t", {}).ok()) << name;
  }
  for (const std::string& title : {std::string("a;b"), std::string("😀"), std::string(100, 't')}) {
    EXPECT_FALSE(PlanNewEventFile(folder.path(), "ok", title, {}).ok()) << title;
  }
  EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

}  // namespace
}  // namespace qev
