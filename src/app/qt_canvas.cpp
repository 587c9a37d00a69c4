#include "app/qt_canvas.h"

#include <QColor>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace qev {
namespace {

QColor ToQColor(Rgb c) {
  return QColor(c.r, c.g, c.b);
}

// The font a fresh device context starts with, like the system font.
constexpr std::string_view kDefaultFace = "ＭＳ Ｐゴシック";
constexpr int kDefaultFontHeight = 16;
// More than the texts of one screen in one font (the year labels of the
// widest range are about 200).
constexpr std::size_t kShownTextsPerFont = 1024;

QPen SolidPen(int width, Rgb color) {
  // Flat caps leave out the end point of a line; miter joins keep corners
  // square.
  return QPen(ToQColor(color), width < 1 ? 1 : width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
}

}  // namespace

QStringList FontFamiliesFor(std::string_view face) {
  const QString requested = QString::fromUtf8(face.data(), static_cast<qsizetype>(face.size()));
  QStringList families{requested};
  if (requested.contains(QStringLiteral("ゴシック")) ||
      requested.contains(QStringLiteral("Gothic"), Qt::CaseInsensitive)) {
    families << QStringLiteral("IPAPGothic") << QStringLiteral("Noto Sans CJK JP");
  } else {
    families << QStringLiteral("IPAPMincho") << QStringLiteral("Noto Serif CJK JP");
  }
  return families;
}

const ShownText& ShownTextCache::Get(const Sjis& bytes,
                                     const std::function<ShownText(const Sjis&)>& make) {
  if (auto it = index_.find(bytes); it != index_.end()) {
    order_.splice(order_.begin(), order_, it->second);
    return it->second->second;
  }
  if (order_.size() >= capacity_ && !order_.empty()) {
    index_.erase(order_.back().first);
    order_.pop_back();
  }
  order_.emplace_front(bytes, make(bytes));
  // The key views the list's own copy, which stays where it is while cached.
  index_.emplace(order_.front().first, order_.begin());
  return order_.front().second;
}

BackBuffer::BackBuffer(int width, int height, qreal pixelRatio, std::function<void()> changed)
    : image_(static_cast<int>(std::ceil(width * pixelRatio)),
             static_cast<int>(std::ceil(height * pixelRatio)), QImage::Format_RGB32),
      changed_(std::move(changed)) {
  image_.setDevicePixelRatio(pixelRatio);
  // What a form shows before anything is drawn on it: the dialog background.
  image_.fill(QColor(152, 152, 152));
}

BackBuffer::~BackBuffer() {
  Flush();
}

QPainter& BackBuffer::PainterFor(const QRect& area) {
  if (!painter_.isActive()) {
    painter_.begin(&image_);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    area_ = QRect();
    if (changed_) changed_();
  }
  if (area != area_) {
    area_ = area;
    painter_.resetTransform();
    painter_.setClipRect(area);
    painter_.translate(area.topLeft());
  }
  return painter_;
}

void BackBuffer::Flush() {
  if (painter_.isActive()) painter_.end();
}

const QImage& BackBuffer::image() {
  Flush();
  return image_;
}

QRect BackBuffer::DeviceRect(const QRect& rect) const {
  const qreal ratio = pixelRatio();
  const int left = static_cast<int>(std::floor(rect.left() * ratio));
  const int top = static_cast<int>(std::floor(rect.top() * ratio));
  const int right = static_cast<int>(std::ceil((rect.right() + 1) * ratio));
  const int bottom = static_cast<int>(std::ceil((rect.bottom() + 1) * ratio));
  return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)).intersected(image_.rect());
}

QImage BackBuffer::Copy(const QRect& area) {
  Flush();
  return image_.copy(DeviceRect(area));
}

void BackBuffer::Paste(const QImage& copy, const QRect& area, const QRect& rect) {
  const QRect from = DeviceRect(area);
  const QRect to = DeviceRect(rect.translated(area.topLeft())).intersected(from);
  if (to.isEmpty() || copy.size() != from.size() || copy.format() != image_.format()) return;
  // Written while no painter is open on the image.
  Flush();
  if (changed_) changed_();
  const auto bytes = static_cast<std::size_t>(to.width()) * 4;
  for (int y = to.top(); y <= to.bottom(); ++y) {
    std::memcpy(image_.scanLine(y) + to.left() * 4,
                copy.constScanLine(y - from.top()) + (to.left() - from.left()) * 4, bytes);
  }
}

