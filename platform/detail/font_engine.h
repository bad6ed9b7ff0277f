// Glyph rendering and text measurement shared by every back end. Faces are resolved
// once per (name, style) through fontconfig, falling back to DejaVu Sans, and kept open;
// rendered glyphs are cached per face and pixel size. Every thread has its own faces and
// caches, so threads draw text at the same time without waiting for each other.
//
// Text is shaped before it is measured or drawn: characters the font lacks come from
// the first installed face that has them, right-to-left scripts are laid out right to
// left (numbers within them left to right), marks sit on their base characters, and
// scripts that join are joined. Kerning and standard ligatures are applied only when
// TFont::Kerning is set, so that by default a text's width is the sum of its pieces'.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/detail/font_source.h"
#include "platform/graphics.h"

namespace kvr::detail {

struct FontMetrics {
  int ascent = 0;   // pixels above the baseline
  int descent = 0;  // pixels below the baseline
  int height = 0;   // text cell height: ascent + descent
  int underline_pos = 0;    // offset below the baseline
  int line_thickness = 1;   // underline and strike-out
  int strike_pos = 0;       // offset above the baseline
};

// Metrics of the font at its PixelSize().
FontMetrics font_metrics(const TFont& font);
// Advance width of shaped UTF-8 text in pixels: exactly the pen travel that drawing uses.
int text_width(const TFont& font, std::string_view utf8);
// The family name fontconfig resolved the font to (for vector output).
std::string font_family(const TFont& font);

// One glyph of shaped text, in visual order (left to right on the page). Distances are
// in 26.6 fixed point (1/64 pixel) at the font's PixelSize(); y_offset points up. A glyph
// is drawn at pen + (x_offset, -y_offset) from the baseline origin, then the pen moves by
// x_advance. Without kerning every advance is a whole number of pixels.
struct ShapedGlyph {
  const FaceSource* face = nullptr;  // the file the glyph index belongs to (never null)
  uint32_t glyph = 0;                // glyph index in that face
  uint32_t cluster = 0;              // byte offset of the first character it shows
  int32_t x_advance = 0;
  int32_t x_offset = 0;
  int32_t y_offset = 0;
};
// The shaped glyphs of the text. The span belongs to the calling thread's engine and
// stays valid until that thread next calls text_width, shape_text or render_text.
std::span<const ShapedGlyph> shape_text(const TFont& font, std::string_view utf8);

// An 8-bit coverage mask of rendered text, with its origin relative to the cell's
// top-left corner. The buffer belongs to the calling thread's engine and stays valid until
// that thread's next call.
struct TextMask {
  const uint8_t* coverage = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;
  int left = 0;  // mask's top-left corner relative to the text cell
  int top = 0;
};
TextMask render_text(const TFont& font, std::string_view utf8);

}  // namespace kvr::detail
