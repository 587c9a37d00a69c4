#pragma once

#include <span>
#include <string_view>

#include "text/cp932.h"

namespace qev {

struct Rgb {
  int r = 0;
  int g = 0;
  int b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A line from (x0, y0) to (x1, y1), drawn as MoveTo(x0, y0), LineTo(x1, y1).
struct LineSegment {
  int x0 = 0;
  int y0 = 0;
  int x1 = 0;
  int y1 = 0;
};

// The pixels left <= x < right, top <= y < bottom of a surface.
struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

enum class BackgroundMode { kOpaque, kTransparent };

// A drawing surface with device-context semantics: drawing happens at once,
// state (pen, font, colours) stays selected until changed.
//  - FillRect covers left <= x < right, top <= y < bottom.
//  - Pens are solid; a line from MoveTo/LineTo excludes its end point.
//  - TextOut places the top-left corner of the text cell at (x, y), in the
//    text colour, on the background colour when the mode is opaque.
// Coordinates are relative to the surface's own origin; drawing outside the
// surface is clipped.
class Canvas {
 public:
  virtual ~Canvas() = default;

  // Begins a drawing pass with the defaults of a freshly obtained device
  // context: black 1-pixel pen, black text on an opaque white background,
  // the default font.
  virtual void Reset() = 0;
  virtual void FillRect(int left, int top, int right, int bottom, Rgb color) = 0;
  virtual void SetPen(int width, Rgb color) = 0;
  virtual void MoveTo(int x, int y) = 0;
  virtual void LineTo(int x, int y) = 0;
  // The segments in order with the current pen, as MoveTo/LineTo pairs
  // would draw them, in one call; the current position ends at the last
  // segment's end.
  virtual void DrawSegments(std::span<const LineSegment> segments) = 0;
  // `face` is the UTF-8 face name asked for; the platform falls back to the
  // nearest installed face at the same pixel height.
  virtual void SetFont(std::string_view face, int pixelHeight) = 0;
  virtual void SetTextColor(Rgb color) = 0;
  virtual void SetBackgroundColor(Rgb color) = 0;
  virtual void SetBackgroundMode(BackgroundMode mode) = 0;
  virtual void TextOut(int x, int y, const Sjis& text) = 0;
  // Draws a bundled picture (by resource name) with its top-left at (x, y),
  // scaled to width x height.
  virtual void DrawPicture(int x, int y, int width, int height, std::string_view name) = 0;

  // Keeps a copy of what the surface shows now, so that marks drawn over it
  // can be taken away again without drawing it anew. A surface that is
  // drawn once (a printed sheet) keeps nothing.
  virtual void KeepPicture() {}
  // Puts the kept copy's pixels back inside `rect`.
  virtual void RestoreKept(const PixelRect& rect) { (void)rect; }
};

}  // namespace qev
