#include "platform/themes.h"

#include "platform/graphics.h"

namespace kvr {

// The built-in style is a dark one, so that switching styles on is plainly visible.
TCustomStyleServices::TCustomStyleServices() {
  FColors.fill(0x3C3C3C);
  FColors[0] = 0x707070;   // border
  FColors[14] = 0x2B2B2B;  // grid / client area
  FColors[29] = 0x202020;  // window
  FFonts.fill(0xE0E0E0);
  FFonts[50] = 0xF0F0F0;   // window text
}

TColor TCustomStyleServices::GetStyleColor(TStyleColor Color) const {
  return Color >= 0 && Color < kColors ? FColors[Color] : clBlack;
}

void TCustomStyleServices::SetStyleColor(TStyleColor Color, TColor Value) {
  if (Color >= 0 && Color < kColors) FColors[Color] = Value;
}

TColor TCustomStyleServices::GetStyleFontColor(TStyleFont Font) const {
  return Font >= 0 && Font < kFonts ? FFonts[Font] : clBlack;
}

void TCustomStyleServices::SetStyleFontColor(TStyleFont Font, TColor Value) {
  if (Font >= 0 && Font < kFonts) FFonts[Font] = Value;
}

TColor TCustomStyleServices::GetSystemColor(TColor Color) const {
  if (Color >= 0 || !FEnabled) return ColorToRGB(Color);
  // A few system colours follow the style's window and text colours.
  switch (Color) {
    case clWindow:
    case clBtnFace: return FColors[29];
    case clWindowText:
    case clBtnText: return FFonts[50];
    case clBtnShadow: return FColors[0];
    default: return ColorToRGB(Color);
  }
}

TCustomStyleServices& StyleServices() {
  static TCustomStyleServices s;
  return s;
}

}  // namespace kvr
