// TPlot3D: dragging to rotate, zoom and pan, and the cell under the pointer.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "plot3d/plot3d.h"

namespace kvr {

namespace {

double WrapOnce(double a) {
  if (a > 360.0) return a - 360.0;
  if (a < 0.0) return a + 360.0;
  return a;
}

int Signum(int64_t v) { return (v > 0) - (v < 0); }

}  // namespace

void TPlot3D::SetViewAngLimits(Integer Axis, double Low, double High) {
  if (Axis < 1 || Axis > 3 || !(Low >= 0.0 && Low <= High && High <= 360.0)) return;
  FViewAngLimLow[Axis - 1] = Low;
  FViewAngLimHigh[Axis - 1] = High;
}

void TPlot3D::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  const bool left = Shift.Contains(ssLeft), right = Shift.Contains(ssRight);
  if (!left && !right) {
    MouseAnchorX = X;
    MouseAnchorY = Y;
    FCentXAnchor = FCentX;
    FCentYAnchor = FCentY;
    FMagAnchor = FMagnify;
    FAngleAnchor[0] = FViewAngle[0];
    FAngleAnchor[2] = FViewAngle[2];
    return;
  }
  const Integer w = Width(), h = Height();
  // An empty control has no scale to turn pixels into angles.
  if (w <= 0 || h <= 0 || X < 0 || X > w || Y < 0 || Y > h) return;

  enum { kNone, kRotate, kZoom, kPan } effect = kNone;
  auto rotate = [&](bool limits) {
    FViewAngle[2] = WrapOnce((MouseAnchorX - X) * 360.0 / w + FAngleAnchor[2]);
    FViewAngle[0] = WrapOnce((MouseAnchorY - Y) * 360.0 / h + FAngleAnchor[0]);
    FViewAngle[1] = 0.0;
    if (limits) {
      FViewAngle[0] = std::clamp(FViewAngle[0], FViewAngLimLow[0], FViewAngLimHigh[0]);
      FViewAngle[2] = std::clamp(FViewAngle[2], FViewAngLimLow[2], FViewAngLimHigh[2]);
    }
    effect = kRotate;
  };
  auto zoom = [&]() {
    double d = ((MouseAnchorY - Y) * (5.0 - 0.1) / h) / 2;
    d = std::clamp(d, 0.1 - FMagAnchor, 5.0 - FMagAnchor);
    FMagnify = std::clamp(FMagAnchor + d, 0.1, 5.0);
    effect = kZoom;
  };
  switch (FMouseAction) {
    case maRotate:
      if (left) rotate(true);
      break;
    case maRotAndZoom:
      if (left)
        rotate(false);
      else
        zoom();
      break;
    case maRotateX:
      if (left) {
        FViewAngle[0] = WrapOnce((Y - MouseAnchorY) * 360.0 / h + FAngleAnchor[0]);
        FViewAngle[1] = 0.0;
        effect = kRotate;
      }
      break;
    case maRotateZ:
      if (left) {
        FViewAngle[2] = WrapOnce((MouseAnchorX - X) * 360.0 / w + FAngleAnchor[2]);
        FViewAngle[1] = 0.0;
        effect = kRotate;
      }
      break;
    case maZoom:
      if (left) zoom();
      break;
    case maPan:
      if (left) {
        FCentX = FCentXAnchor - (MouseAnchorX - X);
        FCentY = FCentYAnchor - (MouseAnchorY - Y);
        effect = kPan;
      }
      break;
    default:
      break;
  }
  if (effect == kNone) return;
  if (OnMouseAction) {
    double ax = FViewAngle[0], az = FViewAngle[2], mag = FMagnify;
    OnMouseAction(this, FCentX, FCentY, ax, az, mag, Shift);
    // The handler's values pass the same checks as the setters'.
    if (std::isfinite(ax) && std::isfinite(az)) {
      FViewAngle[0] = ax > 360.0 ? std::fmod(ax, 360.0) : ax < 0.0 ? std::fmod(ax, 360.0) + 360.0 : ax;
      FViewAngle[2] = az > 360.0 ? std::fmod(az, 360.0) : az < 0.0 ? std::fmod(az, 360.0) + 360.0 : az;
    }
    if (!std::isnan(mag)) FMagnify = std::clamp(mag, 0.1, 5.0);
  }
  CalcRotMatrix();
  if ((effect == kZoom || effect == kPan) && OnZoomPan) OnZoomPan(this);
  Changed();
}

void TPlot3D::WMMouseMove(TWMMouse& Message) {
  TCustomControl::WMMouseMove(Message);
  Integer cx = 0, cy = 0;
  const bool over = CellAt(Message.XPos, Message.YPos, cx, cy);
  MouseMoveOverPlot(over, KeysToShiftState(Message.Keys), cx, cy);
}

void TPlot3D::MouseMoveOverPlot(bool OverPlot, TShiftState Shift, Integer CellX, Integer CellY) {
  if (OnMouseMoveOverPlot) OnMouseMoveOverPlot(this, OverPlot, Shift, CellX, CellY);
}

bool TPlot3D::CellAt(Integer X, Integer Y, Integer& CellX, Integer& CellY) const {
  CellX = CellY = 0;
  const Integer nx = ProjMapX.NrOfColumns(), ny = ProjMapX.NrOfRows();
  bool found = false;
  Integer best = 0;
  for (Integer i = 1; i < nx; ++i)
    for (Integer j = 1; j < ny; ++j) {
      const Integer ci[4] = {i, i + 1, i + 1, i}, cj[4] = {j, j, j + 1, j + 1};
      int64_t px[4], py[4];
      for (int k = 0; k < 4; ++k) {
        px[k] = ProjMapX.GetVal(ci[k], cj[k]);
        py[k] = ProjMapY.GetVal(ci[k], cj[k]);
      }
      int sum = 0;
      for (int k = 0; k < 4; ++k) {
        const int n = (k + 1) & 3;
        sum += Signum((px[n] - px[k]) * (Y - py[k]) - (py[n] - py[k]) * (X - px[k]));
      }
      if (std::abs(sum) < 3) continue;
      const Integer z = ProjMapZ.GetVal(i, j);
      if (!found || z > best) {
        found = true;
        best = z;
        CellX = i;
        CellY = j;
      }
    }
  return found;
}

}  // namespace kvr
