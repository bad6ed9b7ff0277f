#include "platform/control.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/arith.h"
#include "platform/kvrbase.h"
#include "platform/scaledcanvas.h"
#include "platform/setters.h"

namespace kvr {

namespace {

// The framework reads Alt from the keyboard state when it turns message flags into a
// shift state; the hosts report it with every event instead. Events reach a control on
// its window's thread, so each thread keeps the state its own events reported.
thread_local bool g_alt_down = false;

void note_modifiers(TShiftState Shift) { g_alt_down = Shift.Contains(ssAlt); }

TShiftStateValue button_flag(TMouseButton Button) {
  switch (Button) {
    case mbRight: return ssRight;
    case mbMiddle: return ssMiddle;
    default: return ssLeft;
  }
}

}  // namespace

double SnapDeviceScale(double Ratio) {
  static constexpr double kScales[] = {1.0, 1.25, 1.5, 2.0, 3.0};
  if (!std::isfinite(Ratio)) return 1.0;
  double best = kScales[0];
  for (double s : kScales)
    if (std::fabs(s - Ratio) < std::fabs(best - Ratio)) best = s;
  return best;
}

TShiftState KeysToShiftState(Word Keys) {
  TShiftState s;
  if (Keys & MK_SHIFT) s.Include(ssShift);
  if (Keys & MK_CONTROL) s.Include(ssCtrl);
  if (Keys & MK_LBUTTON) s.Include(ssLeft);
  if (Keys & MK_RBUTTON) s.Include(ssRight);
  if (Keys & MK_MBUTTON) s.Include(ssMiddle);
  if (g_alt_down) s.Include(ssAlt);
  return s;
}

Word ShiftStateToKeys(TShiftState Shift) {
  Word k = 0;
  if (Shift.Contains(ssShift)) k |= MK_SHIFT;
  if (Shift.Contains(ssCtrl)) k |= MK_CONTROL;
  if (Shift.Contains(ssLeft)) k |= MK_LBUTTON;
  if (Shift.Contains(ssRight)) k |= MK_RBUTTON;
  if (Shift.Contains(ssMiddle)) k |= MK_MBUTTON;
  return k;
}

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
  FFont.OnChange = [this](TObject*) { FontChanged(); };
}

TControl::~TControl() {
  for (TControl* c : FControls) c->FParent = nullptr;
  FControls.clear();
  if (FParent) {
    auto& sib = FParent->FControls;
    sib.erase(std::remove(sib.begin(), sib.end(), this), sib.end());
  }
}

void TControl::SetVisible(bool v) {
  if (!StoreIfChanged(FVisible, v)) return;
  if (v) Invalidate();
}

void TControl::SetEnabled(bool v) {
  if (!StoreIfChanged(FEnabled, v)) return;
  if (!v) FClicked = false;
  Invalidate();
}

void TControl::SetColor(TColor v) {
  if (StoreIfChanged(FColor, v)) Invalidate();
}

void TControl::SetStyleElements(TStyleElements v) {
  if (StoreIfChanged(FStyleElements, v)) Invalidate();
}

void TControl::SetParent(TControl* AParent) {
  if (AParent == FParent) return;
  for (TControl* p = AParent; p; p = p->FParent)
    if (p == this) RaiseKvrError<EInvalidOperation>("A control cannot have itself as its parent");
  if (FParent) {
    auto& sib = FParent->FControls;
    sib.erase(std::remove(sib.begin(), sib.end(), this), sib.end());
  }
  FParent = AParent;
  if (FParent) FParent->FControls.push_back(this);
}

TControl* TControl::Controls(Integer Index) const {
  if (Index < 0 || Index >= ControlCount()) return nullptr;
  return FControls[static_cast<size_t>(Index)];
}

void TControl::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
  // The framework asks on every call, even for a pure move.
  if (!CanResize(AWidth, AHeight)) return;
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
  // Refused before anything is stored: a surface that cannot follow would leave the
  // control half resized.
  CheckBoundsSize(AWidth, AHeight);
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  const bool sized = AWidth != FWidth || AHeight != FHeight;
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  BoundsChanged(sized);
  if (sized && !ComponentState().Contains(csLoading)) Resize();
}

void TControl::CheckBoundsSize(Integer AWidth, Integer AHeight) {
  const int64_t w = std::max(AWidth, 0), h = std::max(AHeight, 0);
  if (w > kMaxControlSide || h > kMaxControlSide || w * h > kMaxControlPixels)
    RaiseKvrError("Control size " + std::to_string(w) + " x " + std::to_string(h) +
                  " exceeds the limit of 65535 pixels a side and 2^28 pixels");
}

