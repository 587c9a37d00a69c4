// What a click costs, from the handler to the finished back buffer, through
// the real view, window and Qt canvas (offscreen), on generated data: ten
// slot files, both eras, about 30% of the events with a second date, every
// level, every point marked.
//
//   build/bench/qev_bench --benchmark_repetitions=5
//                         --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <vector>

#include "app/application.h"
#include "events/event_form.h"
#include "events/event_search.h"
#include "events/generated_events.h"
#include "model/session_probe.h"
#include "panel/panel_areas.h"
#include "study/event_key.h"
#include "study/review_history.h"
#include "study/round.h"
#include "study/study_log.h"
#include "study/study_time.h"
#include "timeline/found_events.h"
#include "timeline/timeline_drawing.h"

namespace qev {
namespace {

const ScreenLayout kLayout{1024, 768};
// Range 5 with the era line right of the middle: about 27% of the
// points lie in the drawing area.
constexpr int kRange = 5;
constexpr int kScrollPos = 308;

void WaitForFirstPaint(Application& app) {
  while (!app.firstPaintDone()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// A running program on a data folder of `events` events.
class Program {
 public:
  explicit Program(int events) {
    testing::WriteGeneratedEvents(dir_.path().toStdString(), events / 10, kRange, kScrollPos);
  }
  std::unique_ptr<Application> Start() const {
    auto app = std::make_unique<Application>(kLayout, dir_.path().toStdString());
    app->Start();
    WaitForFirstPaint(*app);
    return app;
  }
  std::string dir() const { return dir_.path().toStdString(); }

 private:
  QTemporaryDir dir_;
};

// One started program per data size, shared by the benchmarks.
struct Running {
  std::unique_ptr<Program> program;
  std::unique_ptr<Application> app;
  MainView& view() { return dynamic_cast<MainView&>(app->view()); }
  // Drawing goes into the back buffer through one open painter; the frame
  // is finished when it is closed.
  void FinishFrame() { app->viewWidget().backBuffer().Flush(); }
};

// The started programs must end before QApplication does: main stops them.
std::map<int, Running>& RunningPrograms() {
  static std::map<int, Running> running;
  return running;
}

Running& Shared(int events) {
  Running& r = RunningPrograms()[events];
  if (!r.app) {
    r.program = std::make_unique<Program>(events);
    r.app = r.program->Start();
  }
  return r;
}

void Counters(benchmark::State& state, Running& r) {
  state.counters["points"] = static_cast<double>(r.view().session()->points().size());
  state.counters["visible"] = r.view().session()->visible().size();
}

QPoint Centre(PanelArea area) {
  const PanelRect rect = AreaRect(kLayout, area);
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// The floor for a full refresh: a plain sort of the point list's keys.
void BM_SortKeys(benchmark::State& state) {
  Running& r = Shared(static_cast<int>(state.range(0)));
  const StudySession& session = *r.view().session();
  const std::vector<Sjis> keys = session.points().keys(session.store());
  std::vector<Sjis> work;
  for (auto _ : state) {
    state.PauseTiming();
    work = keys;
    std::reverse(work.begin(), work.end());
    state.ResumeTiming();
    std::sort(work.begin(), work.end());
    benchmark::DoNotOptimize(work.data());
  }
  Counters(state, r);
}
BENCHMARK(BM_SortKeys)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_FullRefresh(benchmark::State& state) {
  Running& r = Shared(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    r.view().FullRefresh();
    r.FinishFrame();
  }
  Counters(state, r);
}
BENCHMARK(BM_FullRefresh)->Arg(10000)->Unit(benchmark::kMillisecond);

// The timeline drawn anew at a range (10,000 events), as after a zoom or a
// scroll: the line, its ticks and labels, every point's mark and the kept
// picture.
void BM_DrawTimeline(benchmark::State& state) {
  Running& r = Shared(10000);
  MainView& view = r.view();
  StudySession& session = *view.session();
  const int range = session.scale().rangeIndex();
  const int originX = session.scale().originX();
  while (session.scale().rangeIndex() != state.range(0)) session.ChangeRange(+1);
  SessionProbe::PutEraLineAt(session, originX);
  Platform& platform = r.app->platform();
  for (auto _ : state) {
    DrawTimeline(session.scale(), session.settings(), session.points().points(),
                 platform.DrawAreaCanvas(), platform.ViewCanvas());
    r.FinishFrame();
  }
  while (session.scale().rangeIndex() != range) session.ChangeRange(+1);
  view.Redraw(SessionProbe::PutEraLineAt(session, originX));
  // Drawn past the view: the diagram opened and closed has it draw the whole
  // screen again.
  const QPoint diagram = Centre(PanelArea::kDiagram);
  view.OnLButtonUp(diagram.x(), diagram.y());
  view.OnLButtonUp(diagram.x(), diagram.y());
  r.FinishFrame();
}
BENCHMARK(BM_DrawTimeline)->Arg(0)->Arg(7)->Unit(benchmark::kMillisecond);

// A left click on the range label (one range up); the right click that
// takes it back is not timed.
void BM_ClickToFrame(benchmark::State& state) {
  Running& r = Shared(static_cast<int>(state.range(0)));
  const QPoint range = Centre(PanelArea::kRange);
  for (auto _ : state) {
    r.view().OnLButtonUp(range.x(), range.y());
    r.FinishFrame();
    state.PauseTiming();
    r.view().OnRButtonUp(range.x(), range.y());
    r.FinishFrame();
    state.ResumeTiming();
  }
  Counters(state, r);
}
BENCHMARK(BM_ClickToFrame)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A right click in the drawing area: the next point.
void BM_SelectNext(benchmark::State& state) {
  Running& r = Shared(static_cast<int>(state.range(0)));
  const QPoint frame(kLayout.X(500), kLayout.Y(300));
  // A double click in the strip left of the frame: the first point.
  r.view().OnLButtonDblClk(kLayout.X(5), kLayout.Y(300));
  for (auto _ : state) {
    r.view().OnRButtonUp(frame.x(), frame.y());
    r.FinishFrame();
  }
  Counters(state, r);
}
BENCHMARK(BM_SelectNext)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// A left click on the importance filter ③: its events leave the line; the
// click that brings them back is not timed.
void BM_FilterClick(benchmark::State& state) {
  Running& r = Shared(static_cast<int>(state.range(0)));
  const QPoint filter = Centre(ImportanceArea(3));
  for (auto _ : state) {
    r.view().OnLButtonUp(filter.x(), filter.y());
    r.FinishFrame();
    state.PauseTiming();
    r.view().OnLButtonUp(filter.x(), filter.y());
    r.FinishFrame();
    state.ResumeTiming();
  }
  Counters(state, r);
}
BENCHMARK(BM_FilterClick)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The clock's once-a-second tick, all the program does when left alone.
void BM_ClockTick(benchmark::State& state) {
  Running& r = Shared(10000);
  for (auto _ : state) {
    r.view().OnClockTick();
    r.FinishFrame();
  }
}
BENCHMARK(BM_ClockTick)->Unit(benchmark::kMicrosecond);

// A query typed into the find window: about 1% of the events match (memo 1
// "メモ42"), the result rows built. The index is built once, as the window
// keeps it while the events stay as they are.
void BM_Search(benchmark::State& state) {
  Running& r = Shared(static_cast<int>(state.range(0)));
  EventDesk& desk = *r.app->view().desk();
  const std::vector<DeskEvent> events = desk.Events();
  std::vector<std::string_view> lines;
  for (const DeskEvent& e : events) lines.push_back(e.line);
  EventSearch search;
  search.Build(lines);
  std::size_t found = 0;
  for (auto _ : state) {
    const std::vector<FoundEvent> rows = FoundEvents(lines, search.Find("メモ42"));
    found = rows.size();
    benchmark::DoNotOptimize(rows.data());
  }
  state.counters["found"] = static_cast<double>(found);
  Counters(state, r);
}
BENCHMARK(BM_Search)->Arg(100000)->Unit(benchmark::kMillisecond);

// OK in the add dialog, opened on the selected point's year as it opens: the
// line composed, inserted into its file, the point list following and the
// new point selected, to the finished frame. The line is taken out again
// untimed.
void BM_AddEvent(benchmark::State& state) {
  Running& r = Shared(static_cast<int>(state.range(0)));
  EventDesk& desk = *r.app->view().desk();
  EventForm form;
  form.first = FormOfLine(desk.SelectedEvent()->line).first;
  form.period = "近世";
  form.event = "追加したできごと";
  form.memo1 = "メモ";
  for (auto _ : state) {
    const ComposedLine composed = ComposeEventLine(form);
    desk.AddEvent(3, composed.line);
    r.FinishFrame();
    state.PauseTiming();
    desk.DeleteEvent(desk.SelectedEvent()->key);
    r.FinishFrame();
    state.ResumeTiming();
  }
  Counters(state, r);
}
BENCHMARK(BM_AddEvent)->Arg(100000)->Unit(benchmark::kMillisecond);

// From the window's creation to the end of the first paint: the state file,
// the ten slot files and the first picture.
void TimeStartup(benchmark::State& state, const Program& program) {
  for (auto _ : state) {
    std::unique_ptr<Application> app = program.Start();
    app->viewWidget().backBuffer().Flush();
    state.PauseTiming();
    app.reset();
    state.ResumeTiming();
  }
}
void BM_StartupLoad(benchmark::State& state) {
  TimeStartup(state, Program(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_StartupLoad)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// A study log of `answers` lines over the events of the first `files` slot
// files of the program's data folder, answered in the last weeks before
// `today`.
void WriteStudyLog(const Program& program, int answers, const LocalTime& today, int files = 1) {
  struct Event {
    std::string baseName;
    std::string line;
  };
  std::vector<Event> lines;
  for (int k = 0; k < files; ++k) {
    const std::string baseName = "歴史文書2" + std::to_string(k);
    std::ifstream in(std::filesystem::path(program.dir()) / (baseName + ".txt"), std::ios::binary);
    for (std::string line; std::getline(in, line);) {
      if (line.starts_with("AD") || line.starts_with("BC")) lines.push_back({baseName, line});
    }
  }
  std::string text = StudyLogHeader();
  for (int i = 0; i < answers; ++i) {
    const auto& [baseName, line] = lines[static_cast<std::size_t>(i) % lines.size()];
    StudyLogEntry entry;
    entry.time = DateOfDay(DayNumber(today) - 1 - i % 20);
    entry.time.hour = 9;
    entry.baseName = baseName;
    entry.dateField = DecodeCp932(EventDateField(line));
    entry.eventText = DecodeCp932(EventTextField(line));
    entry.answer = "1";
    entry.right = i % 3 != 0;
    entry.levelBefore = 2;
    entry.levelAfter = 3;
    entry.grade = entry.right ? Grade::kGood : Grade::kAgain;
    entry.seconds = 5;
    text += StudyLogLine(entry);
  }
  std::ofstream(std::filesystem::path(program.dir()) / kStudyLogName, std::ios::binary) << text;
}

// The same start with a study log of 100,000 answers in the data folder: the
// log is read when a round first needs it, not at start.
void BM_StartupWithStudyLog(benchmark::State& state) {
  const Program program(static_cast<int>(state.range(0)));
  WriteStudyLog(program, 100000, LocalTime{2026, 12, 9});
  TimeStartup(state, program);
}
BENCHMARK(BM_StartupWithStudyLog)->Arg(10000)->Unit(benchmark::kMillisecond);

// The self-test's next round at this many events, with a study log of
// `answers` answers over the events of `loggedFiles` slot files: the
// schedule over every event on the line (each card's memory replayed once,
// when the log is first read), the first question selected, scrolled to and
// drawn with its years hidden.
void NextQuestion(benchmark::State& state, int loggedFiles, int answers = 100000) {
  Running& r = Shared(static_cast<int>(state.range(0)));
  RoundHost* host = r.app->studyHost();
  if (!host) return state.SkipWithError("no self-test");
  WriteStudyLog(*r.program, answers, host->Now(), loggedFiles);
  Round test(*host);
  test.StartRound(kDefaultRoundSize);  // reads the log once
  for (auto _ : state) {
    test.StartRound(kDefaultRoundSize);
    r.FinishFrame();
    state.PauseTiming();
    test.End();
    r.FinishFrame();
    state.ResumeTiming();
  }
  Counters(state, r);
}
// One file's events answered ten times each, the others never.
void BM_NextQuestion(benchmark::State& state) {
  NextQuestion(state, 1);
}
BENCHMARK(BM_NextQuestion)->Arg(100000)->Unit(benchmark::kMillisecond);
// Every event answered: a round looks at every event of the lowest level.
void BM_NextQuestionAllAnswered(benchmark::State& state) {
  NextQuestion(state, OperatingState::kSlotCount);
}
BENCHMARK(BM_NextQuestionAllAnswered)->Arg(100000)->Unit(benchmark::kMillisecond);
// Every event answered ten times: a log of 1,000,000 answers.
void BM_NextQuestionMillionAnswers(benchmark::State& state) {
  NextQuestion(state, OperatingState::kSlotCount, 1000000);
}
BENCHMARK(BM_NextQuestionMillionAnswers)->Arg(100000)->Unit(benchmark::kMillisecond);

// The figures of "学習の記録" at this many events, every event answered ten
// times: counts per file and level, the due days, the answers per day and
// the calibration over the whole log.
void BM_StudyRecord(benchmark::State& state) {
  Running& r = Shared(static_cast<int>(state.range(0)));
  RoundHost* host = r.app->studyHost();
  if (!host) return state.SkipWithError("no self-test");
  WriteStudyLog(*r.program, 1000000, host->Now(), OperatingState::kSlotCount);
  Round test(*host);
  benchmark::DoNotOptimize(test.Statistics());  // reads the log once
  for (auto _ : state) benchmark::DoNotOptimize(test.Statistics());
}
BENCHMARK(BM_StudyRecord)->Arg(100000)->Unit(benchmark::kMillisecond);

// Reading a study log of that many answers into the review history.
void BM_ReadStudyLog(benchmark::State& state) {
  const Program program(10);
  WriteStudyLog(program, static_cast<int>(state.range(0)), LocalTime{2026, 12, 9});
  const std::filesystem::path path = std::filesystem::path(program.dir()) / kStudyLogName;
  for (auto _ : state) benchmark::DoNotOptimize(ReviewHistory::Read(path));
}
BENCHMARK(BM_ReadStudyLog)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qev

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  qev::RunningPrograms().clear();
  return 0;
}
