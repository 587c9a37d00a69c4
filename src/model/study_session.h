#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "events/edit_history.h"
#include "events/event_store.h"
#include "events/point_list.h"
#include "model/content_edit.h"
#include "model/operating_state.h"
#include "model/operations.h"
#include "model/random_index.h"
#include "model/stopwatch.h"
#include "platform/screen_layout.h"
#include "settings/display_settings.h"
#include "timeline/info_panels.h"
#include "timeline/question_marks.h"
#include "timeline/timeline_scale.h"
#include "timeline/visible_points.h"

namespace qev {

// The program's model: one learner's study of the loaded events. The ten
// slots, the display settings, the scale, the point lists and the
// selection, the content edit and the edit history, and the stopwatch. It
// owns that state and changes it only through the named operations below,
// each of which does its whole change at once and says what changed; it
// draws nothing. The view turns the changes into redraws.
class StudySession {
 public:
  // Milliseconds of a steady clock (the random selection runs on it).
  using SteadyClock = std::function<std::int64_t()>;

  // `dataDir` is the folder of the event files and the state file.
  StudySession(const ScreenLayout& layout, std::string dataDir, SteadyClock clock);

  const EventStore& store() const { return store_; }
  const DisplaySettings& settings() const { return settings_; }
  const TimelineScale& scale() const { return scale_; }
  const PointList& points() const { return points_; }
  const VisiblePointList& visible() const { return visible_; }
  const ContentEditState& edit() const { return edit_; }
  const Stopwatch& stopwatch() const { return stopwatch_; }
  int savedScrollPos() const { return savedScrollPos_; }
  // What the last information-panel composition hands to the control panel.
  const Sjis& selectedImportanceText() const { return selectedImportanceText_; }
  const Sjis& selectedMemorisationText() const { return selectedMemorisationText_; }
  char selectedSlotDigit() const { return selectedSlotDigit_; }

  // The slots as the file commands read, save and erase them.
  EventStore& store() { return store_; }

  // ---- What the clicks change; each operation says what to redraw ----
  Changes Flip(DisplaySwitch which);
  Changes Step(SteppedSetting which, int step);
  // The filter flipped and the point list rebuilt.
  Changes FlipFilter(Level kind, int level);
  // Slot k on or off, its title set to its label, the point list rebuilt;
  // nothing changes when it holds no file.
  Changes FlipSlot(int k);
  // The point list rebuilt from the loaded, switched-on slots and the level
  // filters, placed for the current range, the first visible point selected.
  Changes Refresh();
  // One range step, with the points placed for it and the first visible
  // point selected.
  Changes ChangeRange(int direction);
  // The line at scroll position `pos` (a step of the scroll bar); with
  // `rebuild`, the visible points follow and the first is selected.
  Changes ScrollLine(int pos, bool rebuild);
  // The selection moved; nothing without visible points.
  Changes Select(SelectionStep step);
  Changes SelectAt(int x);
  // The level-change value stepped and both values written into the
  // selected point's line.
  Changes StepLevelChange(Level kind, int step);
  int CountEditButtonTest() { return ++edit_.editClickCount; }
  void SetEditButtonTests(int count) { edit_.editClickCount = count; }
  // Leaves an edit without writing it back ("[中止]").
  Changes LeaveContentEdit();
  Changes StopwatchClick() {
    stopwatch_.StopwatchClick(clock_());
    return {.controlPanel = true};
  }
  // The once-a-second count (Stopwatch::Tick).
  bool TickStopwatch(std::int64_t nowMs) { return stopwatch_.Tick(nowMs); }
  // While idle the stopwatch is held at zero (every control-panel redraw).
  void HoldStopwatchAtZero(std::int64_t nowMs) { stopwatch_.HoldIdleAtZero(nowMs); }
  // Where the scroll bar's thumb stands after the last operation that
  // moved the line.
  int thumb() const { return thumb_; }

  // ---- Events by id ----
  // The event line of an id, or nothing when no slot holds it.
  std::optional<Sjis> EventLine(EventId id) const;
  // The selected point's event, or nothing without visible points.
  std::optional<EventId> SelectedEvent() const;

  // Selects the event's point: a point outside the drawing area has the
  // line scrolled to bring it to the middle (as near as the scroll bar's
  // steps allow; past the bar's ends the line is put there directly), then
  // the visible points are rebuilt and the point selected. An event that is
  // not on the line leaves everything as it was and says why.
  EventOutcome SelectEvent(EventId id);

  // The edits, each recorded in the edit history and marking its slot
  // changed. The point list follows the line and the event edited or inserted is
  // selected (SelectEvent); after a removal the event that followed it on
  // the line (else the one before) is. Replace and remove of an id no slot
  // holds change nothing (kNoSuchEvent).
  EventOutcome ReplaceEvent(EventId id, Sjis line);
  EventOutcome InsertEvent(int k, std::size_t index, Sjis line);
  EventOutcome RemoveEvent(EventId id);

  // Undo and redo of the last change to the event lines. The point list
  // follows the line, and the changed event is selected (the line scrolled
  // to it if it is out of view); when its line goes, the edits' neighbour
  // is.
  Changes Undo();
  Changes Redo();

