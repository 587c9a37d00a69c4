#pragma once

#include <string_view>

#include "text/cp932.h"

namespace qev {

struct Rgb {
  int r = 0;
  int g = 0;
  int b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
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
};

}  // namespace qev