bool TControl::CanResize(Integer& NewWidth, Integer& NewHeight) {
  bool ok = true;
  if (OnCanResize) OnCanResize(this, NewWidth, NewHeight, ok);
  return ok;
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::HostMouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (!AcceptsInput()) return;
  note_modifiers(Shift);
  Shift.Include(button_flag(Button)).Exclude(ssDouble);
  if (Button == mbLeft) FClicked = true;
  MouseDown(Button, Shift, X, Y);
}

void TControl::HostMouseMove(TShiftState Shift, Integer X, Integer Y) {
  if (!AcceptsInput()) return;
  note_modifiers(Shift);
  TWMMouse msg;
  msg.Keys = ShiftStateToKeys(Shift);
  msg.XPos = X;
  msg.YPos = Y;
  WMMouseMove(msg);
}

void TControl::HostMouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (!AcceptsInput()) return;
  note_modifiers(Shift);
  // The release message no longer carries the released button.
  Shift.Exclude(button_flag(Button)).Exclude(ssDouble);
  if (Button == mbLeft && FClicked) {
    FClicked = false;
    if (X >= 0 && X < FWidth && Y >= 0 && Y < FHeight) Click();
  }
  MouseUp(Button, Shift, X, Y);
}

void TControl::HostDblClick(Integer X, Integer Y, TMouseButton Button, TShiftState Shift) {
  if (!AcceptsInput()) return;
  note_modifiers(Shift);
  Shift.Include(button_flag(Button)).Include(ssDouble);
  // No click follows the release of a double-click press.
  FClicked = false;
  if (Button == mbLeft) DblClick();
  MouseDown(Button, Shift, X, Y);
}

bool TControl::HostMouseWheel(TShiftState Shift, Integer WheelDelta, Integer X, Integer Y) {
  if (!AcceptsInput()) return false;
  note_modifiers(Shift);
  return DoMouseWheel(Shift, WheelDelta, Point(X, Y));
}

void TControl::HostMouseEnter() {
  if (FMouseInControl || !AcceptsInput()) return;
  FMouseInControl = true;
  MouseEnter();
}

void TControl::HostMouseLeave() {
  if (!FMouseInControl) return;
  FMouseInControl = false;
  MouseLeave();
}

Word TControl::HostKeyDown(Word Key, TShiftState Shift) {
  if (!AcceptsInput()) return Key;
  note_modifiers(Shift);
  KeyDown(Key, Shift);
  return Key;
}

Word TControl::HostKeyUp(Word Key, TShiftState Shift) {
  if (!AcceptsInput()) return Key;
  note_modifiers(Shift);
  KeyUp(Key, Shift);
  return Key;
}

char TControl::HostKeyPress(char Key) {
  if (!AcceptsInput()) return Key;
  KeyPress(Key);
  return Key;
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

bool TControl::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
  if (handled) return true;
  // Fine-grained wheels send small deltas; a notch event fires per full step.
  // Summed wide: a delta near INT_MIN would overflow the sum and std::abs.
  FWheelAccumulator = ClampPix(int64_t(FWheelAccumulator) + WheelDelta);
  while (std::abs(FWheelAccumulator) >= WHEEL_DELTA) {
    const bool down = FWheelAccumulator < 0;
    FWheelAccumulator = std::abs(FWheelAccumulator) - WHEEL_DELTA;
    if (down) {
      FWheelAccumulator = -FWheelAccumulator;
      handled = DoMouseWheelDown(Shift, MousePos);
    } else {
      handled = DoMouseWheelUp(Shift, MousePos);
    }
  }
  return handled;
}

bool TControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheelUp) OnMouseWheelUp(this, Shift, MousePos, handled);
  return handled;
}

bool TControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheelDown) OnMouseWheelDown(this, Shift, MousePos, handled);
  return handled;
}

void TControl::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}

