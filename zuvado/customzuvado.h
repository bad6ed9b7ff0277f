// TCustomZUvado: the 2-D chart control and the core of the special 2-D charts.
//
// A drawing call does not draw. Each primitive (MarkAt, Line, Text, ...) appends one
// TrcChartItem, with the current drawing attributes, to the data container, or to the
// annotation container while AnnoMode is on; the chart renders the whole list when it
// repaints. Typical use:
//   chart.SetDataColor(clRed);
//   chart.MoveTo(0.0, 0.0);
//   for (...) chart.DrawTo(x, y);   // world coordinates (double arguments)
//   chart.ShowGraf();
// Overloads taking int arguments give screen pixels; they matter only in the annotation
// container, because data items are always stored in world coordinates.
//
// Every operation that changes the data container ends in AdjustCanInfoOfSharedCharts,
// the one place where charts that share the data are brought up to date.
//
// Indexes are 0-based item positions. Out-of-range indexes never fail: reads return an
// empty record (ItemKind tkNone), an empty string or false, writes are ignored.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <istream>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/arith.h"
#include "platform/canvas.h"
#include "platform/control.h"
#include "platform/graphics.h"
#include "platform/kvrbase.h"
#include "scale/scale.h"
#include "zuvado/chartitem.h"
#include "zuvado/itemstore.h"
#include "zuvado/mapping.h"
#include "zuvado/scaleprops.h"
#include "zuvado/jointlayers.h"
#include "zuvado/bakgndimg.h"
#include "zuvado/overlays.h"

namespace kvr {

class TCustomZUvado : public TCustomControl {
 public:
  explicit TCustomZUvado(TComponent* AOwner);
  ~TCustomZUvado() override;

  // ---- Properties: content ----
  Integer NumItems() const { return FDataContainer->Count(); }
  Integer NumAnnos() const { return FAnnoContainer.Count(); }
  // Allocated slots of each container (grows by AllocSize steps).
  Integer NumAllocData() const { return FDataContainer->NumAlloc(); }
  Integer NumAllocAnno() const { return FAnnoContainer.NumAlloc(); }
  TrcItem TypeOfFirstItem() const;
  TrcItem TypeOfLastItem() const;
  // Data items per kind (annotations are not counted).
  Integer GetItemCount(TrcItem it) const;
  Integer ItemCount(TrcItem it) const { return GetItemCount(it); }

  TrcChartItem GetChartItem(Integer idx) const;
  // Overwrites the whole record; the kind counters follow a change of kind.
  void SetChartItem(Integer idx, const TrcChartItem& item);
  TrcChartItem DataContainer(Integer idx) const { return GetChartItem(idx); }
  void SetDataContainer(Integer idx, const TrcChartItem& item) { SetChartItem(idx, item); }
  TrcChartItem GetAnnoItem(Integer idx) const;
  void SetAnnoItem(Integer idx, const TrcChartItem& item);
  TrcChartItem AnnoContainer(Integer idx) const { return GetAnnoItem(idx); }
  void SetAnnoContainer(Integer idx, const TrcChartItem& item) { SetAnnoItem(idx, item); }

  // Text of a text item in UTF-8: the long text when the item holds a slot, else the
  // short text. Empty for other kinds, which writing leaves alone.
  std::string GetDataLongText(Integer idx) const;
  void SetDataLongText(Integer idx, const std::string& txt);
  std::string DataLongText(Integer idx) const { return GetDataLongText(idx); }
  std::string GetAnnoLongText(Integer idx) const;
  void SetAnnoLongText(Integer idx, const std::string& txt);
  std::string AnnoLongText(Integer idx) const { return GetAnnoLongText(idx); }
  // Long-text slots handed out per container (0..50).
  Integer NumLongTextsData() const { return FNumLongTextsData; }
  Integer NumLongTextsAnno() const { return FNumLongTextsAnno; }

  // Growth step of both containers, 1..1,000,000; other values are ignored.
  Integer AllocSize() const { return FAllocSize; }
  void SetAllocSize(Integer v);

  // ---- Properties: drawing attributes copied by new items ----
  TColor DataColor() const { return FDataColor; }
  void SetDataCol(TColor v) { FDataColor = v; }
  void SetDataColor(TColor v) { SetDataCol(v); }
  // FillColor and TextBkColor are one value.
  TColor FillColor() const { return FFillColor; }
  void SetFillCol(TColor v) { FFillColor = v; }
  void SetFillColor(TColor v) { SetFillCol(v); }
  TColor TextBkColor() const { return FFillColor; }
  void SetTextBkColor(TColor v) { SetFillCol(v); }
  TPenStyle PenStyle() const { return FPenStyle; }
  void SetPenStyle(TPenStyle v) { FPenStyle = v; }
  Byte LineWidth() const { return FLineWidth; }
  void SetLineWid(Byte v) { FLineWidth = v; }
  void SetLineWidth(Byte v) { SetLineWid(v); }
  // 0..254; 255 is the query wildcard and is ignored.
  Byte ClassDefault() const { return FClassDefault; }
  void SetClassDefault(Integer v);
  // 1 or 2; other values are ignored.
  Integer ActiveLayer() const { return FActiveLayer; }
  void SetActiveLayer(Integer v);
  Integer DataTag() const { return FDataTag; }
  void SetDataTag(Integer v) { FDataTag = v; }
  bool TransparentItems() const { return FTransparentItems; }
  void SetTransparentItems(bool v) { FTransparentItems = v; }
  TTextBkg TextBkStyle() const { return FTextBkStyle; }
  void SetTextBkStyle(TTextBkg v) { FTextBkStyle = v; }
  TAlignment TextAlignment() const { return FTextAlignment; }
  void SetTextAlignment(TAlignment v);
  // Font of text items, read when they are drawn.
  TFont* TextFont() { return FTextFont.get(); }
  const TFont* TextFont() const { return FTextFont.get(); }
  void SetTextFont(const TFont* v) { FTextFont->Assign(v); }
  TFontStyles TextFontStyle() const { return FTextFont->Style(); }
  void SetTextFontStyle(TFontStyles v) { FTextFont->SetStyle(v); }

  // ---- Properties: routing and visibility ----
  bool AnnoMode() const { return FAnnoMode; }
  void SetAnnoMode(bool v);
  bool AnnoBelowChart() const { return FAnnoBelowChart; }
  void SetAnnoBelowChart(bool v);
  bool AnnoTextOnTop() const { return FAnnoTextOnTop; }
  void SetAnnoTextOnTop(bool v);
  bool AnnosVisible() const { return FAnnosVisible; }
  void SetAnnosVisible(bool v);
  // Layers 1 and 2.
  bool LayerVisible(Integer Layer) const;
  void SetLayerVisible(Integer Layer, bool v);
  // Classes 0..255.
  bool ClassVisible(Integer ClassNumber) const;
  void SetClassVisib(Integer ClassNumber, bool v);
  void SetClassVisible(Integer ClassNumber, bool v) { SetClassVisib(ClassNumber, v); }
  bool AnnoClassVisible(Integer ClassNumber) const;
  void SetAnnoClassVisib(Integer ClassNumber, bool v);
  void SetAnnoClassVisible(Integer ClassNumber, bool v) { SetAnnoClassVisib(ClassNumber, v); }
  // Whether mouse zoom and pan act on layer 1 or 2.
  bool MouseAffectsLayer(Integer Layer) const;
  void SetMouseAffectsLayer(Integer Layer, bool v);

  bool AvoidDuplicateMarks() const { return FAvoidDuplicateMarks; }
  void SetAvoidDuplicateMarks(bool v);
  // Clamped to 1..3.
  Integer MinDupMarkDist() const { return FMinDupMarkDist; }
  void SetMinDupMarkDist(Integer v);
  // Whether style setters repaint at once.
  bool AutoRedraw() const { return FAutoRedraw; }
  void SetAutoRedraw(bool v) { FAutoRedraw = v; }

  // ---- Properties: data sharing and joint layers ----
  // The chart whose data container this one shows (nullptr: its own). Chains are
  // flattened to the root owner; an owner takes at most 4 users. Refusals are shown
  // in a message box and change nothing. Leaving keeps a private copy of the items.
  TCustomZUvado* UseDataOf() const { return FUseDataOf; }
  void SetUseDataOf(TCustomZUvado* Value);
  // Charts using this chart's data, 1..DataUsersNum in joining order (else nullptr).
  Integer DataUsersNum() const { return FDataUsersNum; }
  TCustomZUvado* DataUsers(Integer Index) const;
  // Which layer's range each layer follows; the chart keeps its own object, the
  // setter copies the settings.
  TJointLayers* JointLayers() { return FJointLayers.get(); }
  const TJointLayers* JointLayers() const { return FJointLayers.get(); }
  void SetJointLayers(const TJointLayers* Value);

