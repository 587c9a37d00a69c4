#pragma once

#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/command_line.h"
#include "app/find_window.h"
#include "app/getting_started_window.h"
#include "app/main_window.h"
#include "app/qt_platform.h"
#include "app/study_record_window.h"
#include "app/study_window.h"
#include "platform/screen_layout.h"
#include "view/main_view.h"
#include "view/study_host.h"

namespace qev {

// The view's scroll code for a scroll bar action, if the action is one the
// view handles as such (dragging is reported separately).
std::optional<ScrollCode> ScrollCodeFor(int sliderAction);

using ViewFactory = std::function<std::unique_ptr<ViewHandlers>(
    Platform& platform, const ScreenLayout& layout, const std::string& dataDir)>;

std::unique_ptr<ViewHandlers> MakeCoreView(Platform& platform, const ScreenLayout& layout,
                                           const std::string& dataDir);

// The running program: the main window, the platform on its widgets and the
// view, with every window event forwarded to the view.
//
// The view handles one event at a time. An event that arrives while a view
// handler waits in a modal dialog or menu is not forwarded, but for the
// clock's tick; when the handler that opened the dialog or menu has
// returned, the view repaints the page it uncovered.
class Application {
 public:
  // `dataDir` is UTF-8.
  Application(const ScreenLayout& layout, const std::string& dataDir,
              const ViewFactory& makeView = MakeCoreView);
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Initialises the view, shows the window maximised, starts the clock and
  // queues the first paint; `afterFirstPaint` runs right after it.
  void Start(std::function<void()> afterFirstPaint = {});
  bool firstPaintDone() const { return firstPaintDone_; }

  // One tick of the once-a-second clock timer.
  void TickClock();
  const QTimer& clockTimer() const { return clock_; }

  MainWindow& window() { return window_; }
  // "はじめに": the page on how to study with the program, opened from the
  // menu and on the first start of a new data folder.
  void ShowGettingStarted();
  GettingStartedWindow* gettingStartedWindow() { return gettingStarted_.get(); }
  StudyRecordWindow* studyRecordWindow() { return recordWindow_.get(); }
  // The self-test window, once opened.
  StudyWindow* studyWindow() { return studyWindow_.get(); }
  // The rounds' view of the main screen; null for a view without a study
  // session.
  RoundHost* studyHost() { return studyHost_.get(); }
  ViewWidget& viewWidget() { return window_.viewWidget(); }
  QtPlatform& platform() { return platform_; }
  ViewHandlers& view() { return *view_; }
  // --study-report, --optimize-memory: the figures printed; the exit code.
  int RunStudyCommand(const CommandLine& options);

 private:
  void ConnectEvents();
  // Runs a view handler, then the repaint of what a dialog uncovered.
  void Forward(const std::function<void()>& handler);
  void Scroll(ScrollCode code, int thumbPos);
  void RunWindowAction(WindowAction action);
  // The screen the program is laid out for.
  QSize ScreenSize();
  void ShowAbout();
  // Asks for a .pdf or .png file and prints the whole timeline into it.
  void ExportWholeTimeline();
  // "確認テスト" (T): opens the self-test window with a new round, or brings
  // back the round under way.
  void OpenSelfTest();
  // 表から読み込む: a table picked in a dialog, read into a new event file
  // through the import dialog.
  void ImportTable();
  // 表に書き出す: the events on the line into a CSV or tab-separated table
  // or an Anki deck, as the save dialog's type says.
  void ExportTable();
  void ShowStudyRecord();
  // The rounds' engine, made on first use with the goals of the settings.
  Round& StudyRound();

  // The commands of the window's own windows and dialogs; false for a
  // command of the view.
  bool RunWindowCommand(KeyCommand command);
  // A chosen search result: selected on the line, or why it cannot be.
  void JumpTo(const FoundModel::Row& row);
  void GoToYear();
  void AddEvent();
  void EditEvent();
  void DeleteEvent();
  // Tells the user why no event may be changed now, if so.
  bool RefusedNow(const EventDesk& desk);
  // Runs `act` on the selected event when events may be changed now and one
  // is selected; the timeline has the keyboard afterwards.
  void WithSelectedEvent(const std::function<void(EventDesk&, const DeskEvent&)>& act);
  // The keyboard goes back to the timeline, so the arrow keys go on from
  // the point a window selected.
  void FocusTimeline();
  FindWindow& Finder(EventDesk& desk);

  MainWindow window_;
  QtPlatform platform_;
  std::unique_ptr<ViewHandlers> view_;
  QTimer clock_;
  std::unique_ptr<FindWindow> find_;
  std::unique_ptr<StudyHost> studyHost_;
  std::unique_ptr<Round> round_;
  std::unique_ptr<StudyWindow> studyWindow_;
  std::unique_ptr<StudyRecordWindow> recordWindow_;
  std::unique_ptr<GettingStartedWindow> gettingStarted_;
  int depth_ = 0;
  bool firstPaintDone_ = false;
};

}  // namespace qev
