#include "app/sheet_export.h"

#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <span>

#include "app/qt_canvas.h"
#include "timeline/timeline_drawing.h"

namespace qev {
namespace {

// A canvas straight on a painter: the printed sheet is drawn as vectors and
// text, so a PDF keeps its text.
class PainterCanvas final : public Canvas {
 public:
  explicit PainterCanvas(QPainter& painter) : painter_(painter) { Reset(); }

  void Reset() override {
    pen_ = QPen(Qt::black, 1);
    textColor_ = Qt::black;
    backgroundColor_ = Qt::white;
    mode_ = BackgroundMode::kOpaque;
  }
  void FillRect(int left, int top, int right, int bottom, Rgb color) override {
    painter_.fillRect(QRect(left, top, right - left, bottom - top), ToColor(color));
  }
  void SetPen(int width, Rgb color) override {
    pen_ = QPen(ToColor(color), width, Qt::SolidLine, Qt::FlatCap);
  }
  void MoveTo(int x, int y) override { current_ = QPoint(x, y); }
  void LineTo(int x, int y) override {
    painter_.setPen(pen_);
    painter_.drawLine(current_, QPoint(x, y));
    current_ = QPoint(x, y);
  }
  void DrawSegments(std::span<const LineSegment> segments) override {
    for (const LineSegment& s : segments) {
      MoveTo(s.x0, s.y0);
      LineTo(s.x1, s.y1);
    }
  }
  void SetFont(std::string_view face, int pixelHeight) override {
    QFont font;
    font.setFamilies(FontFamiliesFor(face));
    font.setPixelSize(pixelHeight);
    painter_.setFont(font);
  }
  void SetTextColor(Rgb color) override { textColor_ = ToColor(color); }
  void SetBackgroundColor(Rgb color) override { backgroundColor_ = ToColor(color); }
  void SetBackgroundMode(BackgroundMode mode) override { mode_ = mode; }
  void TextOut(int x, int y, const Sjis& text) override {
    const QString s = QString::fromStdString(DecodeCp932(text));
    const QFontMetrics metrics(painter_.font(), painter_.device());
    if (mode_ == BackgroundMode::kOpaque) {
      painter_.fillRect(QRect(x, y, metrics.horizontalAdvance(s), metrics.height()),
                        backgroundColor_);
    }
    painter_.setPen(textColor_);
    painter_.drawText(QPoint(x, y + metrics.ascent()), s);
  }
  void DrawPicture(int x, int y, int width, int height, std::string_view name) override {
    const QImage picture(QStringLiteral(":/pictures/%1.png").arg(QString::fromUtf8(name)));
    painter_.drawImage(QRect(x, y, width, height), picture);
  }

 private:
  static QColor ToColor(Rgb c) { return QColor(c.r, c.g, c.b); }

  QPainter& painter_;
  QPen pen_;
  QPoint current_;
  QColor textColor_;
  QColor backgroundColor_;
  BackgroundMode mode_ = BackgroundMode::kOpaque;
};

constexpr int kPdfDpi = 100;
constexpr int kPdfTextHeight = 11;
constexpr int kPngTextHeight = 12;
constexpr qint64 kMostPngPixels = 200'000'000;

TextWidth WidthOn(const QFont& font, const QPaintDevice* device) {
  return [metrics = QFontMetrics(font, device)](const Sjis& text) {
    return metrics.horizontalAdvance(QString::fromStdString(DecodeCp932(text)));
  };
}

QFont SheetFont(int pixelHeight) {
  QFont font;
  font.setFamilies(FontFamiliesFor(kTimelineFace));
  font.setPixelSize(pixelHeight);
  return font;
}

QString ExportPdf(const SheetSource& source, const TimelineScale& scale, const QString& path) {
  QPdfWriter writer(path);
  writer.setResolution(kPdfDpi);
  writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                   QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
  writer.setTitle(QStringLiteral("QEVライン"));
  const QRect page = writer.pageLayout().paintRectPixels(kPdfDpi);
  SheetMetrics metrics;
  metrics.pageWidth = page.width();
  metrics.pageHeight = page.height();
  metrics.textHeight = kPdfTextHeight;
  const SheetLayout layout =
      LayoutSheet(source.entries, scale, WidthOn(SheetFont(kPdfTextHeight), &writer), metrics);
  QPainter painter;
  if (!painter.begin(&writer)) return QStringLiteral("「%1」に書き込めません。").arg(path);
  PainterCanvas canvas(painter);
  for (std::size_t p = 0; p < layout.pages.size(); ++p) {
    if (p > 0) writer.newPage();
    painter.save();
    painter.setClipRect(QRect(0, 0, layout.pageWidth, layout.pageHeight));
    DrawSheetPage(canvas, layout, scale, p);
    painter.restore();
  }
  if (!painter.end()) return QStringLiteral("「%1」を書き終えられませんでした。").arg(path);
  return {};
}

QString ExportPng(const SheetSource& source, const TimelineScale& scale, const QString& path) {
  SheetMetrics metrics;
  metrics.textHeight = kPngTextHeight;
  const QFont font = SheetFont(kPngTextHeight);
  const QImage probe(1, 1, QImage::Format_RGB32);
  const SheetLayout layout = LayoutSheet(source.entries, scale, WidthOn(font, &probe), metrics);
  if (static_cast<qint64>(layout.pageWidth) * layout.pageHeight > kMostPngPixels) {
    return QStringLiteral("画像が大きすぎます(%1×%2)。PDFにするか、小さいレンジを選んでください。")
        .arg(layout.pageWidth)
        .arg(layout.pageHeight);
  }
  QImage image(layout.pageWidth, layout.pageHeight, QImage::Format_RGB32);
  if (image.isNull()) return QStringLiteral("画像のためのメモリが足りません。");
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    PainterCanvas canvas(painter);
    DrawSheetPage(canvas, layout, scale, 0);
  }
  if (!image.save(path, "PNG")) return QStringLiteral("「%1」に書き込めません。").arg(path);
  return {};
}

}  // namespace

QString ExportTimeline(const SheetSource& source, const ScreenLayout& layout, const QString& path) {
  TimelineScale scale(layout);
  scale.SetRange(source.rangeIndex);
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == QLatin1String("pdf")) return ExportPdf(source, scale, path);
  if (suffix == QLatin1String("png")) return ExportPng(source, scale, path);
  return QStringLiteral("「%1」: 印刷先は .pdf か .png のファイルにしてください。").arg(path);
}

}  // namespace qev