  // ---- Public methods: drawing primitives ----
  // Argument types decide the coordinate mode of annotation items: double = world,
  // int = screen pixels (see TCoordMode). Data items are stored as cmAllWorld.
  void MoveTo(double x, double y);
  void MoveTo(Integer x, Integer y);
  void MoveTo(Integer x, double y);
  void MoveTo(double x, Integer y);
  void DrawTo(double x, double y);
  void DrawTo(Integer x, Integer y);
  void DrawTo(Integer x, double y);
  void DrawTo(double x, Integer y);
  void MoveToRelPix(Integer dx, Integer dy);
  void DrawToRelPix(Integer dx, Integer dy);
  void DrawToRelPix(double x, double y, Integer dx, Integer dy);
  void Line(double x1, double y1, double x2, double y2);
  void Line(Integer x1, Integer y1, Integer x2, Integer y2);
  void Line(double x1, double y1, Integer x2, Integer y2);
  void Line(Integer x1, Integer y1, double x2, double y2);
  void LineOffset(double x1, double y1, double x2, double y2, Integer dx, Integer dy);
  void Rectangle(double x1, double y1, double x2, double y2);
  void Rectangle(Integer x1, Integer y1, Integer x2, Integer y2);
  void Rectangle(double x1, double y1, Integer x2, Integer y2);
  void Rectangle(Integer x1, Integer y1, double x2, double y2);
  void RectangleRelPix(double centx, double centy, Integer dx, Integer dy);
  void RectFrame(double x1, double y1, double x2, double y2, TFrameStyle FrameStyle,
                 TColor ShadowColor, TColor HiLightColor);
  void RectFrame(Integer x1, Integer y1, Integer x2, Integer y2, TFrameStyle FrameStyle,
                 TColor ShadowColor, TColor HiLightColor);
  void RectFrame(double x1, double y1, Integer x2, Integer y2, TFrameStyle FrameStyle,
                 TColor ShadowColor, TColor HiLightColor);
  void RectFrame(Integer x1, Integer y1, double x2, double y2, TFrameStyle FrameStyle,
                 TColor ShadowColor, TColor HiLightColor);
  // Angle in degrees, clamped to 0..180.
  void Bar3D(double llx, double lly, double urx, double ury, Integer Depth, Integer Angle);
  void Ellipse(double cx, double cy, double HorizAxLeng, double VertAxLeng);
  // Angles in radians, clamped to -pi..pi, stored in units of 1e-8 radian.
  void Arc(double cx, double cy, double HorizAxLeng, double VertAxLeng, double Angle1,
           double Angle2);
  void Arrow(double x1, double y1, double x2, double y2, Integer HeadSize);
  void Arrow(Integer x1, Integer y1, Integer x2, Integer y2, Integer HeadSize);
  void Arrow(double x1, double y1, Integer x2, Integer y2, Integer HeadSize);
  void Arrow(Integer x1, Integer y1, double x2, double y2, Integer HeadSize);
  void Arrow(double x1, Integer y1, double x2, Integer y2, Integer HeadSize);
  void Arrow(Integer x1, double y1, Integer x2, double y2, Integer HeadSize);
  void DoubleArrow(double x1, double y1, double x2, double y2, Integer HeadSize);
  void DoubleArrow(Integer x1, Integer y1, Integer x2, Integer y2, Integer HeadSize);
  void DoubleArrow(double x1, double y1, Integer x2, Integer y2, Integer HeadSize);
  void DoubleArrow(Integer x1, Integer y1, double x2, double y2, Integer HeadSize);
  void DoubleArrow(double x1, Integer y1, double x2, Integer y2, Integer HeadSize);
  void DoubleArrow(Integer x1, double y1, Integer x2, double y2, Integer HeadSize);
  void MarkAt(double x, double y, Byte mk);
  void MarkAt(Integer x, Integer y, Byte mk);
  void MarkErrorBar(double x, double y, double dlower, double dupper, TOrientation Dir, Byte mk);
  void CursorVert(double x);
  void CursorVert(Integer x);
  void CursorHoriz(double y);
  void CursorHoriz(Integer y);
  // Texts are UTF-8. Up to 15 characters live in the item; a longer text, or one with
  // characters outside Windows-1252, also takes a long-text slot while any is free.
  void Text(double x, double y, Integer size, const std::string& txt);
  void Text(Integer x, Integer y, Integer size, const std::string& txt);
  void Text(Integer x, double y, Integer size, const std::string& txt);
  void Text(double x, Integer y, Integer size, const std::string& txt);
  // Pixel offsets dx, dy other than 0 give a tkTextOfs item.
  void Text(double x, double y, Integer size, const std::string& txt, Integer dx, Integer dy,
            TAlignment Alignment);

  // Bulk entry in world coordinates: one item per point, exactly as the single calls
  // append them (same routing by AnnoMode, same attributes and counters), with the
  // sharing partners brought up to date once per call. A polyline is a MoveTo to the
  // first point and a DrawTo to each further one; a series is one MarkAt per point.
  // Spans of unequal length raise EKvrZUvadoError and append nothing.
  void DrawPolyline(std::span<const double> X, std::span<const double> Y);
  void DrawPolyline(std::span<const TRealPoint> P);
  void MarkSeries(std::span<const double> X, std::span<const double> Y, Byte mk);
  void MarkSeries(std::span<const TRealPoint> P, Byte mk);
  // A DrawTo to every point: the current line goes on through them.
  void ContinuePolyline(std::span<const double> X, std::span<const double> Y);

  // ---- Public methods: content management ----
  // Empties the data container (and its long texts and counters).
  virtual void ClearGraf();
  void ClearAnnotations();
  void RemoveItem(Integer Index);
  void RemoveFirstItem() { RemoveItem(0); }
  // Removes the oldest Count data items (all when Count >= NumItems, which empties the
  // container as RemoveItem does; nothing when Count <= 0) in time proportional to
  // Count, amortised, not to the items that stay. The ShowGrafNewOnly mark moves down
  // with the items.
  void RemoveFirstItems(Integer Count);
  void RemoveLastItem();
  void RemoveAnnoItem(Integer Index);
  // Exact class match (255 is no wildcard here); the rest keeps its order.
  Integer RemoveItemsByClass(Byte ClassNumber);
  Integer RemoveItemsByLayer(Integer Layer);

  // Searches and counts match Tag under TagMask (0 = any tag), ItemClass (255 = any)
  // and ItemKind (tkEverything = any).
  Integer SearchDataItem(Integer StartIx, Integer Tag, Integer TagMask, Byte ItemClass,
                         TrcItem ItemKind) const;
  Integer SearchAnnoItem(Integer StartIx, Integer Tag, Integer TagMask, Byte ItemClass,
                         TrcItem ItemKind) const;
  Integer CountAnnos(Integer Tag, Integer TagMask, Byte ItemClass, TrcItem ItemKind) const;
  // Listed classes count once per listing.
  Integer CountAnnoByClass(std::span<const Byte> ClList) const;
  Integer CountAnnoByClass(std::initializer_list<Byte> ClList) const {
    return CountAnnoByClass(std::span<const Byte>(ClList.begin(), ClList.size()));
  }
  TLayerSet FindUsedLayers() const;
  // Extent of the data points of Layer (0: all layers) strictly inside the window;
  // without any point the results stay at +/-uc_MaxDouble.
  void FindMinMax(Integer Layer, double RangeLoX, double RangeLoY, double RangeHiX,
                  double RangeHiY, double& MinX, double& MinY, double& MaxX, double& MaxY) const;
  TrcChartItem GetItemParams(Integer Item) const { return GetChartItem(Item); }
  void SetItemParams(Integer Item, const TrcChartItem& ItParams);
  // x := kx*x + dx, y := ky*y + dy (and the second point of two-point kinds).
  void ScaleItem(Integer Item, double kx, double dx, double ky, double dy);
  void ScaleAllItems(double kx, double dx, double ky, double dy);
  void ScaleSelectedItems(double kx, double dx, double ky, double dy, Byte ClassNumber);
  void MarkAllItems(TrcItem ItemID, Byte ClassNumber);
  void NewColorOfClassItems(TColor Newcol, Byte ClassNumber);

  // ---- Renderer services (polyline.cpp, dupmarks.cpp; used while items are drawn) ----
  // A run of pen-connected points becomes canvas Polyline calls of at most 200 points;
  // each batch starts with the last point of the one before.
  static constexpr int kPolylineBatch = 200;
  void EnterPolyline(Integer x, Integer y, TCanvas* Canvas);
  void FinishPolyLine(TCanvas* Canvas);
  // Pixel position where the pen stands (set by move items, read by the polyline).
  TPoint PolylinePenPos() const { return TPoint{FLastMoveToX, FLastMoveToY}; }
  void SetPolylinePenPos(Integer x, Integer y);
  Integer NumPolylinePoints() const { return FNumPPa; }
  // Duplicate-mark map, one pass: reset it, then ask per mark.
  void ResetDupMarkMap();
  // Whether a mark of type mk at control pixel (px, py) is to be drawn; stamps the map.
  // Marks outside the map are always drawn.
  bool DupMarkAllowed(Integer px, Integer py, Integer mk);
  // DrawMarkOnCanvas, skipped for duplicates when AvoidDuplicateMarks is on.
  void DrawMarkChecked(TCanvas* Canvas, Integer mk, Integer px, Integer py);

