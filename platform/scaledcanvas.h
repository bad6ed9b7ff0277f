// Drawing a picture laid out in screen pixels onto another canvas, scaled: the way every
// control prints. The picture is painted afresh through a canvas of its own screen size
// whose back end scales each primitive, so lines, shapes and text come out as sharp as
// the target's resolution allows while the layout (margins, tick lengths, text widths
// measured through the canvas) stays that of the screen.
//
//   const double s = 300.0 / 96.0;
//   DrawScaled(*page, x, y, s, ctl.Width(), ctl.Height(),
//              [&](TCanvas& c) { ctl.PaintTo(c); });   // any routine that paints on a TCanvas
//   x += ScaledSize(ctl.Width(), s);
#pragma once

#include <functional>

#include "platform/canvas.h"
#include "platform/types.h"

namespace kvr {

// Paints a picture onto a canvas of the picture's logical size.
using TScaledPaint = std::function<void(TCanvas& Canvas)>;

// A canvas of Width x Height screen pixels whose drawing lands on Target, Scale target
// pixels per screen pixel, with its top-left at Origin and clipped to DeviceClip (target
// pixels). It changes the clip of Target's surface and leaves it so: restore Target's
// clip afterwards (DrawScaled does). Target must outlive this canvas.
class TScaledCanvas : public TCanvas {
 public:
  TScaledCanvas(TCanvas& Target, TPoint Origin, double Scale, Integer Width, Integer Height,
                const TRect& DeviceClip);
};

// Target pixels that Pixels screen pixels cover at Scale (0 for negative sizes).
Integer ScaledSize(Integer Pixels, double Scale);

// Runs Paint on a Width x Height canvas that lands on Target at (X, Y), scaled by Scale,
// clipped to the picture's place and to Target's clip. Target's clip is restored
// afterwards, also when Paint throws. Nothing is drawn unless Scale is finite and > 0.
void DrawScaled(TCanvas& Target, Integer X, Integer Y, double Scale, Integer Width, Integer Height,
                const TScaledPaint& Paint);

}  // namespace kvr
