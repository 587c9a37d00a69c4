#include "app/application.h"

#include <QScreen>

#include <QAbstractSlider>
#include <QDir>
#include <QFileDialog>

#include <cstdlib>

#include "app/about_dialog.h"
#include "app/sheet_export.h"
#include "study/study_time.h"

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
  QObject::connect(&window_, &MainWindow::aboutRequested, &window_, [this] { ShowAbout(); });
  auto runCommand = [this](KeyCommand c) {
    if (c == KeyCommand::kSelfTest) return OpenSelfTest();
    Forward([&] { view_->OnKeyCommand(c); });
  };
  QObject::connect(&widget, &ViewWidget::keyCommand, &window_, runCommand);
  QObject::connect(&window_, &MainWindow::commandRequested, &window_, runCommand);
  QObject::connect(&window_, &MainWindow::exportRequested, &window_,
                   [this] { ExportWholeTimeline(); });
  QObject::connect(&window_, &MainWindow::studyRecordRequested, &window_,
                   [this] { ShowStudyRecord(); });
  window_.SetCloseGuard([this] {
    if (depth_ > 0) return false;
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
  if (!selfTest_) selfTest_ = std::make_unique<SelfTest>(*studyHost_);
  if (!selfTestWindow_) {
    selfTestWindow_ = std::make_unique<SelfTestWindow>(*selfTest_, &window_);
    QObject::connect(
        selfTestWindow_.get(), &SelfTestWindow::saveRequested, &window_,
        [this](const std::vector<int>& slots) { Forward([&] { view_->SaveSlots(slots); }); });
    QObject::connect(selfTestWindow_.get(), &SelfTestWindow::closed, &window_,
                     [this] { view_->SetSelfTestOpen(false); });
  }
  selfTestWindow_->StartRound();
}

void Application::ShowStudyRecord() {
  if (!studyHost_ || depth_ > 0) return;
  if (!selfTest_) selfTest_ = std::make_unique<SelfTest>(*studyHost_);
  if (!recordWindow_) recordWindow_ = std::make_unique<StudyRecordWindow>(&window_);
  recordWindow_->Show(selfTest_->Statistics(), DayNumber(studyHost_->Now()));
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

}  // namespace qev