  // ---- Public methods: files ----
  // Item files: a 104-byte header, the records, then the long texts as lines (see
  // chartfiles.h). Loading returns the number of items read, -2 for a file that is not
  // of the kind asked for (or holds records of unknown kind or coordinate mode), -1 for a
  // file that cannot be opened or is shorter than its header says. Failed loads change
  // nothing. Saving raises EFCreateError when the file cannot be created.
  void SaveData(const std::string& FName) const;
  Integer LoadData(const std::string& FName, bool AppendIt);
  void SaveAnno(const std::string& FName) const;
  Integer LoadAnno(const std::string& FName, bool AppendIt);
  // The same on a whole file image in memory.
  Integer LoadDataFromBytes(std::span<const std::byte> Bytes, bool AppendIt);
  Integer LoadAnnoFromBytes(std::span<const std::byte> Bytes, bool AppendIt);
  // Text listing of the data items (ItemDescription with every detail).
  void SaveDataASC(const std::string& FName) const;
  // Copies SrcChart's annotations, all of them or those of the listed classes.
  void CopyAnnoFrom(const TCustomZUvado* SrcChart, std::span<const Byte> ClassFilter,
                    bool AppendIt);
  void CopyAnnoFrom(const TCustomZUvado* SrcChart, std::initializer_list<Byte> ClassFilter,
                    bool AppendIt) {
    CopyAnnoFrom(SrcChart, std::span<const Byte>(ClassFilter.begin(), ClassFilter.size()),
                 AppendIt);
  }

  // ---- Properties: axes, margins and layout (layout.cpp) ----
  // The four axis property objects. Writing one copies the settings into the chart's
  // own object, which keeps its own change handler.
  TScalePropsHoriz* Scale1X() { return FScalePropsX[0].get(); }
  const TScalePropsHoriz* Scale1X() const { return FScalePropsX[0].get(); }
  void SetScale1X(const TScalePropsHoriz* v) { SetScalePropsX(1, v); }
  TScalePropsHoriz* Scale2X() { return FScalePropsX[1].get(); }
  const TScalePropsHoriz* Scale2X() const { return FScalePropsX[1].get(); }
  void SetScale2X(const TScalePropsHoriz* v) { SetScalePropsX(2, v); }
  TScalePropsVert* Scale1Y() { return FScalePropsY[0].get(); }
  const TScalePropsVert* Scale1Y() const { return FScalePropsY[0].get(); }
  void SetScale1Y(const TScalePropsVert* v) { SetScalePropsY(1, v); }
  TScalePropsVert* Scale2Y() { return FScalePropsY[1].get(); }
  const TScalePropsVert* Scale2Y() const { return FScalePropsY[1].get(); }
  void SetScale2Y(const TScalePropsVert* v) { SetScalePropsY(2, v); }
  // Pair sclix (1, 2); reading outside 1..2 gives pair 1, writing there is ignored.
  TScaleProps* GetScalePropsX(Integer sclix) const;
  void SetScalePropsX(Integer sclix, const TScaleProps* v);
  TScaleProps* ScalePropsX(Integer sclix) const { return GetScalePropsX(sclix); }
  TScaleProps* GetScalePropsY(Integer sclix) const;
  void SetScalePropsY(Integer sclix, const TScaleProps* v);
  TScaleProps* ScalePropsY(Integer sclix) const { return GetScalePropsY(sclix); }
  // The internal axis controls of pair k (1, 2; else nullptr). They paint onto ChartBmp.
  TScale* ScalesX(Integer k) const;
  TScale* ScalesY(Integer k) const;

  Integer MarginLeft() const { return FRcLRim; }
  void SetLRim(Integer v);
  void SetMarginLeft(Integer v) { SetLRim(v); }
  Integer LRim() const { return FRcLRim; }
  Integer MarginRight() const { return FRcRRim; }
  void SetRRim(Integer v);
  void SetMarginRight(Integer v) { SetRRim(v); }
  Integer RRim() const { return FRcRRim; }
  Integer MarginTop() const { return FRcTRim; }
  void SetTRim(Integer v);
  void SetMarginTop(Integer v) { SetTRim(v); }
  Integer TRim() const { return FRcTRim; }
  Integer MarginBottom() const { return FRcBRim; }
  void SetBRim(Integer v);
  void SetMarginBottom(Integer v) { SetBRim(v); }
  Integer BRim() const { return FRcBRim; }
  // 3-D rim right of and below the chart area, clamped to 0..32.
  Integer ShadowWidth() const { return F3DRim; }
  void SetF3DRim(Integer v);
  void SetShadowWidth(Integer v) { SetF3DRim(v); }
  TrcLayout StandardLayout() const { return FStdLayout; }
  void SetStdLayout(TrcLayout Value);
  void SetStandardLayout(TrcLayout Value) { SetStdLayout(Value); }
  // Chart caption placement (set by the standard layouts).
  Integer CaptionPosX() const { return FCaptionPosX; }
  void SetCaptPosX(Integer v);
  void SetCaptionPosX(Integer v) { SetCaptPosX(v); }
  Integer CaptionPosY() const { return FCaptionPosY; }
  void SetCaptPosY(Integer v);
  void SetCaptionPosY(Integer v) { SetCaptPosY(v); }
  TAlignment CaptionAlignment() const { return FCaptAlignment; }
  void SetCaptAlignment(TAlignment v);
  void SetCaptionAlignment(TAlignment v) { SetCaptAlignment(v); }
  TCaptionAnchorHoriz CaptionAnchorHoriz() const { return FCaptAnchorX; }
  void SetCaptAnchorX(TCaptionAnchorHoriz v);
  void SetCaptionAnchorHoriz(TCaptionAnchorHoriz v) { SetCaptAnchorX(v); }
  TCaptionAnchorVert CaptionAnchorVert() const { return FCaptAnchorY; }
  void SetCaptAnchorY(TCaptionAnchorVert v);
  void SetCaptionAnchorVert(TCaptionAnchorVert v) { SetCaptAnchorY(v); }
  // Chart-sized control image and chart-area image ((W + 1) x (H + 1), at least 0).
  TBitmap* ChartBmp() const { return FChartBmp.get(); }
  TBitmap* GrafBmp() const { return FGrafBmp.get(); }
  // Grid spacing; values below -3 are ignored.
  double GridDx() const { return FGridDx; }
  void SetGridDx(double v);
  double GridDy() const { return FGridDy; }
  void SetGridDy(double v);
  TMouseActMode MouseAction() const { return FMouseAction; }
  void SetMouseAction(TMouseActMode v) { FMouseAction = v; }
  // While set, Paint draws nothing; clearing it repaints at once.
  bool SuppressPaint() const { return FSuppressPaint; }
  virtual void SetSuppressPaint(bool Value);

  // ---- Properties: mapping and ranges (mapping.cpp, ranges.cpp) ----
  // Y ranges follow the X ranges so that a world unit is equally long on both axes.
  bool Isometric() const { return FIsometric; }
  void SetIsoMetric(bool Value);
  void SetIsometric(bool Value) { SetIsoMetric(Value); }
  // Tick ix (1-based) of the active pair's axis, read from the far end on a reversed
  // range; 0 outside 1..count.
  double GetTickPosX(Integer ix) const;
  double GetTickPosY(Integer ix) const;
  double TickPosX(Integer ix) const { return GetTickPosX(ix); }
  double TickPosY(Integer ix) const { return GetTickPosY(ix); }
  Integer GetTickPosXCnt() const;
  Integer GetTickPosYCnt() const;
  Integer TickNumX() const { return GetTickPosXCnt(); }
  Integer TickNumY() const { return GetTickPosYCnt(); }
  // Stored range state StackIx (-15..0, 0 = most recent) of pair Layer; zero otherwise.
  TRectDouble GetZoomStackEntry(Integer Layer, Integer StackIx) const;
  TRectDouble ZoomStack(Integer Layer, Integer StackIx) const {
    return GetZoomStackEntry(Layer, StackIx);
  }
  // Confinement of zoom and pan: x low, y low, x high, y high (all zero: none).
  const std::array<long double, 4>& ZoomRange() const { return FZoomRange; }

  // ---- Events of the axis controls, forwarded ----
  TScaleTickDrawnEvent OnScaleTickDrawn;
  TBeforeTickLabelEvent OnBeforeTickLabel;

  // ---- Properties: frame, colours, grid and caption (render_frame.cpp) ----
  // Style setters repaint when AutoRedraw is set or the component is being designed.
  TColor ChartFrameColor() const { return FScaleColor; }
  void SetScaleCol(TColor v);
  void SetChartFrameColor(TColor v) { SetScaleCol(v); }
  TColor ChartColor() const { return FChartColor; }
  void SetChartCol(TColor v);
  void SetChartColor(TColor v) { SetChartCol(v); }
  TColor WindColor() const { return FWindColor; }
  void SetWindCol(TColor v);
  void SetWindColor(TColor v) { SetWindCol(v); }
  TColor GridColor() const { return FGridColor; }
  void SetGridCol(TColor v);
  void SetGridColor(TColor v) { SetGridCol(v); }
  GridStyleType GridStyle() const { return FGridStyle; }
  void SetGridStyle(GridStyleType v);
  TShadowStyle ShadowStyle() const { return FShadowStyle; }
  void SetShadowStyle(TShadowStyle v);
  TColor ShadowColor() const { return FShadowColor; }
  void SetShadowColor(TColor v);
  TColor ShadowBakColor() const { return FShadowBakColor; }
  void SetShadowBakColor(TColor v);
  const std::string& Caption() const { return FChartCaption; }
  void SetChartCaption(const std::string& v);
  void SetCaption(const std::string& v) { SetChartCaption(v); }
  // Percent of the chart width the caption may take: 0 = never trimmed, else 5..100.
  Integer CaptionTrim() const { return FCaptTrim; }
  void SetCaptTrim(Integer v);
  void SetCaptionTrim(Integer v) { SetCaptTrim(v); }
  // The chart keeps its own object; the setter copies the settings, not the handler.
  TBakGndImg* BackGroundImg() { return FBakGndImg.get(); }
  const TBakGndImg* BackGroundImg() const { return FBakGndImg.get(); }
  void SetBakGndFile(const TBakGndImg* v);
  void SetBackGroundImg(const TBakGndImg* v) { SetBakGndFile(v); }
  // Holds the background image while the background is drawn.
  TBitmap* AuxBmp() const { return FAuxBmp.get(); }

