// TPlot3D: construction, view geometry, ranges and calibration, the grid's bookkeeping.
#include "plot3d/plot3d.h"

#include <algorithm>
#include <cmath>

#include "platform/arith.h"
#include "platform/registry.h"
#include "platform/setters.h"

namespace kvr {

namespace {

// Projected positions are kept this far inside int so that polygons and lines built from
// them never overflow, whatever the data or the magnification.
constexpr double kFar = 268435456.0;  // 2^28

// The remainder keeps the sign like frac(a / 360) * 360 but is exact: 725 gives 5.
double NormalizeAngle(double a) {
  if (a > 360.0) return std::fmod(a, 360.0);
  if (a < 0.0) return std::fmod(a, 360.0) + 360.0;
  return a;
}

}  // namespace

TPlot3D::TPlot3D(TComponent* AOwner) : TCustomControl(AOwner) {
  GridMat.OnChange = [this](TObject*) { GridMatChanged(); };
  CalcRotMatrix();
  CalcCubeCorners();
  FSuppressPaint = false;
}

TPlot3D::~TPlot3D() { GridMat.OnChange = nullptr; }

void TPlot3D::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  // Resize runs only on a change of size; the first placement centres too.
  if (FAutoCenter) CenterToControl();
  Changed();
}

void TPlot3D::Resize() {
  if (FAutoCenter) CenterToControl();
  TCustomControl::Resize();
}

void TPlot3D::CenterToControl() {
  FCentX = Width() / 2;
  FCentY = Height() / 2;
}

// ---- view ----

void TPlot3D::SetViewAngles(double AngleX, double AngleZ) {
  // A non-finite angle would poison the matrix and every projected point.
  if (!std::isfinite(AngleX) || !std::isfinite(AngleZ)) return;
  if (AngleX == FViewAngle[0] && AngleZ == FViewAngle[2]) return;
  FViewAngle[0] = NormalizeAngle(AngleX);
  FViewAngle[2] = NormalizeAngle(AngleZ);
  CalcRotMatrix();
  Changed();
}

void TPlot3D::CalcRotMatrix() {
  const double k = M_PI / 180.0;
  const double sa = std::sin(k * FViewAngle[0]), ca = std::cos(k * FViewAngle[0]);
  const double sc = std::sin(k * FViewAngle[2]), cc = std::cos(k * FViewAngle[2]);
  const double m[3][3] = {{cc, -sc, 0.0}, {ca * sc, ca * cc, -sa}, {sa * sc, sa * cc, ca}};
  // Exact zeros at multiples of 90 degrees keep axis-parallel edges on one pixel line.
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) FRotMat[i][j] = std::fabs(m[i][j]) < 1e-6 ? 0.0 : m[i][j];
}

double TPlot3D::GetRotMat(Integer i, Integer j) const {
  if (i < 1 || i > 3 || j < 1 || j > 3) return 0.0;
  return FRotMat[i - 1][j - 1];
}

TPoint TPlot3D::Project(double x, double y, double z) const {
  const double sx = FSclXIntern * x, sy = FSclYIntern * y, sz = FSclZIntern * z;
  const double px = (sx * FRotMat[0][0] + sy * FRotMat[0][1] + sz * FRotMat[0][2]) * FMagnify + FCentX;
  const double py = (sx * FRotMat[1][0] + sy * FRotMat[1][1] + sz * FRotMat[1][2]) * FMagnify + FCentY;
  // NaN lands far outside like any runaway value.
  auto pix = [](double v) { return static_cast<Integer>(RoundPix(std::isnan(v) ? -kFar : std::clamp(v, -kFar, kFar))); };
  return TPoint{pix(px), pix(py)};
}

void TPlot3D::SetMagnify(double v) {
  if (std::isnan(v)) return;
  if (StoreIfChanged(FMagnify, std::clamp(v, 0.1, 5.0))) Changed();
}

void TPlot3D::SetSclX(double v) {
  if (StoreIfChanged(FSclXIntern, v)) Changed();
}

