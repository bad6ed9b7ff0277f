#include "platform/kvrcolors.h"

#include <algorithm>
#include <cmath>

#include "platform/arith.h"
#include "platform/univconst.h"

namespace kvr {

TColor InterpolateColor(TColor Color1, TColor Color2, double Fraction) {
  if (std::isnan(Fraction)) Fraction = 0.0;
  Fraction = std::clamp(Fraction, 0.0, 1.0);
  auto mix = [Fraction](int a, int b) {
    return static_cast<int>(Round(a + (b - a) * Fraction));
  };
  return RGB(mix(GetRValue(Color1), GetRValue(Color2)),
             mix(GetGValue(Color1), GetGValue(Color2)),
             mix(GetBValue(Color1), GetBValue(Color2)));
}

TColorArray::TColorArray(Integer Size) {
  FColors.assign(static_cast<size_t>(std::clamp(Size, 0, kMaxSize)) + 1, clBlack);
  const TColor rainbow[] = {clBlue, clAqua, clLime, clYellow, clRed};
  FillByInterpolation(1, rainbow);
  if (this->Size() >= 1) FColors[0] = FColors[1];
}

void TColorArray::Changed() {
  if (OnChange) OnChange(this);
}

void TColorArray::SetSize(Integer Size) {
  FColors.resize(static_cast<size_t>(std::clamp(Size, 0, kMaxSize)) + 1, clBlack);
  Changed();
}

TColor TColorArray::GetColorElem(Integer Index) const {
  if (Index < 0 || Index > Size()) return clBlack;
  return FColors[static_cast<size_t>(Index)];
}

void TColorArray::SetColorElem(Integer Index, TColor Color) {
  if (Index < 0 || Index > Size()) return;
  FColors[static_cast<size_t>(Index)] = Color;
  Changed();
}

void TColorArray::FillByInterpolation(Integer StartIdx, std::span<const TColor> Colors) {
  if (Colors.empty()) return;
  const Integer n = Size();
  StartIdx = std::clamp(StartIdx, 0, n);
  const Integer span = n - StartIdx;
  const size_t last = Colors.size() - 1;
  for (Integer i = StartIdx; i <= n; ++i) {
    TColor c = Colors[0];
    if (last > 0 && span > 0) {
      // Position of entry i along the list of anchors, 0..last.
      const double pos = static_cast<double>(i - StartIdx) * static_cast<double>(last) / span;
      const size_t k = std::min(static_cast<size_t>(pos), last - 1);
      c = InterpolateColor(Colors[k], Colors[k + 1], pos - static_cast<double>(k));
    }
    FColors[static_cast<size_t>(i)] = c;
  }
  Changed();
}

void TColorArray::CopyFrom(const TColorArray& Source, Integer SrcIdx, Integer DstIdx,
                           Integer Count) {
  if (SrcIdx < 0 || DstIdx < 0 || Count <= 0) return;
  Count = std::min<int64_t>(Count, static_cast<int64_t>(Source.Size()) - SrcIdx + 1);
  if (Count <= 0) return;
  if (static_cast<int64_t>(DstIdx) + Count - 1 > kMaxSize) Count = kMaxSize - DstIdx + 1;
  if (Count <= 0) return;
  // Copy first: Source may be this very table.
  std::vector<TColor> part(Source.FColors.begin() + SrcIdx,
                           Source.FColors.begin() + SrcIdx + Count);
  if (DstIdx + Count - 1 > Size()) FColors.resize(static_cast<size_t>(DstIdx + Count), clBlack);
  std::copy(part.begin(), part.end(), FColors.begin() + DstIdx);
  Changed();
}

Integer TColorArray::ColorToIndex(TColor Color, double& Distance) const {
  Distance = uc_MaxDouble;
  Integer best = 0;
  const int r = GetRValue(Color), g = GetGValue(Color), b = GetBValue(Color);
  for (Integer i = 1; i <= Size(); ++i) {
    const TColor c = FColors[static_cast<size_t>(i)];
    const double dr = GetRValue(c) - r, dg = GetGValue(c) - g, db = GetBValue(c) - b;
    const double d = std::sqrt(dr * dr + dg * dg + db * db);
    if (d < Distance) {
      Distance = d;
      best = i;
    }
  }
  return best;
}

void TColorArray::Assign(const TPersistent* Source) {
  if (auto* a = dynamic_cast<const TColorArray*>(Source)) {
    if (a == this) return;
    FColors = a->FColors;
    Changed();
  }
}

}  // namespace kvr
