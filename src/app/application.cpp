#include "app/application.h"

#include <QScreen>

#include <QAbstractSlider>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

#include <cstdio>
#include <cstdlib>

#include "app/about_dialog.h"
#include "app/event_dialog.h"
#include "app/list_files.h"
#include "app/sheet_export.h"
#include "app/table_import_dialog.h"
#include "events/event_date.h"
#include "events/event_form.h"
#include "events/event_line.h"
#include "events/file_io.h"
#include "study/study_report.h"
#include "study/study_time.h"
#include "text/circled.h"
#include "timeline/date_text.h"

namespace qev {
namespace {

constexpr int kClockMilliseconds = 1000;

// Marks the view as busy for the life of one handler.
class Busy {
 public:
  explicit Busy(int& depth) : depth_(depth) { ++depth_; }
  ~Busy() { --depth_; }
  Busy(const Busy&) = delete;
  Busy& operator=(const Busy&) = delete;

 private:
  int& depth_;
};

// Runs `action` on a double click into the watched widget.
class DoubleClickFilter final : public QObject {
 public:
  DoubleClickFilter(std::function<void()> action, QObject* parent)
      : QObject(parent), action_(std::move(action)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::MouseButtonDblClick) return QObject::eventFilter(watched, event);
    action_();
    return true;
  }

 private:
  std::function<void()> action_;
};

QString FromSjis(std::string_view bytes) {
  return QString::fromStdString(DecodeCp932(bytes));
}

// An event as a question names it: its date and its text.
QString EventName(std::string_view line) {
  const EventFields event = ParseEvent(line);
  return FromSjis(EventDateText(event)).simplified() + QStringLiteral("　") + FromSjis(event.event);
}

QString OffLineMessage(OffLine off, const QString& label) {
  if (off == OffLine::kGone) return QStringLiteral("このできごとはもうありません。");
  if (off == OffLine::kSlotOff) {
    return QStringLiteral("このできごとのファイル「%1」がOFFのため、QEVラインに出ていません。")
        .arg(label);
  }
  return QStringLiteral("このできごとは重要度・記憶度のフィルタで、QEVラインに出ていません。");
}

}  // namespace

std::optional<ScrollCode> ScrollCodeFor(int sliderAction) {
  switch (sliderAction) {
    case QAbstractSlider::SliderSingleStepSub:
      return ScrollCode::kLineLeft;
    case QAbstractSlider::SliderSingleStepAdd:
      return ScrollCode::kLineRight;
    case QAbstractSlider::SliderPageStepSub:
      return ScrollCode::kPageLeft;
    case QAbstractSlider::SliderPageStepAdd:
      return ScrollCode::kPageRight;
    case QAbstractSlider::SliderToMinimum:
      return ScrollCode::kLeft;
    case QAbstractSlider::SliderToMaximum:
      return ScrollCode::kRight;
    default:
      return std::nullopt;
  }
}

std::unique_ptr<ViewHandlers> MakeCoreView(Platform& platform, const ScreenLayout& layout,
                                           const std::string& dataDir) {
  return std::make_unique<MainView>(platform, layout, dataDir);
}

Application::Application(const ScreenLayout& layout, const std::string& dataDir,
                         const ViewFactory& makeView)
    : window_(layout),
      platform_(window_.viewWidget(), &window_),
      view_(makeView(platform_, layout, dataDir)) {
  if (StudySession* session = view_->session()) {
    studyHost_ = std::make_unique<StudyHost>(*view_, *session, platform_);
  }
  ConnectEvents();
}