void TPlot3D::SetSclY(double v) {
  if (StoreIfChanged(FSclYIntern, v)) Changed();
}

void TPlot3D::SetSclZ(double v) {
  if (StoreIfChanged(FSclZIntern, v)) Changed();
}

void TPlot3D::SetCentX(Integer v) {
  if (FAutoCenter) {
    CenterToControl();
    return;
  }
  const Integer w = Width();
  if (StoreIfChanged(FCentX, std::clamp(v, -w, 2 * w))) Changed();
}

void TPlot3D::SetCentY(Integer v) {
  if (FAutoCenter) {
    CenterToControl();
    return;
  }
  const Integer h = Height();
  if (StoreIfChanged(FCentY, std::clamp(v, -h, 2 * h))) Changed();
}

void TPlot3D::SetAutoCenter(bool v) {
  if (!StoreIfChanged(FAutoCenter, v)) return;
  if (v) CenterToControl();
  Changed();
}

void TPlot3D::AutoScale() {
  const Integer nx = GridMat.NrOfColumns(), ny = GridMat.NrOfRows();
  if (nx > 0 && ny > 0) {
    const double m = std::max(nx, ny);
    FSclXIntern = m / nx;
    FSclYIntern = m / ny;
  }
  FSclZIntern = FMaxZ == FMinZ ? 1.0 : (FRangeHigh[2] - FRangeLow[2]) / (FMaxZ - FMinZ);
  Changed();
}

void TPlot3D::Reset() {
  CenterToControl();
  FSclXIntern = FSclYIntern = FSclZIntern = 1.0;
  FViewAngle[0] = 66.0;
  FViewAngle[1] = 0.0;
  FViewAngle[2] = 135.0;
  FMagnify = 1.0;
  CalcRotMatrix();
  Changed();
}

// ---- ranges ----

void TPlot3D::SetRange(double XLow, double XHigh, double YLow, double YHigh, double ZLow, double ZHigh) {
  const double lo[3] = {XLow, YLow, ZLow}, hi[3] = {XHigh, YHigh, ZHigh};
  for (int a = 0; a < 3; ++a) {
    // Non-finite limits would make the calibration NaN; such an axis keeps its range.
    if (!std::isfinite(lo[a]) || !std::isfinite(hi[a])) continue;
    FRangeLow[a] = lo[a];
    FRangeHigh[a] = hi[a];
    if (lo[a] == hi[a]) {
      FRangeLow[a] -= 0.5;
      FRangeHigh[a] += 0.5;
    }
  }
  AdjustScaling();
  Changed();
}

void TPlot3D::SetRangeLow(int Axis, double v) {
  if (!std::isfinite(v)) return;
  if (v == FRangeHigh[Axis]) v -= 1.0;
  FRangeLow[Axis] = v;
  AdjustScaling();
  Changed();
}

void TPlot3D::SetRangeHigh(int Axis, double v) {
  if (!std::isfinite(v)) return;
  if (v == FRangeLow[Axis]) v += 1.0;
  FRangeHigh[Axis] = v;
  AdjustScaling();
  Changed();
}

void TPlot3D::AdjustScaling() {
  const double span = FRangeHigh[2] - FRangeLow[2];
  // A span lost to rounding (huge limits one unit apart) keeps the last calibration.
  if (span == 0.0 || !std::isfinite(300.0 / span)) return;
  FCalibZk = 300.0 / span;
  FCalibZd = -150.0 - FCalibZk * FRangeLow[2];
}

// ---- grid ----

void TPlot3D::CalcCubeCorners() {
  for (int n = 0; n < 8; ++n)
    CubeCorners[n] = TPoint3D{n & 4 ? 150.0 : -150.0, n & 2 ? 150.0 : -150.0, n & 1 ? 150.0 : -150.0};
}

void TPlot3D::GridMatChanged() {
  if (FSuppressPaint) return;
  CalcCubeCorners();
  GridMat.MinMax(FMinZ, FMaxZ);
  const Integer nx = GridMat.NrOfColumns(), ny = GridMat.NrOfRows();
  ProjMapX.Resize(nx, ny);
  ProjMapY.Resize(nx, ny);
  ProjMapZ.Resize(nx, ny);
  Changed();
}

