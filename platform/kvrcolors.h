// Colour tables and colour arithmetic.
//
// TColorArray holds the entries 1..Size that callers index, plus an entry 0: colour-coding
// code rounds small fractions to index 0, and an interpolation started at index 0 spreads
// its anchor colours over 0..Size (255 entries through six colours put the anchors exactly
// on 0, 51, ..., 255). Reads outside 0..Size give clBlack, writes there are ignored.
// A new table has 64 entries running blue, aqua, lime, yellow, red, with entry 0 equal to
// entry 1. Every change fires OnChange.
#pragma once

#include <array>
#include <initializer_list>
#include <span>
#include <vector>

#include "platform/types.h"

namespace kvr {

// Sixteen distinct colours for axes, masks and series, strongest contrast first.
inline constexpr std::array<TColor, 16> PredefinedColors = {
    clBlack, clRed,  clBlue, clGreen, clFuchsia, clTeal, clOlive,  clMaroon,
    clNavy,  clPurple, clGray, clLime,  clAqua,    clYellow, clSilver, clWhite};

// The colour at Fraction (clamped to 0..1, NaN as 0) between Color1 and Color2, per
// channel, rounded to the nearest level. Only the RGB bytes take part.
TColor InterpolateColor(TColor Color1, TColor Color2, double Fraction);

class TColorArray : public TPersistent {
 public:
  static constexpr Integer kDefaultSize = 64;
  static constexpr Integer kMaxSize = 1000000;

  explicit TColorArray(Integer Size = kDefaultSize);

  // properties
  Integer Size() const { return static_cast<Integer>(FColors.size()) - 1; }
  Integer NumColors() const { return Size(); }

  // events
  TNotifyEvent OnChange;

  // public methods
  // New entries are black; existing ones keep their colours. Clamped to 0..kMaxSize.
  void SetSize(Integer Size);
  TColor GetColorElem(Integer Index) const;
  void SetColorElem(Integer Index, TColor Color);
  // Spreads Colors evenly over StartIdx..Size (StartIdx clamped to 0..Size): the first
  // colour at StartIdx, the last at Size, linear interpolation in between.
  void FillByInterpolation(Integer StartIdx, std::span<const TColor> Colors);
  void FillByInterpolation(Integer StartIdx, std::initializer_list<TColor> Colors) {
    FillByInterpolation(StartIdx, std::span<const TColor>(Colors.begin(), Colors.size()));
  }
  // Copies Count entries of Source from SrcIdx on to DstIdx on. Source entries beyond its
  // table are not copied; this table grows when the copy reaches beyond its end (it never
  // shrinks, so set the size first to mirror a smaller table).
  void CopyFrom(const TColorArray& Source, Integer SrcIdx, Integer DstIdx, Integer Count);
  void CopyFrom(const TColorArray* Source, Integer SrcIdx, Integer DstIdx, Integer Count) {
    if (Source) CopyFrom(*Source, SrcIdx, DstIdx, Count);
  }
  // Index (1..Size) of the entry nearest to Color in RGB space, the lowest index among
  // equals; Distance receives the Euclidean RGB distance. An empty table gives 0 and
  // uc_MaxDouble.
  Integer ColorToIndex(TColor Color, double& Distance) const;
  void Assign(const TPersistent* Source) override;

 private:
  void Changed();
  std::vector<TColor> FColors;  // entries 0..Size
};

}  // namespace kvr