void Application::ConnectEvents() {
  ViewWidget& widget = window_.viewWidget();
  QObject::connect(&widget, &ViewWidget::leftPressed, &window_,
                   [this](int x, int y) { Forward([&] { view_->OnLButtonDown(x, y); }); });
  QObject::connect(&widget, &ViewWidget::leftReleased, &window_,
                   [this](int x, int y) { Forward([&] { view_->OnLButtonUp(x, y); }); });
  QObject::connect(&widget, &ViewWidget::leftDoubleClicked, &window_,
                   [this](int x, int y) { Forward([&] { view_->OnLButtonDblClk(x, y); }); });
  QObject::connect(&widget, &ViewWidget::rightDoubleClicked, &window_,
                   [this](int x, int y) { Forward([&] { view_->OnRButtonDblClk(x, y); }); });
  // The context menu follows the dispatch of the release, as one event.
  QObject::connect(&widget, &ViewWidget::rightReleased, &window_, [this](int x, int y) {
    Forward([&] {
      view_->OnRButtonUp(x, y);
      view_->ShowContextMenu(x, y);
    });
  });

  // The thumb's position comes from the actions, never from value changes:
  // the view sets the thumb itself, and that must not scroll.
  TimelineScrollBar& bar = widget.scrollBar();
  QObject::connect(&bar, &QAbstractSlider::actionTriggered, &window_, [this](int action) {
    if (const std::optional<ScrollCode> code = ScrollCodeFor(action)) {
      Scroll(*code, platform_.ScrollThumb());
    }
  });
  QObject::connect(&bar, &QAbstractSlider::sliderMoved, &window_, [this](int position) {
    Forward([&] { view_->ScrollTimeline(ScrollCode::kThumbTrack, position); });
  });
  QObject::connect(&bar, &QAbstractSlider::sliderReleased, &window_,
                   [this, &bar] { Scroll(ScrollCode::kThumbPosition, bar.sliderPosition()); });
  QObject::connect(&bar, &TimelineScrollBar::wheelStepped, &window_, [this](int steps) {
    const ScrollCode code = steps > 0 ? ScrollCode::kLineRight : ScrollCode::kLineLeft;
    for (int i = std::abs(steps); i > 0; --i) Scroll(code, platform_.ScrollThumb());
  });

  QObject::connect(&clock_, &QTimer::timeout, &window_, [this] { TickClock(); });
  QObject::connect(&window_, &MainWindow::actionRequested, &window_,
                   [this](WindowAction action) { RunWindowAction(action); });
  auto runCommand = [this](KeyCommand c) {
    if (c == KeyCommand::kSelfTest) return OpenSelfTest();
    if (!RunWindowCommand(c)) Forward([&] { view_->OnKeyCommand(c); });
    // An open find window lists the events as they are now.
    if (find_ && find_->isVisible()) find_->Refresh();
  };
  QObject::connect(&widget, &ViewWidget::keyCommand, &window_, runCommand);
  QObject::connect(&window_, &MainWindow::commandRequested, &window_, runCommand);
  widget.SetTypingSource([this] { return view_->RightPanelTyping(); });
  widget.SetTipSource([this](int x, int y) {
    EventDesk* desk = view_->desk();
    if (depth_ > 0 || desk == nullptr) return QString();
    const std::optional<std::string> tip = desk->PointTipAt(x, y);
    return tip ? QString::fromStdString(*tip) : QString();
  });
  widget.leftPanel().viewport()->installEventFilter(
      new DoubleClickFilter([this] { EditEvent(); }, &window_));
  window_.SetCloseGuard([this] {
    if (depth_ > 0) return false;
    // The answer shown is final now: its level is written before the
    // question of unsaved files, its log line before the end.
    if (round_) round_->Finish();
    bool close = true;
    Forward([&] { close = view_->QueryClose(); });
    return close;
  });
}

void Application::Start(std::function<void()> afterFirstPaint) {
  {
    Busy busy(depth_);
    view_->OnInitialUpdate();
  }
  // Nothing was on screen yet to be uncovered.
  platform_.TakeUncovered();
  // Without a window manager "maximised" means nothing: fill the screen
  // first, so the window covers it either way.
  if (const QScreen* screen = window_.screen()) window_.setGeometry(screen->availableGeometry());
  window_.showMaximized();
  window_.viewWidget().setFocus();
  clock_.start(kClockMilliseconds);
  QTimer::singleShot(0, &window_, [this, after = std::move(afterFirstPaint)] {
    Forward([&] { view_->OnPaint(); });
    firstPaintDone_ = true;
    if (after) after();
  });
}