QImage& BackBuffer::PixelsToWrite() {
  Flush();
  if (changed_) changed_();
  return image_;
}

const CachedFont& BackBuffer::Font(std::string_view face, int pixelHeight) {
  auto key = std::make_pair(std::string(face), pixelHeight);
  auto it = fonts_.find(key);
  if (it == fonts_.end()) {
    const int cell = pixelHeight > 0 ? pixelHeight : kDefaultFontHeight;
    QFont font;
    font.setFamilies(FontFamiliesFor(face));
    // The substitute faces have a deeper descent than the faces asked for;
    // at the cell's height as their size their glyphs would hang below the
    // cell, and an opaque text drawn over them would not cover them.
    int size = cell;
    for (; size > 1; --size) {
      font.setPixelSize(size);
      if (QFontMetrics(font).height() <= cell) break;
    }
    font.setPixelSize(size);
    it = fonts_
             .emplace(std::move(key), CachedFont{font, QFontMetrics(font), cell,
                                                 ShownTextCache(kShownTextsPerFont)})
             .first;
  }
  return it->second;
}

const QImage& BackBuffer::Picture(std::string_view name) {
  auto it = pictures_.find(name);
  if (it == pictures_.end()) {
    const QString path =
        QStringLiteral(":/pictures/%1.png")
            .arg(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    it = pictures_.emplace(std::string(name), QImage(path)).first;
  }
  return it->second;
}

QtCanvas::QtCanvas(BackBuffer& buffer, QRect area) : buffer_(buffer), area_(area) {
  Reset();
}

void QtCanvas::Reset() {
  pen_ = SolidPen(1, {});
  current_ = QPoint(0, 0);
  font_ = &buffer_.Font(kDefaultFace, kDefaultFontHeight);
  textColor_ = {};
  backgroundColor_ = {255, 255, 255};
  mode_ = BackgroundMode::kOpaque;
}

void QtCanvas::FillRect(int left, int top, int right, int bottom, Rgb color) {
  if (right <= left || bottom <= top) return;
  buffer_.PainterFor(area_).fillRect(QRect(left, top, right - left, bottom - top), ToQColor(color));
}

void QtCanvas::SetPen(int width, Rgb color) {
  pen_ = SolidPen(width, color);
}

void QtCanvas::MoveTo(int x, int y) {
  current_ = QPoint(x, y);
}

QLineF QtCanvas::PixelLine(QPoint from, QPoint to) const {
  // Qt covers the same pixels whichever way a line runs, leaving out the
  // end further along its major axis (x at 45 degrees). A line running
  // back along that axis would so cover its end instead of its start;
  // moved one pixel against its direction (on both axes at 45 degrees) it
  // covers its start and stops short of its end.
  const QPoint d = to - from;
  const int ax = std::abs(d.x());
  const int ay = std::abs(d.y());
  QPoint shift;
  if (ax >= ay ? d.x() < 0 : d.y() < 0) {
    if (ax >= ay) shift.setX(d.x() < 0 ? 1 : -1);
    if (ay >= ax) shift.setY(d.y() < 0 ? 1 : -1);
  }
  QPointF offset(shift);
  // Above one device pixel per pixel, an odd-width line centred on the
  // coordinate would straddle two rows (or columns) of pixels; centred on
  // the pixel it covers the same ones as on an ordinary screen.
  if (buffer_.pixelRatio() != 1 && pen_.width() % 2 == 1) {
    (ax >= ay ? offset.ry() : offset.rx()) += 0.5;
  }
  return QLineF(QPointF(from) + offset, QPointF(to) + offset);
}

void QtCanvas::LineTo(int x, int y) {
  const QPoint end(x, y);
  if (end != current_) {
    QPainter& painter = buffer_.PainterFor(area_);
    painter.setPen(pen_);
    painter.drawLine(PixelLine(current_, end));
  }
  current_ = end;
}

bool QtCanvas::WriteVerticalSegments(std::span<const LineSegment> segments) {
  const int penWidth = pen_.width();
  if (buffer_.pixelRatio() != 1 || (penWidth != 1 && penWidth != 2)) return false;
  if (!std::ranges::all_of(segments, [](const LineSegment& s) { return s.x0 == s.x1; })) {
    return false;
  }
  QImage& image = buffer_.PixelsToWrite();
  const QRect clip = area_.intersected(image.rect());
  const QRgb colour = pen_.color().rgb();
  uchar* const bits = image.bits();
  const qsizetype stride = image.bytesPerLine();
  for (const LineSegment& s : segments) {
    // From the start up to, not including, the end; a 2-pixel pen adds the
    // column to the left.
    const int top = area_.top() + (s.y0 <= s.y1 ? s.y0 : s.y1 + 1);
    const int bottom = area_.top() + (s.y0 <= s.y1 ? s.y1 - 1 : s.y0);
    const int right = area_.left() + s.x0;
    const int left = right - (penWidth - 1);
    const int x0 = std::max(left, clip.left());
    const int x1 = std::min(right, clip.right());
    const int y0 = std::max(top, clip.top());
    const int y1 = std::min(bottom, clip.bottom());
    for (int y = y0; y <= y1; ++y) {
      auto* row = reinterpret_cast<QRgb*>(bits + y * stride);
      for (int x = x0; x <= x1; ++x) row[x] = colour;
    }
  }
  return true;
}

void QtCanvas::DrawSegments(std::span<const LineSegment> segments) {
  if (segments.empty()) return;
  if (WriteVerticalSegments(segments)) {
    current_ = QPoint(segments.back().x1, segments.back().y1);
    return;
  }
  // A segment that cannot reach the area, however wide the pen, would be
  // clipped away entirely; it is left out instead of being stroked.
  const int reach = pen_.width() + 1;
  const int width = area_.width();
  const int height = area_.height();
  lines_.clear();
  for (const LineSegment& s : segments) {
    if (s.x0 == s.x1 && s.y0 == s.y1) continue;
    if (std::max(s.x0, s.x1) < -reach || std::min(s.x0, s.x1) > width + reach ||
        std::max(s.y0, s.y1) < -reach || std::min(s.y0, s.y1) > height + reach) {
      continue;
    }
    lines_.push_back(PixelLine(QPoint(s.x0, s.y0), QPoint(s.x1, s.y1)));
  }
  current_ = QPoint(segments.back().x1, segments.back().y1);
  if (lines_.empty()) return;
  QPainter& painter = buffer_.PainterFor(area_);
  painter.setPen(pen_);
  painter.drawLines(lines_.data(), static_cast<int>(lines_.size()));
}

void QtCanvas::RestoreKept(const PixelRect& rect) {
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  buffer_.Paste(kept_, area_,
                QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top));
}

