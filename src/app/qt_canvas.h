#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QRect>
#include <QStringList>

#include <cstddef>
#include <functional>
#include <list>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/canvas.h"

namespace qev {

// The face names tried for a requested face: the face itself, then the
// installed faces that stand in for it (the Mincho or the Gothic family).
QStringList FontFamiliesFor(std::string_view face);

// A text as one font shows it: decoded, and its advance width measured.
struct ShownText {
  QString text;
  int advance = 0;
};

// The texts last shown in one font, at most `capacity`, the least recently
// used dropped first. A redraw shows mostly the texts of the one before
// (year labels, panel labels), which need not be decoded and measured again.
class ShownTextCache {
 public:
  explicit ShownTextCache(std::size_t capacity) : capacity_(capacity) {}
  // The cached text for `bytes`, made by `make` when it is not cached.
  const ShownText& Get(const Sjis& bytes, const std::function<ShownText(const Sjis&)>& make);
  std::size_t size() const { return order_.size(); }

 private:
  using Order = std::list<std::pair<Sjis, ShownText>>;
  std::size_t capacity_;
  // Most recently used first.
  Order order_;
  std::unordered_map<std::string_view, Order::iterator> index_;
};

// A font created with a cell height, as a device context creates one: its
// text cell (ascent plus descent) is `cellHeight` pixels, so the glyphs are
// drawn at the largest pixel size whose ascent plus descent fits in it.
struct CachedFont {
  QFont font;
  QFontMetrics metrics;
  int cellHeight;
  // A cache, filled while the font is in use.
  mutable ShownTextCache texts;
};

// The view's client area as one persistent image. Drawing goes straight
// into it, as into a window device context, and the widget that shows it
// only copies it to the screen; so uncovering the window never asks the
// view for anything.
//
// One painter stays open across a run of drawing calls (opening a painter
// per call would cost more than most calls); Flush() closes it, and must
// come before the image is read.
class BackBuffer {
 public:
  // `width` x `height` logical pixels, stored at `pixelRatio` device pixels
  // each so that text stays crisp on HiDPI screens. `changed` is called when
  // a run of drawing starts, to schedule a repaint.
  BackBuffer(int width, int height, qreal pixelRatio, std::function<void()> changed);
  BackBuffer(const BackBuffer&) = delete;
  BackBuffer& operator=(const BackBuffer&) = delete;
  ~BackBuffer();

  // The painter, set up to draw into `area` (logical pixels) with `area`'s
  // top-left as origin and everything outside clipped.
  QPainter& PainterFor(const QRect& area);
  void Flush();
  const QImage& image();
  qreal pixelRatio() const { return image_.devicePixelRatio(); }
  // A copy of the pixels of `area`, and putting them back inside `rect`
  // (relative to `area`), straight into the image's scanlines.
  QImage Copy(const QRect& area);
  void Paste(const QImage& copy, const QRect& area, const QRect& rect);
  // The image to write into directly, with no painter open on it.
  QImage& PixelsToWrite();

  const CachedFont& Font(std::string_view face, int pixelHeight);
  // The bundled picture `name` (":/pictures/<name>.png"), loaded once; a
  // null image when there is no such picture.
  const QImage& Picture(std::string_view name);

 private:
  QImage image_;
  QPainter painter_;
  QRect area_;
  std::function<void()> changed_;
  std::map<std::pair<std::string, int>, CachedFont> fonts_;
  std::map<std::string, QImage, std::less<>> pictures_;
  // The device pixels that logical pixels `rect` fall on, inside the image.
  QRect DeviceRect(const QRect& rect) const;
};

// A device-context-like surface on a rectangle of the back buffer.
//
// Pixel placement follows the window system the program was made for:
//  - FillRect covers left <= x < right, top <= y < bottom.
//  - A line covers the pixels from its start up to, not including, its end.
//  - A 1-pixel pen covers the pixel row or column of its coordinates; a
//    2-pixel pen adds the row above (horizontal) or the column to the left
//    (vertical): a vertical line at x covers x-1 and x.
//  - Shapes are not antialiased; text is, for legibility of the substitute
//    faces.
//  - TextOut puts the top-left of the text cell (advance width x the font's
//    cell height) at (x, y), the baseline at the font's ascent below it; in
//    opaque mode the cell is first filled with the background colour. The
//    glyphs are clipped to the cell.
class QtCanvas final : public Canvas {
 public:
  QtCanvas(BackBuffer& buffer, QRect area);

  void Reset() override;
  void FillRect(int left, int top, int right, int bottom, Rgb color) override;
  void SetPen(int width, Rgb color) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void DrawSegments(std::span<const LineSegment> segments) override;
  void SetFont(std::string_view face, int pixelHeight) override;
  void SetTextColor(Rgb color) override { textColor_ = color; }
  void SetBackgroundColor(Rgb color) override { backgroundColor_ = color; }
  void SetBackgroundMode(BackgroundMode mode) override { mode_ = mode; }
  void TextOut(int x, int y, const Sjis& text) override;
  void DrawPicture(int x, int y, int width, int height, std::string_view name) override;
  void KeepPicture() override { kept_ = buffer_.Copy(area_); }
  void RestoreKept(const PixelRect& rect) override;

  const QRect& area() const { return area_; }

 private:
  BackBuffer& buffer_;
  QRect area_;
  // The line Qt is asked for to cover the pixels of a line from `from` to
  // `to`.
  QLineF PixelLine(QPoint from, QPoint to) const;
  // Vertical segments with a 1- or 2-pixel pen at one device pixel per
  // pixel, written straight into the image's scanlines; false (nothing
  // drawn) for any other.
  bool WriteVerticalSegments(std::span<const LineSegment> segments);

  QPen pen_;
  QPoint current_;
  // Reused by DrawSegments.
  std::vector<QLineF> lines_;
  const CachedFont* font_ = nullptr;
  Rgb textColor_;
  Rgb backgroundColor_{255, 255, 255};
  BackgroundMode mode_ = BackgroundMode::kOpaque;
  QImage kept_;
};

}  // namespace qev
