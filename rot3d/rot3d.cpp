// TRot3D: construction, the item store, the view and the plain setters.
#include "rot3d/rot3d.h"

#include <algorithm>
#include <cmath>

#include "platform/arith.h"
#include "platform/registry.h"
#include "platform/setters.h"

namespace kvr {
namespace {

// Stores three finite values; false (and nothing stored) when any is not finite or
// nothing would change.
bool store_finite_triple(double (&dst)[3], double x, double y, double z) {
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) return false;
  if (x == dst[0] && y == dst[1] && z == dst[2]) return false;
  dst[0] = x;
  dst[1] = y;
  dst[2] = z;
  return true;
}

}  // namespace

namespace {

constexpr double kK = 1000.0;

Integer RoundElement(double v) {
  // Exact zeros at multiples of 90 degrees keep axis-parallel edges on one pixel line.
  return std::fabs(v) < 1e-6 ? 0 : static_cast<Integer>(Round(kK * v));
}

}  // namespace

TRot3D::TRot3D(TComponent* AOwner) : TCustomControl(AOwner) {
  // The centres wait for the control's size (SetBounds / Resize).
  CalcRotMatrix();
  CalcCubeCorners();
}

TRot3D::~TRot3D() = default;

void TRot3D::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  // A change of size runs Resize, which centres the view.
  TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  Changed();
}

void TRot3D::Resize() {
  CenterToControl();
  TCustomControl::Resize();
}

void TRot3D::CenterToControl() {
  FCentX = Width() / 2;
  FCentY = Height() / 2;
}

// ---- item store ----

void TRot3D::SetAllocSize(Integer v) {
  if (v >= 1 && v <= 1000000) FAllocSize = v;
}

void TRot3D::AddItem(const Tr3ChartItem& Item) {
  // The documented capacity grows by AllocSize; the vector below keeps its own
  // geometric growth so that a small step costs no quadratic copying.
  if (FNumChartItems >= FNumAllocated) FNumAllocated += FAllocSize;
  FItems.push_back(Item);
  FItems.back().color = FDataCol;
  FItems.back().tag = FDataTag;
  ++FNumChartItems;
}

void TRot3D::MarkAt(double x, double y, double z, Byte Mark) {
  Tr3ChartItem it;
  it.x = x;
  it.y = y;
  it.z = z;
  it.ItemKind = Tr3Item::tkMarkAt;
  it.marklw = Mark;
  AddItem(it);
}

void TRot3D::Moveto(double x, double y, double z) {
  Tr3ChartItem it;
  it.x = x;
  it.y = y;
  it.z = z;
  it.ItemKind = Tr3Item::tkMoveto;
  AddItem(it);
}

void TRot3D::Drawto(double x, double y, double z) {
  Tr3ChartItem it;
  it.x = x;
  it.y = y;
  it.z = z;
  it.ItemKind = Tr3Item::tkLineto;
  it.marklw = FLineWidth;
  AddItem(it);
}

void TRot3D::Line(double x1, double y1, double z1, double x2, double y2, double z2) {
  Tr3ChartItem it;
  it.x = x1;
  it.y = y1;
  it.z = z1;
  it.x2 = x2;
  it.y2 = y2;
  it.z2 = z2;
  it.ItemKind = Tr3Item::tkLine;
  it.marklw = FLineWidth;
  AddItem(it);
}

Tr3ChartItem TRot3D::GetChartItem(Integer i) const {
  if (i < 0 || i >= FNumChartItems) return Tr3ChartItem{};
  return FItems[i];
}

void TRot3D::SetChartitem(Integer i, const Tr3ChartItem& Item) {
  if (i >= 0 && i < FNumChartItems) FItems[i] = Item;
}

Tr3Item TRot3D::TypeOfFirstItem() const {
  return FNumChartItems > 0 ? FItems.front().ItemKind : Tr3Item::tkNone;
}

Tr3Item TRot3D::TypeOfLastItem() const {
  return FNumChartItems > 0 ? FItems.back().ItemKind : Tr3Item::tkNone;
}

void TRot3D::ReleaseItems() {
  std::vector<Tr3ChartItem>().swap(FItems);
  FNumChartItems = 0;
  FNumAllocated = 0;
}

void TRot3D::RemoveLastItem() {
  // An empty store has nothing to remove; the count must not go below 0.
  if (FNumChartItems <= 0) return;
  if (FNumChartItems == 1) {
    ReleaseItems();
    return;
  }
  FItems.pop_back();
  --FNumChartItems;
}

