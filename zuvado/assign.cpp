// Copying one chart into another. Sub-objects are copied by their own Assign, but each
// keeps the change handler this chart gave it: a handler taken over from the source
// would repaint the source whenever the copy changes.
#include <utility>

#include "platform/paintguard.h"
#include "zuvado/customzuvado.h"

namespace kvr {

namespace {

// Assign without the notifications the target's setters would send on the way.
template <typename T>
void assign_quietly(T& Own, const T& From) {
  WithoutChangeEvent(Own, [&](T& o) { o.Assign(&From); });
}

void assign_scale(TScale& Own, const TScale& From) {
  // The forwarders lead to the chart that owns the axis control.
  auto tickDrawn = Own.OnScaleTickDrawn;
  auto beforeLabel = Own.OnBeforeTickLabel;
  Own.Assign(&From);
  Own.OnScaleTickDrawn = std::move(tickDrawn);
  Own.OnBeforeTickLabel = std::move(beforeLabel);
}

}  // namespace

void TCustomZUvado::Assign(const TPersistent* Source) {
  const auto* src = dynamic_cast<const TCustomZUvado*>(Source);
  if (!src) {
    TCustomControl::Assign(Source);
    return;
  }
  if (src == this) return;

  const auto hold = detail::suppress_paint_then(FSuppressPaint, [this] { RepaintChart(); });
  SetTag(src->Tag());

  // Fresh storage: the copy never shares the source's container, whatever the
  // source's own sharing is. This chart's partners receive the new items through the
  // propagation point, so a user and its owner keep showing one container.
  FDataContainer = std::make_shared<TRcItemContainer>(*src->FDataContainer);
  FItemCount = src->FItemCount;
  FLastElemOnShow = src->FLastElemOnShow;
  FNumLongTextsData = src->FNumLongTextsData;
  FLongTextsData = src->FLongTextsData;
  FAnnoContainer = src->FAnnoContainer;
  FNumLongTextsAnno = src->FNumLongTextsAnno;
  FLongTextsAnno = src->FLongTextsAnno;
  FAllocSize = src->FAllocSize;

  FDataColor = src->FDataColor;
  FFillColor = src->FFillColor;
  FPenStyle = src->FPenStyle;
  FLineWidth = src->FLineWidth;
  FClassDefault = src->FClassDefault;
  FActiveLayer = src->FActiveLayer;
  FDataTag = src->FDataTag;
  FTransparentItems = src->FTransparentItems;
  FTextBkStyle = src->FTextBkStyle;
  FTextAlignment = src->FTextAlignment;
  FTextFont->Assign(src->FTextFont.get());
  FAnnoMode = src->FAnnoMode;
  FAnnoBelowChart = src->FAnnoBelowChart;
  FAnnoTextOnTop = src->FAnnoTextOnTop;
  FAnnosVisible = src->FAnnosVisible;
  FLayerVisib = src->FLayerVisib;
  FClassVisib = src->FClassVisib;
  FAnnoClassVisib = src->FAnnoClassVisib;
  FMouseAffectsLayer = src->FMouseAffectsLayer;
  FAutoRedraw = src->FAutoRedraw;
  FAvoidDuplicateMarks = src->FAvoidDuplicateMarks;
  FMinDupMarkDist = src->FMinDupMarkDist;

  FRcLRim = src->FRcLRim;
  FRcRRim = src->FRcRRim;
  FRcTRim = src->FRcTRim;
  FRcBRim = src->FRcBRim;
  F3DRim = src->F3DRim;
  FStdLayout = src->FStdLayout;
  FIsometric = src->FIsometric;
  FCaptionPosX = src->FCaptionPosX;
  FCaptionPosY = src->FCaptionPosY;
  FCaptAlignment = src->FCaptAlignment;
  FCaptAnchorX = src->FCaptAnchorX;
  FCaptAnchorY = src->FCaptAnchorY;
  FChartCaption = src->FChartCaption;
  FCaptTrim = src->FCaptTrim;
  FScaleColor = src->FScaleColor;
  FChartColor = src->FChartColor;
  FWindColor = src->FWindColor;
  FGridColor = src->FGridColor;
  FGridStyle = src->FGridStyle;
  FGridDx = src->FGridDx;
  FGridDy = src->FGridDy;
  FShadowStyle = src->FShadowStyle;
  FShadowColor = src->FShadowColor;
  FShadowBakColor = src->FShadowBakColor;
  {
    auto handler = FBakGndImg->OnChange;
    FBakGndImg->Assign(src->FBakGndImg.get());
    FBakGndImg->OnChange = std::move(handler);
  }
  FJointLayers->Assign(src->FJointLayers.get());

  FMouseAction = src->FMouseAction;
  FMouseCursorFixed = src->FMouseCursorFixed;
  FWheelZoom = src->FWheelZoom;
  FPanGridDx = src->FPanGridDx;
  FPanGridDy = src->FPanGridDy;
  FPanGridOffsX = src->FPanGridOffsX;
  FPanGridOffsY = src->FPanGridOffsY;
  FColorMTrace = src->FColorMTrace;
  FMTraceInvert = src->FMTraceInvert;

  FZoomState = src->FZoomState;
  FZoomStack = src->FZoomStack;
  FZStackPoi = src->FZStackPoi;
  FZoomRange = src->FZoomRange;

  for (size_t i = 0; i < 2; ++i) {
    TScalePropsHoriz& X = *FScalePropsX[i];
    TScalePropsVert& Y = *FScalePropsY[i];
    const TScalePropsHoriz& SX = *src->FScalePropsX[i];
    const TScalePropsVert& SY = *src->FScalePropsY[i];
    // TScaleProps::Assign leaves the location and the mouse action out; the location
    // goes first so that the copied scale type has the last word.
    assign_quietly(X, SX);
    assign_quietly(Y, SY);
    auto hx = std::move(X.OnChange), hy = std::move(Y.OnChange);
    X.OnChange = nullptr;
    Y.OnChange = nullptr;
    X.SetScaleLocation(SX.ScaleLocation());
    Y.SetScaleLocation(SY.ScaleLocation());
    X.FScaleType = SX.FScaleType;
    Y.FScaleType = SY.FScaleType;
    X.FMouseAction = SX.FMouseAction;
    Y.FMouseAction = SY.FMouseAction;
    X.OnChange = std::move(hx);
    Y.OnChange = std::move(hy);
    assign_scale(*FScalesX[i], *src->FScalesX[i]);
    assign_scale(*FScalesY[i], *src->FScalesY[i]);
  }

  for (size_t i = 0; i < FCrossHair.size(); ++i)
    assign_quietly(*FCrossHair[i], *src->FCrossHair[i]);
  for (size_t i = 0; i < FTextLabels.size(); ++i)
    assign_quietly(*FTextLabels[i], *src->FTextLabels[i]);

  OnScaleTickDrawn = src->OnScaleTickDrawn;
  OnBeforeTickLabel = src->OnBeforeTickLabel;
  OnScalesRendered = src->OnScalesRendered;
  OnBeforeRenderData = src->OnBeforeRenderData;
  OnDataRendered = src->OnDataRendered;
  OnBeforeRendezUvadoItem = src->OnBeforeRendezUvadoItem;
  OnBeforeRenderText = src->OnBeforeRenderText;
  OnMouseMoveInChart = src->OnMouseMoveInChart;
  OnRubberBand = src->OnRubberBand;
  OnSelectRect = src->OnSelectRect;
  OnZoomPan = src->OnZoomPan;
  OnCrossHairMove = src->OnCrossHairMove;
  OnBeforeCrossHairMove = src->OnBeforeCrossHairMove;
  OnTextLabelMove = src->OnTextLabelMove;
  OnMouseDown = src->OnMouseDown;
  OnMouseMove = src->OnMouseMove;
  OnMouseUp = src->OnMouseUp;
  OnClick = src->OnClick;
  OnDblClick = src->OnDblClick;
  OnMouseWheel = src->OnMouseWheel;
  OnMouseWheelUp = src->OnMouseWheelUp;
  OnMouseWheelDown = src->OnMouseWheelDown;
  OnMouseEnter = src->OnMouseEnter;
  OnMouseLeave = src->OnMouseLeave;
  OnKeyDown = src->OnKeyDown;
  OnKeyUp = src->OnKeyUp;
  OnKeyPress = src->OnKeyPress;
  OnResize = src->OnResize;
  OnCanResize = src->OnCanResize;

  AdjustCanInfoOfSharedCharts();

  // The axis controls were copied with the source's geometry; this chart's size and
  // margins place them again.
  SizeGrafBmp();
  ApplyMarginsToScales();
  for (size_t i = 0; i < 2; ++i) {
    SetScaleProps(FScalesX[i].get(), FScalePropsX[i].get());
    SetScaleProps(FScalesY[i].get(), FScalePropsY[i].get());
  }
  AdjustScaling();
}

}  // namespace kvr
