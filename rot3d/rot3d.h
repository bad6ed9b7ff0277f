// TRot3D: a list of 3-D items (marks, line segments, polylines) inside an optional cube
// with axes, rotated and zoomed with the mouse.
//
// Items are entered in world coordinates and stay there; MakeVisible turns them into an
// integer point list, centred on the data (or the stored origin) and scaled so that the
// data spans about 1000 model units per axis. The picture rotates that list with an
// integer matrix (elements scaled by 1000) and divides by Magnification's inverse
// (4000 / m), so nothing entered after the last MakeVisible shows:
//
//   kvr::TRot3D r(nullptr);
//   r.SetBounds(0, 0, 600, 400);
//   r.CreateWnd();
//   r.SetColorData(kvr::clRed);
//   r.MarkAt(1.0, 2.0, 3.0, 12);
//   r.Moveto(0, 0, 0);
//   r.Drawto(1, 1, 1);
//   r.MakeVisible();                   // point list, then a repaint
//   r.Update();                        // picture in r.Surface()
//
// Points with a coordinate that is not finite are kept in the list (the item links
// stay) but never drawn or found; a polyline continues after such a point with a move.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/control.h"
#include "platform/kvrbase.h"
#include "platform/kvrcolors.h"
#include "plot3d/plot3d.h"

namespace kvr {

// Item kinds. Scoped, because the 2-D chart's item kinds share several names;
// tkEverything only filters searches.
enum class Tr3Item : Byte { tkNone, tkMarkAt, tkLineto, tkLine, tkMoveto, tkEverything };

enum TAxDir : Byte { adLeftHanded, adRightHanded };

struct Tr3ChartItem {
  double x = 0;  // start point for a line
  double y = 0;
  double z = 0;
  TColor color = 0;
  Integer tag = 0;
  Tr3Item ItemKind = Tr3Item::tkNone;
  double x2 = 0;  // end point of a tkLine
  double y2 = 0;
  double z2 = 0;
  Byte marklw = 0;  // mark type of tkMarkAt, line width of tkLineto and tkLine
};

// The label text of mark obj, placed (dx, dy) pixels from it; empty: no label.
using TLblRequestEvent =
    std::function<void(TObject* Sender, Integer obj, std::string& LblText, Integer& dx, Integer& dy,
                       TAlignment& HAlign, TVerticalAlignment& VAlign)>;

class TRot3D : public TCustomControl {
 public:
  // FRotProp: colour index in bits 0..4, kind in bits 5..6, bit 7 for a point that is
  // not drawn (a coordinate was not finite).
  static constexpr Byte kPropColorMask = 0x1F;
  static constexpr Byte kPropMoveTo = 0x20;
  static constexpr Byte kPropLineTo = 0x40;
  static constexpr Byte kPropMark = 0x60;
  static constexpr Byte kPropKindMask = 0x60;
  static constexpr Byte kPropHidden = 0x80;
  static constexpr int kNumItemColors = 32;
  static constexpr int kNumFixedColors = 16;
  // Model coordinates are limited to this, so that projections stay exact in 64 bits.
  static constexpr Integer kModelLimit = 1000000000;

  explicit TRot3D(TComponent* AOwner);
  ~TRot3D() override;

  // Public data
  std::array<std::array<Integer, 3>, 8> CubeCorners{};
  TBitmap GrafBmp;

  // Item store
  Integer NumItems() const { return FNumChartItems; }
  // Capacity: grows by AllocSize when full, 0 after the store is emptied.
  Integer NumAllocated() const { return FNumAllocated; }
  Integer AllocSize() const { return FAllocSize; }
  // 1..1000000; other values are ignored.
  void SetAllocSize(Integer v);
  // Entering items stores ColorData and DataTag and does not repaint.
  void MarkAt(double x, double y, double z, Byte Mark);
  void Moveto(double x, double y, double z);
  void Drawto(double x, double y, double z);
  void Line(double x1, double y1, double z1, double x2, double y2, double z2);
  // A tkNone record outside 0..NumItems - 1.
  Tr3ChartItem GetChartItem(Integer i) const;
  // Ignored outside the range.
  void SetChartitem(Integer i, const Tr3ChartItem& Item);
  Tr3ChartItem DataContainer(Integer i) const { return GetChartItem(i); }
  Tr3ChartItem GetItemParams(Integer i) const { return GetChartItem(i); }
  void SetItemParams(Integer i, const Tr3ChartItem& Item) { SetChartitem(i, Item); }
  Tr3Item TypeOfFirstItem() const;
  Tr3Item TypeOfLastItem() const;
  // On an empty store these do nothing.
  void RemoveLastItem();
  void RemoveFirstItem() { RemoveItem(0); }
  void RemoveItem(Integer i);
  // Empties the store and the point list and clears the picture.
  void Clear();

