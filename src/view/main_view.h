#pragma once

#include <cstddef>
#include <functional>
#include <optional>
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
#include "view/redraw_batch.h"
#include "view/session_desk.h"
#include "view/study_session.h"
#include "view/view_handlers.h"

namespace qev {

// The program's one view: owns the state of every subsystem and runs the two
// redraw chains, FullRefresh (slots → point list → visible points → control
// panel → first point → ShowSelection) and ShowSelection (timeline →
// selection marks → information panels → control panel). The window
// forwards its events here; everything the view shows goes through the
// platform.
class MainView final : public ViewHandlers, private FileCommandHost, private ClickTarget {
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
  // Undo and redo of the changes to event lines, redrawn as after an edit.
  void Undo();
  void Redo();

  // The redraw chains and the operations they are made of.
  void FullRefresh() override;
  void ShowSelection();
  void RebuildVisiblePoints();
  void SelectFirst();
  void SelectPrevious();
  void SelectNext();
  void SelectAtX(int x);
  void FillInfoPanels();
  void ClearInfoPanels();
  void DrawTimeline() override;
  void DrawControlPanel() override;
  void ChangeRange(int direction) override;

  // Context-menu commands, acting on menuTarget.
  void OnCommand(MenuCommand command);
  // 動作状態からの再入力: reads a state file picked in a dialog, applies it
  // and reloads the slots.
  void RestoreOperatingState();

  // The study session behind the view. The shell's windows run an
  // operation on it and hand what it changed to Redraw.
  StudySession* session() override { return &session_; }
  // What the find window and the event dialogs work on.
  EventDesk* desk() override { return &desk_; }
  // Redraws what an operation of the session changed.
  void Redraw(const Changes& changes) override;
  bool SetSelfTestOpen(bool open) override;
  void SaveSlots(const std::vector<int>& slots) override;

  // State, for the window and for tests.
  EventStore& store() override { return session_.store(); }
  DisplaySettings& settings() override { return session_.settings(); }
  TimelineScale& scale() { return session_.scale(); }
  Stopwatch& stopwatch() { return session_.stopwatch(); }
  const PointList& points() const { return session_.points(); }
  const VisiblePointList& visible() const { return session_.visible(); }
  bool stateDescriptionShown() const override { return stateDescriptionShown_; }
  ContentEditState& edit() override { return session_.edit(); }
  VisiblePointList& visible() override { return session_.visible(); }
  ScreenPage& screenPage() override { return screenPage_; }
  int& helpPageIndex() override { return session_.helpPageIndex(); }
  int& timeUnitIndex() override { return session_.timeUnitIndex(); }
  DrawAreaContent drawAreaContent() const override { return drawAreaContent_; }

  int selectedIndex() const { return session_.visible().selectedIndex(); }
  int menuTarget() const { return menuTarget_; }
  void setMenuTarget(int target) { menuTarget_ = target; }
  int savedScrollPos() const { return session_.savedScrollPos(); }
  int randomIndex() override;

 private:
  // A selection step, when there is a point to select, and its redraw.
  void Select(const std::function<void(VisiblePointList&)>& move);
  // Applies the state file's text read at start-up: settings, range, scroll
  // position and the slots to load.
  void ApplyOperatingState();

  // What the file commands and the clicks ask of the view.
  void CloseStateText() override { stateDescriptionShown_ = false; }
  // Ends a content edit without writing it back.
  void CancelContentEdit() override;
  Sjis SaveDateText() override { return ClockText(); }
  void KeepStateDescription(const Sjis& text) override { savedStateDescription_ = text; }
  void SlotFileChanged(int k) override { session_.SlotFileChanged(k); }
  void SlotSaved(int k) override { session_.SlotSaved(k); }
  void ShowStateDescription() override;
  void SelectRedraw() override { ShowSelection(); }
  void PanelsRedraw() override { FillInfoPanels(); }
  void TimelineRedraw() override { DrawTimeline(); }
  void RebuildSlotViews() override { RebuildVisiblePoints(); }
  void BeginContentEdit() override;
  void ExecuteContentEdit() override;
  void ApplyLevelChange() override;
  // While the self-test window is open: says so and returns true.
  bool EditingRefused();
  void StopwatchClick() override;
  void ShowHelpPage(int k) override;
  void ShowDiagram() override;

  Sjis ClockText();

  // The real platform; the handlers use platform_, which brings the screen
  // up to date with the batch before anything else is drawn or shown.
  Platform& screen_;
  RedrawBatch batch_{screen_};
  BatchedPlatform platform_{screen_, batch_};
  ScreenLayout layout_;

  StudySession session_;
  FileCommands files_{session_.store(), platform_, *this};
  SessionDesk desk_{session_, *this};
  Sjis clockText_;

  bool stateDescriptionShown_ = false;
  bool selfTestOpen_ = false;
  Sjis savedStateDescription_;
  ScreenPage screenPage_ = ScreenPage::kMain;
  DrawAreaContent drawAreaContent_ = DrawAreaContent::kTimeline;
  int menuTarget_ = 0;
  bool firstPaint_ = true;
};

}  // namespace qev
