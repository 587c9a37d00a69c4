#include <QFontInfo>
#include <QtTest>

#include "app/qt_canvas.h"
#include "text/cp932.h"

using namespace qev::literals;

namespace qev {
namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kBlue{0, 0, 255};

bool Is(const QImage& image, int x, int y, Rgb c) {
  return image.pixelColor(x, y) == QColor(c.r, c.g, c.b);
}

// The pixels of one row (or column) from..to as '#' where `c` is drawn.
QString Row(const QImage& image, int y, int fromX, int toX, Rgb c) {
  QString s;
  for (int x = fromX; x <= toX; ++x) s += Is(image, x, y, c) ? '#' : '.';
  return s;
}
QString Column(const QImage& image, int x, int fromY, int toY, Rgb c) {
  QString s;
  for (int y = fromY; y <= toY; ++y) s += Is(image, x, y, c) ? '#' : '.';
  return s;
}

// The bounding box of every pixel that is not `background`.
QRect Ink(const QImage& image, Rgb background) {
  QRect box;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (!Is(image, x, y, background)) box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

}  // namespace

class QtCanvasTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void FillExcludesRightAndBottomEdges() {
    BackBuffer buffer(40, 40, 1, {});
    QtCanvas canvas(buffer, QRect(0, 0, 40, 40));
    canvas.FillRect(0, 0, 40, 40, kWhite);
    canvas.FillRect(10, 10, 20, 15, kBlack);
    canvas.FillRect(30, 30, 25, 35, kBlack);  // inverted: nothing
    const QImage& image = buffer.image();
    QCOMPARE(Ink(image, kWhite), QRect(QPoint(10, 10), QPoint(19, 14)));
  }

  void LinesLeaveOutTheirEndPoint() {
    BackBuffer buffer(40, 40, 1, {});
    QtCanvas canvas(buffer, QRect(0, 0, 40, 40));
    canvas.FillRect(0, 0, 40, 40, kWhite);
    canvas.MoveTo(5, 5);
    canvas.LineTo(5, 10);
    canvas.MoveTo(8, 20);
    canvas.LineTo(12, 20);
    canvas.MoveTo(20, 20);
    canvas.LineTo(25, 25);
    canvas.MoveTo(30, 30);
    canvas.LineTo(30, 30);  // no length, no pixel
    const QImage& image = buffer.image();
    QCOMPARE(Column(image, 5, 4, 11, kBlack), QString(".#####.."));
    QCOMPARE(Row(image, 20, 7, 13, kBlack), QString(".####.."));
    QVERIFY(Is(image, 24, 24, kBlack));
    QVERIFY(!Is(image, 25, 25, kBlack));
    QVERIFY(Is(image, 30, 30, kWhite));
  }

  void LinesDrawnBackwardsCoverTheirStartToo() {
    BackBuffer buffer(40, 40, 1, {});
    QtCanvas canvas(buffer, QRect(0, 0, 40, 40));
    canvas.FillRect(0, 0, 40, 40, kWhite);
    canvas.MoveTo(5, 10);  // upwards, as a point mark is drawn
    canvas.LineTo(5, 5);
    canvas.MoveTo(12, 20);  // leftwards, as the BC side of the line
    canvas.LineTo(8, 20);
    canvas.MoveTo(25, 25);  // up and left
    canvas.LineTo(20, 20);
    const QImage& image = buffer.image();
    QCOMPARE(Column(image, 5, 4, 11, kBlack), QString("..#####."));
    QCOMPARE(Row(image, 20, 7, 13, kBlack), QString("..####."));
    QVERIFY(Is(image, 25, 25, kBlack));
    QVERIFY(Is(image, 21, 21, kBlack));
    QVERIFY(!Is(image, 20, 20, kBlack));
  }

  void WidePensCoverTheColumnLeftAndTheRowAbove() {
    BackBuffer buffer(40, 40, 1, {});
    QtCanvas canvas(buffer, QRect(0, 0, 40, 40));
    canvas.FillRect(0, 0, 40, 40, kWhite);
    canvas.SetPen(2, kBlue);
    canvas.MoveTo(15, 5);
    canvas.LineTo(15, 10);
    canvas.MoveTo(20, 30);
    canvas.LineTo(26, 30);
    const QImage& image = buffer.image();
    QCOMPARE(Row(image, 7, 13, 17, kBlue), QString(".##.."));
    QCOMPARE(Column(image, 14, 4, 11, kBlue), QString(".#####.."));
    QCOMPARE(Column(image, 22, 28, 32, kBlue), QString(".##.."));
    QCOMPARE(Row(image, 30, 19, 27, kBlue), QString(".######.."));
  }