void TRot3D::RemoveItem(Integer i) {
  if (i < 0 || i >= FNumChartItems) return;
  if (FNumChartItems == 1) {
    ReleaseItems();
    return;
  }
  FItems.erase(FItems.begin() + i);
  --FNumChartItems;
}

void TRot3D::ClearPoints() {
  FRotDataX.clear();
  FRotDataY.clear();
  FRotDataZ.clear();
  FBackLink.clear();
  FRotProp.clear();
  FRotMark.clear();
  FLineWid.clear();
}

void TRot3D::Clear() {
  if (HandleAllocated()) InitGraf(GrafBmp.Canvas());
  ReleaseItems();
  // The point list refers to the items by index; kept, it would draw and find items
  // that no longer exist.
  ClearPoints();
  Changed();
}

// ---- view ----

void TRot3D::SetViewAngles(double ax, double ay, double az) {
  // A non-finite angle would poison the matrix.
  if (!std::isfinite(ax) || !std::isfinite(ay) || !std::isfinite(az)) return;
  if (ax == FViewAngle[0] && ay == FViewAngle[1] && az == FViewAngle[2]) return;
  FViewAngle[0] = FAngleAnchor[0] = ax;
  FViewAngle[1] = FAngleAnchor[1] = ay;
  FViewAngle[2] = FAngleAnchor[2] = az;
  CalcRotMatrix();
  Changed();
}

void TRot3D::CalcRotMatrix() {
  if (FRotMat3D)
    CalcRotMatrix_3Ax();
  else
    CalcRotMatrix_2Ax();
}

void TRot3D::CalcRotMatrix_2Ax() {
  const double k = M_PI / 180.0;
  const double sa = std::sin(k * FViewAngle[0]), ca = std::cos(k * FViewAngle[0]);
  const double sc = std::sin(k * FViewAngle[2]), cc = std::cos(k * FViewAngle[2]);
  const int p = FAxDir == adLeftHanded ? 0 : 1, q = 1 - p;
  const double m[3][2] = {{cc, -sc}, {ca * sc, cc * ca}, {sa * sc, sa * cc}};
  const double c3[3] = {0.0, -sa, ca};
  for (int r = 0; r < 3; ++r) {
    FRotMat[r][p] = RoundElement(m[r][0]);
    FRotMat[r][q] = RoundElement(m[r][1]);
    FRotMat[r][2] = RoundElement(c3[r]);
  }
}

void TRot3D::CalcRotMatrix_3Ax() {
  const double k = M_PI / 180.0;
  const double sa = std::sin(k * FViewAngle[0]), ca = std::cos(k * FViewAngle[0]);
  const double sb = std::sin(k * FViewAngle[1]), cb = std::cos(k * FViewAngle[1]);
  const double sc = std::sin(k * FViewAngle[2]), cc = std::cos(k * FViewAngle[2]);
  const int p = FAxDir == adLeftHanded ? 0 : 1, q = 1 - p;
  // Rz(c) Ry(b) Rx(a). Elements (1, 2) and (2, 3) carry the signs that keep the rows
  // orthogonal; with the opposite signs the cube would be sheared, not turned.
  const double m[3][3] = {{cb * cc, sa * sb * cc - ca * sc, ca * sb * cc + sa * sc},
                          {cb * sc, sa * sb * sc + ca * cc, ca * sb * sc - sa * cc},
                          {-sb, sa * cb, ca * cb}};
  for (int r = 0; r < 3; ++r) {
    FRotMat[r][p] = RoundElement(m[r][0]);
    FRotMat[r][q] = RoundElement(m[r][1]);
    FRotMat[r][2] = RoundElement(m[r][2]);
  }
}

Integer TRot3D::GetRotMat(Integer i, Integer j) const {
  if (i < 1 || i > 3 || j < 1 || j > 3) return 0;
  return FRotMat[i - 1][j - 1];
}

TPoint TRot3D::Project(Integer X, Integer Y, Integer Z) const {
  // 64 bits: model coordinates up to kModelLimit times elements up to 1000 fit.
  const int64_t x = int64_t(X), y = int64_t(Y), z = int64_t(Z);
  const int64_t sx = (x * FRotMat[0][0] + y * FRotMat[0][1] + z * FRotMat[0][2]) / FMagnify + FCentX;
  const int64_t sy = (x * FRotMat[1][0] + y * FRotMat[1][1] + z * FRotMat[1][2]) / FMagnify + FCentY;
  return TPoint{static_cast<Integer>(std::clamp<int64_t>(sx, -30000, 30000)),
                static_cast<Integer>(std::clamp<int64_t>(sy, -30000, 30000))};
}