  // ---- Events: rendering ----
  // Top, Left: where the canvas's origin lies in the control.
  using TRenderEvent =
      std::function<void(TObject* Sender, TCanvas* Canvas, Integer Top, Integer Left)>;
  // The handler may change any field of the copy that is drawn.
  using TBeforeRenderCItemEvent = std::function<void(TObject* Sender, TrcChartItem& ChartItem,
                                                     Integer Index, bool IsAnnotation)>;
  using TBeforeRenderTextEvent = std::function<void(TObject* Sender, std::string& Text,
                                                    Integer Index, bool IsAnnotation)>;
  TRenderEvent OnScalesRendered;
  TRenderEvent OnBeforeRenderData;
  TRenderEvent OnDataRendered;
  TBeforeRenderCItemEvent OnBeforeRendezUvadoItem;
  TBeforeRenderTextEvent OnBeforeRenderText;

  // ---- Public methods: rendering (render_frame.cpp, render_items.cpp) ----
  // Refreshes the window: a full Paint, or with AutoRedraw only the chart area.
  void ShowGraf();
  // Draws the items onto the current chart-area image (no background rebuild).
  void ShowGrafNewOnly();
  // Draws only the data items from index First on over the current chart-area image and
  // shows it; the item before First only places the pen, so a line goes on where it
  // stopped. Annotations are not redrawn. Sets the ShowGrafNewOnly mark like it.
  void ShowGrafFrom(Integer First);
  // Lines of Text (one more than its line feeds); Width the widest line, LineHeight
  // TextHeight + 1, TotalHeight LineHeight * lines, all in Canvas's font.
  static Integer CalcTextExtents(const std::string& Text, TCanvas* Canvas, Integer& Width,
                                 Integer& TotalHeight, Integer& LineHeight);
  // The window exists: painting is allowed from now on. Nothing is painted here; the new
  // window is dirty and the framework (Update, or the host) paints it.
  void CreateWnd() override;

  // ---- Properties and methods: text labels, crosshairs, mouse trace (overlays.cpp) ----
  static constexpr Integer kNumTextLabels = 30;
  static constexpr Integer kMaxMTrace = 5000;
  // Label ix (1..30); other numbers raise Exception ("Component "<Name>": invalid index
  // into TextLabel array"). Setting copies the label's settings.
  TTextLabel* GetFTextLabel(Integer ix) const;
  void SetFTextLabel(Integer ix, const TTextLabel* Value);
  TTextLabel* TextLabels(Integer ix) const { return GetFTextLabel(ix); }
  void SetTextLabels(Integer ix, const TTextLabel* Value) { SetFTextLabel(ix, Value); }
  // The first free label (Mode tlOff) takes the text; 0 when all 30 are in use.
  // PropertyTemplate 1..30 copies that label's look, other values give the default look.
  Integer AddTextLabel(double PosX, double PosY, TColor TxtColor, const std::string& Txt,
                       Integer PropertyTemplate);
  void SetTextLabel(Integer ix, double PosX, double PosY, TColor TxtColor,
                    const std::string& Txt, Integer PropertyTemplate);
  void HideAllTextLabels();
  void ClearAllTextLabels();
  // Crosshairs 1..4; setting copies the values.
  TCrossHair* CrossHair(Integer chnum) const;
  TCrossHair* CrossHair1() const { return CrossHair(1); }
  TCrossHair* CrossHair2() const { return CrossHair(2); }
  TCrossHair* CrossHair3() const { return CrossHair(3); }
  TCrossHair* CrossHair4() const { return CrossHair(4); }
  void SetCrossHair(Integer chnum, const TCrossHair* Value);
  void SetCrossHair1(const TCrossHair* v) { SetCrossHair(1, v); }
  void SetCrossHair2(const TCrossHair* v) { SetCrossHair(2, v); }
  void SetCrossHair3(const TCrossHair* v) { SetCrossHair(3, v); }
  void SetCrossHair4(const TCrossHair* v) { SetCrossHair(4, v); }
  // Moving a crosshair redraws only the overlay (the chart area image is reused).
  void CrossHairSetPos(Integer chnum, double x, double y);
  double CHPosX(Integer chnum) const;
  void SetCHPosX(Integer chnum, double v);
  double CHPosY(Integer chnum) const;
  void SetCHPosY(Integer chnum, double v);
  double CrossHairPosX(Integer chnum) const { return CHPosX(chnum); }
  void SetCrossHairPosX(Integer chnum, double v) { SetCHPosX(chnum, v); }
  double CrossHairPosY(Integer chnum) const { return CHPosY(chnum); }
  void SetCrossHairPosY(Integer chnum, double v) { SetCHPosY(chnum, v); }
  void CrossHairSetup(Integer ch, TColor chColor, TCrossHMode Mode, TPenStyle LineType,
                      Integer LineWidth);
  // Mouse trace: points in world values of the active layer.
  Integer NumMTracePoints() const { return FNumMTrace; }
  // Point idx (1-based); outside 1..count the flag word is $FFFF.
  TColoredPoint GetMTracePoint(Integer idx) const;
  TColoredPoint MouseTrace(Integer idx) const { return GetMTracePoint(idx); }
  TColor MouseTraceColor() const { return FColorMTrace; }
  void SetMouseTraceColor(TColor v) { FColorMTrace = v; }
  bool MouseTraceInvert() const { return FMTraceInvert; }
  void SetMouseTraceInvert(bool v) { FMTraceInvert = v; }
  // Empties the trace and repaints.
  void ClearMouseTrace();

  // ---- Public methods: hit testing (hittest.cpp) ----
  // Searches scan from index 0 and keep an item only when it is strictly nearer, so the
  // lowest index wins a tie. ItemID tkEverything takes every kind, tkNotMoveTo all but
  // moves; ClassNumber 255 takes every class. Without a match the result is -1 and Dist
  // the square root of the largest double.
  // World distance of the items' main points.
  Integer FindNearestItemReal(double mx, double my, TrcItem ItemID, Byte ClassNumber,
                              double& Dist) const;
  Integer FindNearestItemReal(double mx, double my, TrcItem ItemID, Byte ClassNumber,
                              bool VisLayersOnly, double& Dist) const;
  // Pixel distance: the query point mapped with the active layer, each item with its
  // own layer (where it is drawn).
  Integer FindNearestItemScreen(double mx, double my, TrcItem ItemID, Byte ClassNumber,
                                double& Dist) const;
  Integer FindNearestItemScreen(double mx, double my, TrcItem ItemID, Byte ClassNumber,
                                bool VisLayersOnly, double& Dist) const;
  // Pixel distance along Axis 0 (x) or 1 (y); other axes find nothing.
  Integer FindNearestItemAlongAxis(double pos, Integer Axis, TrcItem ItemID, Byte ClassNumber,
                                   double& dist) const;
  Integer FindNearestItemAlongAxis(double pos, Integer Axis, TrcItem ItemID, Byte ClassNumber,
                                   bool VisLayersOnly, double& dist) const;
  // Annotation whose drawn shape is nearest (text boxes measured with the chart-area
  // canvas's font; OnBeforeRenderText sees each text).
  Integer FindNearestAnnoElem(double mx, double my, TrcItem ItemID, Byte ClassNumber,
                              bool VisLayersOnly, double& Dist);
  // Gives every data item of kind ItemID inside the world window the class ClassNumber;
  // returns their number (ClassNumber 255 does nothing).
  Integer MarkItemsInWindow(double xLo, double YLo, double XHi, double YHi, TrcItem ItemID,
                            Byte ClassNumber);
  // 0, +i for the Y axis of pair i, -i for its X axis under control pixel (X, Y).
  Integer DetectScale(Integer CoordX, Integer CoordY) const;

