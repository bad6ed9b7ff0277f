// TPlot3D: a matrix of z values (GridMat) shown as a rotatable surface inside a cube.
//
// Model space is a cube of side 300 centred on the origin. GridMat[i, j] (i = 1..NX,
// j = 1..NY) is the node at model x = -150 + (i - 1) * 300 / (NX - 1), likewise y from
// j; z is calibrated from RangeZLow..RangeZHigh to -150..150. The view is a parallel
// projection through the rotation Rx(ViewAngleX) * Rz(ViewAngleZ); row 3 of the matrix
// is the depth towards the viewer, which orders the cells far to near.
//
//   kvr::TPlot3D p(nullptr);
//   p.SetBounds(0, 0, 400, 300);
//   p.CreateWnd();
//   p.SetSuppressPaint(true);          // one scan of the grid instead of one per cell
//   p.GridMat.Resize(30, 30);
//   ... p.GridMat.SetVal(i, j, z) ...
//   p.SetSuppressPaint(false);
//   p.Update();                        // picture in p.Surface()
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/control.h"
#include "platform/kvrbase.h"
#include "platform/kvrcolors.h"
#include "platform/matrix.h"

namespace kvr {

enum TColorCodingMode : Byte { ccmTwoColors, ccmThreeColors, ccmColorArray };
enum TMeshKind : Byte { mkMesh, mkWaterfallHorz, mkWaterfallVert, mkWaterfallDiag, mkGrid };
enum TP3ScaleKind : Byte { p3skX, p3skY, p3skZ };

struct TPoint3D {
  double X = 0;
  double Y = 0;
  double Z = 0;
};

using TBeforeRenderPolygonEvent =
    std::function<void(TObject* Sender, TCanvas* Canvas, bool& Handled, Integer CellX, Integer CellY,
                       TQuad quad, TColor& color)>;
using Tp3BeforeDrawScaleLabelEvent =
    std::function<void(TObject* Sender, TCanvas* Canvas, TP3ScaleKind ScaleType,
                       std::string& CurrentTickLabel, Integer ChartX, Integer ChartY)>;
using TRenderEvent = std::function<void(TObject* Sender, TCanvas* Canvas)>;
// The live values of a mouse drag; the handler may change them.
using TMouseActionEvent =
    std::function<void(TObject* Sender, Integer& CenterX, Integer& CenterY, double& RotXAngle, double& RotZAngle,
                       double& Magnification, TShiftState Shift)>;
// OverPlot false and cell (0, 0) when no cell lies under the pointer.
using TMouseMoveOverPlotEvent = std::function<void(TObject* Sender, bool OverPlot, TShiftState Shift,
                                                   Integer MouseCellX, Integer MouseCellY)>;

class TPlot3D : public TCustomControl {
 public:
  explicit TPlot3D(TComponent* AOwner);
  ~TPlot3D() override;

  // Public data
  TMatrix GridMat;
  // Projected pixel x, y and rounded calibrated z of every node, filled while rendering.
  TIntMatrix ProjMapX;
  TIntMatrix ProjMapY;
  TIntMatrix ProjMapZ;
  TColorArray IsoColors;
  std::array<TPoint3D, 8> CubeCorners{};
  TBitmap GrafBmp;

  // View. Angles are kept within 0..360 (360 itself stays).
  double ViewAngleX() const { return FViewAngle[0]; }
  void SetViewAngleX(double v) { SetViewAngles(v, FViewAngle[2]); }
  double ViewAngleZ() const { return FViewAngle[2]; }
  void SetViewAngleZ(double v) { SetViewAngles(FViewAngle[0], v); }
  void SetViewAngles(double AngleX, double AngleZ);
  // Element (i, j) of the rotation matrix, 1 <= i, j <= 3; 0 outside.
  double GetRotMat(Integer i, Integer j) const;
  void CalcRotMatrix();
  // 0.1..5.0.
  double Magnification() const { return FMagnify; }
  void SetMagnify(double v);
  double ScaleFactX() const { return FSclXIntern; }
  void SetSclX(double v);
  double ScaleFactY() const { return FSclYIntern; }
  void SetSclY(double v);
  double ScaleFactZ() const { return FSclZIntern; }
  void SetSclZ(double v);
  // Ignored while AutoCenter is set (which re-centres instead); else limited to
  // -Width..2*Width (-Height..2*Height).
  Integer CentX() const { return FCentX; }
  void SetCentX(Integer v);
  Integer CentY() const { return FCentY; }
  void SetCentY(Integer v);
  bool AutoCenter() const { return FAutoCenter; }
  void SetAutoCenter(bool v);

