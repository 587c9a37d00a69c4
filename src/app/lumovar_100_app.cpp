#include "app/lumovar_100_app.h"

#include <QScreen>

#include <QAbstractSlider>

#include <cstdlib>

#include "app/about_dlg.h"

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
  return std::make_unique<CoreViewHandlers>(platform, layout, dataDir);
}

CLumovar_100App::CLumovar_100App(const ScreenLayout& layout, const std::string& dataDir,
                                 const ViewFactory& makeView)
    : frame_(layout),
      platform_(frame_.viewWidget(), &frame_),
      view_(makeView(platform_, layout, dataDir)) {
  ConnectEvents();
}

void CLumovar_100App::ConnectEvents() {
  ViewWidget& widget = frame_.viewWidget();
  QObject::connect(&widget, &ViewWidget::leftPressed, &frame_,
                   [this](int x, int y) { Forward([&] { view_->OnLButtonDown(x, y); }); });
  QObject::connect(&widget, &ViewWidget::leftReleased, &frame_,
                   [this](int x, int y) { Forward([&] { view_->OnLButtonUp(x, y); }); });
  QObject::connect(&widget, &ViewWidget::leftDoubleClicked, &frame_,
                   [this](int x, int y) { Forward([&] { view_->OnLButtonDblClk(x, y); }); });
  // The context menu follows the dispatch of the release, as one event.
  QObject::connect(&widget, &ViewWidget::rightReleased, &frame_, [this](int x, int y) {
    Forward([&] {
      view_->OnRButtonUp(x, y);
      view_->ShowContextMenu(x, y);
    });
  });

  // The thumb's position comes from the actions, never from value changes:
  // the view sets the thumb itself, and that must not scroll.
  TimelineScrollBar& bar = widget.scrollBar();
  QObject::connect(&bar, &QAbstractSlider::actionTriggered, &frame_, [this](int action) {
    if (const std::optional<ScrollCode> code = ScrollCodeFor(action)) {
      Scroll(*code, platform_.ScrollThumb());
    }
  });
  QObject::connect(&bar, &QAbstractSlider::sliderMoved, &frame_, [this](int position) {
    Forward([&] { view_->ScrollTimeline(ScrollCode::kThumbTrack, position); });
  });
  QObject::connect(&bar, &QAbstractSlider::sliderReleased, &frame_,
                   [this, &bar] { Scroll(ScrollCode::kThumbPosition, bar.sliderPosition()); });
  QObject::connect(&bar, &TimelineScrollBar::wheelStepped, &frame_, [this](int steps) {
    const ScrollCode code = steps > 0 ? ScrollCode::kLineRight : ScrollCode::kLineLeft;
    for (int i = std::abs(steps); i > 0; --i) Scroll(code, platform_.ScrollThumb());
  });

  // Timer messages reach a window during a modal loop too: the clock and
  // the stopwatch keep going while a dialog or menu is open. The tick only
  // draws them.
  QObject::connect(&clock_, &QTimer::timeout, &frame_, [this] {
    if (depth_ > 0) {
      view_->OnClockTick();
      return;
    }
    Forward([&] { view_->OnClockTick(); });
  });
  QObject::connect(&frame_, &CMainFrame::aboutRequested, &frame_, [this] { ShowAbout(); });
  frame_.SetCloseGuard([this] {
    if (depth_ > 0) return false;
    bool close = true;
    Forward([&] { close = view_->QueryClose(); });
    return close;
  });
}

void CLumovar_100App::Start(std::function<void()> afterFirstPaint) {
  {
    Busy busy(depth_);
    view_->OnInitialUpdate();
  }
  // Nothing was on screen yet to be uncovered.
  platform_.TakeUncovered();
  // Without a window manager "maximised" means nothing: fill the screen
  // first, so the window covers it either way.
  if (const QScreen* screen = frame_.screen()) frame_.setGeometry(screen->availableGeometry());
  frame_.showMaximized();
  clock_.start(kClockMilliseconds);
  QTimer::singleShot(0, &frame_, [this, after = std::move(afterFirstPaint)] {
    Forward([&] { view_->OnPaint(); });
    firstPaintDone_ = true;
    if (after) after();
  });
}

void CLumovar_100App::Forward(const std::function<void()>& handler) {
  if (depth_ > 0) return;
  Busy busy(depth_);
  handler();
  if (platform_.TakeUncovered()) {
    view_->OnPaint();
    // A box opened by that paint does not ask for another one.
    platform_.TakeUncovered();
  }
}

void CLumovar_100App::Scroll(ScrollCode code, int thumbPos) {
  Forward([&] { view_->ScrollTimeline(code, thumbPos); });
  // The bar has moved its thumb by itself; it belongs where the view put it.
  platform_.ShowThumb();
}

void CLumovar_100App::ShowAbout() {
  Forward([&] {
    CAboutDlg about(&frame_);
    about.exec();
    platform_.NoteUncovered();
  });
}

}  // namespace qev