  // ---- Properties, methods and events: mouse (mouse.cpp) ----
  // When set, the default cursor is shown everywhere over the chart.
  bool MouseCursorFixed() const { return FMouseCursorFixed; }
  void SetMouseCursorFixed(bool v) { FMouseCursorFixed = v; }
  // Pan-grid snapping of MouseAction maPanGrid (step <= 0: no snapping).
  double PanGridDx() const { return FPanGridDx; }
  void SetPanGridDx(double v) { FPanGridDx = v; }
  double PanGridDy() const { return FPanGridDy; }
  void SetPanGridDy(double v) { FPanGridDy = v; }
  double PanGridOffsX() const { return FPanGridOffsX; }
  void SetPanGridOffsX(double v) { FPanGridOffsX = v; }
  double PanGridOffsY() const { return FPanGridOffsY; }
  void SetPanGridOffsY(double v) { FPanGridOffsY = v; }
  // Wheel zoom about the pointer (default off: the wheel only fires the wheel events).
  // When on, a turn over the chart area that no OnMouseWheel handler took zooms the
  // mouse-affected layers: away from the user zooms in, each notch by kWheelZoomStep;
  // Shift zooms the X axes only, Ctrl the Y axes only. Every turn is confined by the zoom
  // range, recorded in the zoom history and reported by OnZoomPan.
  static constexpr double kWheelZoomStep = 1.25;
  bool WheelZoom() const { return FWheelZoom; }
  void SetWheelZoom(bool v) { FWheelZoom = v; }
  // World position (active layer) of the last mouse move inside the chart area.
  double MousePosX() const { return FMousePosX; }
  double MousePosY() const { return FMousePosY; }
  bool GetMAffLayer(Integer Layer) const { return MouseAffectsLayer(Layer); }
  void SetMAffLayer(Integer Layer, bool v) { SetMouseAffectsLayer(Layer, v); }
  // 1 while a zoom window, rubber band or selection rectangle is being dragged.
  Integer ZoomState() const { return FZoomState; }
  // Modal rectangle input: waits (processing messages) for a press and release in the
  // chart; returns the world corners ordered low to high, false when aborted by the
  // right button or MouseBoxAbort.
  bool MouseBox(double& xLo, double& yLo, double& xHi, double& yHi);
  void MouseBoxAbort();

  using TMouseMoveInChartEvent = std::function<void(TObject* Sender, bool InChart,
                                                    TShiftState Shift, double rMousePosX,
                                                    double rMousePosY)>;
  using TCrossHMoveEvent = std::function<void(TObject* Sender, Integer WhichCrossHair)>;
  using TBeforeCrossHMoveEvent = std::function<void(TObject* Sender, Integer WhichCrossHair,
                                                    Integer dx, Integer dy, bool& AllowMove)>;
  using TTxtLblMoveEvent = std::function<void(TObject* Sender, Integer WhichTextLabel)>;
  TMouseMoveInChartEvent OnMouseMoveInChart;
  TSelectRectEvent OnRubberBand;
  TSelectRectEvent OnSelectRect;
  TZoomPanEvent OnZoomPan;
  TCrossHMoveEvent OnCrossHairMove;
  TBeforeCrossHMoveEvent OnBeforeCrossHairMove;
  TTxtLblMoveEvent OnTextLabelMove;

  // ---- Public methods: mapping ----
  // Recomputes the transform of both pairs from the ranges and margins (not while
  // loading). Raises EKvrZUvadoError for a logarithmic axis with a limit <= 0; the axes
  // before it keep their new transform, that axis and the later ones their old one.
  virtual void AdjustScaling();
  // Axes of pair Layer (clamped to 1..2) without a transform for their current range
  // since the last AdjustScaling or paint: bit 0 X, bit 1 Y. Painting leaves out what
  // depends on them (the axis itself, the pair's world items, grid, overlays).
  unsigned UnmappedAxes(Integer Layer) const {
    return (FUnmapped >> (Layer >= 2 ? 2 : 0)) & 3u;
  }
  // The frozen mapping of pair Layer (clamped to 1..2) for a whole paint.
  TLayerMap LayerMap(Integer Layer) const;
  // World to control pixels on pair Layer (clamped to 1..2), and back.
  void R2M(Integer Layer, double xin, double yin, Integer& xout, Integer& yout) const;
  void M2R(Integer Layer, Integer xin, Integer yin, double& xout, double& yout) const;
  void GetTransformParams(Integer Layer, double& kx, double& dx, double& ky, double& dy) const;
  // Both points of an item in control pixels, by its coordinate mode and layer.
  void ConvertToScreenCoords(const TrcChartItem& Item, Integer& x1, Integer& y1, Integer& x2,
                             Integer& y2) const;

  // ---- Public methods: ranges ----
  // Layer 0 sets both pairs; every committed range is recorded in the zoom history.
  void SetRange(Integer Layer, long double xLo, long double yLo, long double xHi,
                long double yHi);
  void SetRangeIntern(Integer Layer, bool PushZoomState, long double xLo, long double yLo,
                      long double xHi, long double yHi, bool ApplyZoomRange);
  // Honours joint layers, commits, then moves the pairs that follow Layer.
  void ForceRange(Integer Layer, long double xLo, long double yLo, long double xHi,
                  long double yHi, bool PushZoomState, bool ApplyZoomRange);
  // Confinement, minimum span and the write of the four limits of one pair.
  void ForceRngIntern(Integer Layer, long double xLo, long double yLo, long double xHi,
                      long double yHi, bool PushZoomState, bool ApplyZoomRange);
  // Ranges pair Layer (0: both) to its data with Margin and MinRange in percent.
  void AutoRange(Integer Layer, double Margin, double MinRange);
  void AutoRange(Integer Layer, double Margin) { AutoRange(Layer, Margin, 0); }
  void AutoRangeXOnly(Integer Layer, double Margin, double MinRange);
  void AutoRangeXOnly(Integer Layer, double Margin) { AutoRangeXOnly(Layer, Margin, 0); }
  void AutoRangeYOnly(Integer Layer, double Margin, double MinRange);
  void AutoRangeYOnly(Integer Layer, double Margin) { AutoRangeYOnly(Layer, Margin, 0); }
  // Gives the listed pairs (1, 2) the union of their ranges.
  void SetEqualRange(TLayerSet Layers);
  void SetEqualRangeXOnly(TLayerSet Layers);
  void SetEqualRangeYOnly(TLayerSet Layers);
  void ConfineZoomRange(double xLo, double yLo, double xHi, double yHi);
  // Extents of pair Layer's data items with margin and minimum span (percent).
  void LLCalcExtents(Integer Layer, double Margin, double MinRange, double& MinX, double& MinY,
                     double& MaxX, double& MaxY) const;

  // ---- Public methods: zoom history (zoomhistory.cpp) ----
  static constexpr Integer kZoomStackSize = 16;
  // Records the current ranges of both pairs.
  void ZoomStateOnStack();
  // Empties the history, then records the current ranges.
  void ClearZoomHistory();
  // Returns both pairs to the state Index (-15..0) steps back and repaints.
  void ZoomHistory(Integer Index);

  // ---- Public methods: axes ----
  // Copies a property object into an axis control and places its axis line.
  void SetScaleProps(TScale* Scale, const TScaleProps* Props);
  // Handlers of the property objects and of the axis controls' OnZoomPan.
  void ScalePropsChanged(TObject* Sender);
  void ScaleZoomPan(TObject* Sender) { ScalePropsChanged(Sender); }
  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;
  void Loaded() override;

  // Returns the item store, attributes and switches (except the four annotation
  // switches) to their defaults. A chart that shares data leaves the sharing first: a
  // user starts empty while the owner and the other users keep their items; an owner
  // releases its users, which keep the items they showed.
  virtual void ResetComp();
  // From another chart: every setting, both containers by value, zoom history, axes,
  // overlays and event handlers, then one repaint. The sharing relationships stay
  // those of this chart (a chart that uses foreign data hands the copied items on to
  // its partners). Other sources go to the inherited Assign.
  void Assign(const TPersistent* Source) override;

  // ---- Public methods: output (output.cpp) ----
  // The chart's picture on other targets. BlkWhite renders frame, background and axes
  // in black and white (items keep their colours); crosshairs are included unless
  // IncludeCrossHairs is false. The window's picture is not touched.
  void CopyToBitmap(TBitmap* ABitmap, bool BlkWhite) { CopyToBitmap(ABitmap, BlkWhite, true); }
  void CopyToBitmap(TBitmap* ABitmap, bool BlkWhite, bool IncludeCrossHairs);
  // Only the data area (the rectangle inside the margins).
  void CopyToBitmapDAOnly(TBitmap* ABitmap, bool BlkWhite) { CopyToBitmapDAOnly(ABitmap, BlkWhite, true); }
  void CopyToBitmapDAOnly(TBitmap* ABitmap, bool BlkWhite, bool IncludeCrossHairs);
  // PNG or BMP by the file name's extension; raises Exception when writing fails.
  // Scale: device pixels per chart pixel (a 2 gives the picture of a 2x screen); raises
  // EKvrZUvadoError unless finite and > 0.
  void CopyToBMP(const std::string& FName, bool BlkWhite, double Scale = 1.0);
  void CopyToClipboard(bool BlkWhite) { CopyToClipboard(BlkWhite, true); }
  void CopyToClipboard(bool BlkWhite, bool IncludeCrossHairs);
  void CopyToClipboardDAOnly(bool BlkWhite) { CopyToClipboardDAOnly(BlkWhite, true); }
  void CopyToClipboardDAOnly(bool BlkWhite, bool IncludeCrossHairs);
  // The chart as a vector picture (SVG): frame, axes, grid, items and labels are drawn
  // straight onto a vector canvas, the items clipped to the data area.
  void CopyToWMF(const std::string& FName, bool BlkWhite);
  void CopyToClipboardWMF(bool BlkWhite);
  // The same vector picture as a one-page PDF of the chart's size (96 pixels per inch),
  // with embedded fonts and selectable labels. Raises Exception when the file cannot be
  // written.
  void CopyToPDF(const std::string& FName, bool BlkWhite = false);
  // Renders the chart onto any canvas of the chart's size (vector or raster), with the
  // mouse trace and, unless IncludeCrossHairs is false, the crosshairs.
  void RenderOnCanvas(TCanvas* Canvas, bool BlkWhite) { RenderOnCanvas(Canvas, BlkWhite, true); }
  void RenderOnCanvas(TCanvas* Canvas, bool BlkWhite, bool IncludeCrossHairs);
  // Black-and-white conversion around an output: saves the frame, background, shadow
  // and axis colours and sets their black-and-white values; the reload restores them.
  void BackupColorsAndMakeBW();
  void ReloadBackupColors();
  // Printing (printing.cpp). The chart is drawn as vectors at the printer's resolution:
  // every length of the screen picture (lines, marks, text, margins) is multiplied by
  // printer dpi / 96 * ScaleF, so ScaleF 1 prints the chart at its size on a 96-dpi
  // screen, and 2 twice as wide and high. Crosshairs and the mouse trace are included.
  // ScaleF must be finite and > 0, else EKvrZUvadoError is raised and nothing is
  // printed; a ScaleF too large for the page is reduced until the chart fills the page.
  //
  // PrintIt: one document of one page (BeginDoc .. EndDoc) with the chart centred.
  void PrintIt(double ScaleF, bool BlkWhite);
  // CopyToOpenPrinter: draws onto the current page of the document the caller began,
  // top-left corner at printer pixel (x, y), and leaves (x, y) where the next chart goes:
  // x moves right by the printed width; when another chart of that width would not fit
  // on the rest of the line, x returns to 0 and y moves down by the printed height.
  // Starting a new page is the caller's business (y >= Printer().PageHeight()).
  // Raises EKvrZUvadoError when no document is open; x and y then stay.
  //
  //   Integer x = 0, y = 0;
  //   Printer().BeginDoc();
  //   a.CopyToOpenPrinter(x, y, 1.0, false);   // a at the top left, b beside it or below
  //   b.CopyToOpenPrinter(x, y, 1.0, false);
  //   Printer().EndDoc();
  void CopyToOpenPrinter(Integer& x, Integer& y, double ScaleF, bool BlkWhite);

