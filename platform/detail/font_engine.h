// Glyph rendering and text measurement shared by every back end. Faces are resolved
// once per (name, style) through fontconfig, falling back to DejaVu Sans, and kept open;
// rendered glyphs are cached per face and pixel size. Every thread has its own faces and
// caches, so threads draw text at the same time without waiting for each other.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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
// Advance width of UTF-8 text in pixels (no kerning, so widths add up piece by piece).
int text_width(const TFont& font, std::string_view utf8);
// The family name fontconfig resolved the font to (for vector output).
std::string font_family(const TFont& font);

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
