#include "app/sheet_export.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
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
constexpr int kTextHeight = 11;
constexpr qint64 kMostPngPixels = 200'000'000;

QFont SheetFont() {
  QFont font;
  font.setFamilies(FontFamiliesFor(kTimelineFace));
  font.setPixelSize(kTextHeight);
  return font;
}

void SetUpPdf(QPdfWriter& writer) {
  writer.setResolution(kPdfDpi);
  writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                   QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
  writer.setTitle(QStringLiteral("QEVライン"));
}

// The PDF and the PNG have one layout: A4 pages, each text as wide as the
// wider of its widths in the PDF and in a picture.
SheetLayout Layout(const SheetSource& source, const TimelineScale& scale) {
  QBuffer nowhere;
  nowhere.open(QIODevice::WriteOnly);
  QPdfWriter pdf(&nowhere);
  SetUpPdf(pdf);
  const QImage picture(1, 1, QImage::Format_RGB32);
  const QRect page = pdf.pageLayout().paintRectPixels(kPdfDpi);
  SheetMetrics metrics;
  metrics.pageWidth = page.width();
  metrics.pageHeight = page.height();
  metrics.textHeight = kTextHeight;
  const QFont font = SheetFont();
  const QFontMetrics onPdf(font, &pdf);
  const QFontMetrics onPicture(font, &picture);
  return LayoutSheet(
      source.entries, scale,
      [&](const Sjis& text) {
        const QString s = QString::fromStdString(DecodeCp932(text));
        return std::max(onPdf.horizontalAdvance(s), onPicture.horizontalAdvance(s));
      },
      metrics);
}

QString ExportPdf(const SheetLayout& layout, const TimelineScale& scale, const QString& path) {
  QPdfWriter writer(path);
  SetUpPdf(writer);
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

// The pages one under another, a grey line between two.
QString ExportPng(const SheetLayout& layout, const TimelineScale& scale, const QString& path) {
  const int pages = static_cast<int>(layout.pages.size());
  const qint64 height = static_cast<qint64>(layout.pageHeight) * pages;
  if (layout.pageWidth * height > kMostPngPixels) {
    return QStringLiteral(
               "画像が大きすぎます(%1ページ)。PDFにするか、大きいレンジを選んでください。")
        .arg(pages);
  }
  QImage image(layout.pageWidth, static_cast<int>(height), QImage::Format_RGB32);
  if (image.isNull()) return QStringLiteral("画像のためのメモリが足りません。");
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    PainterCanvas canvas(painter);
    for (int p = 0; p < pages; ++p) {
      painter.save();
      painter.translate(0, p * layout.pageHeight);
      painter.setClipRect(QRect(0, 0, layout.pageWidth, layout.pageHeight));
      DrawSheetPage(canvas, layout, scale, static_cast<std::size_t>(p));
      painter.restore();
      if (p > 0)
        painter.fillRect(0, p * layout.pageHeight, layout.pageWidth, 1, QColor(160, 160, 160));
    }
  }
  if (!image.save(path, "PNG")) return QStringLiteral("「%1」に書き込めません。").arg(path);
  return {};
}

}  // namespace

QString ExportTimeline(const SheetSource& source, const ScreenLayout& layout, const QString& path) {
  TimelineScale scale(layout);
  scale.SetRange(source.rangeIndex);
  const QString suffix = QFileInfo(path).suffix().toLower();
  const bool pdf = suffix == QLatin1String("pdf");
  if (!pdf && suffix != QLatin1String("png")) {
    return QStringLiteral("「%1」: 印刷先は .pdf か .png のファイルにしてください。").arg(path);
  }
  if (source.entries.empty()) {
    return QStringLiteral("印刷するできごとがありません。QEVラインにポイントが出ていません。");
  }
  const SheetLayout sheet = Layout(source, scale);
  return pdf ? ExportPdf(sheet, scale, path) : ExportPng(sheet, scale, path);
}

}  // namespace qev