  TColor ColorData() const { return FDataCol; }
  void SetColorData(TColor v) { FDataCol = v; }
  Integer DataTag() const { return FDataTag; }
  void SetDataTag(Integer v) { FDataTag = v; }
  Byte LineWidth() const { return FLineWidth; }
  void SetLineWidth(Byte v) { FLineWidth = v; }

  // Point list (from MakeVisible)
  Integer NRotObj() const { return static_cast<Integer>(FRotDataX.size()); }
  Integer RotDataX(Integer i) const { return FRotDataX.at(i); }
  Integer RotDataY(Integer i) const { return FRotDataY.at(i); }
  Integer RotDataZ(Integer i) const { return FRotDataZ.at(i); }
  Integer BackLink(Integer i) const { return FBackLink.at(i); }
  Byte RotProp(Integer i) const { return FRotProp.at(i); }
  Byte RotMark(Integer i) const { return FRotMark.at(i); }
  Byte LineWid(Integer i) const { return FLineWid.at(i); }
  // Colour table entry i (0..31), the number of entries in use.
  TColor ItemColor(Integer i) const { return i >= 0 && i < kNumItemColors ? FItemColors[i] : 0; }
  Integer NumItemColors() const { return FNumItemColors; }
  Integer MinCoord(Integer axis) const { return axis >= 0 && axis < 3 ? FMinCoord[axis] : 0; }
  Integer MaxCoord(Integer axis) const { return axis >= 0 && axis < 3 ? FMaxCoord[axis] : 0; }

  // View. Angles in degrees, not wrapped.
  double ViewAngleX() const { return FViewAngle[0]; }
  void SetViewAngleX(double v) { SetViewAngles(v, FViewAngle[1], FViewAngle[2]); }
  double ViewAngleY() const { return FViewAngle[1]; }
  void SetViewAngleY(double v) { SetViewAngles(FViewAngle[0], v, FViewAngle[2]); }
  double ViewAngleZ() const { return FViewAngle[2]; }
  void SetViewAngleZ(double v) { SetViewAngles(FViewAngle[0], FViewAngle[1], v); }
  // Non-finite angles are ignored.
  void SetViewAngles(double ax, double ay, double az);
  // Element (i, j), 1 <= i, j <= 3, scaled by 1000; 0 outside.
  Integer GetRotMat(Integer i, Integer j) const;
  Integer RotMat(Integer i, Integer j) const { return GetRotMat(i, j); }
  void CalcRotMatrix();
  void CalcRotMatrix_2Ax();
  void CalcRotMatrix_3Ax();
  bool MouseRot3Axes() const { return FRotMat3D; }
  void SetMRot3Axes(bool v);
  TAxDir AxDir() const { return FAxDir; }
  void SetAxDir(TAxDir v);
  // 0.1..5.0, kept as the integer divisor 4000 / m.
  double Magnification() const { return 4000.0 / FMagnify; }
  double GetMagnify() const { return Magnification(); }
  void SetMagnify(double m);
  Integer MagnifyDivisor() const { return FMagnify; }
  // Pixel position of the model origin: 0..Width (0..Height). Set to the middle of the
  // control whenever its size changes.
  Integer CentX() const { return FCentX; }
  void SetCentX(Integer v);
  Integer CentY() const { return FCentY; }
  void SetCentY(Integer v);
  // Side of the cube in model units, 0..4000 (stored halved).
  Integer BoundBoxSize() const { return 2 * FBBSize; }
  void SetBoundBoxSize(Integer v);
  // Length of the axes in model units, 0..4000.
  Integer AxSize() const { return FAxSize; }
  void SetAxSize(Integer v);