void TRot3D::SetMRot3Axes(bool v) {
  FRotMat3D = v;
  CalcRotMatrix();
  Changed();
}

void TRot3D::SetAxDir(TAxDir v) {
  FAxDir = v;
  CalcRotMatrix();
  Changed();
}

void TRot3D::SetMagnify(double m) {
  if (std::isnan(m)) return;
  m = std::clamp(m, 0.1, 5.0);
  FMagnify = static_cast<Integer>(Round(4000.0 / m));
  Changed();
}

void TRot3D::SetCentX(Integer v) {
  if (StoreIfChanged(FCentX, std::clamp<Integer>(v, 0, std::max<Integer>(Width(), 0)))) Changed();
}

void TRot3D::SetCentY(Integer v) {
  if (StoreIfChanged(FCentY, std::clamp<Integer>(v, 0, std::max<Integer>(Height(), 0)))) Changed();
}

void TRot3D::CalcCubeCorners() {
  for (int n = 0; n < 8; ++n)
    CubeCorners[n] = {n & 4 ? FBBSize : -FBBSize, n & 2 ? FBBSize : -FBBSize, n & 1 ? FBBSize : -FBBSize};
}

void TRot3D::SetBoundBoxSize(Integer v) {
  if (v == 2 * FBBSize) return;
  FBBSize = std::clamp<Integer>(v, 0, 4000) / 2;
  CalcCubeCorners();
  Changed();
}

void TRot3D::SetAxSize(Integer v) {
  FAxSize = std::clamp<Integer>(v, 0, 4000);
  Changed();
}

void TRot3D::SetOrigins(double x, double y, double z) {
  if (store_finite_triple(FOrigin, x, y, z)) Changed();
}

void TRot3D::SetScaleFactors(double x, double y, double z) {
  if (store_finite_triple(FScaleFact, x, y, z)) Changed();
}

void TRot3D::SetIsoMetric(bool v) {
  if (StoreIfChanged(FIsoMetric, v)) MakeVisible();
}

void TRot3D::SetAutoOrigin(bool v) {
  if (StoreIfChanged(FAutoOrigin, v)) MakeVisible();
}

void TRot3D::SetAutoScale(bool v) {
  if (StoreIfChanged(FAutoScale, v)) MakeVisible();
}

// ---- plain setters ----

#define KVR_R3_SETTER(Name, Type, Field)     \
  void TRot3D::Name(Type v) {                \
    if (StoreIfChanged(Field, v)) Changed(); \
  }

KVR_R3_SETTER(SetBoundBoxStyle, TBoundingBox, FBoundBox)
KVR_R3_SETTER(SetShowAxes, bool, FShowAxes)
KVR_R3_SETTER(SetAxNameX, const std::string&, FAxName[0])
KVR_R3_SETTER(SetAxNameY, const std::string&, FAxName[1])
KVR_R3_SETTER(SetAxNameZ, const std::string&, FAxName[2])
KVR_R3_SETTER(SetColozUvado, TColor, FChartCol)
KVR_R3_SETTER(SetColorFrame, TColor, FFrameCol)
KVR_R3_SETTER(SetColorCubeFrame, TColor, FColorCubeFrame)
KVR_R3_SETTER(SetColorCubeHidLin, TColor, FColorCubeHidLin)
KVR_R3_SETTER(SetColorCubeFaceHigh, TColor, FColorCubeFaceHi)
KVR_R3_SETTER(SetColorCubeFaceLow, TColor, FColorCubeFaceLo)
KVR_R3_SETTER(SetColorScheme, TColorScheme, FColorScheme)
KVR_R3_SETTER(SetFrameStyle, TFrameStyle, FFrameStyle)
KVR_R3_SETTER(SetTextMarkSize, Integer, FTextMarkSize)

#undef KVR_R3_SETTER

void TRot3D::SetTextFontStyle(TFontStyles v) {
  FTextFontStyle = v;
  Changed();
}

namespace Kvr_rot3d {
void Register() {
  RegisterComponents("KVR", {{"TRot3D", [](TComponent* o) -> TComponent* { return new TRot3D(o); }}});
}
}  // namespace Kvr_rot3d

}  // namespace kvr
