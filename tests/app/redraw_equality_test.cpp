// The picture the program leaves after each click is the one it has always
// left: the back buffer after every click of a fixed sequence, on generated
// data, is compared pixel for pixel with images recorded from the program as
// it drew before its redraws were made cheaper (tests/app/data/redraw/).
//
// With QEV_WRITE_REDRAW_IMAGES=<folder> set, the images are written there
// instead of compared.
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "events/generated_events.h"
#include "panel/panel_areas.h"
#include "panel/slot_area.h"
#include "study/round.h"

namespace qev {
namespace {

const ScreenLayout kLayout{1024, 768};

QPoint Centre(PanelArea area, const ScreenLayout& layout = kLayout) {
  const PanelRect r = AreaRect(layout, area);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

struct Step {
  const char* name;
  std::function<void(ViewHandlers&)> act;
};

std::function<void(ViewHandlers&)> Left(QPoint p) {
  return [p](ViewHandlers& v) { v.OnLButtonUp(p.x(), p.y()); };
}
std::function<void(ViewHandlers&)> Right(QPoint p) {
  return [p](ViewHandlers& v) { v.OnRButtonUp(p.x(), p.y()); };
}

std::vector<Step> Steps() {
  const QPoint frame(kLayout.X(500), kLayout.Y(300));
  const QPoint leftStrip(kLayout.X(5), kLayout.Y(300));
  const QPoint rightStrip(kLayout.X(990), kLayout.Y(300));
  return {
      {"start", [](ViewHandlers&) {}},
      {"next", Right(frame)},
      {"next_again", Right(frame)},
      {"previous", Left(frame)},
      {"above_area", Left({kLayout.X(400), kLayout.Y(20) - 3})},
      {"range_up", Left(Centre(PanelArea::kRange))},
      {"range_down", Right(Centre(PanelArea::kRange))},
      {"range_down_again", Right(Centre(PanelArea::kRange))},
      {"slot_off", Left(Centre(SlotArea(3)))},
      {"slot_on", Left(Centre(SlotArea(3)))},
      {"importance_off", Left(Centre(ImportanceArea(3)))},
      {"priority", Left(Centre(PanelArea::kPriority))},
      {"priority_back", Left(Centre(PanelArea::kPriority))},
      {"importance_on", Left(Centre(ImportanceArea(3)))},
      {"brightness", Left(Centre(PanelArea::kBrightness))},
      {"one_point", Left(Centre(PanelArea::kPointDisplayMode))},
      {"no_points", Left(Centre(PanelArea::kPointDisplayMode))},
      {"all_points", Left(Centre(PanelArea::kPointDisplayMode))},
      {"year_mode", Left(Centre(PanelArea::kYearDisplayMode))},
      {"range_mode", Left(Centre(PanelArea::kYearDisplayMode))},
      {"state_text", Left(Centre(PanelArea::kStateLabel))},
      {"state_text_closed", Left(Centre(PanelArea::kStateLabel))},
      {"large_text", Left(Centre(PanelArea::kTextSize))},
      {"small_text", Left(Centre(PanelArea::kTextSize))},
      {"last", [=](ViewHandlers& v) { v.OnLButtonDblClk(rightStrip.x(), rightStrip.y()); }},
      {"first", [=](ViewHandlers& v) { v.OnLButtonDblClk(leftStrip.x(), leftStrip.y()); }},
      {"line_right", [](ViewHandlers& v) { v.ScrollTimeline(ScrollCode::kLineRight, 0); }},
      {"page_left", [](ViewHandlers& v) { v.ScrollTimeline(ScrollCode::kPageLeft, 0); }},
      {"memo1", Left(Centre(PanelArea::kShowMemo1))},
      {"importance_change", Left(Centre(PanelArea::kImportanceChange))},
  };
}

// Every kind of click once or more, at `layout`; `app` for the self-test.
std::vector<Step> EveryClick(const ScreenLayout& layout, Application& app,
                             std::unique_ptr<Round>& round) {
  const auto left = [&layout](PanelArea area) { return Left(Centre(area, layout)); };
  const auto right = [&layout](PanelArea area) { return Right(Centre(area, layout)); };
  const QPoint frame(layout.X(500), layout.Y(300));
  const QPoint leftStrip(layout.X(5), layout.Y(300));
  const QPoint rightStrip(layout.X(990), layout.Y(300));
  std::vector<Step> steps = {
      {"next", Right(frame)},
      {"previous", Left(frame)},
      {"above_area", Left({layout.X(400), layout.Y(20) - 3})},
      {"last", [=](ViewHandlers& v) { v.OnLButtonDblClk(rightStrip.x(), rightStrip.y()); }},
      {"first", [=](ViewHandlers& v) { v.OnLButtonDblClk(leftStrip.x(), leftStrip.y()); }},
      {"range_up", left(PanelArea::kRange)},
      {"range_down", right(PanelArea::kRange)},
      {"line_right", [](ViewHandlers& v) { v.ScrollTimeline(ScrollCode::kLineRight, 0); }},
      {"page_left", [](ViewHandlers& v) { v.ScrollTimeline(ScrollCode::kPageLeft, 0); }},
      {"slot_off", left(SlotArea(3))},
      {"slot_on", left(SlotArea(3))},
      {"importance_off", left(ImportanceArea(3))},
      {"memorisation_off", left(MemorisationArea(2))},
      {"priority", left(PanelArea::kPriority)},
      {"memorisation_on", left(MemorisationArea(2))},
      {"importance_on", left(ImportanceArea(3))},
      {"importance_change", left(PanelArea::kImportanceChange)},
      {"memorisation_change", left(PanelArea::kMemorisationChange)},
      {"memorisation_back", right(PanelArea::kMemorisationChange)},
      {"next_after_change", Right(frame)},
      {"stopwatch", left(PanelArea::kStopwatch)},
      {"clock", [](ViewHandlers& v) { v.OnClockTick(); }},
      {"stopwatch_stop", left(PanelArea::kStopwatch)},
      {"year_mode", left(PanelArea::kYearDisplayMode)},
      {"range_mode", left(PanelArea::kYearDisplayMode)},
      {"show_year", left(PanelArea::kShowYear)},
      {"memo1", left(PanelArea::kShowMemo1)},
      {"state_text", left(PanelArea::kStateLabel)},
      {"state_text_closed", left(PanelArea::kStateLabel)},
      {"large_text", left(PanelArea::kTextSize)},
      {"next_large", Right(frame)},
      {"small_text", left(PanelArea::kTextSize)},
      {"help", left(PanelArea::kHelp)},
      {"help_closed", left(PanelArea::kHelp)},
      {"question",
       [&app, &round](ViewHandlers&) {
         round = std::make_unique<Round>(*app.studyHost());
         round->StartRound(kDefaultRoundSize);
       }},
      {"next_in_question", Right(frame)},
      {"question_end", [&round](ViewHandlers&) { round->End(); }},
      {"one_point", left(PanelArea::kPointDisplayMode)},
      {"next_one_point", Right(frame)},
      {"no_points", left(PanelArea::kPointDisplayMode)},
      {"next_no_points", Right(frame)},
      {"all_points", left(PanelArea::kPointDisplayMode)},
  };
  // Every brightness, with a selection step at each.
  for (int b = 0; b < 6; ++b) {
    steps.push_back({"brightness", left(PanelArea::kBrightness)});
    steps.push_back({"next_at_brightness", Right(frame)});
  }
  return steps;
}

// The clock's cell, the one part of the recorded pictures that follows the
// time of day.
bool IsClock(int x, int y, const ScreenLayout& layout) {
  return x < layout.X(190) && y >= layout.row4() && y < layout.row4() + 14;
}

// The clock and the running stopwatch with its marker, which follow the time.
bool IsTimed(int x, int y, const ScreenLayout& layout) {
  const PanelRect r = AreaRect(layout, PanelArea::kStopwatch);
  return (x < layout.X(330) && y >= layout.row4() && y < layout.row4() + 14) ||
         (x >= r.left && x < r.right && y >= r.top && y < r.bottom);
}

// A program started on generated data, answering any question to save with
// cancel.
std::unique_ptr<Application> Started(const ScreenLayout& layout, const QTemporaryDir& dir) {
  auto app = std::make_unique<Application>(layout, dir.path().toStdString());
  app->platform().messageAnswers.assign(8, SaveAnswer::kCancel);
  app->Start();
  if (!QTest::qWaitFor([&] { return app->firstPaintDone(); }, 10000)) return nullptr;
  return app;
}

QImage Shot(Application& app) {
  return app.viewWidget().backBuffer().image().convertToFormat(QImage::Format_RGB32);
}

// The number of pixels that differ outside the clock, and the first of them.
QString Difference(const QImage& actual, const QImage& expected,
                   const std::function<bool(int, int)>& ignored) {
  if (actual.size() != expected.size()) return QStringLiteral("size differs");
  int count = 0;
  QPoint first;
  for (int y = 0; y < actual.height(); ++y) {
    const auto* a = reinterpret_cast<const QRgb*>(actual.constScanLine(y));
    const auto* e = reinterpret_cast<const QRgb*>(expected.constScanLine(y));
    for (int x = 0; x < actual.width(); ++x) {
      if (a[x] == e[x] || ignored(x, y)) continue;
      if (count++ == 0) first = QPoint(x, y);
    }
  }
  if (count == 0) return {};
  return QStringLiteral("%1 pixels differ, the first at (%2,%3)")
      .arg(count)
      .arg(first.x())
      .arg(first.y());
}

}  // namespace

class RedrawEqualityTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void EveryClickLeavesThePictureItAlwaysLeft() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    testing::WriteGeneratedEvents(dir.path().toStdString(), 300, 5, 330);
    Application app(kLayout, dir.path().toStdString());
    app.platform().messageAnswers.assign(2, SaveAnswer::kCancel);
    app.Start();
    QVERIFY(QTest::qWaitFor([&] { return app.firstPaintDone(); }, 10000));

