#include "platform/graphics.h"

#include <algorithm>
#include <cmath>

#include "platform/setters.h"

namespace kvr {

void TPen::SetColor(TColor v) {
  if (StoreIfChanged(FColor, v)) Changed();
}

void TPen::SetStyle(TPenStyle v) {
  if (v == FStyle || v > psInsideFrame) return;
  FStyle = v;
  Changed();
}

void TPen::SetWidth(Integer v) {
  if (v < 1) v = 1;
  if (StoreIfChanged(FWidth, v)) Changed();
}

void TPen::SetMode(TPenMode v) {
  if (v == FMode || v > pmNotXor) return;
  FMode = v;
  Changed();
}

void TPen::Assign(const TPersistent* Source) {
  auto* p = dynamic_cast<const TPen*>(Source);
  if (!p || p == this) return;
  FColor = p->FColor;
  FStyle = p->FStyle;
  FWidth = p->FWidth;
  FMode = p->FMode;
  Changed();
}

void TBrush::SetColor(TColor v) {
  if (StoreIfChanged(FColor, v)) Changed();
}

void TBrush::SetStyle(TBrushStyle v) {
  if (v == FStyle || v > bsClear) return;
  FStyle = v;
  Changed();
}

void TBrush::Assign(const TPersistent* Source) {
  auto* b = dynamic_cast<const TBrush*>(Source);
  if (!b || b == this) return;
  FColor = b->FColor;
  FStyle = b->FStyle;
  Changed();
}

void TFont::SetName(const std::string& v) {
  if (v == FName || v.empty()) return;
  FName = v;
  Changed();
}

void TFont::SetSize(Integer v) {
  if (StoreIfChanged(FSize, v)) Changed();
}

Integer TFont::Height() const {
  return -static_cast<Integer>(std::lround(double(FSize) * FPixelsPerInch / 72.0));
}

void TFont::SetHeight(Integer v) {
  // Both signs are taken as the em height; a positive value's cell-height meaning
  // differs by the internal leading only.
  const Integer px = v < 0 ? -v : v;
  SetSize(static_cast<Integer>(std::lround(double(px) * 72.0 / FPixelsPerInch)));
}

void TFont::SetStyle(TFontStyles v) {
  if (StoreIfChanged(FStyle, v)) Changed();
}

void TFont::SetColor(TColor v) {
  if (StoreIfChanged(FColor, v)) Changed();
}

void TFont::SetPixelsPerInch(Integer v) {
  if (v > 0 && StoreIfChanged(FPixelsPerInch, v)) Changed();
}

void TFont::SetKerning(bool v) {
  if (StoreIfChanged(FKerning, v)) Changed();
}

Integer TFont::PixelSize() const {
  // Negative sizes are pixel heights, as the framework allows.
  double px = FSize >= 0 ? double(FSize) * FPixelsPerInch / 72.0 : -double(FSize);
  return std::clamp<Integer>(static_cast<Integer>(std::lround(px)), 1, 2000);
}

void TFont::Assign(const TPersistent* Source) {
  auto* f = dynamic_cast<const TFont*>(Source);
  if (!f || f == this) return;
  FName = f->FName;
  FSize = f->FSize;
  FStyle = f->FStyle;
  FColor = f->FColor;
  FKerning = f->FKerning;
  // The target keeps its own resolution, so a font copied onto a printer canvas
  // keeps its point size.
  Changed();
}

TColor ColorToRGB(TColor Color) {
  if (Color >= 0) return Color & 0xFFFFFF;
  // Classic light desktop scheme.
  static constexpr TColor kSystem[] = {
      0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
      0x000000, 0x000000, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xFF9933, 0xFFFFFF, 0xF0F0F0,
      0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
      0xE1FFFF, 0x000000, 0xCC6600, 0xEAD1B9, 0xF2E4D7, 0xFF9933, 0xF0F0F0};
  const unsigned idx = static_cast<unsigned>(Color) & 0xFF;
  if (idx < sizeof(kSystem) / sizeof(kSystem[0])) return kSystem[idx];
  return 0;
}

}  // namespace kvr