 protected:
  // ---- Protected hooks: output (overlays.cpp) ----
  // Crosshairs and mouse trace onto any canvas whose top-left lies at control pixel
  // (dx, dy); the bitmap forms draw through these.
  void DrawCrossHairsOnCanvas(TCanvas* Canvas, Integer dx, Integer dy);
  void DrawMouseTraceOnCanvas(TCanvas* Canvas, Integer dx, Integer dy);

 protected:
  // ---- Protected hooks ----
  // The propagation point of every change of the data container: hands the container,
  // the kind counters and the ShowGrafNewOnly mark to every sharing partner.
  virtual void AdjustCanInfoOfSharedCharts();
  // Clears references to sharing partners that go away.
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Layer has just been joined to Source in x (InX) or y: its range takes Source's.
  virtual void ApplyJointRange(Integer Layer, Integer Source, bool InX);
  // The data image must be rebuilt at the next paint.
  virtual void InvalidateDataImage() {}
  // Repaints at once (the chart's paint rule).
  void RepaintChart() { Paint(); }
  // Repaints when AutoRedraw is set or the component is being designed.
  void StyleChanged(TObject* Sender);
  // ---- Protected hooks: rendering (render_frame.cpp, render_items.cpp) ----
  // Full rebuild: chart image, chart area, items, overlays, then the window.
  void Paint() override;
  bool PaintOn(TCanvas& Target) override;
  // Background, shadow, caption and the four axes onto Canvas (ChartBmp's).
  virtual void ConstructChartBmp(TCanvas* Canvas);
  // Chart-area background (colour, image or shaded area) into the given rectangle.
  virtual void InitGraf(TCanvas* Canvas, Integer Left, Integer Top, Integer Width,
                        Integer Height);
  // Items and overlays of the chart area; ox, oy shift the items, Mono draws black on
  // white, FirstNew <> 0 skips the grid.
  void ConstructDataBmp(TBitmap* Bmp, Integer ox, Integer oy, bool Mono, Integer FirstNew);
  virtual void ConstructDataBmpCanvas(TCanvas* Canvas, Integer ox, Integer oy, bool Mono,
                                      Integer FirstNew);
  // Crosshairs into Bmp, then Bmp onto Canvas at (dx, dy).
  void DrawFinish(Integer dx, Integer dy, TBitmap* Bmp, TCanvas* Canvas);
  // Overlays drawn by the overlay unit; Bmp's top-left lies at control pixel (dx, dy).
  virtual void DrawCrossHairs(Integer dx, Integer dy, TBitmap* Bmp);
  virtual void DrawMouseTrace(Integer dx, Integer dy, TBitmap* Bmp);
  virtual void DrawTextLabels(TCanvas* Canvas, Integer ox, Integer oy);
  // Appends a trace point (ignored when the trace is full); the mouse code builds
  // strokes with it.
  void AddMTracePoint(double x, double y, Word Flags, TColor Color);
  void RedrawCrossHairs();
  void DoOnBeforeRendezUvadoItem(TObject* Sender, TrcChartItem& ChartItem, Integer Index,
                                 bool IsAnnotation);
  // One item onto Canvas; LongTexts are the container's 50 long texts.
  void DrawContainerItemOnCanvas(TCanvas* Canvas, const TrcChartItem& Item, Integer Index,
                                 bool IsAnnotation, const TLongTextArray& LongTexts, bool Mono,
                                 Integer ox, Integer oy);
  // Axis part of ResetComp: property objects, axis controls, ranges, layout, history.
  void ResetAxes();
  // Chart area extents W and H (may be below 1).
  // The margins are stored as given, so the area's extents and edges are computed wide.
  Integer AreaWidth() const {
    return ClampPix(int64_t(Width()) - FRcLRim - FRcRRim - F3DRim);
  }
  Integer AreaHeight() const {
    return ClampPix(int64_t(Height()) - FRcTRim - FRcBRim - F3DRim);
  }
  Integer AreaRight() const { return ClampPix(int64_t(Width()) - FRcRRim - F3DRim); }
  Integer AreaBottom() const { return ClampPix(int64_t(Height()) - FRcBRim - F3DRim); }

  // ---- Protected hooks: mouse (mouse.cpp) ----
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void DblClick() override;
  // Raw mouse-move message: fires OnMouseMoveInChart after the framework's handling.
  void WMMouseMove(TWMMouse& Message) override;
  // Wheel zoom when WheelZoom is on (see there), else the framework's wheel events.
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) override;
  // Gives back the screen cursor the chart set while the pointer was over it.
  void MouseLeave() override;
  void DoZoomPanEvent();
  void DoRubberBandEvent(Integer Layer, double x1, double y1, double x2, double y2);
  void DoSelectRectEvent(Integer Layer, double x1, double y1, double x2, double y2);
  void DoCrossHMoveEvent(Integer CrossHair);
  void DoTxtLblMoveEvent(Integer Label);

  // Internal workers the overloads funnel into.
  void MoveToIntern(double x, double y, TCoordMode cm);
  void DrawToIntern(double x, double y, TCoordMode cm);
  void LineIntern(double x1, double y1, double x2, double y2, TCoordMode cm);
  void RectangleIntern(double x1, double y1, double x2, double y2, TCoordMode cm);
  void RectFrameIntern(double x1, double y1, double x2, double y2, TFrameStyle FrameStyle,
                       TColor ShadowColor, TColor HiLightColor, TCoordMode cm);
  void ArrowIntern(double x1, double y1, double x2, double y2, Integer HeadSize, TCoordMode cm);
  void DoubleArrowIntern(double x1, double y1, double x2, double y2, Integer HeadSize,
                         TCoordMode cm);
  void MarkAtIntern(double x, double y, Byte mk, TCoordMode cm);
  void CursorVertIntern(double x, TCoordMode cm);
  void CursorHorizIntern(double y, TCoordMode cm);
  void TextIntern(double x, double y, Integer size, const std::string& txt, Integer dx,
                  Integer dy, TAlignment Alignment, TCoordMode cm);

  // Storage access for the later units (rendering, files, sharing).
  TRcItemContainer& DataItems() { return *FDataContainer; }
  const TRcItemContainer& DataItems() const { return *FDataContainer; }
  TRcItemContainer& AnnoItems() { return FAnnoContainer; }
  const TRcItemContainer& AnnoItems() const { return FAnnoContainer; }

 private:
  // ---- Item store and drawing attributes (customzuvado.cpp, primitives.cpp) ----
  // A record with the common fields of a new item of this kind.
  TrcChartItem NewItem(TrcItem Kind, TCoordMode cm) const;
  // Appends to the container AnnoMode selects; data items update counters and partners.
  void AppendItem(const TrcChartItem& Item);
  // Appends N items: First from the first point, Rest from the others; point i is
  // (X[i * Stride], Y[i * Stride]).
  void AppendPointRun(const TrcChartItem& First, const TrcChartItem& Rest, const double* X,
                      const double* Y, std::size_t Stride, std::size_t N);
  void ResetDataContainer();
  void ResetAnnoContainer();
  void CountKind(TrcItem Kind, Integer Delta);
  // Stores txt into a text item by the long-text rule, using the given slots.
  static void StoreText(TrcChartItem& Item, const std::string& txt, TLongTextArray& Texts,
                        Integer& NumUsed);
  static std::string ReadText(const TrcChartItem& Item, const TLongTextArray& Texts);
  std::shared_ptr<TRcItemContainer> FDataContainer;
  TRcItemContainer FAnnoContainer;
  Integer FAllocSize = 1000;
  std::array<Integer, kNumItemKinds> FItemCount{};
  // ShowGrafNewOnly mark: items below it are on screen already. Shared like the counters.
  Integer FLastElemOnShow = 0;
  Integer FNumLongTextsData = 0;
  Integer FNumLongTextsAnno = 0;
  TLongTextArray FLongTextsData;
  TLongTextArray FLongTextsAnno;

