#include "platform/scaledcanvas.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "platform/detail/canvas_backend.h"
#include "platform/detail/scaled_backend.h"

namespace kvr {

TScaledCanvas::TScaledCanvas(TCanvas& Target, TPoint Origin, double Scale, Integer Width, Integer Height,
                             const TRect& DeviceClip)
    : TCanvas(std::make_unique<detail::ScaledBackend>(*Target.Backend(), Origin, Scale, Width, Height,
                                                      DeviceClip)) {}

Integer ScaledSize(Integer Pixels, double Scale) { return detail::ScaledBackend::scaled_size(Pixels, Scale); }

void DrawScaled(TCanvas& Target, Integer X, Integer Y, double Scale, Integer Width, Integer Height,
                const TScaledPaint& Paint) {
  if (!std::isfinite(Scale) || Scale <= 0) return;
  const TRect tc = Target.ClipRect();
  const long long r = (long long)X + ScaledSize(Width, Scale);
  const long long b = (long long)Y + ScaledSize(Height, Scale);
  TRect clip{std::max(tc.Left, X), std::max(tc.Top, Y), Integer(std::min<long long>(tc.Right, r)),
             Integer(std::min<long long>(tc.Bottom, b))};
  clip.Right = std::max(clip.Left, clip.Right);
  clip.Bottom = std::max(clip.Top, clip.Bottom);
  // The scaled back end sets the surface's clip behind Target's back; Target's own
  // notion of its clip is put back on the surface afterwards.
  const bool whole = tc.Left == 0 && tc.Top == 0 && tc.Right == Target.Backend()->width() &&
                     tc.Bottom == Target.Backend()->height();
  auto restore = [&] {
    if (whole) Target.ResetClip();
    else Target.SetClipRect(tc);
  };
  try {
    TScaledCanvas canvas(Target, TPoint{X, Y}, Scale, Width, Height, clip);
    Paint(canvas);
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

}  // namespace kvr
