#pragma once

#include <climits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"

namespace qev::testing {

// One drawing call with the state in force when it was made.
struct DrawCall {
  // kRestore: the kept picture put back inside a rectangle.
  enum class Op { kReset, kFill, kLine, kText, kPicture, kRestore };
  Op op = Op::kReset;
  int x = 0, y = 0;    // fill, restore: left/top; line: from; text/picture: position
  int x2 = 0, y2 = 0;  // fill, restore: right/bottom; line: to; picture: width/height
  Rgb color;           // fill colour, pen colour or text colour
  Rgb background;      // text background colour
  BackgroundMode mode = BackgroundMode::kOpaque;
  int penWidth = 1;
  std::string face;
  int fontHeight = 0;
  Sjis text;         // CP932, as drawn
  std::string utf8;  // the same text decoded, for readable assertions
};

// The pixels left <= x < right, top <= y < bottom; by default all of them.
struct Rect {
  int left = INT_MIN, top = INT_MIN, right = INT_MAX, bottom = INT_MAX;
};

// A canvas that records every call in order and answers what the user would
// see on it.
class RecordingCanvas : public Canvas {
 public:
  std::vector<DrawCall> calls;

  void Reset() override;
  void FillRect(int left, int top, int right, int bottom, Rgb color) override;
  void SetPen(int width, Rgb color) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  // Recorded as one line call per segment.
  void DrawSegments(std::span<const LineSegment> segments) override;
  void SetFont(std::string_view face, int pixelHeight) override;
  void SetTextColor(Rgb color) override { text_ = color; }
  void SetBackgroundColor(Rgb color) override { background_ = color; }
  void SetBackgroundMode(BackgroundMode mode) override { mode_ = mode; }
  void TextOut(int x, int y, const Sjis& text) override;
  void DrawPicture(int x, int y, int width, int height, std::string_view name) override;
  // Keeps a copy of the calls so far; what TopAt finds under a restore is
  // looked up in it.
  void KeepPicture() override;
  void RestoreKept(const PixelRect& rect) override;

  void Clear() { calls.clear(); }
  // Selects a pen, colours, a mode and a font unlike a fresh context's, as an
  // earlier drawing pass may leave them.
  void LeaveForeignState();
  // Texts drawn (UTF-8), in order.
  std::vector<const DrawCall*> Texts() const;
  // The last text call whose UTF-8 text equals `utf8`, or null.
  const DrawCall* LastText(std::string_view utf8) const;
  // Every text call drawn at (x, y), in order.
  std::vector<const DrawCall*> TextsAt(int x, int y) const;
  std::vector<const DrawCall*> Lines() const;
  std::vector<const DrawCall*> Fills() const;

  // The text the user reads at (x, y): the last one placed there, or null.
  const DrawCall* TextAt(int x, int y) const;
  // The texts placed inside `area` in reading order: top to bottom, then
  // left to right; texts at one place as drawn, so the last is on top.
  std::vector<const DrawCall*> TextsIn(Rect area = {}) const;
  // The same texts as "text@x,y", for readable tables.
  std::vector<std::string> Placed(Rect area = {}) const;
  // The line drawn from (x0, y0) to (x1, y1), or null.
  const DrawCall* LineFrom(int x0, int y0, int x1, int y1) const;
  // What the user sees at the pixel (x, y): the last fill, picture, line or
  // text cell over it, or null. A text's cell is its font height tall and
  // half that wide per CP932 byte, and holds at least its top-left pixel; a
  // line covers the pixels of its pen. Where the kept picture was put back,
  // what it showed there.
  const DrawCall* TopAt(int x, int y) const;
  // The colour at (x, y) when a fill is what the user sees there.
  std::optional<Rgb> FillAt(int x, int y) const;

 private:
  Rgb pen_;
  int penWidth_ = 1;
  Rgb text_;
  Rgb background_{255, 255, 255};
  BackgroundMode mode_ = BackgroundMode::kOpaque;
  std::string face_;
  int fontHeight_ = 0;
  int curX_ = 0, curY_ = 0;
  std::vector<DrawCall> kept_;
};

}  // namespace qev::testing