void Application::TickClock() {
  // Timer messages reach a window during a modal loop too: the clock and
  // the stopwatch keep going while a dialog or menu is open. The tick only
  // draws them.
  if (depth_ > 0) {
    view_->OnClockTick();
    return;
  }
  Forward([&] { view_->OnClockTick(); });
}

void Application::Forward(const std::function<void()>& handler) {
  if (depth_ > 0) return;
  Busy busy(depth_);
  handler();
  if (platform_.TakeUncovered()) {
    view_->OnPaint();
    // A box opened by that paint does not ask for another one.
    platform_.TakeUncovered();
  }
}

void Application::Scroll(ScrollCode code, int thumbPos) {
  Forward([&] { view_->ScrollTimeline(code, thumbPos); });
  // The bar has moved its thumb by itself; it belongs where the view put it.
  platform_.ShowThumb();
}

QSize Application::ScreenSize() {
  const ScreenLayout& layout = window_.viewWidget().layout();
  return {layout.W, layout.H};
}

void Application::RunWindowAction(WindowAction action) {
  switch (action) {
    case WindowAction::kAbout:
      return ShowAbout();
    case WindowAction::kGettingStarted:
      return ShowGettingStarted();
    case WindowAction::kStudyRecord:
      return ShowStudyRecord();
    case WindowAction::kPrintTimeline:
      return ExportWholeTimeline();
    case WindowAction::kImportTable:
      return ImportTable();
    case WindowAction::kExportTable:
      return ExportTable();
    case WindowAction::kCommand:
    case WindowAction::kSeparator:
      return;
  }
}

void Application::ShowGettingStarted() {
  if (!gettingStarted_)
    gettingStarted_ = std::make_unique<GettingStartedWindow>(&window_, ScreenSize());
  gettingStarted_->Open();
}

void Application::ShowAbout() {
  Forward([&] {
    AboutDialog about(&window_);
    about.exec();
    platform_.NoteUncovered();
  });
}

void Application::OpenSelfTest() {
  if (!studyHost_ || depth_ > 0) return;
  bool open = false;
  Forward([&] { open = view_->SetSelfTestOpen(true); });
  if (!open) return;
  Round& round = StudyRound();
  if (!studyWindow_) {
    studyWindow_ = std::make_unique<StudyWindow>(round, &window_);
    // The drawing area and the two panels, across the view's whole width.
    studyWindow_->KeepClearOf([this] {
      ViewWidget& view = window_.viewWidget();
      const ScreenLayout& layout = view.layout();
      return QRect(view.mapToGlobal(QPoint(0, 0)),
                   QSize(view.width(), layout.panelY() + layout.panelHeight()));
    });
    QObject::connect(
        studyWindow_.get(), &StudyWindow::saveRequested, &window_,
        [this](const std::vector<int>& slots) { Forward([&] { view_->SaveSlots(slots); }); });
    QObject::connect(studyWindow_.get(), &StudyWindow::closed, &window_, [this] {
      // The answer's marks leave the line with the window.
      Forward([&] { StudyRound().End(); });
      view_->OfferLineClicks(nullptr);
      view_->SetSelfTestOpen(false);
    });
  }
  // The find window lists the dates a question asks.
  if (find_) find_->hide();
  view_->OfferLineClicks(studyWindow_.get());
  studyWindow_->StartRound();
}

Round& Application::StudyRound() {
  if (!round_) {
    round_ = std::make_unique<Round>(*studyHost_);
    round_->SetGoals(ReadStudyGoals());
  }
  return *round_;
}

