// How long the redraws a click causes take with 10,000 events.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "events/file_io.h"
#include "panel/panel_areas.h"
#include "platform/fake_platform.h"
#include "view/main_view.h"

namespace qev {
namespace {

// A data folder with ten slots of 1,000 events each, spread over 4000 BC to
// AD 2000, and a view that has read them.
class Fixture {
 public:
  Fixture() {
    dir_ = std::filesystem::temp_directory_path() / "qev-redraw-bench";
    std::filesystem::create_directories(dir_);
    for (int k = 0; k < 10; ++k) {
      Sjis text("H;bench;;;\r\n");
      for (int i = 0; i < 1000; ++i) {
        int year = (i * 6 + k) % 6000 - 4000;
        char line[96];
        std::snprintf(line, sizeof line, "%s%04d;%d,%d,,;period;event %d;memo;memo;\r\n",
                      year < 0 ? "BC" : "AD", year < 0 ? -year : year, i % 5 + 1, k % 5 + 1, i);
        text += line;
      }
      text += ";\r\n";
      WriteFileAtomically(dir_ / ("歴史文書2" + std::to_string(k) + ".txt"), text);
    }
    view = std::make_unique<MainView>(platform, ScreenLayout{1024, 768}, dir_.string());
    view->OnInitialUpdate();
    view->OnPaint();
  }
  ~Fixture() { std::filesystem::remove_all(dir_); }

  // A click on the range label: one range step up.
  void RangeUp() {
    const PanelRect r = AreaRect(view->layout(), PanelArea::kRange);
    view->OnLButtonUp(r.left + 1, r.top + 1);
  }
  // A right click in the timeline frame: the next point.
  void SelectNext() { view->OnRButtonUp(view->layout().X(500), view->layout().Y(300)); }

  void ClearCanvases() {
    platform.view.Clear();
    platform.drawArea.Clear();
  }

  testing::FakePlatform platform;
  std::unique_ptr<MainView> view;

 private:
  std::filesystem::path dir_;
};

Fixture& Shared() {
  static Fixture f;
  return f;
}

void BM_FullRefresh(benchmark::State& state) {
  Fixture& f = Shared();
  while (f.view->session()->scale().rangeIndex() != state.range(0)) f.RangeUp();
  f.view->ScrollTimeline(ScrollCode::kThumbPosition, 350);
  for (auto _ : state) {
    f.view->FullRefresh();
    f.ClearCanvases();
  }
  state.counters["visible"] = f.view->session()->visible().size();
}
BENCHMARK(BM_FullRefresh)->Arg(0)->Arg(7)->Unit(benchmark::kMillisecond);

void BM_SelectNext(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) {
    f.SelectNext();
    f.ClearCanvases();
  }
}
BENCHMARK(BM_SelectNext)->Unit(benchmark::kMillisecond);

void BM_ScrollLine(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) {
    f.view->ScrollTimeline(ScrollCode::kLineRight, 0);
    f.view->ScrollTimeline(ScrollCode::kLineLeft, 0);
    f.ClearCanvases();
  }
}
BENCHMARK(BM_ScrollLine)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qev

BENCHMARK_MAIN();