  // World origin and scale factors; MakeVisible takes them from the data while
  // AutoOrigin / AutoScale are set, and uses the stored ones otherwise.
  double OriginX() const { return FOrigin[0]; }
  double OriginY() const { return FOrigin[1]; }
  double OriginZ() const { return FOrigin[2]; }
  void SetOriginX(double v) { SetOrigins(v, FOrigin[1], FOrigin[2]); }
  void SetOriginY(double v) { SetOrigins(FOrigin[0], v, FOrigin[2]); }
  void SetOriginZ(double v) { SetOrigins(FOrigin[0], FOrigin[1], v); }
  // Non-finite values are ignored.
  void SetOrigins(double x, double y, double z);
  double ScaleFactX() const { return FScaleFact[0]; }
  double ScaleFactY() const { return FScaleFact[1]; }
  double ScaleFactZ() const { return FScaleFact[2]; }
  void SetScaleFactX(double v) { SetScaleFactors(v, FScaleFact[1], FScaleFact[2]); }
  void SetScaleFactY(double v) { SetScaleFactors(FScaleFact[0], v, FScaleFact[2]); }
  void SetScaleFactZ(double v) { SetScaleFactors(FScaleFact[0], FScaleFact[1], v); }
  // Non-finite values are ignored.
  void SetScaleFactors(double x, double y, double z);
  bool IsoMetric() const { return FIsoMetric; }
  void SetIsoMetric(bool v);
  bool AutoOrigin() const { return FAutoOrigin; }
  void SetAutoOrigin(bool v);
  bool AutoScale() const { return FAutoScale; }
  void SetAutoScale(bool v);

  // Looks
  TBoundingBox BoundBoxStyle() const { return FBoundBox; }
  void SetBoundBoxStyle(TBoundingBox v);
  bool ShowAxes() const { return FShowAxes; }
  void SetShowAxes(bool v);
  const std::string& AxNameX() const { return FAxName[0]; }
  void SetAxNameX(const std::string& v);
  const std::string& AxNameY() const { return FAxName[1]; }
  void SetAxNameY(const std::string& v);
  const std::string& AxNameZ() const { return FAxName[2]; }
  void SetAxNameZ(const std::string& v);
  // Background.
  TColor ColozUvado() const { return FChartCol; }
  void SetColozUvado(TColor v);
  TColor ColorFrame() const { return FFrameCol; }
  void SetColorFrame(TColor v);
  TColor ColorCubeFrame() const { return FColorCubeFrame; }
  void SetColorCubeFrame(TColor v);
  TColor ColorCubeHidLin() const { return FColorCubeHidLin; }
  void SetColorCubeHidLin(TColor v);
  TColor ColorCubeFaceHigh() const { return FColorCubeFaceHi; }
  void SetColorCubeFaceHigh(TColor v);
  TColor ColorCubeFaceLow() const { return FColorCubeFaceLo; }
  void SetColorCubeFaceLow(TColor v);
  TColorScheme ColorScheme() const { return FColorScheme; }
  void SetColorScheme(TColorScheme v);
  TFrameStyle FrameStyle() const { return FFrameStyle; }
  void SetFrameStyle(TFrameStyle v);
  // Font of the character marks (52 and above).
  TFontStyles TextFontStyle() const { return FTextFontStyle; }
  void SetTextFontStyle(TFontStyles v);
  Integer TextMarkSize() const { return FTextMarkSize; }
  void SetTextMarkSize(Integer v);
  // maRotate and maRotAndZoom rotate (the latter zooms with the right button), maZoom
  // zooms, maPan pans; other modes do nothing.
  TMouseActMode MouseAction() const { return FMouseAction; }
  void SetMouseAction(TMouseActMode v) { FMouseAction = v; }

  // Events
  TLblRequestEvent OnLblRequest;
  TRenderEvent OnBeforeRenderData;
  TRenderEvent OnDataRendered;

  // Public methods
  // Rebuilds the point list from the items and repaints. Raises EKvrRot3DError when the
  // list cannot be allocated; items, point list and view are then as before.
  void MakeVisible();
  // Index of the item of Kind (any for tkEverything) whose first point is nearest to
  // (x, y, z) in world space; -1 (Dist = sqrt(MaxDouble)) when none or Kind is tkNone.
  Integer FindNearestItemReal(double x, double y, double z, Tr3Item Kind, double& Dist) const;
  // Item of the projected point nearest to pixel (X, Y), line end points included, as
  // of the last MakeVisible and the current view; Dist in pixels.
  Integer FindNearestItemScreen(Integer X, Integer Y, Tr3Item Kind, double& Dist) const;
  // Pixel position of a model point: integer division by the divisor, then limited to
  // -30000..30000.
  TPoint Project(Integer X, Integer Y, Integer Z) const;

  void InitGraf(TCanvas* Canvas);
  // Cube, axes, items and axis names on Canvas (no background, no frame).
  void ConstructDataBmp(TCanvas* Canvas, bool BlackWhite = false);