  // Ranges: an empty range is widened.
  double RangeXLow() const { return FRangeLow[0]; }
  double RangeXHigh() const { return FRangeHigh[0]; }
  double RangeYLow() const { return FRangeLow[1]; }
  double RangeYHigh() const { return FRangeHigh[1]; }
  double RangeZLow() const { return FRangeLow[2]; }
  double RangeZHigh() const { return FRangeHigh[2]; }
  void SetRangeLowX(double v) { SetRangeLow(0, v); }
  void SetRangeHighX(double v) { SetRangeHigh(0, v); }
  void SetRangeLowY(double v) { SetRangeLow(1, v); }
  void SetRangeHighY(double v) { SetRangeHigh(1, v); }
  void SetRangeLowZ(double v) { SetRangeLow(2, v); }
  void SetRangeHighZ(double v) { SetRangeHigh(2, v); }
  void SetRange(double XLow, double XHigh, double YLow, double YHigh, double ZLow, double ZHigh);
  void AdjustScaling();
  // A z value on the model z axis (RangeZLow -> -150, RangeZHigh -> +150).
  double CalcIntZ(double z) const { return FCalibZk * z + FCalibZd; }
  double MinZ() const { return FMinZ; }
  double MaxZ() const { return FMaxZ; }

  // Colour coding of the cells.
  TColorCodingMode ColorCodingMode() const { return FColorCodingMode; }
  void SetColorCodingMode(TColorCodingMode v);
  TColor ColorLow() const { return FColorFillLow; }
  void SetColorLow(TColor v);
  TColor ColorMid() const { return FColorFillMid; }
  void SetColorMid(TColor v);
  TColor ColorHigh() const { return FColorFillHigh; }
  void SetColorHigh(TColor v);
  // Each limit is accepted only while it stays on its side of the other.
  double ColorScaleLow() const { return FColorScaleLow; }
  void SetColorScaleLow(double v);
  double ColorScaleHigh() const { return FColorScaleHigh; }
  void SetColorScaleHigh(double v);
  bool ColorCodeAvg() const { return FColorCodeAvg; }
  void SetColorCodeAvg(bool v);
  TColorScheme ColorScheme() const { return FColorScheme; }
  void SetColorScheme(TColorScheme v);
  TColor CalcColorCoding(double z) const;

  // Looks.
  const std::string& CaptionX() const { return FCaption[0]; }
  void SetCaptionX(const std::string& v);
  const std::string& CaptionY() const { return FCaption[1]; }
  void SetCaptionY(const std::string& v);
  const std::string& CaptionZ() const { return FCaption[2]; }
  void SetCaptionZ(const std::string& v);
  Integer LabDistX() const { return FLabDist[0]; }
  void SetLabDistX(Integer v);
  Integer LabDistY() const { return FLabDist[1]; }
  void SetLabDistY(Integer v);
  Integer LabDistZ() const { return FLabDist[2]; }
  void SetLabDistZ(Integer v);
  // -2: chosen from the range.
  Integer DecPlaceX() const { return FDecPlace[0]; }
  void SetDecPlaceX(Integer v);
  Integer DecPlaceY() const { return FDecPlace[1]; }
  void SetDecPlaceY(Integer v);
  Integer DecPlaceZ() const { return FDecPlace[2]; }
  void SetDecPlaceZ(Integer v);
  Integer MinTickX() const { return FMinTick[0]; }
  void SetMinTickX(Integer v);
  Integer MinTickY() const { return FMinTick[1]; }
  void SetMinTickY(Integer v);
  Integer MinTickZ() const { return FMinTick[2]; }
  void SetMinTickZ(Integer v);
  bool VisibleXCoords() const { return FVisibleCoords[0]; }
  void SetVisibleXCoords(bool v);
  bool VisibleYCoords() const { return FVisibleCoords[1]; }
  void SetVisibleYCoords(bool v);
  bool VisibleZCoords() const { return FVisibleCoords[2]; }
  void SetVisibleZCoords(bool v);
  TColor ColorXCoords() const { return FColorCoords[0]; }
  void SetColorXCoords(TColor v);
  TColor ColorYCoords() const { return FColorCoords[1]; }
  void SetColorYCoords(TColor v);
  TColor ColorZCoords() const { return FColorCoords[2]; }
  void SetColorZCoords(TColor v);
  TColor ColorBakGnd() const { return FColorBakGnd; }
  void SetColorBakGnd(TColor v);
  TColor ColorFrame() const { return FColorFrame; }
  void SetColorFrame(TColor v);
  TColor ColorMesh() const { return FColorMesh; }
  void SetColorMesh(TColor v);
  TMeshKind MeshKind() const { return FMeshKind; }
  void SetMeshKind(TMeshKind v);
  bool MeshVisible() const { return FMeshVisible; }
  void SetMeshVisible(bool v);
  TColor ColorCubeFrame() const { return FColorCubeFrame; }
  void SetColorCubeFrame(TColor v);
  TColor ColorCubeHidLin() const { return FColorCubeHidLin; }
  void SetColorCubeHidLin(TColor v);
  TColor ColorCubeFaceHigh() const { return FColorCubeFaceHigh; }
  void SetColorCubeFaceHigh(TColor v);
  TColor ColorCubeFaceLow() const { return FColorCubeFaceLow; }
  void SetColorCubeFaceLow(TColor v);
  TBoundingBox BoundBoxStyle() const { return FBoundBoxStyle; }
  void SetBoundBoxStyle(TBoundingBox v);
  TFrameStyle FrameStyle() const { return FFrameStyle; }
  void SetFrameStyle(TFrameStyle v);
  TMouseActMode MouseAction() const { return FMouseAction; }
  void SetMouseAction(TMouseActMode v) { FMouseAction = v; }
  // Limits of the x (Axis 1) and z (Axis 3) angle for dragging with maRotate; 0..360
  // at first. Refused unless 0 <= Low <= High <= 360.
  void SetViewAngLimits(Integer Axis, double Low, double High);