void TPlot3D::SetSuppressPaint(bool v) {
  if (!StoreIfChanged(FSuppressPaint, v)) return;
  if (!v) {
    GridMatChanged();
    Changed();
  }
}

void TPlot3D::Clear() {
  GridMat.Fill(0.0);
  Changed();
}

// ---- plain setters ----

#define KVR_P3_SETTER(Name, Type, Field) \
  void TPlot3D::Name(Type v) {           \
    if (StoreIfChanged(Field, v)) Changed(); \
  }

KVR_P3_SETTER(SetColorCodingMode, TColorCodingMode, FColorCodingMode)
KVR_P3_SETTER(SetColorLow, TColor, FColorFillLow)
KVR_P3_SETTER(SetColorMid, TColor, FColorFillMid)
KVR_P3_SETTER(SetColorHigh, TColor, FColorFillHigh)
KVR_P3_SETTER(SetColorCodeAvg, bool, FColorCodeAvg)
KVR_P3_SETTER(SetCaptionX, const std::string&, FCaption[0])
KVR_P3_SETTER(SetCaptionY, const std::string&, FCaption[1])
KVR_P3_SETTER(SetCaptionZ, const std::string&, FCaption[2])
KVR_P3_SETTER(SetLabDistX, Integer, FLabDist[0])
KVR_P3_SETTER(SetLabDistY, Integer, FLabDist[1])
KVR_P3_SETTER(SetLabDistZ, Integer, FLabDist[2])
KVR_P3_SETTER(SetDecPlaceX, Integer, FDecPlace[0])
KVR_P3_SETTER(SetDecPlaceY, Integer, FDecPlace[1])
KVR_P3_SETTER(SetDecPlaceZ, Integer, FDecPlace[2])
KVR_P3_SETTER(SetMinTickX, Integer, FMinTick[0])
KVR_P3_SETTER(SetMinTickY, Integer, FMinTick[1])
KVR_P3_SETTER(SetMinTickZ, Integer, FMinTick[2])
KVR_P3_SETTER(SetVisibleXCoords, bool, FVisibleCoords[0])
KVR_P3_SETTER(SetVisibleYCoords, bool, FVisibleCoords[1])
KVR_P3_SETTER(SetVisibleZCoords, bool, FVisibleCoords[2])
KVR_P3_SETTER(SetColorXCoords, TColor, FColorCoords[0])
KVR_P3_SETTER(SetColorYCoords, TColor, FColorCoords[1])
KVR_P3_SETTER(SetColorZCoords, TColor, FColorCoords[2])
KVR_P3_SETTER(SetColorBakGnd, TColor, FColorBakGnd)
KVR_P3_SETTER(SetColorFrame, TColor, FColorFrame)
KVR_P3_SETTER(SetColorMesh, TColor, FColorMesh)
KVR_P3_SETTER(SetMeshKind, TMeshKind, FMeshKind)
KVR_P3_SETTER(SetMeshVisible, bool, FMeshVisible)
KVR_P3_SETTER(SetColorCubeFrame, TColor, FColorCubeFrame)
KVR_P3_SETTER(SetColorCubeHidLin, TColor, FColorCubeHidLin)
KVR_P3_SETTER(SetColorCubeFaceHigh, TColor, FColorCubeFaceHigh)
KVR_P3_SETTER(SetColorCubeFaceLow, TColor, FColorCubeFaceLow)
KVR_P3_SETTER(SetBoundBoxStyle, TBoundingBox, FBoundBoxStyle)
KVR_P3_SETTER(SetFrameStyle, TFrameStyle, FFrameStyle)

#undef KVR_P3_SETTER

namespace Kvr_plot3d {
void Register() {
  RegisterComponents("KVR", {{"TPlot3D", [](TComponent* o) -> TComponent* { return new TPlot3D(o); }}});
}
}  // namespace Kvr_plot3d

}  // namespace kvr
