#include "platform/recording_canvas.h"

#include <algorithm>
#include <cstdlib>

namespace qev::testing {

void RecordingCanvas::Reset() {
  pen_ = {};
  penWidth_ = 1;
  text_ = {};
  background_ = {255, 255, 255};
  mode_ = BackgroundMode::kOpaque;
  face_.clear();
  fontHeight_ = 0;
  DrawCall c;
  c.op = DrawCall::Op::kReset;
  calls.push_back(c);
}

void RecordingCanvas::FillRect(int left, int top, int right, int bottom, Rgb color) {
  DrawCall c;
  c.op = DrawCall::Op::kFill;
  c.x = left;
  c.y = top;
  c.x2 = right;
  c.y2 = bottom;
  c.color = color;
  calls.push_back(c);
}

void RecordingCanvas::SetPen(int width, Rgb color) {
  penWidth_ = width;
  pen_ = color;
}

void RecordingCanvas::MoveTo(int x, int y) {
  curX_ = x;
  curY_ = y;
}

void RecordingCanvas::LineTo(int x, int y) {
  DrawCall c;
  c.op = DrawCall::Op::kLine;
  c.x = curX_;
  c.y = curY_;
  c.x2 = x;
  c.y2 = y;
  c.color = pen_;
  c.penWidth = penWidth_;
  calls.push_back(c);
  curX_ = x;
  curY_ = y;
}

void RecordingCanvas::DrawSegments(std::span<const LineSegment> segments) {
  for (const LineSegment& s : segments) {
    MoveTo(s.x0, s.y0);
    LineTo(s.x1, s.y1);
  }
}

void RecordingCanvas::SetFont(std::string_view face, int pixelHeight) {
  face_ = std::string(face);
  fontHeight_ = pixelHeight;
}

void RecordingCanvas::TextOut(int x, int y, const Sjis& text) {
  DrawCall c;
  c.op = DrawCall::Op::kText;
  c.x = x;
  c.y = y;
  c.color = text_;
  c.background = background_;
  c.mode = mode_;
  c.face = face_;
  c.fontHeight = fontHeight_;
  c.text = text;
  c.utf8 = DecodeCp932(text);
  calls.push_back(c);
}

void RecordingCanvas::DrawPicture(int x, int y, int width, int height, std::string_view name) {
  DrawCall c;
  c.op = DrawCall::Op::kPicture;
  c.x = x;
  c.y = y;
  c.x2 = width;
  c.y2 = height;
  c.utf8 = std::string(name);
  calls.push_back(c);
}

void RecordingCanvas::LeaveForeignState() {
  SetPen(3, {255, 0, 0});
  SetTextColor({0, 255, 0});
  SetBackgroundColor({0, 0, 255});
  SetBackgroundMode(BackgroundMode::kTransparent);
  SetFont("Courier", 30);
}

namespace {

bool Inside(const Rect& r, int x, int y) {
  return r.left <= x && x < r.right && r.top <= y && y < r.bottom;
}

// Whether the pen of `line` paints (x, y): a pen w pixels wide centred on
// each pixel of the segment (to the left and above for even widths), the end
// point left out.
bool LineCovers(const DrawCall& line, int x, int y) {
  const int from = -(line.penWidth / 2);
  const Rect pen{x - from - line.penWidth + 1, y - from - line.penWidth + 1, x - from + 1,
                 y - from + 1};
  const int dx = std::abs(line.x2 - line.x), dy = -std::abs(line.y2 - line.y);
  const int sx = line.x < line.x2 ? 1 : -1, sy = line.y < line.y2 ? 1 : -1;
  int px = line.x, py = line.y, err = dx + dy;
  while (px != line.x2 || py != line.y2) {
    if (Inside(pen, px, py)) return true;
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      px += sx;
    }
    if (e2 <= dx) {
      err += dx;
      py += sy;
    }
  }
  return false;
}

bool Covers(const DrawCall& c, int x, int y) {
  switch (c.op) {
    case DrawCall::Op::kFill:
    case DrawCall::Op::kRestore:
      return Inside({c.x, c.y, c.x2, c.y2}, x, y);
    case DrawCall::Op::kPicture:
      return Inside({c.x, c.y, c.x + c.x2, c.y + c.y2}, x, y);
    case DrawCall::Op::kText: {
      const int height = std::max(c.fontHeight, 1);
      const int width = std::max(static_cast<int>(c.text.size()) * height / 2, 1);
      return Inside({c.x, c.y, c.x + width, c.y + height}, x, y);
    }
    case DrawCall::Op::kLine:
      return LineCovers(c, x, y);
    case DrawCall::Op::kReset:
      return false;
  }
  return false;
}

template <typename Pred>
std::vector<const DrawCall*> Select(const std::vector<DrawCall>& calls, Pred pred) {
  std::vector<const DrawCall*> out;
  for (const DrawCall& c : calls) {
    if (pred(c)) out.push_back(&c);
  }
  return out;
}
}  // namespace