  // ---- A question of the self-test ----
  // Selects the asked event and hides its years (YearsShown then shows
  // none); with `hidePlace` no point is marked, no panel shows it and the
  // line is scrolled to have it somewhere in view, not always in the
  // middle. While the question is open HoldQuestion keeps it the selection
  // and the selection mark ringed.
  Changes AskAbout(EventId id, bool hidePlace);
  // The question answered: its years shown again and `labels` marked on
  // the line until the next question.
  Changes ShowAnswer(std::vector<QuestionMarks::Label> labels);
  // The question left unanswered (the round ended early): what it hid stays
  // hidden for as long as its event is the selection. Without a question
  // open, the answer's marks go.
  Changes LeaveQuestion();
  // After any operation: the open question's event selected again (the
  // line scrolled back to it unless its place is asked), or a left
  // question's hiding lifted once another event is selected.
  Changes HoldQuestion();
  bool questionOpen() const { return asked_ && asked_->open; }
  // Whether the selection's place is hidden: no mark, nothing in the panels.
  bool placeHidden() const { return asked_ && asked_->hidePlace; }
  const QuestionMarks& questionMarks() const { return marks_; }
  // The settings the line is drawn with: no point marked while a place is
  // hidden.
  DisplaySettings DrawnSettings() const;

  // ---- Drawing what the model holds ----
  // The information panels of the selected point; keeps what they hand to
  // the control panel and the selected point's levels as the level-change
  // values. Call only with a selection.
  InfoPanelsContent ComposeSelectedPanels();

  // ---- Content editing and level changes ----
  // The right panel's text for an edit of the selected point's line, which
  // the edit writes back to even if the selection moves; nothing without
  // a selection. A field too long for its panel line is refused (the
  // problem's panel line is set) and no edit starts.
  struct EditStart {
    std::optional<Sjis> text;
    std::optional<EditedLine> refused;
  };
  EditStart BeginContentEdit();
  // Writes the typed panel lines back into the edited line (RewriteEventLine)
  // and ends the edit; a refused rewrite keeps the edit open and is returned.
  // Nothing when no edit has a line to write to.
  std::optional<EditedLine> ExecuteContentEdit(const Sjis& typed);
  // Ends an edit without writing it back; when one was under way, the
  // point list is rebuilt (Refresh).
  Changes CancelContentEdit();

  // ---- Files and the state file ----
  // Slot k now holds what a file holds (or nothing): no earlier change of it
  // can be undone.
  void SlotFileChanged(int k) { history_.ForgetSlot(k); }
  // Slot k was saved: its changes stay undoable past the save.
  void SlotSaved(int k) { history_.SlotSaved(k); }
  // The settings the state file carries, as they are now.
  OperatingState CurrentOperatingState() const;
  // Takes the state file's settings, slots, range and scroll position; the
  // selection it names is kept for RestoreSelection.
  void ApplyOperatingState(const OperatingState& state);
  // Selects the point the last state file named, after the slots are read.
  void RestoreSelection() { visible_.SetSelectedIndex(restoredSelectedIndex_); }

 private:
  // The tests' and benchmarks' look inside (tests/model/session_probe.h).
  friend struct SessionProbe;

  // Writes the level-change values into the selected point's line.
  void ApplyLevelChange();
  // The selected point's event when its line can be edited.
  std::optional<EventId> SelectedLine() const;
  // Replaces a line through the history; false when no slot holds it.
  bool WriteLine(EventId id, Sjis line);
  // After a line of slot k came, went or changed at `index`: the point list
  // follows it without a rebuild.
  enum class LineMove { kReplaced, kInserted, kRemoved };
  void FollowLine(LineMove move, int k, std::size_t index);
  // After an edit: `id` selected, the line scrolled to it if it is not in
  // view; the visible points rebuilt in any case.
  EventOutcome Reselect(EventId id);
  // The point that takes the selection when `id`'s point goes: the one after
  // it on the line, else the one before; the selection as it is when `id`
  // has no point.
  std::optional<EventId> NeighbourOf(EventId id) const;
  // Where the line of an id is in its slot.
  std::optional<std::size_t> IndexOf(EventId id) const;
  // The index in points() of an event, or nothing.
  std::optional<std::size_t> PointIndexOf(EventId id) const;
  // The line moved: the thumb follows the era line.
  Changes Scrolled();
  void RebuildPoints();
  // The visible points rebuilt from the point list, the random index
  // restarted when there are any.
  void RebuildVisiblePoints();
  int RandomIndex() const { return randomIndex_.Value(clock_()); }
  void PlacePoints();
  // The line at scroll position `pos`; returns the position taken.
  int ScrollTo(int pos);
  // Why an event is not on the line.
  EventPlace PlaceOffLine(EventId id) const;
  Changes AfterHistory(const std::optional<EditCommand>& command, bool undone);

  struct Asked {
    EventId id;
    bool hidePlace = false;
    bool open = true;  // false: left unanswered
  };
  std::optional<Asked> asked_;
  QuestionMarks marks_;
  SteadyClock clock_;
  EventStore store_;
  DisplaySettings settings_;
  TimelineScale scale_;
  PointList points_;
  VisiblePointList visible_;
  qev::RandomIndex randomIndex_;
  Stopwatch stopwatch_;
  ContentEditState edit_;
  EditHistory history_;
  // The event a content edit under way writes back to.
  std::optional<EventId> editTarget_;
  int savedScrollPos_ = TimelineScale::kStartThumb;
  int thumb_ = TimelineScale::kStartThumb;
  int restoredSelectedIndex_ = 0;
  Sjis selectedImportanceText_;
  Sjis selectedMemorisationText_;
  char selectedSlotDigit_ = '\0';
};

}  // namespace qev
