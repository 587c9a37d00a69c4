// Run with QT_SCALE_FACTOR=2: the view draws at the screen's own resolution.
#include <QtTest>

#include <algorithm>

#include "app/qt_canvas.h"
#include "app/view_widget.h"
#include "text/cp932.h"

using namespace qev::literals;

namespace qev {
namespace {

const ScreenLayout kLayout{800, 600};
const QRect kText(100, 100, 200, 40);  // logical pixels, around the text drawn

void DrawSample(BackBuffer& buffer) {
  QtCanvas canvas(buffer, QRect(0, 0, kLayout.W, kLayout.H));
  canvas.FillRect(0, 0, kLayout.W, kLayout.H, {255, 255, 255});
  canvas.SetFont("MS P明朝", 24);
  canvas.TextOut(kText.x(), kText.y(), "歴史 AD1600"_sj);
  canvas.SetPen(1, {0, 0, 0});
  canvas.MoveTo(10, 50);
  canvas.LineTo(90, 50);
  buffer.Flush();
}

// The ink's bounding box in logical pixels: pixels darker than mid grey.
QRect InkBox(const QImage& image, qreal ratio) {
  QRect box;
  const QRect area(kText.topLeft() * ratio, kText.size() * ratio);
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (qGray(image.pixel(x, y)) < 128) box |= QRect(x, y, 1, 1);
    }
  }
  return QRect(box.left() / ratio, box.top() / ratio,
               (box.right() + 1) / ratio - box.left() / ratio,
               (box.bottom() + 1) / ratio - box.top() / ratio);
}

// Of the 2x2 device-pixel blocks in the text that hold ink, the share whose
// four pixels differ: none in a picture enlarged from one pixel per pixel.
double DetailedShare(const QImage& image) {
  int inked = 0;
  int detailed = 0;
  const QRect area(kText.topLeft() * 2, kText.size() * 2);
  for (int y = area.top(); y < area.bottom(); y += 2) {
    for (int x = area.left(); x < area.right(); x += 2) {
      const QRgb p[] = {image.pixel(x, y), image.pixel(x + 1, y), image.pixel(x, y + 1),
                        image.pixel(x + 1, y + 1)};
      if (std::none_of(std::begin(p), std::end(p), [](QRgb c) { return qGray(c) < 200; })) continue;
      ++inked;
      if (std::any_of(std::begin(p), std::end(p), [&](QRgb c) { return c != p[0]; })) ++detailed;
    }
  }
  return inked == 0 ? 0 : static_cast<double>(detailed) / inked;
}

}  // namespace

class HiDpiTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void TextIsDrawnAtTheScreensResolutionWhereItIsAtOne() {
    QCOMPARE(qGuiApp->devicePixelRatio(), 2.0);
    ViewWidget widget(kLayout);
    QCOMPARE(widget.size(), QSize(800, 600));
    QCOMPARE(widget.backBuffer().pixelRatio(), 2.0);
    DrawSample(widget.backBuffer());
    // What the widget puts on the screen, at its device pixels.
    const QImage shown = widget.grab(QRect(0, 0, kLayout.W, kLayout.H)).toImage();
    QCOMPARE(shown.size(), QSize(1600, 1200));

    BackBuffer single(kLayout.W, kLayout.H, 1.0, {});
    DrawSample(single);
    const QImage one = single.image();
    const QImage enlarged = one.scaled(one.size() * 2);

    // In the same place, within a logical pixel.
    const QRect at2 = InkBox(shown, 2);
    const QRect at1 = InkBox(one, 1);
    QVERIFY2(!at1.isEmpty(), "no text drawn");
    QVERIFY2(std::abs(at2.left() - at1.left()) <= 1 && std::abs(at2.top() - at1.top()) <= 1 &&
                 std::abs(at2.right() - at1.right()) <= 1 &&
                 std::abs(at2.bottom() - at1.bottom()) <= 1,
             qPrintable(QStringLiteral("%1,%2 %3x%4 against %5,%6 %7x%8")
                            .arg(at2.x())
                            .arg(at2.y())
                            .arg(at2.width())
                            .arg(at2.height())
                            .arg(at1.x())
                            .arg(at1.y())
                            .arg(at1.width())
                            .arg(at1.height())));
    // Crisp: the edges have detail finer than a logical pixel.
    QCOMPARE(DetailedShare(enlarged), 0.0);
    QVERIFY2(DetailedShare(shown) > 0.3, qPrintable(QString::number(DetailedShare(shown))));

    // A 1-pixel line covers the two device rows of its logical row.
    for (int y : {99, 100, 101, 102}) {
      const bool inked = qGray(shown.pixel(100, y)) < 128;
      QVERIFY2(inked == (y == 100 || y == 101), qPrintable(QString::number(y)));
    }
  }
};

}  // namespace qev

QTEST_MAIN(qev::HiDpiTest)
#include "hidpi_test.moc"