std::vector<const DrawCall*> RecordingCanvas::Texts() const {
  return Select(calls, [](const DrawCall& c) { return c.op == DrawCall::Op::kText; });
}

const DrawCall* RecordingCanvas::LastText(std::string_view utf8) const {
  for (auto it = calls.rbegin(); it != calls.rend(); ++it) {
    if (it->op == DrawCall::Op::kText && it->utf8 == utf8) return &*it;
  }
  return nullptr;
}

std::vector<const DrawCall*> RecordingCanvas::TextsAt(int x, int y) const {
  return Select(calls, [x, y](const DrawCall& c) {
    return c.op == DrawCall::Op::kText && c.x == x && c.y == y;
  });
}

const DrawCall* RecordingCanvas::TextAt(int x, int y) const {
  const std::vector<const DrawCall*> at = TextsAt(x, y);
  return at.empty() ? nullptr : at.back();
}

std::vector<const DrawCall*> RecordingCanvas::TextsIn(Rect area) const {
  std::vector<const DrawCall*> out = Select(calls, [&area](const DrawCall& c) {
    return c.op == DrawCall::Op::kText && Inside(area, c.x, c.y);
  });
  std::stable_sort(out.begin(), out.end(), [](const DrawCall* a, const DrawCall* b) {
    return a->y != b->y ? a->y < b->y : a->x < b->x;
  });
  return out;
}

std::vector<std::string> RecordingCanvas::Placed(Rect area) const {
  std::vector<std::string> out;
  for (const DrawCall* c : TextsIn(area)) {
    out.push_back(c->utf8 + "@" + std::to_string(c->x) + "," + std::to_string(c->y));
  }
  return out;
}

const DrawCall* RecordingCanvas::LineFrom(int x0, int y0, int x1, int y1) const {
  for (auto it = calls.rbegin(); it != calls.rend(); ++it) {
    if (it->op == DrawCall::Op::kLine && it->x == x0 && it->y == y0 && it->x2 == x1 &&
        it->y2 == y1) {
      return &*it;
    }
  }
  return nullptr;
}

void RecordingCanvas::KeepPicture() {
  kept_ = calls;
}

void RecordingCanvas::RestoreKept(const PixelRect& rect) {
  DrawCall c;
  c.op = DrawCall::Op::kRestore;
  c.x = rect.left;
  c.y = rect.top;
  c.x2 = rect.right;
  c.y2 = rect.bottom;
  calls.push_back(c);
}

const DrawCall* RecordingCanvas::TopAt(int x, int y) const {
  for (auto it = calls.rbegin(); it != calls.rend(); ++it) {
    if (!Covers(*it, x, y)) continue;
    if (it->op != DrawCall::Op::kRestore) return &*it;
    // What the kept picture showed there.
    for (auto k = kept_.rbegin(); k != kept_.rend(); ++k) {
      if (k->op != DrawCall::Op::kRestore && Covers(*k, x, y)) return &*k;
    }
    return nullptr;
  }
  return nullptr;
}

std::optional<Rgb> RecordingCanvas::FillAt(int x, int y) const {
  const DrawCall* top = TopAt(x, y);
  if (top == nullptr || top->op != DrawCall::Op::kFill) return std::nullopt;
  return top->color;
}

std::vector<const DrawCall*> RecordingCanvas::Lines() const {
  return Select(calls, [](const DrawCall& c) { return c.op == DrawCall::Op::kLine; });
}

std::vector<const DrawCall*> RecordingCanvas::Fills() const {
  return Select(calls, [](const DrawCall& c) { return c.op == DrawCall::Op::kFill; });
}

}  // namespace qev::testing