  // Events
  TBeforeRenderPolygonEvent OnBeforeRenderPolygon;
  Tp3BeforeDrawScaleLabelEvent OnBeforeDrawScaleLabel;
  TRenderEvent OnDataRendered;
  TMouseActionEvent OnMouseAction;
  TMouseMoveOverPlotEvent OnMouseMoveOverPlot;
  TZoomPanEvent OnZoomPan;

  // Public methods
  // Centres, scale factors 1, angles 66 / 135, magnification 1.
  void Reset();
  // Fills GridMat with 0.
  void Clear();
  // ScaleFactX/Y from the grid's aspect, ScaleFactZ from its z extremes.
  void AutoScale();
  // The grid's change event: cube corners, z extremes, projection matrix sizes.
  void GridMatChanged();
  bool SuppressPaint() const { return FSuppressPaint; }
  void SetSuppressPaint(bool v);
  // Pixel position of a model point under the current view (limited to +-2^28).
  TPoint Project(double x, double y, double z) const;
  // Depth towards the viewer of a model direction (row 3 of the matrix).
  double Depth(double x, double y, double z) const {
    return FRotMat[2][0] * x + FRotMat[2][1] * y + FRotMat[2][2] * z;
  }

  void InitGraf(TCanvas* Canvas);
  // Cube, surface and axes on Canvas (no background, no frame).
  void ConstructDataBmp(TCanvas* Canvas);
  void DrawAxis(TCanvas* Canvas, TP3ScaleKind Kind, Integer X1, Integer Y1, Integer X2, Integer Y2,
                double Low, double High, Integer Corner);
  void DrawCenteredText(TCanvas* Canvas, const std::string& Text, Integer X, Integer Y);
  void DrawOnForeignCanvas(TCanvas* Canvas);

  // Output. Every form renders the picture afresh: background, cube, surface, axes and,
  // when asked, the control's frame. BlkWhite (printing) turns background, frame, cube
  // and axes black on white; the cells keep their colour coding.
  // The whole picture onto any canvas of the control's size (raster or vector).
  void RenderOnCanvas(TCanvas* Canvas, bool IncludeFrame, bool BlkWhite = false);
  // PNG or BMP by the file name's extension.
  void CopyToBMP(const std::string& FName, bool IncludeFrame);
  // SVG.
  void CopyToWMF(const std::string& FName, bool IncludeFrame);
  // A one-page vector PDF of the control's size (96 pixels per inch), fonts embedded.
  void CopyToPDF(const std::string& FName, bool IncludeFrame = true);
  void CopyToClipboard(bool IncludeFrame);
  void CopyToClipboardWMF(bool IncludeFrame);
  // A page of its own with the picture centred, ScaleF times its screen size (reduced to
  // fit the page). Raises EPrinter for a ScaleF that is not finite and positive.
  void PrintIt(double ScaleF, bool BlkWhite, bool IncludeFrame);
  // Onto the current page of the caller's document at printer pixel (X, Y); X and Y move
  // on to where the next picture goes (right, or down to a new line when it would not
  // fit). Raises EPrinter when no document is open.
  void CopyToOpenPrinter(Integer& X, Integer& Y, double ScaleF, bool BlkWhite, bool IncludeFrame);