  TColor FDataColor = clBlack;
  TColor FFillColor = clSilver;
  TPenStyle FPenStyle = psSolid;
  Byte FLineWidth = 1;
  Byte FClassDefault = 0;
  Integer FActiveLayer = 1;
  Integer FDataTag = 0;
  bool FTransparentItems = false;
  TTextBkg FTextBkStyle = tbClear;
  TAlignment FTextAlignment = taCenter;
  std::unique_ptr<TFont> FTextFont;

  // ---- Routing and visibility (customzuvado.cpp) ----
  bool FAnnoMode = false;
  bool FAnnoBelowChart = false;
  bool FAnnoTextOnTop = true;
  bool FAnnosVisible = true;
  std::array<bool, 2> FLayerVisib{true, true};
  std::array<bool, 256> FClassVisib{};
  std::array<bool, 256> FAnnoClassVisib{};

  // ---- Files, data sharing and joint layers ----
  // (chartfiles.cpp, datasharing.cpp, jointlayers.cpp)
  friend class TJointLayers;
  friend class TZUvadoFeed;  // reserves a rolling window's storage, reads where it cuts
  Integer LoadItems(std::span<const std::byte> Bytes, bool AppendIt, bool Anno);
  Integer LoadItems(std::istream& In, std::uint64_t Size, bool AppendIt, bool Anno);
  void SaveItems(const std::string& FName, bool Anno) const;
  void TakeSharedState(const TCustomZUvado& From);
  void RemoveDataUser(const TComponent* User);
  // KeepItems false: the chart ends with an empty container of its own (a reset).
  void LeaveDataOwner(bool KeepItems = true);
  void LeaveDataSharing(bool KeepItems = true);
  std::unique_ptr<TJointLayers> MakeJointLayers();
  TCustomZUvado* FUseDataOf = nullptr;
  std::array<TCustomZUvado*, 4> FDataUsers{};
  Integer FDataUsersNum = 0;
  std::unique_ptr<TJointLayers> FJointLayers = MakeJointLayers();

  // ---- Axes, mapping, ranges and zoom history ----
  // (layout.cpp, mapping.cpp, ranges.cpp, zoomhistory.cpp). Pair k lives at index k - 1.
  void ApplyMarginsToScales();
  void SizeGrafBmp();
  void IsometricYAdjust(Integer ExtentX);
  long double IsoSpan(long double dx, Integer ExtentX) const;
  void AutoRangeDir(Integer Layer, double Margin, double MinRange, bool DoX, bool DoY);
  void SetEqualRangeDir(TLayerSet Layers, bool DoX, bool DoY);
  void CommitAxis(TScaleProps& P, long double Lo, long double Hi, bool& Changed);
  void ScaleAxes(bool Raise);
  // The paint path's AdjustScaling: never raises.
  void PrepareScaling();
  // Axis property objects and axis controls.
  std::array<std::unique_ptr<TScalePropsHoriz>, 2> FScalePropsX{
      std::make_unique<TScalePropsHoriz>(), std::make_unique<TScalePropsHoriz>()};
  std::array<std::unique_ptr<TScalePropsVert>, 2> FScalePropsY{
      std::make_unique<TScalePropsVert>(), std::make_unique<TScalePropsVert>()};
  std::array<std::unique_ptr<TScale>, 2> FScalesX{std::make_unique<TScale>(nullptr),
                                                  std::make_unique<TScale>(nullptr)};
  std::array<std::unique_ptr<TScale>, 2> FScalesY{std::make_unique<TScale>(nullptr),
                                                  std::make_unique<TScale>(nullptr)};
  // Transform of each pair and the axes without one.
  std::array<long double, 2> Cpkx{}, Cpdx{}, Cpky{}, Cpdy{};
  // Bit 2 * pair + axis (axis 0 X, 1 Y): no transform for the current range.
  unsigned FUnmapped = 0;
  Integer Fxasp = 36;
  Integer Fyasp = 36;
  bool FIsometric = false;
  std::array<long double, 4> FZoomRange{};
  // Margins, standard layout and caption placement.
  Integer FRcLRim = 50;
  Integer FRcRRim = 10;
  Integer FRcTRim = 16;
  Integer FRcBRim = 32;
  Integer F3DRim = 0;
  TrcLayout FStdLayout = rcl_X1Bottom_Y1Left;
  Integer FCaptionPosX = 0;
  Integer FCaptionPosY = -15;
  TAlignment FCaptAlignment = taRightJustify;
  TCaptionAnchorHoriz FCaptAnchorX = cahChartRight;
  TCaptionAnchorVert FCaptAnchorY = cavChartTop;
  double FGridDx = 0;
  double FGridDy = 0;
  std::array<std::array<TRectDouble, kZoomStackSize>, 2> FZoomStack{};
  Integer FZStackPoi = 1;

  // ---- Mouse interaction (mouse.cpp) ----
  // Per-layer anchors live at index layer - 1.
  // Mouse defaults and idle interaction state; registers the four chart cursors.
  void ResetMouse();
  bool InChartArea(Integer X, Integer Y) const;
  void ClampToChartArea(Integer& X, Integer& Y) const;
  // No range operation may raise: every logarithmic axis with a pixel extent has
  // positive limits.
  bool MouseRangesUsable() const;
  void StoreMouseAnchors(Integer X, Integer Y);
  void XorBand(bool Line, Integer x1, Integer y1, Integer x2, Integer y2);
  void EraseWindowBand();
  void EraseMouseBoxBand();
  void AxisDragMove(Integer X, Integer Y);
  void PanMove(Integer X, Integer Y);
  void DragZoomMove(Integer X, Integer Y);
  void WindowMove(Integer X, Integer Y);
  void CrossHairDragMove(Integer X, Integer Y);
  void TextLabelDragMove(Integer X, Integer Y);
  void MouseTraceMove(Integer X, Integer Y);
  void FinishWindow(TMouseButton Button);
  void RecordDragInHistory();
  // Zooms the mouse-affected layers about control pixel (X, Y) by f on the chosen axes.
  void WheelZoomAt(Integer X, Integer Y, long double f, bool DoX, bool DoY);
  void UpdateMouseCursor(Integer X, Integer Y);
  TMouseActMode FMouseAction = maNone;
  std::array<bool, 2> FMouseAffectsLayer{true, false};
  bool FMouseCursorFixed = true;
  bool FWheelZoom = false;
  double FPanGridDx = 1;
  double FPanGridDy = 1;
  double FPanGridOffsX = 0;
  double FPanGridOffsY = 0;
  double FMousePosX = 0;
  double FMousePosY = 0;
  bool LButtonWasDown = false;
  std::array<Integer, 2> FMAnchorScrX{}, FMAnchorScrY{};
  std::array<double, 2> FMAnchorRcLoX{}, FMAnchorRcHiX{}, FMAnchorRcLoY{}, FMAnchorRcHiY{};
  Integer FZoomState = 0;
  Integer WindAnchorX = 0, WindAnchorY = 0, WindOldCornerX = 0, WindOldCornerY = 0;
  Integer MouseBoxState = 0;
  Integer MouseBoxX1 = 0, MouseBoxY1 = 0, MouseBoxX2 = 0, MouseBoxY2 = 0;
  Integer LastMouseX = 0, LastMouseY = 0;
  bool MouseMoveActive = false;
  bool FWasDblClk = false;
  // Set while a drag moves the ranges: the gesture is recorded once, on release, so the
  // joint-layer propagation must not record each step.
  bool FDragStep = false;
  Integer CHNext = 1;
  Integer TLNext = 1;
  // The release of the press swallowed after a double click is swallowed too.
  bool FSwallowMouseUp = false;
  // The left drag began on an axis: crosshair and label drags must not take it over.
  bool FDragFromAxis = false;
  // Whether a band is on the window (so that erasing never draws a stray one) and the
  // MouseAction it was started under.
  bool FBandShown = false;
  bool FBoxShown = false;
  TMouseActMode FBandMode = maNone;
  // The screen cursor was set to a chart cursor by a mouse move.
  bool FChartCursorSet = false;

  // ---- Painting, frame and colours (render_frame.cpp) ----
  void ResetRenderState();
  // ChartColor, or the style's colour when a visual style paints the client area.
  TColor StyledChartColor() const;
  void DrawGrid(TCanvas* Canvas, Integer ox, Integer oy);
  bool FSuppressPaint = true;
  bool FAutoRedraw = true;
  std::unique_ptr<TBitmap> FChartBmp = std::make_unique<TBitmap>();
  std::unique_ptr<TBitmap> FGrafBmp = std::make_unique<TBitmap>();
  TColor FScaleColor = clBlack;
  TColor FChartColor = clWhite;
  TColor FWindColor = clBtnFace;
  TColor FGridColor = clBlack;
  GridStyleType FGridStyle = gsNone;
  TShadowStyle FShadowStyle = shsFlat;
  TColor FShadowColor = clGrayText;
  TColor FShadowBakColor = clBtnFace;
  std::string FChartCaption;
  Integer FCaptTrim = 100;
  std::unique_ptr<TBakGndImg> FBakGndImg = std::make_unique<TBakGndImg>();
  std::unique_ptr<TBitmap> FAuxBmp = std::make_unique<TBitmap>();

