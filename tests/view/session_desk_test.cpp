#include "view/session_desk.h"
#include "model/session_probe.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "events/event_form.h"
#include "events/slot_lines.h"
#include "view/view_fixture.h"

namespace qev {
namespace {

class SessionDeskTest : public testing::ViewFixture {
 protected:
  void SetUp() override {
    WriteSlot(0, "題",
              "AD0100;1,2,,;;一つ目;;;\r\nAD1500;5,1,,;;二つ目;;;\r\nBC0500;3,3,,;;三つ目;;;\r\n");
    WriteSlot(1, "別", "AD1900;1,1,,;;四つ目;;;\r\n");
    Start();
  }
  EventDesk& desk() { return *view->desk(); }
  std::string SelectedText() { return DecodeCp932(desk().SelectedEvent()->line); }
  static Sjis Line(int year, const std::string& event) {
    EventForm form;
    form.first = {false, year};
    form.event = event;
    return ComposeEventLine(form).line;
  }
};

// Add, edit (the year: the point moves) and delete select the changed event,
// and undo takes each back byte for byte, selecting the event it restores.
TEST_F(SessionDeskTest, ChangesSelectTheirEventAndUndoByteForByte) {
  const FileSlot& slot = view->session()->store().slots[0];
  const std::vector<Sjis> read = LinesOf(slot);
  const std::uint64_t version = desk().EventsVersion();

  ASSERT_TRUE(desk().AddEvent(0, Line(800, "足した")));
  EXPECT_EQ(slot.Line(3), Line(800, "足した"));  // after BC 500, the last not later
  EXPECT_EQ(SelectedText(), DecodeCp932(Line(800, "足した")));
  EXPECT_NE(desk().EventsVersion(), version);
  const EventId added = slot.IdAt(3);

  ASSERT_TRUE(desk().ReplaceEvent(added, Line(1700, "足した")));
  EXPECT_EQ(slot.Line(3), Line(1700, "足した"));  // rewritten where it was
  EXPECT_EQ(SessionProbe::PointEvents(*view->session())[3],
            added);  // moved past AD 1500 on the line
  EXPECT_EQ(*view->session()->SelectedEvent(), added);

  ASSERT_TRUE(desk().DeleteEvent(slot.IdAt(1)));
  EXPECT_EQ(SelectedText(), DecodeCp932(Line(1700, "足した")));  // its neighbour on the line

  // The add undone: the point after it on the line.
  const std::string afterUndo[] = {"二つ目", "AD0800;", "二つ目"};
  for (const std::string& shown : afterUndo) {
    view->OnKeyCommand(KeyCommand::kUndo);
    EXPECT_NE(SelectedText().find(shown), std::string::npos) << shown;
  }
  EXPECT_EQ(LinesOf(slot), read);
  EXPECT_FALSE(slot.changed);
  view->OnKeyCommand(KeyCommand::kRedo);
  EXPECT_EQ(*view->session()->SelectedEvent(), slot.IdAt(3));
}

TEST_F(SessionDeskTest, EventsOffTheLineYearsAndTips) {
  StudySession& session = *view->session();
  session.FlipFilter(Level::kImportance, 5);
  session.FlipSlot(1);
  view->FullRefresh();
  std::vector<OffLine> off;
  for (const DeskEvent& e : desk().Events()) off.push_back(e.off);
  EXPECT_EQ(off, (std::vector<OffLine>{OffLine::kOnLine, OffLine::kFilteredOut, OffLine::kOnLine,
                                       OffLine::kSlotOff}));
  EXPECT_EQ(desk().JumpToEvent(session.store().slots[0].IdAt(1)), OffLine::kFilteredOut);
  EXPECT_EQ(desk().JumpToEvent(session.store().slots[1].IdAt(0)), OffLine::kSlotOff);

  ASSERT_TRUE(desk().GoToYear({true, 300}));
  EXPECT_NE(SelectedText().find("三つ目"), std::string::npos);
  const VisiblePoint& p = *session.visible().Selected();
  const ScreenLayout& l = view->layout();
  const int y = session.scale().MarkAt(p.x1).y + l.drawAreaY();
  EXPECT_EQ(desk().PointTipAt(p.x1 + l.drawAreaX() + 4, y), "BC 500\n三つ目");
  EXPECT_EQ(desk().PointTipAt(p.x1 + l.drawAreaX() + 5, y), std::nullopt);
}

}  // namespace
}  // namespace qev