  void TextCellHangsBelowAndRightOfItsPosition() {
    BackBuffer buffer(200, 80, 1, {});
    QtCanvas canvas(buffer, QRect(0, 0, 200, 80));
    canvas.FillRect(0, 0, 200, 80, kWhite);
    canvas.SetFont("MS P明朝", 16);
    canvas.SetBackgroundMode(BackgroundMode::kTransparent);
    canvas.TextOut(50, 40, "日本史gy"_sj);
    const QRect ink = Ink(buffer.image(), kWhite);
    const CachedFont& font = buffer.Font("MS P明朝", 16);
    QVERIFY(!ink.isEmpty());
    QVERIFY2(ink.top() >= 40 && ink.left() >= 50, qPrintable(QDebug::toString(ink)));
    QVERIFY(ink.bottom() < 40 + font.metrics.height());
    // Below the top of the cell by less than the ascent: not drawn above y.
    QVERIFY(ink.top() < 40 + font.metrics.ascent());
  }

  void OpaqueTextFillsItsCellFirst() {
    BackBuffer buffer(200, 80, 1, {});
    QtCanvas canvas(buffer, QRect(0, 0, 200, 80));
    canvas.FillRect(0, 0, 200, 80, kWhite);
    canvas.SetFont("MS P明朝", 12);
    canvas.SetTextColor(kWhite);
    canvas.SetBackgroundColor(kBlue);
    canvas.TextOut(20, 30, "レンジ= 7"_sj);
    const QFontMetrics& metrics = buffer.Font("MS P明朝", 12).metrics;
    const int width = metrics.horizontalAdvance(QStringLiteral("レンジ= 7"));
    const int height = metrics.height();
    const QImage& image = buffer.image();
    QVERIFY(Is(image, 20, 30, kBlue));
    QVERIFY(Is(image, 20 + width - 1, 30 + height - 1, kBlue));
    QVERIFY(Is(image, 19, 30, kWhite));
    QVERIFY(Is(image, 20, 29, kWhite));
    QVERIFY(Is(image, 20 + width, 30, kWhite));
    QVERIFY(Is(image, 20, 30 + height, kWhite));

    // Reset brings back black on opaque white.
    canvas.FillRect(0, 50, 200, 80, kBlue);
    canvas.Reset();
    canvas.SetFont("MS P明朝", 12);
    canvas.TextOut(20, 60, "x"_sj);
    QVERIFY(Is(buffer.image(), 20, 60, kWhite));
  }

  // A font created with height h has a text cell h pixels high, as in a
  // device context: the opaque box is h rows, and the glyphs stay inside it
  // so that drawing over a text with the same box leaves nothing of it.
  void FontHeightIsTheHeightOfTheCell_data() {
    QTest::addColumn<QString>("face");
    QTest::addColumn<int>("height");
    QTest::newRow("Mincho 12") << QStringLiteral("MS P明朝") << 12;
    QTest::newRow("Mincho 14") << QStringLiteral("MS P明朝") << 14;
    QTest::newRow("Mincho 16") << QStringLiteral("MS P明朝") << 16;
    QTest::newRow("Gothic 12") << QStringLiteral("ＭＳ Ｐゴシック") << 12;
  }
  void FontHeightIsTheHeightOfTheCell() {
    QFETCH(QString, face);
    QFETCH(int, height);
    const std::string faceName = face.toStdString();
    BackBuffer buffer(300, 60, 1, {});
    QtCanvas canvas(buffer, QRect(0, 0, 300, 60));
    canvas.FillRect(0, 0, 300, 60, kWhite);
    canvas.SetFont(faceName, height);
    canvas.SetTextColor(kBlack);
    canvas.SetBackgroundColor(kBlue);
    const Sjis text = "日本史(古代)[設定]年①"_sj;
    canvas.TextOut(10, 20, text);
    const int width = buffer.Font(faceName, height)
                          .metrics.horizontalAdvance(QString::fromStdString(DecodeCp932(text)));
    // The box and the glyphs together cover exactly the cell.
    const QImage once = buffer.image().copy();
    QCOMPARE(Ink(once, kWhite), QRect(10, 20, width, height));
    QVERIFY(!Ink(once.copy(10, 20, width, height), kBlue).isEmpty());
    // Drawn again over itself, as the panel redraws its labels, it stays.
    canvas.TextOut(10, 20, text);
    QCOMPARE(buffer.image(), once);
  }

