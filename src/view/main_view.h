#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "events/edit_history.h"
#include "events/event_store.h"
#include "events/file_commands.h"
#include "events/point_list.h"
#include "events/slot_files.h"
#include "panel/click_dispatch.h"
#include "panel/content_edit.h"
#include "panel/screen_page.h"
#include "platform/platform.h"
#include "platform/screen_layout.h"
#include "settings/display_settings.h"
#include "state/operating_state.h"
#include "state/random_index.h"
#include "state/stopwatch.h"
#include "timeline/scrolling.h"
#include "timeline/timeline_scale.h"
#include "timeline/visible_points.h"
#include "view/event_desk.h"
#include "view/redraw_batch.h"
#include "view/view_handlers.h"

namespace qev {

// The program's one view: owns the state of every subsystem and runs the two
// redraw chains, FullRefresh (slots → point list → visible points → control
// panel → first point → ShowSelection) and ShowSelection (timeline →
// selection marks → information panels → control panel). The window
// forwards its events here; everything the view shows goes through the
// platform.
class MainView final : public ViewHandlers,
                       private FileCommandHost,
                       private ClickTarget,
                       private EventDesk {
 public:
  // `dataDir` is the folder of the event files and the state file.
  MainView(Platform& platform, ScreenLayout layout, std::string dataDir);

  const ScreenLayout& layout() const override { return layout_; }

  // One-time initialisation: the scroll thumb, the empty timeline and the
  // control panel.
  void OnInitialUpdate() override;
  void OnPaint() override;
  void OnLButtonUp(int x, int y) override;
  void OnRButtonUp(int x, int y) override;
  void OnLButtonDown(int x, int y) override;
  void OnLButtonDblClk(int x, int y) override;
  void OnRButtonDblClk(int x, int y) override;
  void ShowContextMenu(int x, int y) override;
  void ScrollTimeline(ScrollCode code, int thumbPos) override;
  void OnClockTick() override;
  // Offers to save slots with unsaved changes.
  bool QueryClose() override;
  // Runs the click or scroll bar action a key stands for, or undo / redo.
  void OnKeyCommand(KeyCommand command) override;
  SheetSource WholeTimeline() override;
  EventDesk* desk() override { return this; }
  // Undo and redo of the changes to event lines (content edits and level
  // changes), redrawn as after an edit.
  void Undo();
  void Redo();

  // The redraw chains and the operations they are made of.
  void FullRefresh() override;
  void ShowSelection();
  void RebuildVisiblePoints();
  static Sjis FormatPointLine(std::string_view line);
  void SelectFirst();
  void SelectLast();
  void SelectPrevious();
  void SelectNext();
  void SelectAtX(int x);
  void SelectRandom();
  void FillInfoPanels();
  void ClearInfoPanels();
  void DrawTimeline() override;
  void DrawAllPoints();
  void DrawControlPanel() override;
  void ChangeRange(int direction) override;

  // Context-menu commands, acting on menuTarget.
  void OnCommand(MenuCommand command);
  // 動作状態からの再入力: reads a state file picked in a dialog, applies it
  // and reloads the slots.
  void RestoreOperatingState();

  // State, for the window and for tests.
  EventStore& store() override { return store_; }
  DisplaySettings& settings() override { return settings_; }
  TimelineScale& scale() { return scale_; }
  Stopwatch& stopwatch() { return stopwatch_; }
  const PointList& points() const { return points_; }
  const VisiblePointList& visible() const { return visible_; }
  bool stateDescriptionShown() const override { return stateDescriptionShown_; }
  ContentEditState& edit() override { return edit_; }
  VisiblePointList& visible() override { return visible_; }
  ScreenPage& screenPage() override { return screenPage_; }
  int& helpPageIndex() override { return helpPageIndex_; }
  int& timeUnitIndex() override { return timeUnitIndex_; }
  DrawAreaContent drawAreaContent() const override { return drawAreaContent_; }

  int selectedIndex() const { return visible_.selectedIndex(); }
  int menuTarget() const { return menuTarget_; }
  void setMenuTarget(int target) { menuTarget_ = target; }
  int savedScrollPos() const { return savedScrollPos_; }
  int randomIndex() override;

 private:
  // A selection step, when there is a point to select, and its redraw.
  void Select(const std::function<void(VisiblePointList&)>& move);
  // The settings the state file carries, as they are now.
  OperatingState CurrentOperatingState() const;
  // Applies the state file's text read at start-up: settings, range, scroll
  // position and the slots to load.
  void ApplyOperatingState();

  // What the file commands and the clicks ask of the view.
  void CloseStateText() override { stateDescriptionShown_ = false; }
  // Ends a content edit without writing it back.
  void CancelContentEdit() override;
  Sjis SaveDateText() override { return ClockText(); }
  void KeepStateDescription(const Sjis& text) override { savedStateDescription_ = text; }
  void SlotFileChanged(int k) override { history_.ForgetSlot(k); }
  void ShowStateDescription() override;
  void SelectRedraw() override { ShowSelection(); }
  void PanelsRedraw() override { FillInfoPanels(); }
  void TimelineRedraw() override { DrawTimeline(); }
  void RebuildSlotViews() override { RebuildVisiblePoints(); }
  void BeginContentEdit() override;
  void ExecuteContentEdit() override;
  void ApplyLevelChange() override;
  void StopwatchClick() override;
  void ShowHelpPage(int k) override;
  void ShowDiagram() override;
  // The selected point's event line and where it is, or nothing without a
  // selection or when its key names no line of its slot.
  std::optional<EventLineLocation> SelectedLine();
  // Replaces a line of a slot, marks the slot changed and records the
  // change for undo; false when the slot no longer holds that line.
  bool WriteLine(const EventLineLocation& at, Sjis line);
  // After a line changed: the visible points rebuilt from the slots and the
  // selection, kept where it was, shown again.
  void RedrawChangedLine();
  // Puts a change of the history back (undo) or in again (redo).
  void ApplyHistory(const std::optional<LineChange>& change, bool undo);

  Sjis ClockText();

  // The find window's and the event dialogs' operations (event_desk_view.cpp).
  std::vector<DeskEvent> Events() override;
  std::uint64_t EventsVersion() const override { return eventsVersion_; }
  Sjis SlotLabel(int slot) const override;
  std::vector<int> LoadedSlots() const override;
  std::optional<DeskEvent> SelectedEvent() override;
  bool ContentEditUnderway() const override { return edit_.editing(); }
  bool JumpToEvent(EventKey key) override;
  bool GoToYear(EraYear year) override;
  void SelectRandomOnLine() override;
  std::optional<std::string> PointTipAt(int x, int y) override;
  bool AddEvent(int slot, Sjis line) override;
  bool ReplaceEvent(EventKey key, Sjis line) override;
  bool DeleteEvent(EventKey key) override;
  // Scrolls so that point `index` of the point list is in view, centred
  // where the scroll range allows, and selects it.
  bool ShowPoint(std::size_t index);
  // The point list index of an event's point, if it has one.
  std::optional<std::size_t> PointOf(EventKey key) const;
  // After a change of an event's line: the event selected, the line
  // scrolled to it if it is not in view.
  void ShowChangedEvent(EventKey key);

  // The real platform; the handlers use platform_, which brings the screen
  // up to date with the batch before anything else is drawn or shown.
  Platform& screen_;
  RedrawBatch batch_{screen_};
  BatchedPlatform platform_{screen_, batch_};
  ScreenLayout layout_;

  EventStore store_;
  FileCommands files_{store_, platform_, *this};
  DisplaySettings settings_;
  TimelineScale scale_;
  PointList points_;
  VisiblePointList visible_;
  RandomIndex randomIndex_;
  Stopwatch stopwatch_;
  Sjis clockText_;

  // What the information panels hand to the control panel.
  Sjis selectedImportanceText_;
  Sjis selectedMemorisationText_;
  char selectedSlotDigit_ = '\0';

  ContentEditState edit_;
  EditHistory history_;
  // The line a content edit under way writes back to.
  std::optional<EventLineLocation> editTarget_;
  bool stateDescriptionShown_ = false;
  Sjis savedStateDescription_;
  ScreenPage screenPage_ = ScreenPage::kMain;
  DrawAreaContent drawAreaContent_ = DrawAreaContent::kTimeline;
  int helpPageIndex_ = 0;
  int timeUnitIndex_ = kTimeUnitYear;
  int savedScrollPos_ = TimelineScale::kStartThumb;
  int menuTarget_ = 0;
  int restoredSelectedIndex_ = 0;
  bool firstPaint_ = true;
  std::uint64_t eventsVersion_ = 0;
  std::mt19937 random_{std::random_device{}()};
};

}  // namespace qev
