#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "events/file_commands.h"
#include "model/study_session.h"
#include "panel/click_dispatch.h"
#include "panel/control_panel.h"
#include "panel/screen_page.h"
#include "platform/platform.h"
#include "platform/screen_layout.h"
#include "state/context_menu.h"
#include "view/redraw_batch.h"
#include "view/session_desk.h"
#include "view/view_handlers.h"

namespace qev {

// The program's one view: turns the window's events into operations of the
// study session and what they change into redraws, through two redraw
// chains, FullRefresh (slots → point list → visible points → control panel
// → first point → ShowSelection) and ShowSelection (timeline → selection
// marks → information panels → control panel). Everything the view shows
// goes through the platform.
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
  // Runs the click or scroll bar action a key stands for, or undo / redo
  // (redrawn as after an edit).
  void OnKeyCommand(KeyCommand command) override;
  bool RightPanelTyping() const override {
    return session_.edit().editing() || stateDescriptionShown_;
  }
  SheetSource WholeTimeline() override;
  std::vector<ListedEvent> LineEvents() override;
  ImportOutcome ImportEvents(std::string_view name, std::string_view title,
                             const std::vector<Sjis>& lines) override;

  // The study session behind the view. The shell's windows run an
  // operation on it and hand what it changed to Redraw.
  StudySession* session() override { return &session_; }
  // What the find window and the event dialogs work on.
  EventDesk* desk() override { return &desk_; }
  // Redraws what an operation of the session changed.
  void Redraw(const Changes& changes) override;
  bool SetSelfTestOpen(bool open) override;
  void OfferLineClicks(LineClickTaker* taker) override { lineClickTaker_ = taker; }
  void SaveSlots(const std::vector<int>& slots) override;

  // The redraw chains and the drawings they are made of.
  void FullRefresh() override { Show(session_.Refresh()); }
  void ShowSelection();
  void DrawTimeline() override;
  void DrawControlPanel() override;

  // Whether the right panel shows the operating-state description, and
  // what the drawing area is meant to show.
  bool stateDescriptionShown() const override { return stateDescriptionShown_; }
  ScreenPage screenPage() const override { return screenPage_; }

 private:
  // Context-menu commands, acting on the slot or the state file the menu
  // was opened on.
  void OnCommand(MenuCommand command, FileTarget target);
  // 動作状態からの再入力: reads a state file picked in a dialog, applies it
  // and reloads the slots.
  void RestoreOperatingState();
  // Applies the state file's text read at start-up: settings, range, scroll
  // position and the slots to load.
  void ApplyOperatingState();
  void FillInfoPanels();
  void ClearInfoPanels();
  Sjis ClockText();

  // What the file commands and the clicks ask of the view.
  void CloseStateText() override { stateDescriptionShown_ = false; }
  void CancelContentEdit() override;
  Sjis SaveDateText() override { return ClockText(); }
  void KeepStateDescription(const Sjis& text) override { savedStateDescription_ = text; }
  void SlotFileChanged(int k) override { session_.SlotFileChanged(k); }
  void SlotSaved(int k) override { session_.SlotSaved(k); }

  // ClickTarget: the operations of the model, the screen's own state.
  bool pointsExist() const override { return !session_.visible().empty(); }
  bool editing() const override { return session_.edit().editing(); }
  int helpPageIndex() const override { return helpPageIndex_; }
  DrawAreaContent drawAreaContent() const override { return drawAreaContent_; }
  // The one place where what changed becomes redraws.
  void Show(const Changes& changes) override;
  Changes CancelEdit() override { return session_.CancelContentEdit(); }
  Changes Flip(DisplaySwitch which) override { return session_.Flip(which); }
  Changes Step(SteppedSetting which, int step) override { return session_.Step(which, step); }
  Changes FlipFilter(Level kind, int level) override { return session_.FlipFilter(kind, level); }
  Changes FlipSlot(int k) override { return session_.FlipSlot(k); }
  Changes ChangeRange(int direction) override { return session_.ChangeRange(direction); }
  // A random pick is refused, with the message the keys give, while a
  // question is open.
  Changes Select(SelectionStep step) override;
  Changes SelectAt(int x) override { return session_.SelectAt(x); }
  Changes StepLevelChange(Level kind, int step) override {
    if (EditingRefused()) return {.selection = true, .controlPanel = true};
    return session_.StepLevelChange(kind, step);
  }
  Changes BeginContentEdit() override;
  Changes ExecuteContentEdit() override;
  // While the self-test window is open: says so and returns true.
  bool EditingRefused();
  Changes LeaveContentEdit() override { return session_.LeaveContentEdit(); }
  int CountEditButtonTest() override { return session_.CountEditButtonTest(); }
  void SetEditButtonTests(int count) override { session_.SetEditButtonTests(count); }
  void ShowStateDescription() override;
  Changes StopwatchClick() override { return session_.StopwatchClick(); }
  void ShowHelpPage(int k) override;
  void TurnHelpPage(int k) override;
  void ShowDiagram() override;
  void BackToMain() override;

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

  // What the drawing area's line was last asked to be drawn with, while the
  // area shows that line with nothing over it but selection marks; nothing
  // when it may show anything else.
  struct LineDrawn {
    int range = 0;
    int originX = 0;
    int brightness = 0;
    PointDisplayMode mode = PointDisplayMode::kAll;
    // Held, so that a list made later cannot take the address of this one.
    std::shared_ptr<const std::vector<TimelinePoint>> points;
    bool operator==(const LineDrawn& o) const;
  };
  std::optional<LineDrawn> line_;
  // Where the selection marks drawn over the line lie, as the drawings run.
  std::shared_ptr<std::vector<PixelRect>> marks_ = std::make_shared<std::vector<PixelRect>>();
  // What the control panel shows, as its drawings run.
  std::shared_ptr<ControlPanelPicture> panelShown_ = std::make_shared<ControlPanelPicture>();

  bool stateDescriptionShown_ = false;
  bool selfTestOpen_ = false;
  LineClickTaker* lineClickTaker_ = nullptr;
  Sjis savedStateDescription_;
  ScreenPage screenPage_ = ScreenPage::kMain;
  DrawAreaContent drawAreaContent_ = DrawAreaContent::kTimeline;
  bool firstPaint_ = true;
  int helpPageIndex_ = 0;
};

}  // namespace qev