  void BadBytesAndEmptyTextDrawSafely() {
    BackBuffer buffer(100, 40, 1, {});
    QtCanvas canvas(buffer, QRect(0, 0, 100, 40));
    canvas.FillRect(0, 0, 100, 40, kBlue);
    canvas.TextOut(0, 0, Sjis());
    QVERIFY(Ink(buffer.image(), kBlue).isEmpty());
    canvas.TextOut(0, 0, Sjis("\x82", 1));  // a lead byte cut off
    canvas.TextOut(0, 20, Sjis("A\xFF\x81", 3));
    QVERIFY(!Ink(buffer.image(), kBlue).isEmpty());
  }

  void DrawingAreaHasItsOwnOriginAndClip() {
    BackBuffer buffer(100, 100, 1, {});
    QtCanvas view(buffer, QRect(0, 0, 100, 100));
    QtCanvas area(buffer, QRect(10, 20, 50, 30));
    view.FillRect(0, 0, 100, 100, kWhite);
    area.FillRect(-5, -5, 500, 500, kBlue);
    QCOMPARE(Ink(buffer.image(), kWhite), QRect(10, 20, 50, 30));
    area.FillRect(0, 0, 1, 1, kBlack);
    view.FillRect(0, 0, 1, 1, kBlack);
    QVERIFY(Is(buffer.image(), 10, 20, kBlack));
    QVERIFY(Is(buffer.image(), 0, 0, kBlack));
  }

  // Text whose cell lies outside the area leaves nothing; a cell reaching
  // into it, by as little as one pixel on any side, is drawn there.
  void TextCellsReachingIntoTheAreaAreDrawn_data() {
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<bool>("drawn");
    // The cell is `w` wide and 16 high; the area 50 x 30.
    const int w = BackBuffer(1, 1, 1, {}).Font("MS P明朝", 16).metrics.horizontalAdvance("AB");
    QTest::newRow("inside") << 10 << 5 << true;
    QTest::newRow("one column in, left") << 1 - w << 5 << true;
    QTest::newRow("just left") << -w << 5 << false;
    QTest::newRow("one column in, right") << 49 << 5 << true;
    QTest::newRow("just right") << 50 << 5 << false;
    QTest::newRow("one row in, top") << 10 << -15 << true;
    QTest::newRow("just above") << 10 << -16 << false;
    QTest::newRow("just below") << 10 << 30 << false;
  }
  void TextCellsReachingIntoTheAreaAreDrawn() {
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(bool, drawn);
    BackBuffer buffer(100, 100, 1, {});
    QtCanvas view(buffer, QRect(0, 0, 100, 100));
    QtCanvas area(buffer, QRect(10, 20, 50, 30));
    view.FillRect(0, 0, 100, 100, kWhite);
    area.SetFont("MS P明朝", 16);
    area.SetBackgroundColor(kBlue);
    area.TextOut(x, y, "AB"_sj);
    const QRect ink = Ink(buffer.image(), kWhite);
    QCOMPARE(!ink.isEmpty(), drawn);
    QVERIFY(QRect(10, 20, 50, 30).contains(ink) || ink.isEmpty());
  }

  // A text shown again, from the cache, gives the same pixels.
  void CachedTextDrawsTheSamePixels() {
    BackBuffer first(120, 40, 1, {});
    BackBuffer again(120, 40, 1, {});
    for (BackBuffer* buffer : {&first, &again}) {
      QtCanvas canvas(*buffer, QRect(0, 0, 120, 40));
      canvas.FillRect(0, 0, 120, 40, kWhite);
      canvas.SetFont("ＭＳ Ｐゴシック", 12);
      canvas.TextOut(3, 3, "AD 794年"_sj);
      if (buffer == &again) canvas.TextOut(3, 3, "AD 794年"_sj);
    }
    QCOMPARE(again.image(), first.image());
  }

  void ShownTextCacheDropsTheLeastRecentlyUsed() {
    ShownTextCache cache(2);
    int made = 0;
    auto make = [&made](const Sjis& bytes) {
      ++made;
      return ShownText{QString::fromStdString(bytes), static_cast<int>(bytes.size())};
    };
    QCOMPARE(cache.Get("a"_sj, make).text, QStringLiteral("a"));
    cache.Get("bb"_sj, make);
    QCOMPARE(cache.Get("a"_sj, make).advance, 1);  // cached, now the most recent
    QCOMPARE(made, 2);
    cache.Get("ccc"_sj, make);  // drops "bb"
    QCOMPARE(cache.size(), std::size_t{2});
    cache.Get("a"_sj, make);
    QCOMPARE(made, 3);
    QCOMPARE(cache.Get("bb"_sj, make).text, QStringLiteral("bb"));
    QCOMPARE(made, 4);
  }

