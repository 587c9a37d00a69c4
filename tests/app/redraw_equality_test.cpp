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

namespace qev {
namespace {

const ScreenLayout kLayout{1024, 768};

QPoint Centre(PanelArea area) {
  const PanelRect r = AreaRect(kLayout, area);
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

// The clock's cell, the one part of the picture that follows the time of day.
bool IsClock(int x, int y) {
  return x < kLayout.X(190) && y >= kLayout.row4() && y < kLayout.row4() + 14;
}

// The number of pixels that differ outside the clock, and the first of them.
QString Difference(const QImage& actual, const QImage& expected) {
  if (actual.size() != expected.size()) return QStringLiteral("size differs");
  int count = 0;
  QPoint first;
  for (int y = 0; y < actual.height(); ++y) {
    const auto* a = reinterpret_cast<const QRgb*>(actual.constScanLine(y));
    const auto* e = reinterpret_cast<const QRgb*>(expected.constScanLine(y));
    for (int x = 0; x < actual.width(); ++x) {
      if (a[x] == e[x] || IsClock(x, y)) continue;
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
      const QImage shot =
          app.viewWidget().backBuffer().image().convertToFormat(QImage::Format_RGB32);
      const QString file = QStringLiteral("%1_%2.png")
                               .arg(index++, 2, 10, QLatin1Char('0'))
                               .arg(QString::fromUtf8(step.name));
      if (!writeTo.isEmpty()) {
        QVERIFY(shot.save(writeTo + QLatin1Char('/') + file));
        continue;
      }
      const QImage expected = QImage(folder + file).convertToFormat(QImage::Format_RGB32);
      QVERIFY2(!expected.isNull(), qPrintable(folder + file));
      const QString difference = Difference(shot, expected);
      QVERIFY2(difference.isEmpty(), qPrintable(file + QStringLiteral(": ") + difference));
    }
    QCOMPARE(app.platform().messageRequests, std::vector<std::string>{});
  }
};

}  // namespace qev

QTEST_MAIN(qev::RedrawEqualityTest)
#include "redraw_equality_test.moc"