int Application::RunStudyCommand(const CommandLine& options) {
  if (!studyHost_) return 1;
  Round& round = StudyRound();
  std::string text;
  int code = 0;
  if (options.optimizeMemory) {
    const KeptOptimization kept = OptimizeAndKeep(round);
    text += OptimizationReport(kept);
    code = kept.problem.empty() ? 0 : 1;
  }
  if (options.studyReport) text += StudyReport(round, options.studyCards);
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
  return code;
}

void Application::ShowStudyRecord() {
  if (!studyHost_ || depth_ > 0) return;
  StudyRound();
  if (!recordWindow_)
    recordWindow_ = std::make_unique<StudyRecordWindow>(&window_, ScreenSize(), *round_);
  recordWindow_->Show();
}

void Application::ExportWholeTimeline() {
  Forward([&] {
    const QString path =
        QFileDialog::getSaveFileName(&window_, QStringLiteral("QEVライン全体を印刷"),
                                     QDir::home().filePath(QStringLiteral("QEVライン.pdf")),
                                     QStringLiteral("PDF (*.pdf);;PNG (*.png)"));
    platform_.NoteUncovered();
    if (path.isEmpty()) return;
    const QString problem =
        ExportTimeline(view_->WholeTimeline(), window_.viewWidget().layout(), path);
    if (problem.isEmpty()) {
      platform_.ShowMessage(QStringLiteral("「%1」に印刷しました。").arg(path).toStdString(),
                            MessageKind::kInformation);
    } else {
      platform_.ShowMessage(problem.toStdString());
    }
  });
}

void Application::ImportTable() {
  EventDesk* desk = view_->desk();
  if (desk == nullptr) return;
  Forward([&] {
    if (RefusedNow(*desk)) return;
    const QString path = QFileDialog::getOpenFileName(
        &window_, QStringLiteral("表から読み込む"), QDir::homePath(),
        QStringLiteral("表 (*.csv *.tsv *.txt);;すべてのファイル (*)"));
    platform_.NoteUncovered();
    if (path.isEmpty()) return;
    const FileBytes bytes = ReadWholeFile(QFile::encodeName(path).toStdString());
    if (bytes.status != ReadStatus::kRead) {
      platform_.ShowMessage("「" + path.toStdString() + "」を読めませんでした: " + bytes.reason);
      return;
    }
    ImportOutcome outcome;
    TableImportDialog dialog(
        path, ReadTable(bytes.bytes),
        [&](const std::string& name, const std::string& title, const std::vector<Sjis>& lines) {
          outcome = view_->ImportEvents(name, title, lines);
          return outcome.problem;
        },
        &window_);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    platform_.NoteUncovered();
    if (!accepted) return;
    const std::string count = std::to_string(dialog.imported().lines.size());
    if (outcome.slot) {
      platform_.ShowMessage(
          "「" + outcome.fileName + "」に " + count + " 件のできごとを書き、ファイル" +
              DecodeCp932(CircledNumber(*outcome.slot + 1)) + "に読み込みました。",
          MessageKind::kInformation);
    } else {
      platform_.ShowMessage(
          "「" + outcome.fileName + "」に " + count +
              " 件のできごとを書きました。空いているファイル欄がないため、"
              "ファイル名のラベルを右クリックして「ファイルを読み込む」で読み込んで"
              "ください。",
          MessageKind::kInformation);
    }
  });
  FocusTimeline();
}

