#include "platform/recording_canvas.h"

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

namespace {
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

std::vector<const DrawCall*> RecordingCanvas::Lines() const {
  return Select(calls, [](const DrawCall& c) { return c.op == DrawCall::Op::kLine; });
}

std::vector<const DrawCall*> RecordingCanvas::Fills() const {
  return Select(calls, [](const DrawCall& c) { return c.op == DrawCall::Op::kFill; });
}

}  // namespace qev::testing
