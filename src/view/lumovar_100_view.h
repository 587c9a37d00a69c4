#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "events/event_store.h"
#include "events/point_list.h"
#include "events/slot_files.h"
#include "platform/platform.h"
#include "platform/screen_layout.h"
#include "settings/display_settings.h"
#include "state/operating_state.h"
#include "state/random_index.h"
#include "state/stopwatch.h"
#include "timeline/timeline_scale.h"
#include "timeline/visible_points.h"

namespace qev {

// Scroll bar actions, as the scroll bar reports them.
enum class ScrollCode {
  kLineLeft,
  kLineRight,
  kPageLeft,
  kPageRight,
  kThumbPosition,
  kThumbTrack,
  kLeft,
  kRight,
  kEndScroll,
};

// The program's one view: owns the state of every subsystem and runs the two
// redraw chains, FullRefresh (slots → point list → visible points → control
// panel → first point → ShowSelection) and ShowSelection (timeline →
// selection marks → information panels → control panel). The window
// forwards its events here; everything the view shows goes through the
// platform.
class CLumovar_100View {
 public:
  // `dataDir` is the folder of the event files and the state file.
  CLumovar_100View(Platform& platform, ScreenLayout layout, std::string dataDir);

  const ScreenLayout& layout() const { return layout_; }

  // One-time initialisation: the scroll thumb, the empty timeline and the
  // control panel.
  void OnInitialUpdate();
  // Every paint; the first one restores the state file and the slots.
  void OnPaint();

  // Pointer input, in view coordinates.
  void OnLButtonUp(int x, int y);
  void OnRButtonUp(int x, int y);
  void OnLButtonDown(int x, int y);
  void OnLButtonDblClk(int x, int y);
  // The context menu for the label under (x, y), after the right-button
  // release was dispatched.
  void ShowContextMenu(int x, int y);

  void ScrollTimeline(ScrollCode code, int thumbPos);

  // Timer 3: once a second, clock and stopwatch.
  void OnClockTick();

  // Before the window closes: offers to save slots with unsaved changes.
  // False keeps the window open.
  bool QueryClose();

  // The redraw chains and the operations they are made of.
  void FullRefresh();
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
  void DrawTimeline();
  void DrawAllPoints();
  void DrawControlPanel();
  void ChangeRange(int direction);

  // Context-menu commands, acting on menuTarget.
  void OnCommand(int command);
  void ReadSlotCommand();
  void SaveCommand();
  void EraseSlotCommand();
  // Reads every slot marked loaded; returns the files that are there but
  // could not be read, each with its reason.
  std::vector<std::string> AutoLoadSlots();

  // State, for the window and for tests.
  EventStore& store() { return store_; }
  DisplaySettings& settings() { return settings_; }
  TimelineScale& scale() { return scale_; }
  Stopwatch& stopwatch() { return stopwatch_; }
  const PointList& points() const { return points_; }
  const VisiblePointList& visible() const { return visible_; }
  const std::vector<Sjis>& pointDisplayList() const { return pointDisplayList_; }
  int selectedIndex() const { return visible_.selectedIndex(); }
  int menuTarget() const { return menuTarget_; }
  void setMenuTarget(int target) { menuTarget_ = target; }
  int savedScrollPos() const { return savedScrollPos_; }
  int randomIndex() const;

 private:
  // A selection step, when there is a point to select, and its redraw.
  void Select(const std::function<void(VisiblePointList&)>& move);
  // The slot menuTarget names, or null for the state file or no target.
  FileSlot* TargetSlot();
  // Saves the slot or state file of menuTarget through the save dialog;
  // true when it was written.
  bool SaveTarget();
  // Asks before unsaved changes of slot k are lost: true to go on (saved or
  // discarded), false to keep everything as it is.
  bool ConfirmDiscard(int k);
  // The settings the state file carries, as they are now.
  OperatingState CurrentOperatingState() const;
  // Applies the state file's text read at start-up: settings, range, scroll
  // position and the slots to load.
  void ApplyOperatingState();
  // Ends a content edit without writing it back.
  void CancelContentEdit() {}
  Sjis ClockText();
  void ReportFileProblem(const FileResult& result, const std::filesystem::path& path);

  Platform& platform_;
  ScreenLayout layout_;

  EventStore store_;
  DisplaySettings settings_;
  TimelineScale scale_;
  PointList points_;
  VisiblePointList visible_;
  // The event lines of the visible points in display form, then three empty
  // entries.
  std::vector<Sjis> pointDisplayList_;
  RandomIndex randomIndex_;
  Stopwatch stopwatch_;
  Sjis clockText_;

  // What the information panels hand to the control panel.
  Sjis selectedImportanceText_;
  Sjis selectedMemorisationText_;
  int importanceChange_ = 1;
  int memorisationChange_ = 1;
  char selectedSlotDigit_ = '\0';

  int stateDescriptionShown_ = 0;
  Sjis savedStateDescription_;
  int contentEditMode_ = 0;
  int screenPage_ = 0;
  int drawAreaContent_ = 0;
  int savedScrollPos_ = TimelineScale::kStartThumb;
  int menuTarget_ = 0;
  int restoredSelectedIndex_ = 0;
  bool firstPaint_ = true;
};

}  // namespace qev