void TControl::KeyDown(Word& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TControl::KeyUp(Word& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TControl::KeyPress(char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

void TControl::WMMouseMove(TWMMouse& Message) {
  MouseMove(KeysToShiftState(Message.Keys), Message.XPos, Message.YPos);
}

TCustomControl::TCustomControl(TComponent* AOwner)
    : TControl(AOwner), FSurface(std::make_unique<TBitmap>()) {}

TCustomControl::~TCustomControl() = default;

namespace {

void clear_surface(TBitmap& bmp, TColor color) {
  const TColor rgb = ColorToRGB(color);
  const TRGB32 px{GetBValue(rgb), GetGValue(rgb), GetRValue(rgb), 255};
  TRGB32* p = bmp.Bits();
  std::fill(p, p + static_cast<size_t>(bmp.Width()) * static_cast<size_t>(bmp.Height()), px);
}

}  // namespace

void TCustomControl::CreateWnd() {
  FSurface->SetSize(Width(), Height());
  clear_surface(*FSurface, Color());
  Canvas()->Font()->Assign(Font());
  FHandleAllocated = true;
  Invalidate();
}

void TCustomControl::DestroyWnd() {
  FHandleAllocated = false;
  FDirty = false;
  FSurface->SetSize(0, 0);
}

void TCustomControl::BoundsChanged(bool SizeChanged) {
  if (!SizeChanged) return;
  if (FHandleAllocated) {
    FSurface->SetSize(Width(), Height());
    clear_surface(*FSurface, Color());
  }
  Invalidate();
}

void TCustomControl::Invalidate() {
  FDirty = true;
  if (CanPaint() && OnHostInvalidate) OnHostInvalidate(this);
}

void TCustomControl::Update() {
  if (FDirty && CanPaint()) PaintNow();
}

void TCustomControl::Repaint() {
  FDirty = true;
  Update();
}

const TBitmap* TCustomControl::HostPaint() {
  if (CanPaint()) PaintNow();
  return FSurface.get();
}

const TBitmap* TCustomControl::HostPicture() {
  if (FDirty && CanPaint()) PaintNow();
  return FSurface.get();
}

void TCustomControl::SurfaceChanged() {
  // Inside Paint the host is already about to show the surface.
  if (!FPainting && CanPaint() && OnHostInvalidate) OnHostInvalidate(this);
}

void TCustomControl::SetSmooth(bool v) {
  if (StoreIfChanged(FSmooth, v)) Invalidate();
}

void TCustomControl::SetDeviceScale(double v) {
  if (!std::isfinite(v)) return;
  if (!StoreIfChanged(FDeviceScale, SnapDeviceScale(v))) return;
  FDeviceStale = true;
  Invalidate();
}

void TCustomControl::RenderScaled(TBitmap& Target, double Scale) {
  const TSmoothDrawing smooth(FSmooth);
  Target.SetSize(ScaledSize(Width(), Scale), ScaledSize(Height(), Scale));
  clear_surface(Target, Color());
  bool drawn = false;
  DrawScaled(*Target.Canvas(), 0, 0, Scale, Width(), Height(), [&](TCanvas& c) { drawn = PaintOn(c); });
  if (!drawn) Target.Canvas()->StretchDraw(Rect(0, 0, Target.Width(), Target.Height()), FSurface.get());
}

// Drawings made on the surface after Paint (exclusive-or bands, crosshairs) are found by
// comparing with the surface as Paint left it, and only those pixels are enlarged onto
// the sharp picture: one-pixel lines become lines of the scaled pen's width.
const TBitmap* TCustomControl::HostDevicePicture() {
  const TBitmap* logical = HostPicture();
  if (FDeviceScale == 1.0 || !CanPaint()) return logical;
  if (FDeviceStale) {
    RenderScaled(FDeviceBase, FDeviceScale);
    FPainted.Assign(FSurface.get());
    FDeviceStale = false;
  }
  const int w = FSurface->Width(), h = FSurface->Height();
  if (FPainted.Width() != w || FPainted.Height() != h) return &FDeviceBase;
  bool copied = false;
  auto edge = [this](int v) { return ScaledSize(v, FDeviceScale); };
  for (int y = 0; y < h; ++y) {
    const TRGB32* now = FSurface->ScanLine(y);
    const TRGB32* then = FPainted.ScanLine(y);
    if (std::memcmp(now, then, sizeof(TRGB32) * size_t(w)) == 0) continue;
    if (!copied) {
      FDevice.Assign(&FDeviceBase);
      copied = true;
    }
    for (int x = 0; x < w; ++x) {
      if (std::memcmp(&now[x], &then[x], sizeof(TRGB32)) == 0) continue;
      for (int dy = edge(y); dy < edge(y + 1) && dy < FDevice.Height(); ++dy)
        std::fill(FDevice.ScanLine(dy) + edge(x), FDevice.ScanLine(dy) + std::min(edge(x + 1), FDevice.Width()), now[x]);
    }
  }
  return copied ? &FDevice : &FDeviceBase;
}

void TCustomControl::CopyToBitmapScaled(TBitmap* Bitmap, double Scale) {
  if (!Bitmap || !std::isfinite(Scale) || Scale <= 0) return;
  if (Scale == 1.0 && CanPaint()) {
    Bitmap->Assign(HostPicture());
    return;
  }
  RenderScaled(*Bitmap, Scale);
}

void TCustomControl::SaveAsPNG(const std::string& FileName, double Scale) {
  TBitmap bmp;
  CopyToBitmapScaled(&bmp, Scale);
  bmp.SaveToFile(FileName);
}

void TCustomControl::PaintNow() {
  // A Paint that asks for a repaint of itself must not recurse.
  if (FPainting) return;
  struct Guard {
    bool& flag;
    ~Guard() { flag = false; }
  } guard{FPainting};
  FPainting = true;
  FDirty = false;
  FDeviceStale = true;
  const TSmoothDrawing smooth(FSmooth);
  Paint();
  if (OnHostPainted) OnHostPainted(this);
}

}  // namespace kvr