  // ---- Output in black and white (output.cpp) ----
  // Renders the whole picture into ChartBmp (the chart area stays in GrafBmp), whatever
  // SuppressPaint says; the window is not touched.
  void RenderPicture(bool BlkWhite, bool IncludeCrossHairs);
  void RestorePicture(bool WasBlkWhite);
  struct TBWBackup {
    TColor Wind, Frame, Chart, Font, Shadow, ShadowBak;
    TColor ScaleColor[4], ScaleFont[4];
  };
  TBWBackup FBWBackup{};
  bool FBWActive = false;

  // ---- Overlays: text labels, crosshairs, mouse trace (overlays.cpp) ----
  void ResetOverlays();
  void DrawLabel(TCanvas* Canvas, const TTextLabel& L, Integer ox, Integer oy);
  std::array<std::unique_ptr<TTextLabel>, 30> FTextLabels;
  std::array<std::unique_ptr<TCrossHair>, 4> FCrossHair;
  std::vector<TColoredPoint> FMTrace = std::vector<TColoredPoint>(5000);
  Integer FNumMTrace = 0;
  TColor FColorMTrace = 0xFFFFFF;
  bool FMTraceInvert = true;

  // ---- Item rendering (render_items.cpp) ----
  // Which items of a container a pass draws: annotation texts may go in a pass of their
  // own, over the data.
  enum class TPassItems { All, AllButTexts, TextsOnly };
  // First > 0: the items before First are left out, except that the one just before
  // places the pen when it belongs to a line.
  void RenderPass(TCanvas* Canvas, const TRcItemContainer& Items, const TLongTextArray& Texts,
                  bool IsAnnotation, TPassItems Only, bool Mono, Integer ox, Integer oy,
                  Integer First = 0);
  void ResetRenderCache(TCanvas* Canvas, Integer ox, Integer oy);
  void SetItemPen(TCanvas* Canvas, TColor Col, TPenStyle Style, TColor Fill, bool Force);
  // The drawing rules of DrawContainerItemOnCanvas, one per item family; pc and fc are
  // the pen and fill colours after the monochrome rule.
  struct TItemConv;
  void DrawPathItem(TCanvas* Canvas, const TrcChartItem& Item, const TItemConv& cv, TColor pc,
                    TColor fc);
  void DrawSegmentItem(TCanvas* Canvas, const TrcChartItem& Item, const TItemConv& cv,
                       TColor pc, TColor fc);
  void DrawCursorItem(TCanvas* Canvas, const TrcChartItem& Item, const TItemConv& cv,
                      TColor pc, TColor fc);
  void DrawShapeItem(TCanvas* Canvas, const TrcChartItem& Item, const TItemConv& cv, TColor pc,
                     TColor fc);
  void DrawArcItem(TCanvas* Canvas, const TrcChartItem& Item, const TItemConv& cv, TColor pc);
  void DrawBarItem(TCanvas* Canvas, const TrcChartItem& Item, const TItemConv& cv, TColor pc,
                   TColor fc);
  void DrawFrameItem(TCanvas* Canvas, const TrcChartItem& Item, const TItemConv& cv, TColor fc);
  void DrawArrowItem(TCanvas* Canvas, const TrcChartItem& Item, const TItemConv& cv, TColor pc,
                     TColor fc);
  void DrawMarkItem(TCanvas* Canvas, const TrcChartItem& Item, const TItemConv& cv, TColor pc,
                    TColor fc);
  void DrawErrorBarItem(TCanvas* Canvas, const TrcChartItem& Item, const TItemConv& cv,
                        TColor pc, TColor fc);
  void DrawTextItem(TCanvas* Canvas, const TrcChartItem& Item, const TItemConv& cv,
                    Integer Index, bool IsAnnotation, const TLongTextArray& LongTexts, TColor Pen,
                    TColor Fill);
  // Canvas state last set by item rendering; the canvas is touched only on a change.
  TColor FLastPenCol = 0;
  TPenStyle FLastPenStyle = psSolid;
  TColor FLastBrushCol = 0;
  TColor FLastFontCol = 0;
  Integer FLastLWidth = 1;
  // Frozen per pass: the mapping of both pairs and the canvas placement of the area.
  std::array<TLayerMap, 2> FPassMap{};
  Integer FPassMarginX = 0;
  Integer FPassMarginY = 0;
  // Sorted ranges per pair: x low, x high, y low, y high (mark visibility).
  std::array<std::array<double, 4>, 2> FPassRange{};
  // UnmappedAxes of each pair, frozen with the mapping.
  std::array<unsigned, 2> FPassUnmapped{};
  bool FPassOnPrinter = false;
  // Data items below it are left out of the pass (ShowGrafFrom).
  Integer FDataPassFirst = 0;

  // ---- Items at sub-pixel positions on vector surfaces (render_precise.cpp) ----
  // Lines, segments and ellipses in world coordinates keep their unrounded positions on
  // surfaces that keep fractions (SVG, PDF). False leaves the item to the pixel rules.
  bool DrawPreciseItem(TCanvas* Canvas, const TrcChartItem& Item, TColor pc, TColor fc);
  void FlushPreciseLine(TCanvas* Canvas);
  bool FPassPrecise = false;
  std::vector<TPointDouble> FPreciseRun;  // the connected line being built
  // Where the next connected line starts, unrounded, while the pixel rules' start
  // (FLastMoveToX/Y) is its rounding; otherwise that start holds.
  TPointDouble FPreciseFrom;
  TPointDouble PreciseLineStart() const;
  void SetPreciseLineStart(TPointDouble p);
  // Smooth raster drawing takes the sub-pixel path too; dense connected lines are then
  // merged per fraction of a pixel column at sub-pixel precision (polyline.cpp).
  bool FPassPreciseMerge = false;
  void AddPrecisePoint(TPointDouble p);
  void EnterPreciseColumn();
  Integer AddPreciseLineRun(TRcItemContainer::Reader& Items, Integer i, Integer n);
  bool FPColOpen = false;
  int64_t FPCol = 0;
  TPointDouble FPColMin, FPColMax, FPColLast;
  bool FPColMaxFirst = false;  // the highest point came before the lowest
  int FPColCount = 0;          // points after the column's first
  std::array<TPointDouble, 3> FPColPts{};  // the first of them, kept while few

  // ---- Polyline buffer and pixel-column merging (polyline.cpp) ----
  // Dense connected lines: points that stay in one pixel column are merged into the
  // column's lowest, highest and last point, which covers the same pixels.
  void AddLinePoint(Integer x, Integer y, TCanvas* Canvas);
  void FlushLine(TCanvas* Canvas);
  // The pending column's lowest, highest and last point into the polyline.
  void EnterColumnRun(TCanvas* Canvas);
  TPoint LineTail() const;
  // Continues the line of Items[i], just drawn, through the tkLineto items right after it
  // that share every attribute it was drawn with; returns the index of the last one.
  Integer AddLineRun(TCanvas* Canvas, TRcItemContainer::Reader& Items, Integer i, Integer n);
  std::array<TPoint, kPolylineBatch> FPPa{};
  Integer FNumPPa = 0;
  Integer FLastMoveToX = 0;
  Integer FLastMoveToY = 0;
  bool FRunActive = false;
  bool FRunPending = false;
  bool FPassMerge = false;
  Integer FRunX = 0, FRunMin = 0, FRunMax = 0, FRunLast = 0;

  // ---- Repeated marks (render_items.cpp) ----
  // Between two drawings that are not such a mark, a one-coloured mark drawn again on a
  // canvas position where the same mark (type, colours, width) went already changes no
  // pixel and is skipped. The stamps of one epoch are bits per control pixel; an epoch
  // ends at every other drawing.
  bool MarkStampedBefore(Integer px, Integer py, uint64_t Key);
  // Draws mark mk at canvas point p (control pixel ctl) unless it was stamped before.
  void StampedMark(TCanvas* Canvas, Integer mk, TPoint p, TPoint ctl, uint64_t Key);
  // Continues from Items[i], a mark just drawn, through the marks right after it with
  // the same attributes; returns the index of the last one.
  Integer AddMarkRun(TCanvas* Canvas, TRcItemContainer::Reader& Items, Integer i, Integer n, bool Mono);
  void ResetMarkStamps();
  std::vector<uint64_t> FStampBits;
  std::vector<uint32_t> FStampDirty;  // words of FStampBits set in this epoch
  Integer FStampW = 0;
  Integer FStampH = 0;
  uint64_t FStampKey = 0;
  bool FStampOpen = false;

  // ---- Duplicate-mark map (dupmarks.cpp) ----
  bool FAvoidDuplicateMarks = false;
  Integer FMinDupMarkDist = 1;
  std::vector<Integer> FPixMap;  // column-major, FPixMapH cells per column
  Integer FPixMapW = 0;
  Integer FPixMapH = 0;
  Integer FPixMapDist = 1;  // the distance the map was sized for
};

}  // namespace kvr
