// TRot3D: dragging to rotate, zoom and pan.
#include <algorithm>
#include <cmath>

#include "platform/arith.h"
#include "rot3d/rot3d.h"

namespace kvr {

void TRot3D::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  const bool left = Shift.Contains(ssLeft), right = Shift.Contains(ssRight);
  if (!left && !right) {
    MouseAnchorX = X;
    MouseAnchorY = Y;
    FCentXAnchor = FCentX;
    FCentYAnchor = FCentY;
    FMagAnchor = 4000.0 / FMagnify;
    for (int a = 0; a < 3; ++a) FAngleAnchor[a] = FViewAngle[a];
    return;
  }
  const Integer w = Width(), h = Height();
  // An empty control has no scale to turn pixels into angles.
  if (w <= 0 || h <= 0 || X < 0 || X >= w || Y < 0 || Y >= h) return;

  const bool rotate = left && (FMouseAction == maRotate || FMouseAction == maRotAndZoom);
  const bool zoom = (left && FMouseAction == maZoom) || (right && FMouseAction == maRotAndZoom);
  const bool pan = left && FMouseAction == maPan;
  if (rotate) {
    // The drag starts from the anchor's angles: no move, no change (no extra full turn).
    const double across = (MouseAnchorX - X) * 360.0 / w;
    const double down = (Y - MouseAnchorY) * 360.0 / h;
    if (FRotMat3D) {
      FViewAngle[0] = across + FAngleAnchor[0];
      FViewAngle[1] = down + FAngleAnchor[1];
    } else {
      FViewAngle[2] = across + FAngleAnchor[2];
      FViewAngle[0] = down + FAngleAnchor[0];
    }
    CalcRotMatrix();
  } else if (zoom) {
    double d = (5.0 - 0.1) * (MouseAnchorY - Y) / h;
    d = std::clamp(d, 0.1 - FMagAnchor, 5.0 - FMagAnchor);
    FMagnify = static_cast<Integer>(Round(4000.0 / std::clamp(FMagAnchor + d, 0.1, 5.0)));
  } else if (pan) {
    FCentX = FCentXAnchor - (MouseAnchorX - X);
    FCentY = FCentYAnchor - (MouseAnchorY - Y);
  } else {
    return;
  }
  Changed();
}

}  // namespace kvr