  // Output: the same arguments and rules as TPlot3D's.
  void RenderOnCanvas(TCanvas* Canvas, bool IncludeFrame, bool BlkWhite = false);
  void CopyToBMP(const std::string& FName, bool IncludeFrame);
  void CopyToWMF(const std::string& FName, bool IncludeFrame);
  void CopyToClipboard(bool IncludeFrame);
  void CopyToClipboardWMF(bool IncludeFrame);
  void PrintIt(double ScaleF, bool BlkWhite, bool IncludeFrame);
  void CopyToOpenPrinter(Integer& X, Integer& Y, double ScaleF, bool BlkWhite, bool IncludeFrame);

  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;

 protected:
  void Paint() override;
  void Resize() override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  // Storage of the point list; a test may make it fail.
  virtual void AllocatePoints(size_t Count);

 private:
  void Changed() { Invalidate(); }
  void CenterToControl();
  void CalcCubeCorners();
  void AddItem(const Tr3ChartItem& Item);
  void ReleaseItems();
  void ClearPoints();
  Byte ColorIndex(TColor c);
  void PaintPicture(TCanvas* Cv, bool IncludeFrame, bool BlackWhite);
  void DrawCube(TCanvas* Cv, Integer m);
  void DrawEdges(TCanvas* Cv, Integer Corner, TColor Color);
  void DrawAxes(TCanvas* Cv);
  void DrawPoints(TCanvas* Cv, bool BlackWhite);
  void DrawCharMark(TCanvas* Cv, Integer Code, Integer X, Integer Y, TColor Color);
  void DrawLabel(TCanvas* Cv, Integer Item, Integer X, Integer Y);
  void DrawAxisNames(TCanvas* Cv, bool BlackWhite);

  std::vector<Tr3ChartItem> FItems;
  Integer FNumChartItems = 0;
  Integer FNumAllocated = 0;
  Integer FAllocSize = 1000;

  std::vector<Integer> FRotDataX;
  std::vector<Integer> FRotDataY;
  std::vector<Integer> FRotDataZ;
  std::vector<Integer> FBackLink;
  std::vector<Byte> FRotProp;
  std::vector<Byte> FRotMark;
  std::vector<Byte> FLineWid;
  std::array<TColor, kNumItemColors> FItemColors{};
  Integer FNumItemColors = kNumFixedColors;
  Integer FMinCoord[3] = {};
  Integer FMaxCoord[3] = {};
  // Projected points of the last picture; only grows.
  mutable std::vector<TPoint> FScreen;

  double FViewAngle[3] = {110.0, 150.0, 210.0};
  Integer FRotMat[3][3] = {};
  bool FRotMat3D = false;
  TAxDir FAxDir = adLeftHanded;
  Integer FMagnify = 5000;
  Integer FCentX = 0;
  Integer FCentY = 0;
  double FOrigin[3] = {0.0, 0.0, 0.0};
  double FScaleFact[3] = {1.0, 1.0, 1.0};
  bool FAutoOrigin = true;
  bool FAutoScale = true;
  bool FIsoMetric = false;
  Integer FBBSize = 400;
  Integer FAxSize = 700;
  TBoundingBox FBoundBox = bbFaces;
  bool FShowAxes = true;
  std::string FAxName[3] = {"X", "Y", "Z"};
  TColor FDataCol = 0;
  Integer FDataTag = 0;
  Byte FLineWidth = 1;
  TColor FChartCol = 0xFFFFFF;
  TColor FFrameCol = 0;
  TColor FColorCubeFrame = 0x404040;
  TColor FColorCubeHidLin = 0xB0B0B0;
  TColor FColorCubeFaceHi = 0xEEEEEE;
  TColor FColorCubeFaceLo = 0xC0C0C0;
  TColorScheme FColorScheme = csSystem;
  TFrameStyle FFrameStyle = rbLowered;
  TFontStyles FTextFontStyle{};
  Integer FTextMarkSize = 8;
  TMouseActMode FMouseAction = maRotate;

  // Values at the start of a drag.
  Integer MouseAnchorX = 0;
  Integer MouseAnchorY = 0;
  Integer FCentXAnchor = 0;
  Integer FCentYAnchor = 0;
  double FMagAnchor = 0.8;
  double FAngleAnchor[3] = {110.0, 150.0, 210.0};
};

// Records TRot3D on the palette page "KVR".
namespace Kvr_rot3d {
void Register();
}

}  // namespace kvr
