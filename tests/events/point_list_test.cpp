#include "events/point_list.h"
#include "events/slot_lines.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <random>
#include <string>

#include "text/collation.h"
#include "text/sjis_lines.h"
#include "timeline/point_filter.h"

namespace qev {
namespace {

using ::testing::ElementsAre;

// A scale easy to read back.
int Offset(int year) {
  return 2 * year;
}

Sjis Event(const std::string& head, char importance = '3', char memorisation = '3',
           const std::string& date = "") {
  return Sjis(head + ";" + importance + "," + memorisation + "," + date + ",;period;event;m1;m2;");
}

class PointListTest : public ::testing::Test {
 protected:
  PointListTest() {
    for (FileSlot& slot : store.slots) slot.SetLines({});
  }
  void Build() {
    list.Rebuild(
        store,
        [this](char importance, char memorisation) {
          return PassesFilter(settings, importance, memorisation);
        },
        Offset);
  }

  EventStore store;
  DisplaySettings settings;
  PointList list;
};

TEST_F(PointListTest, KeysCarryHeadSlotLineAndSecondDate) {
  store.slots[3].SetLines({Event("AD0710", '3', '2', "AD0794"), Event("BC0660")});
  Build();
  EXPECT_THAT(list.keys(store), ElementsAre("BC0660;3;1;;", "AD0710;3;0;AD0794;"));
  EXPECT_THAT(list.placed(store), ElementsAre("BC0660;1320;;;", "AD0710;1420;AD0794;1588;"));
}

TEST_F(PointListTest, BcYearsDescendThenAdYearsAscend) {
  store.slots[0].SetLines(
      {Event("AD1600"), Event("BC0001"), Event("AD0000"), Event("BC0660"), Event("AD0710")});
  store.slots[1].SetLines({Event("BC0221"), Event("AD0001")});
  Build();
  EXPECT_THAT(list.keys(store),
              ElementsAre("BC0660;0;3;;", "BC0221;1;0;;", "BC0001;0;1;;", "AD0000;0;2;;",
                          "AD0001;1;1;;", "AD0710;0;4;;", "AD1600;0;0;;"));
}

TEST_F(PointListTest, OneYearOrdersBySlotThenLineAsText) {
  // Lines 2 and 10 of slot 0 and line 1 of slot 1, all of one year.
  for (int era = 0; era < 2; ++era) {
    std::string head = era == 0 ? "AD0800" : "BC0800";
    std::vector<Sjis> lines(11, Event("AD0001", '0'));  // filtered out
    lines[2] = Event(head);
    lines[10] = Event(head);
    store.slots[0].SetLines(std::move(lines));
    store.slots[1].SetLines({Event("AD0001", '0'), Event(head)});
    Build();
    if (era == 0) {
      EXPECT_THAT(list.keys(store), ElementsAre("AD0800;0;10;;", "AD0800;0;2;;", "AD0800;1;1;;"));
    } else {
      EXPECT_THAT(list.keys(store), ElementsAre("BC0800;1;1;;", "BC0800;0;2;;", "BC0800;0;10;;"));
    }
  }
}

// Packed and irregular heads of one era mix in the collation order of their
// keys, as a sort of the key texts gives.
TEST_F(PointListTest, IrregularHeadsSortAmongPlainOnesAsText) {
  const std::vector<std::string> heads = {"AD0794", "Ad0794", "AD0794x", "AD079",  "AD07940",
                                          "AD0795", "A",      "AD-001",  "AD0794", "BC0100",
                                          "Bc0100", "BC01",   "BC0100!", "BC0099", "B"};
  for (int k : {0, 1}) {
    std::vector<Sjis> lines;
    for (std::size_t j = 0; j < heads.size() * 2; ++j)
      lines.push_back(Event(heads[j % heads.size()]));
    store.slots[static_cast<std::size_t>(k)].SetLines(std::move(lines));
  }
  Build();
  std::vector<Sjis> bc, ad;
  for (const Sjis& key : list.keys(store)) (key[0] == 'B' ? bc : ad).push_back(key);
  std::vector<Sjis> expected = bc;
  std::sort(expected.begin(), expected.end(),
            [](const Sjis& a, const Sjis& b) { return CollateLess(b, a); });
  std::vector<Sjis> sortedAd = ad;
  std::sort(sortedAd.begin(), sortedAd.end(), CollateLess);
  expected.insert(expected.end(), sortedAd.begin(), sortedAd.end());
  EXPECT_EQ(list.keys(store), expected);
  EXPECT_EQ(list.keys(store).front().substr(0, 1), "B");
}

TEST_F(PointListTest, PointsDescribeTheSameEntriesAsTheTexts) {
  store.slots[2].SetLines(
      {Event("AD0710", '3', '2', "AD0794"), Event("BC0100", '3', '3', "AD0010"), Event("AD0000")});
  Build();
  ASSERT_EQ(list.points().size(), 3u);
  const TimelinePoint& bc = list.points()[0];
  EXPECT_TRUE(bc.bc);
  EXPECT_EQ(bc.offset1, 200);
  EXPECT_TRUE(bc.hasEnd);
  EXPECT_FALSE(bc.endBc);
  EXPECT_EQ(bc.offset2, 20);
  EXPECT_EQ(bc.slot, 2);
  EXPECT_EQ(bc.line, 1);
  EXPECT_EQ(bc.StartX(1000), 800);
  EXPECT_EQ(bc.EndX(1000), 1020);

  // Year 0000 lies on the era line.
  const TimelinePoint& zero = list.points()[1];
  EXPECT_FALSE(zero.bc);
  EXPECT_EQ(list.placed(store)[1], "AD0000;0;;;");
  EXPECT_FALSE(zero.hasEnd);
  EXPECT_EQ(zero.line, 2);

  const TimelinePoint& range = list.points()[2];
  EXPECT_EQ(range.offset1, 1420);
  EXPECT_EQ(range.offset2, 1588);
  EXPECT_EQ(range.line, 0);

  // A new scale moves the points without collecting the keys again.
  list.PlacePoints([](int year) { return year; });
  EXPECT_THAT(list.placed(store),
              ElementsAre("BC0100;100;AD0010;10;", "AD0000;0;;;", "AD0710;710;AD0794;794;"));
  EXPECT_EQ(list.points()[2].offset2, 794);
}

TEST_F(PointListTest, SecondDatesAreReadAsTheirLettersSay) {
  store.slots[0].SetLines({
      Event("AD0100", '3', '3', "BC0050"),  // end in the other era
      Event("AD0200", '3', '3', "0300"),    // no era letters: no second date
      Event("AD0300", '3', '3', "AD03x"),   // digits up to the first non-digit
  });
  Build();
  EXPECT_THAT(list.placed(store),
              ElementsAre("AD0100;200;BC0050;100;", "AD0200;400;;;", "AD0300;600;AD03x;6;"));
  EXPECT_TRUE(list.points()[0].endBc);
  EXPECT_FALSE(list.points()[1].hasEnd);
}

TEST_F(PointListTest, MalformedLinesAreTakenAsTheyAreWithoutReadingPastThem) {
  store.slots[0].SetLines(SjisLines({
      "AD0500",             // too short to hold the levels
      "AD0400;3,3",         // one comma: no second date
      "AD0300;3,3,AD0310",  // no third comma: the date runs to the end
      "XY0100;3,3,,;;;;;",  // neither era
      "",
  }));
  Build();
  EXPECT_THAT(list.keys(store), ElementsAre("AD0300;0;2;AD0310;", "AD0400;0;1;;"));

  // A line without ";" has the whole line as its head, at most 201 bytes;
  // the second date is looked for in the first 256 bytes only.
  std::string longHead = "AD0999x3x3" + std::string(300, '9');
  store.slots[0].SetLines(SjisLines(
      {"AD0500x3x3", longHead + ";3,3,,;", "AD0600;3,3," + std::string(260, 'A') + ",BC0001,"}));
  Build();
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list.keys(store)[0], "AD0500x3x3;0;0;;");
  EXPECT_EQ(list.keys(store)[1], "AD0600;0;2;" + std::string(245, 'A') + ";");
  EXPECT_EQ(list.keys(store)[2], longHead.substr(0, 201) + ";0;1;;");
  EXPECT_EQ(list.points()[1].hasEnd, false);  // "AAA..." has no year letter
}

TEST_F(PointListTest, OnlyLoadedSwitchedOnSlotsThatPassTheFilterCount) {
  store.slots[0].SetLines({Event("AD0001")});
  store.slots[1].SetLines({Event("AD0002")});
  store.slots[2].SetLines({Event("AD0003")});
  store.slots[3].SetLines({Event("AD0004", '1', '5'), Event("AD0005", '5', '1'),
                           Event("AD0006", '0', '3'), Event("AD0007", '6', '3')});
  store.slots[1].on = 0;
  store.slots[2].loaded = 0;
  settings.importanceFilter[1] = 0;
  Build();
  EXPECT_THAT(list.keys(store), ElementsAre("AD0001;0;0;;", "AD0005;3;1;;"));

  settings.filterPriority = 1;  // now the memorisation level counts
  settings.memorisationFilter[1] = 0;
  Build();
  EXPECT_THAT(list.keys(store),
              ElementsAre("AD0001;0;0;;", "AD0004;3;0;;", "AD0006;3;2;;", "AD0007;3;3;;"));

  // Switching a slot back on restores its points in their place.
  store.slots[1].on = 1;
  Build();
  EXPECT_EQ(list.keys(store)[1], "AD0002;1;0;;");

  for (FileSlot& slot : store.slots) slot.on = 0;
  Build();
  EXPECT_TRUE(list.empty());
  EXPECT_TRUE(list.placed(store).empty());
  EXPECT_TRUE(list.points().empty());
}

TEST_F(PointListTest, TenThousandEventsBuildInOrder) {
  for (int i = 0; i < 10000; ++i) {
    std::string year = std::to_string(10000 + (i * 7919) % 10000).substr(1);
    std::string head = (i % 2 ? "AD" : "BC") + year;
    AppendLine(store.slots[static_cast<std::size_t>(i % 10)], Event(head));
  }
  Build();
  ASSERT_EQ(list.size(), 10000u);
  // Chronological: BC years never rise, then AD years never fall.
  int previous = -10000;
  for (const std::string& key : list.keys(store)) {
    int year = std::stoi(key.substr(2, 4));
    int signedYear = key[0] == 'B' ? -year : year;
    EXPECT_LE(previous, signedYear) << key;
    previous = signedYear;
  }
}

}  // namespace
}  // namespace qev

