#include "platform/themes.h"

#include "platform/graphics.h"

namespace kvr {

namespace {

// Relaxed order is enough: each entry stands alone, and the drawing path pays only for
// a plain load.
template <typename T>
T get(const std::atomic<T>& a) {
  return a.load(std::memory_order_relaxed);
}
template <typename T>
void put(std::atomic<T>& a, T v) {
  a.store(v, std::memory_order_relaxed);
}

}  // namespace

// The built-in style is a dark one, so that switching styles on is plainly visible.
TCustomStyleServices::TCustomStyleServices() {
  for (auto& c : FColors) put(c, TColor(0x3C3C3C));
  put(FColors[0], TColor(0x707070));   // border
  put(FColors[14], TColor(0x2B2B2B));  // grid / client area
  put(FColors[29], TColor(0x202020));  // window
  for (auto& f : FFonts) put(f, TColor(0xE0E0E0));
  put(FFonts[50], TColor(0xF0F0F0));   // window text
}

TCustomStyleServices::TCustomStyleServices(const TCustomStyleServices& Other) { *this = Other; }

TCustomStyleServices& TCustomStyleServices::operator=(const TCustomStyleServices& Other) {
  if (this == &Other) return *this;
  put(FEnabled, get(Other.FEnabled));
  for (int i = 0; i < kColors; ++i) put(FColors[i], get(Other.FColors[i]));
  for (int i = 0; i < kFonts; ++i) put(FFonts[i], get(Other.FFonts[i]));
  return *this;
}

TColor TCustomStyleServices::GetStyleColor(TStyleColor Color) const {
  return Color >= 0 && Color < kColors ? get(FColors[Color]) : clBlack;
}

void TCustomStyleServices::SetStyleColor(TStyleColor Color, TColor Value) {
  if (Color >= 0 && Color < kColors) put(FColors[Color], Value);
}

TColor TCustomStyleServices::GetStyleFontColor(TStyleFont Font) const {
  return Font >= 0 && Font < kFonts ? get(FFonts[Font]) : clBlack;
}

void TCustomStyleServices::SetStyleFontColor(TStyleFont Font, TColor Value) {
  if (Font >= 0 && Font < kFonts) put(FFonts[Font], Value);
}

TColor TCustomStyleServices::GetSystemColor(TColor Color) const {
  if (Color >= 0 || !Enabled()) return ColorToRGB(Color);
  // A few system colours follow the style's window and text colours.
  switch (Color) {
    case clWindow:
    case clBtnFace: return get(FColors[29]);
    case clWindowText:
    case clBtnText: return get(FFonts[50]);
    case clBtnShadow: return get(FColors[0]);
    default: return ColorToRGB(Color);
  }
}

TCustomStyleServices& StyleServices() {
  static TCustomStyleServices s;
  return s;
}

}  // namespace kvr