void Application::ExportTable() {
  Forward([&] {
    const std::vector<ListedEvent> events = view_->LineEvents();
    if (events.empty()) {
      platform_.ShowMessage("QEVラインにできごとがありません。");
      return;
    }
    const QString csv = QStringLiteral("CSV (*.csv)");
    const QString tsv = QStringLiteral("タブ区切り (*.tsv)");
    const QString deck = QStringLiteral("Ankiの単語帳 (*.txt)");
    QString filter = csv;
    QString path = QFileDialog::getSaveFileName(
        &window_, QStringLiteral("表に書き出す"),
        QDir::home().filePath(QStringLiteral("QEVライン.csv")),
        csv + QStringLiteral(";;") + tsv + QStringLiteral(";;") + deck, &filter);
    platform_.NoteUncovered();
    if (path.isEmpty()) return;
    // A typed ending says the kind; without one the chosen type does.
    const QString typed = QFileInfo(path).suffix().toLower();
    ListKind kind = filter == deck  ? ListKind::kDeck
                    : filter == tsv ? ListKind::kTsv
                                    : ListKind::kCsv;
    if (typed == QLatin1String("csv")) {
      kind = ListKind::kCsv;
    } else if (typed == QLatin1String("tsv")) {
      kind = ListKind::kTsv;
    } else if (typed == QLatin1String("txt")) {
      kind = ListKind::kDeck;
    } else {
      path += kind == ListKind::kDeck  ? QStringLiteral(".txt")
              : kind == ListKind::kTsv ? QStringLiteral(".tsv")
                                       : QStringLiteral(".csv");
    }
    const QString problem = WriteEventList(path, kind, events);
    if (problem.isEmpty()) {
      platform_.ShowMessage(QStringLiteral("QEVラインの %1 件のできごとを「%2」に書き出しました。")
                                .arg(events.size())
                                .arg(path)
                                .toStdString(),
                            MessageKind::kInformation);
    } else {
      platform_.ShowMessage(problem.toStdString());
    }
  });
}

bool Application::RunWindowCommand(KeyCommand command) {
  EventDesk* desk = view_->desk();
  const bool selects = command == KeyCommand::kFind || command == KeyCommand::kFindNext ||
                       command == KeyCommand::kFindPrevious || command == KeyCommand::kGoToYear ||
                       command == KeyCommand::kRandomOnLine;
  if (selects && desk != nullptr && !desk->SelectRefusal().empty()) {
    platform_.ShowMessage(desk->SelectRefusal());
    return true;
  }
  switch (command) {
    case KeyCommand::kFind:
      if (desk != nullptr && depth_ == 0) Finder(*desk).Open();
      return true;
    case KeyCommand::kFindNext:
    case KeyCommand::kFindPrevious:
      if (desk != nullptr && depth_ == 0) {
        if (const std::optional<FoundModel::Row> row =
                Finder(*desk).Step(command == KeyCommand::kFindNext ? 1 : -1)) {
          JumpTo(*row);
        }
      }
      return true;
    case KeyCommand::kGoToYear:
      GoToYear();
      return true;
    case KeyCommand::kRandomOnLine:
      if (desk != nullptr) Forward([&] { desk->SelectRandomOnLine(); });
      return true;
    case KeyCommand::kAddEvent:
      AddEvent();
      return true;
    case KeyCommand::kEditEvent:
      EditEvent();
      return true;
    case KeyCommand::kDeleteEvent:
      DeleteEvent();
      return true;
    default:
      return false;
  }
}

FindWindow& Application::Finder(EventDesk& desk) {
  if (!find_) {
    find_ = std::make_unique<FindWindow>(desk, &window_);
    QObject::connect(find_.get(), &FindWindow::chosen, &window_,
                     [this](const FoundModel::Row& row) { JumpTo(row); });
  }
  return *find_;
}

void Application::FocusTimeline() {
  window_.activateWindow();
  window_.viewWidget().setFocus();
  if (find_ && find_->isVisible()) find_->Refresh();
}

void Application::JumpTo(const FoundModel::Row& row) {
  EventDesk* desk = view_->desk();
  if (desk == nullptr) return;
  if (!desk->SelectRefusal().empty()) {
    platform_.ShowMessage(desk->SelectRefusal());
    return;
  }
  Forward([&] {
    // Why not, as things are now: the list may be older than a change.
    const OffLine off = desk->JumpToEvent(row.key);
    if (off == OffLine::kOnLine) return;
    platform_.ShowMessage(OffLineMessage(off, FromSjis(desk->SlotLabel(row.slot))).toStdString());
  });
  FocusTimeline();
}