namespace qev {
namespace {

// Lines inserted, replaced and removed one at a time leave the list as a
// rebuild from the slots would make it, ties of one year and slot included
// (line 9 becoming 10 sorts before line 2).
TEST_F(PointListTest, LineChangesFollowedWithoutARebuildAsARebuildWould) {
  std::mt19937 random(22);
  // Heads other than "AD"/"BC" and four digits are ordered as text.
  const char* heads[] = {"AD0794", "BC0091", "AD1192", "BC0660", "AD0794", "Ad0794", "BC0660x"};
  const auto headCount = static_cast<unsigned>(std::size(heads));
  for (int k : {1, 4}) {
    for (int j = 0; j < 12; ++j) {
      AppendLine(store.slots[static_cast<std::size_t>(k)],
                 Event(heads[j % headCount], static_cast<char>('1' + j % 5)));
    }
  }
  settings.importanceFilter[2] = 0;  // some lines are no points
  Build();
  auto passes = [this](char importance, char memorisation) {
    return PassesFilter(settings, importance, memorisation);
  };
  for (int step = 0; step < 60; ++step) {
    const int k = step % 3 == 0 ? 4 : 1;
    FileSlot& slot = store.slots[static_cast<std::size_t>(k)];
    const std::size_t j = random() % (slot.Count() + 1);
    const Sjis line = Event(heads[random() % headCount], static_cast<char>('1' + random() % 5), '3',
                            random() % 2 ? "AD1000" : "");
    switch (random() % 3) {
      case 0:
        slot.Insert(j, line);
        list.InsertLine(k, slot, j, PassesFilter(settings, line), Offset);
        break;
      case 1:
        if (j == slot.Count()) continue;
        slot.Replace(j, line);
        list.ReplaceLine(k, slot, j, PassesFilter(settings, line), Offset);
        break;
      default:
        if (j == slot.Count()) continue;
        slot.Remove(slot.IdAt(j));
        list.RemoveLine(k, slot, j, Offset);
        break;
    }
    PointList rebuilt;
    rebuilt.Rebuild(store, passes, Offset);
    ASSERT_EQ(list.keys(store), rebuilt.keys(store)) << "step " << step;
    ASSERT_EQ(list.placed(store), rebuilt.placed(store)) << "step " << step;
    for (std::size_t i = 0; i < list.size(); ++i) {
      ASSERT_EQ(list.points()[i].line, rebuilt.points()[i].line);
      ASSERT_EQ(list.points()[i].id(), rebuilt.points()[i].id());
    }
  }
}

// A list rebuilt again and again after filter, priority and slot clicks,
// edits, reads and erases shows what a list built afresh shows.
TEST_F(PointListTest, RebuiltAfterEveryClickAsAFreshList) {
  store.slots[0].SetLines({Event("AD0794", '1'), Event("BC0091", '3', '2'), Event("AD1192")});
  store.slots[2].SetLines({Event("AD0794", '2', '4'), Event("BC0660", '5'), Event("AD0100")});
  struct Step {
    const char* name;
    std::function<void()> act;
  };
  const std::vector<Step> steps = {
      {"start", [] {}},
      {"importance off", [this] { settings.importanceFilter[3] = 0; }},
      {"memorisation off", [this] { settings.memorisationFilter[2] = 0; }},
      {"priority", [this] { settings.filterPriority = 1; }},
      {"slot off", [this] { store.slots[2].on = false; }},
      {"slot on", [this] { store.slots[2].on = true; }},
      {"line replaced", [this] { store.slots[0].Replace(0, Event("BC0500", '3')); }},
      {"line inserted", [this] { store.slots[2].Insert(1, Event("AD0050", '4')); }},
      {"line removed", [this] { store.slots[0].Remove(store.slots[0].IdAt(1)); }},
      {"slot read",
       [this] {
         store.slots[5].SetLines({Event("AD2000"), Event("BC0001")});
       }},
      {"slot erased", [this] { store.slots[2].SetLines({}); }},
      {"unloaded", [this] { store.slots[0].loaded = false; }},
      {"everything on", [this] { settings = DisplaySettings(); }},
  };
  const auto passes = [this](char importance, char memorisation) {
    return PassesFilter(settings, importance, memorisation);
  };
  for (const Step& step : steps) {
    step.act();
    Build();
    PointList fresh;
    fresh.Rebuild(store, passes, Offset);
    EXPECT_EQ(list.keys(store), fresh.keys(store)) << step.name;
    EXPECT_EQ(list.placed(store), fresh.placed(store)) << step.name;
  }
}

}  // namespace
}  // namespace qev

namespace qev {
namespace {

// A change the list did not follow (a slot switched off meanwhile) is not
// hidden by a later one it follows: the next click sorts afresh.
TEST_F(PointListTest, AChangeMissedBeforeAFollowedOneIsNotKept) {
  FileSlot& slot = store.slots[0];
  slot.SetLines({Event("AD0100"), Event("AD0200")});
  Build();
  slot.Replace(0, Event("AD0300"));
  slot.Insert(2, Event("AD0050"));
  list.InsertLine(0, slot, 2, true, Offset);
  Build();
  EXPECT_THAT(list.keys(store), ElementsAre("AD0050;0;2;;", "AD0200;0;1;;", "AD0300;0;0;;"));
}

}  // namespace
}  // namespace qev