  // The cell (first node's indices) whose projected quad holds the pixel (X, Y) as last
  // rendered; among several the one whose first node lies highest. False when none.
  bool CellAt(Integer X, Integer Y, Integer& CellX, Integer& CellY) const;

  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;

 protected:
  void Paint() override;
  bool PaintOn(TCanvas& Target) override {
    if (FSuppressPaint || !Visible()) return false;
    RenderOnCanvas(&Target, true);
    return true;
  }
  void Resize() override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void WMMouseMove(TWMMouse& Message) override;
  virtual void MouseMoveOverPlot(bool OverPlot, TShiftState Shift, Integer CellX, Integer CellY);

 private:
  void Changed() { Invalidate(); }
  void CenterToControl();
  void SetRangeLow(int Axis, double v);
  void SetRangeHigh(int Axis, double v);
  void CalcCubeCorners();
  // Renders the whole picture into GrafBmp, frame included when asked.
  void RenderImage(bool IncludeFrame);
  void FillBackground(TCanvas* Canvas);
  void DrawCube(TCanvas* Cv, Integer Near, Integer Far);
  void DrawSurface(TCanvas* Cv);
  void DrawAxes(TCanvas* Cv, Integer Near);

  double FViewAngle[3] = {60.0, 0.0, 15.0};
  double FViewAngLimLow[3] = {0.0, 0.0, 0.0};
  double FViewAngLimHigh[3] = {360.0, 360.0, 360.0};
  double FRotMat[3][3] = {};
  double FMagnify = 1.0;
  double FSclXIntern = 1.0;
  double FSclYIntern = 1.0;
  double FSclZIntern = 1.0;
  Integer FCentX = 0;
  Integer FCentY = 0;
  bool FAutoCenter = true;
  double FRangeLow[3] = {-1.0, -1.0, -1.0};
  double FRangeHigh[3] = {1.0, 1.0, 1.0};
  double FCalibZk = 150.0;
  double FCalibZd = 0.0;
  double FMinZ = 0.0;
  double FMaxZ = 0.0;
  TColorCodingMode FColorCodingMode = ccmTwoColors;
  TColor FColorFillLow = 0x000000;
  TColor FColorFillMid = 0xFF0000;
  TColor FColorFillHigh = 0x00FFFF;
  double FColorScaleLow = 0.0;
  double FColorScaleHigh = 100.0;
  bool FColorCodeAvg = false;
  TColorScheme FColorScheme = csSystem;
  TColor FColBlackLine = 0x000000;
  TColor FColGrayLine = 0x808080;
  TColor FColWhiteLine = 0xFFFFFF;
  TMouseActMode FMouseAction = maRotate;
  std::string FCaption[3] = {"X", "Y", "Z"};
  Integer FLabDist[3] = {40, 40, 20};
  Integer FDecPlace[3] = {1, 1, -2};
  Integer FMinTick[3] = {3, 3, 3};
  bool FVisibleCoords[3] = {true, true, true};
  TColor FColorCoords[3] = {0x0000FF, 0xFF0000, 0x000000};
  TColor FColorBakGnd = 0xFFFFFF;
  TColor FColorFrame = 0x000000;
  TColor FColorMesh = 0x000000;
  TMeshKind FMeshKind = mkMesh;
  bool FMeshVisible = true;
  TColor FColorCubeFrame = 0x404040;
  TColor FColorCubeHidLin = 0xB0B0B0;
  TColor FColorCubeFaceHigh = 0xFEEEEE;
  TColor FColorCubeFaceLow = 0xC0C0C0;
  TBoundingBox FBoundBoxStyle = bbFaces;
  TFrameStyle FFrameStyle = rbLowered;
  bool FSuppressPaint = true;
  // Values at the start of a drag.
  double FMagAnchor = 1.0;
  Integer FCentXAnchor = 0;
  Integer FCentYAnchor = 0;
  double FAngleAnchor[3] = {};
  Integer MouseAnchorX = 0;
  Integer MouseAnchorY = 0;
  // The projected nodes while the surface is drawn, kept between paints.
  std::vector<TPoint> FNodePts;
};

// Records TPlot3D on the palette page "KVR".
namespace Kvr_plot3d {
void Register();
}

}  // namespace kvr