    const QString writeTo = qEnvironmentVariable("QEV_WRITE_REDRAW_IMAGES");
    const QString folder = QStringLiteral(QEV_SOURCE_DIR "/tests/app/data/redraw/");
    int index = 0;
    for (const Step& step : Steps()) {
      step.act(app.view());
      const QImage shot = Shot(app);
      const QString file = QStringLiteral("%1_%2.png")
                               .arg(index++, 2, 10, QLatin1Char('0'))
                               .arg(QString::fromUtf8(step.name));
      if (!writeTo.isEmpty()) {
        QVERIFY(shot.save(writeTo + QLatin1Char('/') + file));
        continue;
      }
      const QImage expected = QImage(folder + file).convertToFormat(QImage::Format_RGB32);
      QVERIFY2(!expected.isNull(), qPrintable(folder + file));
      const QString difference =
          Difference(shot, expected, [](int x, int y) { return IsClock(x, y, kLayout); });
      QVERIFY2(difference.isEmpty(), qPrintable(file + QStringLiteral(": ") + difference));
    }
    QCOMPARE(app.platform().messageRequests, std::vector<std::string>{});
  }

  // What a click draws over the kept picture of the line and the panel as
  // last drawn is what drawing everything anew shows: a second program makes
  // the same clicks, each followed by the diagram opened and closed and a
  // paint, which draw the whole screen again, and the two pictures are
  // compared after every click.
  void EveryClickDrawsWhatAFullRedrawDraws_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("800x600") << 800 << 600;
    QTest::newRow("1024x768") << 1024 << 768;
  }
  void EveryClickDrawsWhatAFullRedrawDraws() {
    QFETCH(int, width);
    QFETCH(int, height);
    const ScreenLayout layout{width, height};
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    testing::WriteGeneratedEvents(dir.path().toStdString(), 300, 5, 330);
    std::unique_ptr<Application> kept = Started(layout, dir);
    std::unique_ptr<Application> full = Started(layout, dir);
    QVERIFY(kept && full);
    std::unique_ptr<Round> keptRound;
    std::unique_ptr<Round> fullRound;
    const std::vector<Step> keptSteps = EveryClick(layout, *kept, keptRound);
    const std::vector<Step> fullSteps = EveryClick(layout, *full, fullRound);
    const QPoint diagram = Centre(PanelArea::kDiagram, layout);
    for (std::size_t i = 0; i < keptSteps.size(); ++i) {
      keptSteps[i].act(kept->view());
      fullSteps[i].act(full->view());
      // Where the help page is up, it stays up.
      if (dynamic_cast<MainView&>(full->view()).screenPage() == ScreenPage::kMain) {
        full->view().OnLButtonUp(diagram.x(), diagram.y());
        full->view().OnLButtonUp(diagram.x(), diagram.y());
        full->view().OnPaint();
      }
      const QString difference = Difference(
          Shot(*kept), Shot(*full), [&layout](int x, int y) { return IsTimed(x, y, layout); });
      QVERIFY2(difference.isEmpty(), qPrintable(QString::number(i) + QLatin1Char(' ') +
                                                QString::fromUtf8(keptSteps[i].name) +
                                                QStringLiteral(": ") + difference));
    }
    if (keptRound) keptRound->End();
    if (fullRound) fullRound->End();
  }
};

}  // namespace qev

QTEST_MAIN(qev::RedrawEqualityTest)
#include "redraw_equality_test.moc"