void Application::GoToYear() {
  EventDesk* desk = view_->desk();
  if (desk == nullptr) return;
  Forward([&] {
    QString typed;
    for (;;) {
      bool ok = false;
      typed = QInputDialog::getText(&window_, QStringLiteral("年へ移動"),
                                    QStringLiteral("年 (794、BC91、前91 など)"), QLineEdit::Normal,
                                    typed, &ok);
      platform_.NoteUncovered();
      if (!ok) return;
      if (const std::optional<EraYear> year = ParseTypedYear(typed.toStdString())) {
        if (!desk->GoToYear(*year)) {
          platform_.ShowMessage("QEVラインにポイントがありません。");
        }
        return;
      }
      platform_.ShowMessage(
          "「" + typed.toStdString() +
          "」は年として読めません。794、AD794、BC91、前91 のように入力してください。");
    }
  });
  FocusTimeline();
}

namespace {

std::vector<std::pair<int, QString>> Files(const EventDesk& desk) {
  std::vector<std::pair<int, QString>> files;
  for (int k : desk.LoadedSlots()) files.emplace_back(k, FromSjis(desk.SlotLabel(k)));
  return files;
}

}  // namespace

bool Application::RefusedNow(const EventDesk& desk) {
  const std::string why = desk.EditRefusal();
  if (why.empty()) return false;
  platform_.ShowMessage(why);
  return true;
}

void Application::AddEvent() {
  EventDesk* desk = view_->desk();
  if (desk == nullptr) return;
  Forward([&] {
    if (RefusedNow(*desk)) return;
    const std::vector<std::pair<int, QString>> files = Files(*desk);
    if (files.empty()) {
      platform_.ShowMessage(
          "できごとを追加するファイルがありません。ファイル名のラベルを右クリックして、"
          "ファイルを読み込むか新しいファイルを作ってください。");
      return;
    }
    const std::optional<DeskEvent> selected = desk->SelectedEvent();
    EventForm form;
    if (selected) {
      // A new event of the same time is the likeliest.
      const EventForm like = FormOfLine(selected->line);
      form.first = like.first;
      form.period = like.period;
    }
    EventDialog dialog(files, selected ? selected->slot : files.front().first, form, std::nullopt,
                       &window_);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    platform_.NoteUncovered();
    if (accepted) desk->AddEvent(dialog.file(), dialog.line());
  });
  FocusTimeline();
}

void Application::WithSelectedEvent(const std::function<void(EventDesk&, const DeskEvent&)>& act) {
  EventDesk* desk = view_->desk();
  if (desk == nullptr) return;
  Forward([&] {
    if (RefusedNow(*desk)) return;
    if (const std::optional<DeskEvent> selected = desk->SelectedEvent()) act(*desk, *selected);
  });
  FocusTimeline();
}

void Application::EditEvent() {
  WithSelectedEvent([this](EventDesk& desk, const DeskEvent& selected) {
    const Sjis line(selected.line);
    EventDialog dialog(Files(desk), selected.slot, FormOfLine(line), line, &window_);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    platform_.NoteUncovered();
    if (accepted && dialog.line() != line) desk.ReplaceEvent(selected.key, dialog.line());
  });
}

void Application::DeleteEvent() {
  WithSelectedEvent([this](EventDesk& desk, const DeskEvent& selected) {
    QMessageBox box(
        QMessageBox::Question, QStringLiteral("できごとを削除"),
        QStringLiteral("「%1」を削除しますか?\n(元に戻す: Ctrl+Z)").arg(EventName(selected.line)),
        QMessageBox::Yes | QMessageBox::No, &window_);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("削除する"));
    box.button(QMessageBox::No)->setText(QStringLiteral("やめる"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    const bool confirmed = box.exec() == QMessageBox::Yes;
    platform_.NoteUncovered();
    if (confirmed) desk.DeleteEvent(selected.key);
  });
}

}  // namespace qev