  // The diagram's picture is compiled in at the size it is drawn, so it is
  // copied pixel for pixel; a picture the program lacks draws nothing.
  void BundledPictureIsCopiedUnscaled() {
    const QImage picture(QStringLiteral(":/pictures/main_screen.png"));
    QCOMPARE(picture.size(), QSize(512, 384));
    BackBuffer buffer(600, 500, 1, {});
    QtCanvas area(buffer, QRect(10, 20, 580, 470));
    area.FillRect(0, 0, 580, 470, kBlue);
    area.DrawPicture(30, 40, 512, 384, "main_screen");
    area.DrawPicture(0, 0, 20, 20, "no_such_picture");
    const QImage& image = buffer.image();
    for (const QPoint p : {QPoint(0, 0), QPoint(511, 383), QPoint(256, 100), QPoint(100, 300)}) {
      QCOMPARE(image.pixel(p + QPoint(40, 60)), picture.pixel(p));
    }
    QVERIFY(Is(image, 39, 60, kBlue));
    QVERIFY(Is(image, 40 + 512, 60, kBlue));
    QVERIFY(Is(image, 10, 20, kBlue));
  }

  void HighDensityBufferScalesLogicalPixels() {
    BackBuffer buffer(20, 20, 2, {});
    QtCanvas canvas(buffer, QRect(0, 0, 20, 20));
    canvas.FillRect(0, 0, 20, 20, kWhite);
    canvas.FillRect(5, 5, 10, 10, kBlack);
    const QImage& image = buffer.image();
    QCOMPARE(image.size(), QSize(40, 40));
    QCOMPARE(Ink(image, kWhite), QRect(10, 10, 10, 10));
  }

  // On a high-density screen every logical pixel a line covers is a block of
  // device pixels, the same pixels as at ratio 1, not half a pixel beside.
  void HighDensityLinesCoverTheSameLogicalPixels() {
    auto draw = [](qreal ratio) {
      BackBuffer buffer(30, 30, ratio, {});
      QtCanvas canvas(buffer, QRect(0, 0, 30, 30));
      canvas.FillRect(0, 0, 30, 30, kWhite);
      for (int width : {1, 2}) {
        const int at = width * 12;
        canvas.SetPen(width, kBlack);
        canvas.MoveTo(at, 3);  // down
        canvas.LineTo(at, 9);
        canvas.MoveTo(at + 4, 9);  // up
        canvas.LineTo(at + 4, 3);
        canvas.MoveTo(3, at);  // right
        canvas.LineTo(9, at);
        canvas.MoveTo(9, at + 4);  // left
        canvas.LineTo(3, at + 4);
      }
      return buffer.image().copy();
    };
    const QImage single = draw(1);
    const QImage dense = draw(2);
    QCOMPARE(dense.size(), QSize(60, 60));
    QImage expected = single.scaled(60, 60, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    expected.setDevicePixelRatio(2);
    QCOMPARE(dense, expected);
  }

  void OneRepaintRequestPerRunOfDrawing() {
    int requests = 0;
    BackBuffer buffer(10, 10, 1, [&] { ++requests; });
    QtCanvas canvas(buffer, QRect(0, 0, 10, 10));
    canvas.FillRect(0, 0, 5, 5, kBlack);
    canvas.FillRect(5, 5, 10, 10, kBlack);
    QCOMPARE(requests, 1);
    buffer.Flush();
    canvas.MoveTo(0, 0);
    canvas.LineTo(5, 0);
    QCOMPARE(requests, 2);
  }

  void MinchoFacesFallBackToAnInstalledMincho() {
    BackBuffer buffer(10, 10, 1, {});
    QCOMPARE(QFontInfo(buffer.Font("MS P明朝", 16).font).family(), QStringLiteral("IPAPMincho"));
    QCOMPARE(buffer.Font("MS P明朝", 16).cellHeight, 16);
    QVERIFY(buffer.Font("MS P明朝", 16).metrics.height() <= 16);
    QCOMPARE(QFontInfo(buffer.Font("ＭＳ Ｐゴシック", 12).font).family(),
             QStringLiteral("IPAPGothic"));
  }
};

}  // namespace qev

QTEST_MAIN(qev::QtCanvasTest)
#include "qt_canvas_test.moc"
