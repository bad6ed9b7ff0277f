// Visual styles: when a style is active, controls take their background, border and
// font colours from it instead of their own colour properties (for the elements listed
// in their StyleElements). Headless and by default no style is active; a host or an
// application may switch one on, e.g. to match a dark desktop theme.
//
//   kvr::StyleServices().SetEnabled(true);
//   if (kvr::StyleServices().Enabled()) c = kvr::StyleServices().GetStyleColor(kvr::kStyleColorWindow);
//
// Controls on any thread read the style while they paint, so every entry is atomic:
// reading and changing it from several threads is safe, and a picture painted during a
// change may show some of the old colours and some of the new ones.
#pragma once

#include <array>
#include <atomic>

#include "platform/types.h"

namespace kvr {

// Style colours and style fonts are numbered as the framework numbers them; the
// components ask for the ones named here.
using TStyleColor = Integer;
using TStyleFont = Integer;
constexpr TStyleColor kStyleColorBorder = 0;
constexpr TStyleColor kStyleColorGrid = 14;
constexpr TStyleColor kStyleColorWindow = 29;
constexpr TStyleFont kStyleFontWindowText = 50;

class TCustomStyleServices {
 public:
  TCustomStyleServices();
  // Copies entry by entry, for saving and restoring a style.
  TCustomStyleServices(const TCustomStyleServices& Other);
  TCustomStyleServices& operator=(const TCustomStyleServices& Other);

  bool Enabled() const { return FEnabled.load(std::memory_order_relaxed); }
  void SetEnabled(bool v) { FEnabled.store(v, std::memory_order_relaxed); }

  // Colours of the active style; numbers outside the table give black.
  TColor GetStyleColor(TStyleColor Color) const;
  void SetStyleColor(TStyleColor Color, TColor Value);
  TColor GetStyleFontColor(TStyleFont Font) const;
  void SetStyleFontColor(TStyleFont Font, TColor Value);
  // A system colour (negative TColor) as the style paints it; plain colours pass through.
  TColor GetSystemColor(TColor Color) const;

  static constexpr int kColors = 64;
  static constexpr int kFonts = 128;

 private:
  std::atomic<bool> FEnabled{false};
  std::array<std::atomic<TColor>, kColors> FColors{};
  std::array<std::atomic<TColor>, kFonts> FFonts{};
};

TCustomStyleServices& StyleServices();

}  // namespace kvr