void QtCanvas::SetFont(std::string_view face, int pixelHeight) {
  font_ = &buffer_.Font(face, pixelHeight);
}

void QtCanvas::TextOut(int x, int y, const Sjis& text) {
  if (text.empty()) return;
  const QFontMetrics& metrics = font_->metrics;
  const ShownText& shown = font_->texts.Get(text, [&metrics](const Sjis& bytes) {
    QString decoded = QString::fromStdString(DecodeCp932(bytes));
    const int advance = metrics.horizontalAdvance(decoded);
    return ShownText{std::move(decoded), advance};
  });
  const QRect cell(x, y, shown.advance, font_->cellHeight);
  // Everything drawn is clipped to the cell and the area: a cell outside the
  // area leaves no pixel.
  if (!cell.intersects(QRect(QPoint(0, 0), area_.size()))) return;
  QPainter& painter = buffer_.PainterFor(area_);
  if (mode_ == BackgroundMode::kOpaque) painter.fillRect(cell, ToQColor(backgroundColor_));
  painter.setFont(font_->font);
  painter.setPen(ToQColor(textColor_));
  // The glyphs stay in their cell, as those of the faces asked for do: an
  // antialiased edge left outside it would darken with every redraw of the
  // same text.
  painter.save();
  painter.setClipRect(cell, Qt::IntersectClip);
  painter.drawText(QPoint(x, y + metrics.ascent()), shown.text);
  painter.restore();
}

void QtCanvas::DrawPicture(int x, int y, int width, int height, std::string_view name) {
  if (width <= 0 || height <= 0) return;
  const QImage& picture = buffer_.Picture(name);
  if (picture.isNull()) return;
  buffer_.PainterFor(area_).drawImage(QRect(x, y, width, height), picture);
}

}  // namespace qev
