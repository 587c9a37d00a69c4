#include "view/main_view.h"

#include <filesystem>
#include <functional>
#include <system_error>
#include <utility>

#include "help/function_diagram.h"
#include "help/help_pages.h"
#include "panel/control_panel.h"
#include "panel/panel_areas.h"
#include "state/clock.h"
#include "state/context_menu.h"
#include "state/operating_state_text.h"
#include "timeline/info_panels.h"
#include "timeline/line_year.h"
#include "timeline/point_display.h"
#include "timeline/point_filter.h"
#include "timeline/question_marks.h"
#include "timeline/timeline_drawing.h"

namespace qev {

MainView::MainView(Platform& platform, ScreenLayout layout, std::string dataDir)
    : screen_(platform),
      layout_(layout),
      session_(layout, std::move(dataDir), [this] { return platform_.SteadyMilliseconds(); }) {}

void MainView::OnInitialUpdate() {
  RedrawBatch::Scope scope(batch_);
  platform_.SetScrollThumb(TimelineScale::kStartThumb);
  DrawTimeline();
  DrawControlPanel();
}

void MainView::OnPaint() {
  RedrawBatch::Scope scope(batch_);
  // A paint draws the whole panel anew, whatever it showed.
  panelShown_->Forget();
  if (firstPaint_) {
    firstPaint_ = false;
    DrawControlPanel();
    DrawTimeline();
    platform_.SetPanelText(InfoPanel::kLeft, {});
    platform_.SetPanelText(InfoPanel::kRight, {});

    std::vector<std::string> problems;
    std::error_code ec;
    EventStore& store = session_.store();
    if (!std::filesystem::is_directory(store.dataDir(), ec)) {
      problems.push_back("データフォルダ「" + store.dataDir().string() + "」がありません。");
    }
    FileResult state = LoadSlot(store, EventStore::kStateEntry);
    if (state.status == FileStatus::kUnreadable) {
      problems.push_back(store.BuildPath(store.stateBaseName).string() + ": " + state.reason);
    }
    if (!store.stateFileText.empty()) ApplyOperatingState();
    std::vector<std::string> unreadable = files_.AutoLoadSlots();
    problems.insert(problems.end(), unreadable.begin(), unreadable.end());
    FullRefresh();
    session_.RestoreSelection();
    ShowSelection();
    files_.ReportUnreadable(problems);
  }
  switch (screenPage_) {
    case ScreenPage::kMain:
      DrawTimeline();
      DrawControlPanel();
      ShowSelection();
      if (stateDescriptionShown_) platform_.SetPanelText(InfoPanel::kRight, savedStateDescription_);
      break;
    case ScreenPage::kDiagram:
      ShowDiagram();
      break;
    case ScreenPage::kHelp:
      ShowHelpPage(0);
      break;
  }
  DrawControlPanel();
}

void MainView::ApplyOperatingState() {
  session_.ApplyOperatingState(
      ReadOperatingState(session_.store().stateFileText, session_.CurrentOperatingState()));
  DrawTimeline();
  platform_.SetScrollThumb(session_.thumb());
}

void MainView::OnLButtonUp(int x, int y) {
  RedrawBatch::Scope scope(batch_);
  const int areaX = x - layout_.drawAreaX();
  const int areaY = y - layout_.drawAreaY();
  if (lineClickTaker_ && drawAreaContent_ == DrawAreaContent::kTimeline && areaX >= 0 &&
      areaX < layout_.drawAreaWidth() && areaY >= 0 && areaY < layout_.drawAreaHeight() &&
      lineClickTaker_->TakeLineClick({areaX, areaY, YearAtX(session_.scale(), areaX),
                                      YearsPerPixel(session_.scale(), areaX)})) {
    return;
  }
  qev::OnLButtonUp(*this, x, y);
}
void MainView::OnRButtonUp(int x, int y) {
  RedrawBatch::Scope scope(batch_);
  qev::OnRButtonUp(*this, x, y);
}
void MainView::OnLButtonDown(int x, int y) {
  RedrawBatch::Scope scope(batch_);
  qev::OnLButtonDown(*this, x, y);
}
void MainView::OnLButtonDblClk(int x, int y) {
  RedrawBatch::Scope scope(batch_);
  qev::OnLButtonDblClk(*this, x, y);
}
void MainView::OnRButtonDblClk(int x, int y) {
  RedrawBatch::Scope scope(batch_);
  qev::OnRButtonDblClk(*this, x, y);
}

void MainView::ShowContextMenu(int x, int y) {
  RedrawBatch::Scope scope(batch_);
  MenuCommand command = MenuCommand::kNone;
  FileTarget target = FileTarget::StateFile();
  if (std::optional<int> k = SlotLabelAt(layout_, x, y)) {
    CloseStateText();
    CancelContentEdit();
    target = FileTarget::Slot(*k);
    bool loaded = session_.store().slots[static_cast<std::size_t>(*k)].loaded == 1;
    command = platform_.PopupMenu(SlotMenu(loaded), x, y);
  } else if (stateDescriptionShown_ && StateLabelPressRect(layout_).Contains(x, y)) {
    command = platform_.PopupMenu(StateMenu(), x, y);
  }
  if (command != MenuCommand::kNone) OnCommand(command, target);
}

void MainView::ScrollTimeline(ScrollCode code, int thumbPos) {
  RedrawBatch::Scope scope(batch_);
  CloseStateText();
  const ScrollStep step = NextScrollPos(code, platform_.ScrollThumb(), thumbPos);
  Show(session_.ScrollLine(step.pos, step.fullRefresh));
}

void MainView::OnClockTick() {
  clockText_ = FormatClockText(platform_.Now());
  const bool marker = session_.TickStopwatch(platform_.SteadyMilliseconds());
  DrawClockTick(platform_.ViewCanvas(), layout_, session_.settings().textSize, clockText_,
                session_.stopwatch(), marker);
  // The tick drew over the panel's last row.
  panelShown_->ForgetRow(ControlPanelPicture::kRows - 1);
}

bool MainView::QueryClose() {
  RedrawBatch::Scope scope(batch_);
  const bool close = files_.ConfirmClose();
  // Where the window stays open, the labels of what was saved lose their
  // changed colour.
  if (!close) DrawControlPanel();
  return close;
}

void MainView::ShowSelection() {
  const VisiblePoint* selected = session_.visible().Selected();
  if (selected == nullptr) {
    ClearInfoPanels();
    return;
  }
  DrawTimeline();
  batch_.Draw(
      RedrawBatch::Region::kTimeline, false,
      [scale = session_.scale(), settings = session_.DrawnSettings(),
       question = session_.questionMarks(), point = *selected, marks = marks_](Platform& screen) {
        Canvas& area = screen.DrawAreaCanvas();
        *marks = DrawSelectionMarks(scale, settings, point, area);
        DrawQuestionMarks(scale, question, point.x1, area);
      });
  // The self-test's rings and labels are not taken away again: the next
  // drawing of the line draws it anew.
  const QuestionMarks& question = session_.questionMarks();
  if (question.ring || !question.labels.empty()) line_.reset();
  FillInfoPanels();
}

void MainView::FillInfoPanels() {
  if (!pointsExist()) {
    ClearInfoPanels();
    DrawControlPanel();
    return;
  }
  // A question of where the event lies: no panel may show it.
  InfoPanelsContent c = session_.ComposeSelectedPanels();
  if (session_.placeHidden()) c.left = c.right = {};
  platform_.SetPanelText(InfoPanel::kLeft, c.left);
  // What the user is typing into the right panel stays until the edit ends.
  if (!session_.edit().editing()) platform_.SetPanelText(InfoPanel::kRight, c.right);
  DrawControlPanel();
}

void MainView::ClearInfoPanels() {
  DrawTimeline();
  platform_.SetPanelText(InfoPanel::kLeft, {});
  platform_.SetPanelText(InfoPanel::kRight, {});
}

bool MainView::LineDrawn::operator==(const LineDrawn& o) const {
  return range == o.range && originX == o.originX && brightness == o.brightness && mode == o.mode &&
         points == o.points;
}

void MainView::DrawTimeline() {
  screenPage_ = ScreenPage::kMain;
  drawAreaContent_ = DrawAreaContent::kTimeline;
  const TimelineScale& scale = session_.scale();
  const DisplaySettings settings = session_.DrawnSettings();
  LineDrawn line{scale.rangeIndex(), scale.originX(), settings.brightness,
                 settings.pointDisplayMode, session_.points().sharedPoints()};
  // The line as it is drawn already: only the selection marks over it are
  // taken away, by putting back the picture kept under them.
  if (line_ && *line_ == line) {
    batch_.Draw(RedrawBatch::Region::kTimeline, false, [marks = marks_](Platform& screen) {
      Canvas& area = screen.DrawAreaCanvas();
      for (const PixelRect& rect : *marks) area.RestoreKept(rect);
      marks->clear();
    });
    return;
  }
  // Over a painted background nothing drawn before on the area shows; with
  // none, what was there shows through, so the line is drawn anew each time.
  const bool covers = BackgroundGrey(settings.brightness).has_value();
  if (covers) {
    line_ = line;
  } else {
    line_.reset();
  }
  batch_.Draw(RedrawBatch::Region::kTimeline, covers,
              [scale, settings, points = std::move(line.points), marks = marks_](Platform& screen) {
                qev::DrawTimeline(scale, settings, *points, screen.DrawAreaCanvas(),
                                  screen.ViewCanvas());
                marks->clear();
              });
}

void MainView::DrawControlPanel() {
  // What the panel shows, copied as it is now, with its own copies of the
  // texts the state borrows.
  struct Panel {
    ControlPanelState state;
    std::array<Sjis, EventStore::kSlotCount> labels;
    Sjis importance;
    Sjis memorisation;
    Sjis clock;
    Stopwatch stopwatch;
    std::int64_t nowMs = 0;
  };
  auto p = std::make_shared<Panel>();
  ControlPanelState& s = p->state;
  s.layout = layout_;
  s.settings = session_.settings();
  s.rangeIndex = session_.scale().rangeIndex();
  for (std::size_t k = 0; k < s.slots.size(); ++k) {
    const FileSlot& slot = session_.store().slots[k];
    p->labels[k] = slot.label;
    s.slots[k] = {p->labels[k], slot.loaded == 1, slot.on == 1, slot.changed == 1};
  }
  p->importance = session_.selectedImportanceText();
  p->memorisation = session_.selectedMemorisationText();
  s.selectedImportanceText = p->importance;
  s.selectedMemorisationText = p->memorisation;
  s.selectedSlotDigit = session_.selectedSlotDigit();
  s.visiblePointCount = session_.visible().size();
  s.contentEditMode = session_.edit().editing();
  s.stateDescriptionShown = stateDescriptionShown_;
  p->clock = ClockText();
  s.clockText = p->clock;
  // The stopwatch is held at zero now, as the drawing would; the drawing
  // shows a copy, on which holding it again at the same time changes nothing.
  p->nowMs = platform_.SteadyMilliseconds();
  session_.HoldStopwatchAtZero(p->nowMs);
  p->stopwatch = session_.stopwatch();
  // The small font's redraw paints the whole panel first.
  const bool covers = session_.settings().textSize == TextSize::kSmall;
  batch_.Draw(
      RedrawBatch::Region::kControlPanel, covers, [p, shown = panelShown_](Platform& screen) {
        qev::DrawControlPanel(screen.ViewCanvas(), p->state, p->stopwatch, p->nowMs, *shown);
      });
}

Sjis MainView::ClockText() {
  return FormatClockText(platform_.Now());
}

void MainView::OnCommand(MenuCommand command, FileTarget target) {
  RedrawBatch::Scope scope(batch_);
  // Reading, erasing and restoring change the slots the self-test asks from.
  if (command != MenuCommand::kSave && command != MenuCommand::kNone && EditingRefused()) return;
  switch (command) {
    case MenuCommand::kReadFile:
      files_.ReadSlot(target);
      break;
    case MenuCommand::kSave:
      files_.Save(target);
      break;
    case MenuCommand::kEraseFile:
      files_.EraseSlot(target);
      break;
    case MenuCommand::kNewFile:
      files_.CreateFile(target);
      break;
    case MenuCommand::kRestoreState:
      RestoreOperatingState();
      break;
    default:
      break;
  }
}

void MainView::SaveSlots(const std::vector<int>& slots) {
  RedrawBatch::Scope scope(batch_);
  files_.SaveSlotsToTheirFiles(slots);
  DrawControlPanel();
}

void MainView::CancelContentEdit() {
  Show(session_.CancelContentEdit());
}

void MainView::ShowStateDescription() {
  stateDescriptionShown_ = true;
  savedStateDescription_ =
      ComposeStateText(session_.CurrentOperatingState(), session_.store().stateTitle, ClockText());
  platform_.SetPanelText(InfoPanel::kRight, savedStateDescription_);
}

void MainView::ShowHelpPage(int k) {
  line_.reset();
  DrawHelpPage(platform_.DrawAreaCanvas(), layout_, k);
  drawAreaContent_ = DrawAreaContent::kHelpPage;
  screenPage_ = ScreenPage::kHelp;
}

void MainView::TurnHelpPage(int k) {
  helpPageIndex_ = k;
  ShowHelpPage(k);
}

void MainView::ShowDiagram() {
  line_.reset();
  DrawFunctionDiagram(platform_.DrawAreaCanvas(), layout_);
  drawAreaContent_ = DrawAreaContent::kDiagram;
  screenPage_ = ScreenPage::kDiagram;
}

void MainView::BackToMain() {
  DrawTimeline();
  ShowSelection();
  DrawControlPanel();
}

void MainView::RestoreOperatingState() {
  RedrawBatch::Scope scope(batch_);
  DrawControlPanel();
  // Every loaded slot is read again from its file: unsaved changes first.
  for (int k = 0; k < EventStore::kSlotCount; ++k) {
    if (!files_.ConfirmDiscard(k)) return;
  }
  platform_.SetPanelText(InfoPanel::kLeft, {});
  platform_.SetPanelText(InfoPanel::kRight, {});
  EventStore& store = session_.store();
  std::filesystem::path path = store.BuildPath(store.stateBaseName);
  store.NoteDialogOpened();
  std::optional<std::string> picked = platform_.FileDialog(FileDialogKind::kOpen, path.string());
  if (picked) {
    FileResult r = ReadFileFromDialog(store, FileTarget::StateFile(), *picked);
    if (r.ok()) {
      ApplyOperatingState();
      files_.ReportUnreadable(files_.AutoLoadSlots());
    } else {
      files_.ReportFileProblem(r, *picked);
    }
  } else {
    DrawControlPanel();
    DrawTimeline();
  }
  FullRefresh();
  session_.RestoreSelection();
  ShowSelection();
}

void MainView::Redraw(const Changes& changes) {
  if (!changes.any()) return;
  RedrawBatch::Scope scope(batch_);
  CloseStateText();
  Changes shown = changes;
  shown.selection = true;
  Show(shown);
}

Changes MainView::Select(SelectionStep step) {
  if (step == SelectionStep::kRandom && !desk_.SelectRefusal().empty()) {
    platform_.ShowMessage(desk_.SelectRefusal());
    return {};
  }
  return session_.Select(step);
}

void MainView::Show(const Changes& changes) {
  Changes c = changes;
  // Whatever moved, an open question's event stays the selection.
  if (c.refreshed || c.scrolled || c.points || c.selection) c |= session_.HoldQuestion();
  if (c.refreshed) {
    desk_.EventsChanged();
    CloseStateText();
    DrawControlPanel();
    ShowSelection();
  }
  if (c.lines) desk_.EventsChanged();
  if (c.scrolled) platform_.SetScrollThumb(session_.thumb());
  if (c.scrolled || c.points || c.look) DrawTimeline();
  if (c.points || c.controlPanel) DrawControlPanel();
  if (c.selection) ShowSelection();
  if (c.panels) FillInfoPanels();
}

}  // namespace qev
