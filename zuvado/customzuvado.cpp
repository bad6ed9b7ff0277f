#include "zuvado/customzuvado.h"

#include "platform/setters.h"
#include "zuvado/chartfiles.h"
#include "zuvado/cp1252.h"

namespace kvr {

void CleazUvadoItem(TrcChartItem& Item) {
  std::memset(static_cast<void*>(&Item), 0, sizeof(TrcChartItem));
  Item.FillColor = clWhite;
  Item.ShadowColor = clGray;
  Item.HiLightColor = clWhite;
  Item.Layer = 1;
}

TCustomZUvado::TCustomZUvado(TComponent* AOwner)
    : TCustomControl(AOwner),
      FDataContainer(std::make_shared<TRcItemContainer>()),
      FTextFont(std::make_unique<TFont>()) {
  FAnnoMode = false;
  FAnnoBelowChart = false;
  FAnnoTextOnTop = true;
  FAnnosVisible = true;
  SetBounds(Left(), Top(), 280, 200);
  ResetComp();
}

TCustomZUvado::~TCustomZUvado() { LeaveDataSharing(); }

void TCustomZUvado::ResetComp() {
  // Emptying a shared container in place would take the items from every partner
  // behind their counters' back, so the chart leaves the sharing first.
  LeaveDataSharing(false);
  ResetDataContainer();
  ResetAnnoContainer();
  FAllocSize = 1000;
  FAvoidDuplicateMarks = false;
  FMinDupMarkDist = 1;
  FPixMap.clear();
  FPixMapW = FPixMapH = 0;
  FNumPPa = 0;
  FLastMoveToX = FLastMoveToY = 0;

  FDataColor = clBlack;
  FFillColor = clSilver;
  FPenStyle = psSolid;
  FLineWidth = 1;
  FClassDefault = 0;
  FActiveLayer = 1;
  FDataTag = 0;
  FTransparentItems = false;
  FTextBkStyle = tbClear;
  FTextAlignment = taCenter;
  FTextFont->Assign(Font());
  FLayerVisib = {true, true};
  FClassVisib.fill(true);
  FAnnoClassVisib.fill(true);
  FMouseAffectsLayer = {true, false};
  ResetMouse();
  FJointLayers->Reset();
  FJointLayers->OnChange = [this](TObject* Sender) { StyleChanged(Sender); };
  ResetRenderState();
  ResetAxes();

  FMAnchorScrX = FMAnchorScrY = {};
  FMAnchorRcLoX = FMAnchorRcHiX = FMAnchorRcLoY = FMAnchorRcHiY = {};
  FMouseAction = maNone;
  SetStyleElements({});
  FAutoRedraw = true;
  // Construction passes here with painting suppressed; a later reset shows its result.
  RepaintChart();
}

// Long texts go with the container: emptying it frees every slot.
void TCustomZUvado::ResetDataContainer() {
  FDataContainer->Clear();
  FItemCount.fill(0);
  FLastElemOnShow = 0;
  FNumLongTextsData = 0;
  FLongTextsData.fill(std::string());
}

void TCustomZUvado::ResetAnnoContainer() {
  FAnnoContainer.Clear();
  FNumLongTextsAnno = 0;
  FLongTextsAnno.fill(std::string());
}

void TCustomZUvado::ClearGraf() {
  SizeGrafBmp();
  InitGraf(FGrafBmp->Canvas(), 0, 0, FGrafBmp->Width(), FGrafBmp->Height());
  ResetDataContainer();
  FNumMTrace = 0;
  FLastElemOnShow = 0;
  AdjustCanInfoOfSharedCharts();
}

void TCustomZUvado::ClearAnnotations() {
  ResetAnnoContainer();
  RepaintChart();
}

void TCustomZUvado::StyleChanged(TObject* Sender) {
  (void)Sender;
  if (FAutoRedraw || ComponentState().Contains(csDesigning)) RepaintChart();
}

TrcItem TCustomZUvado::TypeOfFirstItem() const {
  return NumItems() > 0 ? (*FDataContainer)[0].ItemKind : tkNone;
}

TrcItem TCustomZUvado::TypeOfLastItem() const {
  return NumItems() > 0 ? (*FDataContainer)[NumItems() - 1].ItemKind : tkNone;
}

Integer TCustomZUvado::GetItemCount(TrcItem it) const {
  return unsigned(it) < unsigned(kNumItemKinds) ? FItemCount[it] : 0;
}

// Records written by the application may carry any kind byte; only real kinds count.
void TCustomZUvado::CountKind(TrcItem Kind, Integer Delta) {
  if (unsigned(Kind) < unsigned(kNumItemKinds)) FItemCount[Kind] += Delta;
}

TrcChartItem TCustomZUvado::GetChartItem(Integer idx) const {
  return FDataContainer->InRange(idx) ? (*FDataContainer)[idx] : TrcChartItem{};
}

void TCustomZUvado::SetChartItem(Integer idx, const TrcChartItem& item) {
  if (!FDataContainer->InRange(idx)) return;
  CountKind((*FDataContainer)[idx].ItemKind, -1);
  FDataContainer->Set(idx, item);
  CountKind(item.ItemKind, +1);
  AdjustCanInfoOfSharedCharts();
}

TrcChartItem TCustomZUvado::GetAnnoItem(Integer idx) const {
  return FAnnoContainer.InRange(idx) ? FAnnoContainer[idx] : TrcChartItem{};
}

void TCustomZUvado::SetAnnoItem(Integer idx, const TrcChartItem& item) {
  FAnnoContainer.Set(idx, item);
}

// The short field holds the text only when it fits exactly: at most 15 characters, all
// of them in Windows-1252. Anything else also goes to a long-text slot, so that no
// character is lost while a slot is free. A slot the item already holds is reused.
void TCustomZUvado::StoreText(TrcChartItem& Item, const std::string& txt, TLongTextArray& Texts,
                              Integer& NumUsed) {
  detail::check_item_text(txt);
  const detail::Cp1252Prefix shortText = detail::utf8_to_cp1252(txt, TShortStr15::kMaxLen);
  Item.Text.Assign(shortText.bytes);
  if (shortText.chars <= size_t(TShortStr15::kMaxLen) && shortText.exact) {
    Item.LWid = 0;
    return;
  }
  if (Item.LWid >= 1 && Item.LWid <= kNumLongTexts) {
    Texts[size_t(Item.LWid - 1)] = txt;
  } else if (NumUsed < kNumLongTexts) {
    ++NumUsed;
    Texts[size_t(NumUsed - 1)] = txt;
    Item.LWid = NumUsed;
  } else {
    Item.LWid = 0;
  }
}

std::string TCustomZUvado::ReadText(const TrcChartItem& Item, const TLongTextArray& Texts) {
  if (!IsTextItem(Item.ItemKind)) return std::string();
  if (Item.LWid >= 1 && Item.LWid <= kNumLongTexts) return Texts[size_t(Item.LWid - 1)];
  return detail::cp1252_to_utf8(Item.Text.View());
}

std::string TCustomZUvado::GetDataLongText(Integer idx) const {
  return FDataContainer->InRange(idx) ? ReadText((*FDataContainer)[idx], FLongTextsData)
                                      : std::string();
}

void TCustomZUvado::SetDataLongText(Integer idx, const std::string& txt) {
  if (!FDataContainer->InRange(idx) || !IsTextItem((*FDataContainer)[idx].ItemKind)) return;
  FDataContainer->Edit(idx, [&](TrcChartItem& it) { StoreText(it, txt, FLongTextsData, FNumLongTextsData); });
  AdjustCanInfoOfSharedCharts();
}

std::string TCustomZUvado::GetAnnoLongText(Integer idx) const {
  return FAnnoContainer.InRange(idx) ? ReadText(FAnnoContainer[idx], FLongTextsAnno)
                                     : std::string();
}

void TCustomZUvado::SetAnnoLongText(Integer idx, const std::string& txt) {
  if (!FAnnoContainer.InRange(idx) || !IsTextItem(FAnnoContainer[idx].ItemKind)) return;
  FAnnoContainer.Edit(idx, [&](TrcChartItem& it) { StoreText(it, txt, FLongTextsAnno, FNumLongTextsAnno); });
}

void TCustomZUvado::SetAllocSize(Integer v) {
  if (v >= 1 && v <= 1000000) FAllocSize = v;
}

void TCustomZUvado::SetClassDefault(Integer v) {
  if (v >= 0 && v <= 254) FClassDefault = Byte(v);
}

void TCustomZUvado::SetActiveLayer(Integer v) {
  if (v != 1 && v != 2) return;
  FActiveLayer = v;
  StyleChanged(this);
}

void TCustomZUvado::SetTextAlignment(TAlignment v) {
  FTextAlignment = v;
  StyleChanged(this);
}

void TCustomZUvado::SetAnnoMode(bool v) {
  FAnnoMode = v;
  RepaintChart();
}

void TCustomZUvado::SetAnnoBelowChart(bool v) {
  FAnnoBelowChart = v;
  RepaintChart();
}

void TCustomZUvado::SetAnnoTextOnTop(bool v) {
  FAnnoTextOnTop = v;
  RepaintChart();
}

void TCustomZUvado::SetAnnosVisible(bool v) {
  FAnnosVisible = v;
  InvalidateDataImage();
  RepaintChart();
}

bool TCustomZUvado::LayerVisible(Integer Layer) const {
  return Layer >= 1 && Layer <= 2 && FLayerVisib[size_t(Layer - 1)];
}

void TCustomZUvado::SetLayerVisible(Integer Layer, bool v) {
  if (Layer < 1 || Layer > 2 || FLayerVisib[size_t(Layer - 1)] == v) return;
  FLayerVisib[size_t(Layer - 1)] = v;
  RepaintChart();
}

bool TCustomZUvado::ClassVisible(Integer ClassNumber) const {
  return ClassNumber >= 0 && ClassNumber <= 255 && FClassVisib[size_t(ClassNumber)];
}

void TCustomZUvado::SetClassVisib(Integer ClassNumber, bool v) {
  if (ClassNumber < 0 || ClassNumber > 255 || FClassVisib[size_t(ClassNumber)] == v) return;
  FClassVisib[size_t(ClassNumber)] = v;
  RepaintChart();
}

bool TCustomZUvado::AnnoClassVisible(Integer ClassNumber) const {
  return ClassNumber >= 0 && ClassNumber <= 255 && FAnnoClassVisib[size_t(ClassNumber)];
}

void TCustomZUvado::SetAnnoClassVisib(Integer ClassNumber, bool v) {
  if (ClassNumber < 0 || ClassNumber > 255 || FAnnoClassVisib[size_t(ClassNumber)] == v) return;
  FAnnoClassVisib[size_t(ClassNumber)] = v;
  RepaintChart();
}

bool TCustomZUvado::MouseAffectsLayer(Integer Layer) const {
  return Layer >= 1 && Layer <= 2 && FMouseAffectsLayer[size_t(Layer - 1)];
}

void TCustomZUvado::SetMouseAffectsLayer(Integer Layer, bool v) {
  if (Layer >= 1 && Layer <= 2) FMouseAffectsLayer[size_t(Layer - 1)] = v;
}

void TCustomZUvado::SetAvoidDuplicateMarks(bool v) {
  if (StoreIfChanged(FAvoidDuplicateMarks, v)) RepaintChart();
}

// The comparison is with the assigned value, so 7 repaints a chart at 3 although 3 is
// stored again.
void TCustomZUvado::SetMinDupMarkDist(Integer v) {
  const bool differs = v != FMinDupMarkDist;
  FMinDupMarkDist = v < 1 ? 1 : (v > 3 ? 3 : v);
  if (differs) RepaintChart();
}

}  // namespace kvr
