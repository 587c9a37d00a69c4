#include "model/study_session.h"
#include "events/slot_lines.h"
#include "model/session_probe.h"
#include "panel/slot_area.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "view/view_fixture.h"

namespace qev {
namespace {

// Slot 0 holds three events, slot 1 one; in chronological order:
// BC0500 (三つ目), AD0100 (一つ目), AD1500 (二つ目), AD1900 (四つ目).
class StudySessionTest : public testing::ViewFixture {
 protected:
  void SetUp() override {
    WriteSlot(0, "題",
              "AD0100;1,2,,;;一つ目;;;\r\nAD1500;5,1,,;;二つ目;1500年;后1500;\r\nBC0500;3,3,,;;"
              "三つ目;;;\r\n");
    WriteSlot(1, "別", "AD1900;1,1,,;;四つ目;;;\r\n");
    Start();
  }
  StudySession& session() { return *view->session(); }
  EventId IdOf(int k, std::size_t i) const { return view->session()->store().slots[k].IdAt(i); }
  std::string Left() const { return platform.PanelUtf8(InfoPanel::kLeft); }
  // Runs an operation's redraw and says whether the selected point is in
  // the drawing area and named in the left panel.
  bool ShownAndSelected(const EventOutcome& out, const std::string& text) {
    view->Redraw(out.changes);
    const VisiblePoint* p = session().visible().Selected();
    return out.selected() && session().SelectedEvent() == out.id && p != nullptr && p->x1 >= 0 &&
           p->x1 <= session().scale().drawAreaWidth() && Left().find(text) != std::string::npos;
  }
};

TEST_F(StudySessionTest, SelectingAnEventBringsItIntoViewOrSaysWhyNot) {
  EXPECT_EQ(SessionProbe::AllEvents(session()).size(), 4u);
  ASSERT_EQ(SessionProbe::PointEvents(session()).size(), 4u);
  EXPECT_EQ(SessionProbe::PointEvents(session())[0], IdOf(0, 2));
  const std::pair<EventId, const char*> events[] = {{IdOf(0, 2), "三つ目"},
                                                    {IdOf(1, 0), "四つ目"},
                                                    {IdOf(0, 0), "一つ目"},
                                                    {IdOf(0, 1), "二つ目"}};
  for (const auto& [id, text] : events) {
    EXPECT_TRUE(ShownAndSelected(session().SelectEvent(id), text)) << text;
  }

  // Off the line: nothing moves.
  const EventId selected = *session().SelectedEvent();
  Click(PanelArea::kImportance1);
  session().SelectEvent(selected);
  EXPECT_EQ(session().SelectEvent(IdOf(0, 0)).place, EventPlace::kFilteredOut);
  Click(SlotArea(1));
  EXPECT_EQ(session().SelectEvent(IdOf(1, 0)).place, EventPlace::kSlotOff);
  EXPECT_EQ(session().SelectEvent(EventId{0, 0}).place, EventPlace::kNoSuchEvent);
  EXPECT_EQ(session().SelectedEvent(), selected);
}

// The edits by id select what they leave, and undo takes every one back to
// the lines as read, byte for byte and unchanged.
TEST_F(StudySessionTest, EditsByIdSelectTheirEventAndUndoByteForByte) {
  const FileSlot& slot = view->session()->store().slots[0];
  const std::vector<Sjis> read = LinesOf(slot);
  const EventId first = IdOf(0, 0);

  EXPECT_TRUE(ShownAndSelected(
      session().ReplaceEvent(first, EncodeCp932("AD1600;1,2,,;;改めた;;;").bytes), "改めた"));
  EXPECT_EQ(slot.IdAt(0), first);
  EXPECT_EQ(slot.changed, 1);
  EventOutcome added = session().InsertEvent(0, 1, EncodeCp932("AD0800;2,2,,;;足した;;;").bytes);
  EXPECT_TRUE(ShownAndSelected(added, "足した"));
  EXPECT_EQ(slot.IdAt(1), added.id);
  // 二つ目 (AD1500) is followed on the line by 改めた (AD1600).
  EXPECT_TRUE(ShownAndSelected(session().RemoveEvent(IdOf(0, 2)), "改めた"));
  EXPECT_EQ(slot.Count(), 3u);

  for (int i = 0; i < 3; ++i) view->OnKeyCommand(KeyCommand::kUndo);
  EXPECT_EQ(LinesOf(slot), read);
  EXPECT_EQ(slot.changed, 0);
  EXPECT_EQ(session().SelectedEvent(), first);
  for (int i = 0; i < 3; ++i) view->OnKeyCommand(KeyCommand::kRedo);
  EXPECT_EQ(slot.Count(), 3u);
  EXPECT_EQ(slot.changed, 1);
  EXPECT_EQ(session().RemoveEvent(EventId{0, 0}).place, EventPlace::kNoSuchEvent);
}

// While a question is open its event stays the selection whatever the
// learner zooms, steps or asks for, the panels show no date and, for a
// question of its place, nothing at all; ending it early shows nothing of
// it until another event is selected; the answer restores the panels.
TEST_F(StudySessionTest, AnOpenQuestionHoldsItsEventAndHidesItsYearsUntilAnswered) {
  view->Redraw(session().SelectEvent(IdOf(0, 1)).changes);
  const std::string left = Left();
  const std::string right = platform.PanelUtf8(InfoPanel::kRight);
  ASSERT_NE(left.find("1500"), std::string::npos);
  ASSERT_NE(right.find("1500"), std::string::npos);
  const EventId asked = IdOf(0, 1);
  auto hidden = [&] {
    return Left().find("1500") == std::string::npos &&
           platform.PanelUtf8(InfoPanel::kRight).find("1500") == std::string::npos;
  };

  view->Redraw(session().AskAbout(asked, false));
  EXPECT_TRUE(hidden());
  EXPECT_NE(Left().find("二つ目"), std::string::npos);
  EXPECT_FALSE(view->desk()->SelectRefusal().empty());
  const KeyCommand moves[] = {KeyCommand::kNextRange, KeyCommand::kNextRange,
                              KeyCommand::kPreviousRange, KeyCommand::kPreviousRange,
                              KeyCommand::kPreviousRange};
  for (KeyCommand key : moves) {
    view->OnKeyCommand(key);
    EXPECT_EQ(session().SelectedEvent(), asked);
    EXPECT_TRUE(hidden());
  }
  StepNext();
  EXPECT_TRUE(view->desk()->GoToYear({false, 1900}));
  view->desk()->SelectRandomOnLine();
  const std::size_t told = platform.messages.size();
  Click(PanelArea::kRandom);  // "ランダム選択" is refused with the keys' message
  ASSERT_EQ(platform.messages.size(), told + 1);
  EXPECT_EQ(platform.messages.back(), view->desk()->SelectRefusal());
  EXPECT_EQ(session().SelectedEvent(), asked);
  EXPECT_TRUE(hidden());

  view->Redraw(session().LeaveQuestion());  // the round ended early
  EXPECT_TRUE(view->desk()->SelectRefusal().empty());
  EXPECT_TRUE(hidden());
  StepNext();
  EXPECT_NE(session().SelectedEvent(), asked);
  view->Redraw(session().SelectEvent(asked).changes);
  EXPECT_EQ(Left(), left);

  view->Redraw(session().AskAbout(asked, true));
  EXPECT_EQ(Left(), "");
  EXPECT_EQ(platform.PanelUtf8(InfoPanel::kRight), "");
  view->Redraw(session().ShowAnswer({}));
  EXPECT_EQ(Left(), left);
  EXPECT_EQ(platform.PanelUtf8(InfoPanel::kRight), right);
}

}  // namespace
}  // namespace qev
