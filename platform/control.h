// The window-control model: TControl (bounds, visibility, font, cursor, framework
// events) and TCustomControl (a control with its own window surface and Canvas).
//
// Life of a TCustomControl without a display:
//   TFoo c(nullptr);          // no window yet: Paint never runs
//   c.SetBounds(0, 0, 200, 100);
//   c.CreateWnd();            // the surface (a 32-bit bitmap) exists and is dirty
//   c.Update();               // paints because it is dirty; Repaint paints in any case
//   c.Surface()->SaveToFile("foo.png");
//
// Input reaches a control through the Host... entry points in the framework's message
// order. A left double click arrives as
//   HostMouseDown, HostMouseUp, HostDblClick, HostMouseUp
// and gives MouseDown, Click, MouseUp, DblClick, MouseDown (with ssDouble), MouseUp.
// Click runs on a left release that follows a left press (not a double-click press) when
// the release lies inside the control; it runs before MouseUp, as in the framework.
// Disabled or hidden controls ignore input.
//
// Threads: a control is used by one thread at a time, its window's thread (the thread
// that creates and paints a headless control). Distinct controls may live on distinct
// threads and paint at the same time.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/classes.h"
#include "platform/graphics.h"
#include "platform/types.h"

namespace kvr {

enum TMouseButton : Byte { mbLeft, mbRight, mbMiddle };

enum TShiftStateValue : Byte { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateValue>;

enum TStyleElement : Byte { seFont, seClient, seBorder };
using TStyleElements = TSet<TStyleElement>;

using TCursor = int16_t;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;
constexpr TCursor crSize = crSizeAll;

// Key flags of mouse messages.
constexpr Word MK_LBUTTON = 0x0001;
constexpr Word MK_RBUTTON = 0x0002;
constexpr Word MK_SHIFT = 0x0004;
constexpr Word MK_CONTROL = 0x0008;
constexpr Word MK_MBUTTON = 0x0010;

// Virtual key codes a host passes to HostKeyDown/HostKeyUp (letters and digits are
// their upper-case ASCII codes).
constexpr Word VK_BACK = 0x08;
constexpr Word VK_TAB = 0x09;
constexpr Word VK_RETURN = 0x0D;
constexpr Word VK_SHIFT = 0x10;
constexpr Word VK_CONTROL = 0x11;
constexpr Word VK_MENU = 0x12;
constexpr Word VK_ESCAPE = 0x1B;
constexpr Word VK_SPACE = 0x20;
constexpr Word VK_PRIOR = 0x21;
constexpr Word VK_NEXT = 0x22;
constexpr Word VK_END = 0x23;
constexpr Word VK_HOME = 0x24;
constexpr Word VK_LEFT = 0x25;
constexpr Word VK_UP = 0x26;
constexpr Word VK_RIGHT = 0x27;
constexpr Word VK_DOWN = 0x28;
constexpr Word VK_INSERT = 0x2D;
constexpr Word VK_DELETE = 0x2E;
constexpr Word VK_ADD = 0x6B;
constexpr Word VK_SUBTRACT = 0x6D;
constexpr Word VK_F1 = 0x70;

constexpr Integer WHEEL_DELTA = 120;

class EInvalidOperation : public Exception {
 public:
  using Exception::Exception;
};

// The supported device scale nearest to a screen's device pixel ratio (1 for ratios
// below 1 and for non-finite ones): what a host passes to SetDeviceScale.
double SnapDeviceScale(double Ratio);

// Message key flags to a shift state. Alt is not among the flags; like the framework,
// it is taken from the current keyboard state (here: the last state a host reported).
TShiftState KeysToShiftState(Word Keys);
// The reverse, for building mouse messages; Alt and ssDouble have no flag.
Word ShiftStateToKeys(TShiftState Shift);

// The raw mouse message handed to WMMouseMove.
struct TWMMouse {
  Word Keys = 0;
  Integer XPos = 0;
  Integer YPos = 0;
  intptr_t Result = 0;
};

using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, Integer X, Integer Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, Integer X, Integer Y)>;
// MousePos is in control coordinates (there is no screen to relate it to).
using TMouseWheelEvent = std::function<void(TObject* Sender, TShiftState Shift, Integer WheelDelta,
                                            TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent =
    std::function<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
using TKeyEvent = std::function<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
using TCanResizeEvent =
    std::function<void(TObject* Sender, Integer& NewWidth, Integer& NewHeight, bool& Resize)>;

// A visual component: bounds in its parent's pixels, visibility, font, colour, cursor
// and the framework events. Children are listed but not owned (the owner frees them).
class TControl : public TComponent {
 public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  // Properties
  Integer Left() const { return FLeft; }
  void SetLeft(Integer v) { SetBounds(v, FTop, FWidth, FHeight); }
  Integer Top() const { return FTop; }
  void SetTop(Integer v) { SetBounds(FLeft, v, FWidth, FHeight); }
  Integer Width() const { return FWidth; }
  void SetWidth(Integer v) { SetBounds(FLeft, FTop, v, FHeight); }
  Integer Height() const { return FHeight; }
  void SetHeight(Integer v) { SetBounds(FLeft, FTop, FWidth, v); }
  TRect BoundsRect() const { return Rect(FLeft, FTop, FLeft + FWidth, FTop + FHeight); }
  void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
  Integer ClientWidth() const { return FWidth; }
  Integer ClientHeight() const { return FHeight; }
  TRect ClientRect() const { return Rect(0, 0, FWidth, FHeight); }

  bool Visible() const { return FVisible; }
  void SetVisible(bool v);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool v);
  // Changes made through the returned font repaint the control.
  TFont* Font() { return &FFont; }
  const TFont* Font() const { return &FFont; }
  void SetFont(const TFont* v) { FFont.Assign(v); }
  TColor Color() const { return FColor; }
  void SetColor(TColor v);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor v) { FCursor = v; }
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& v) { FHint = v; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool v) { FShowHint = v; }
  // Which parts follow an active visual style (none is ever active here).
  TStyleElements StyleElements() const { return FStyleElements; }
  void SetStyleElements(TStyleElements v);

  TControl* Parent() const { return FParent; }
  void SetParent(TControl* AParent);
  Integer ControlCount() const { return static_cast<Integer>(FControls.size()); }
  TControl* Controls(Integer Index) const;

  // Events
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseWheelEvent OnMouseWheel;
  TMouseWheelUpDownEvent OnMouseWheelUp;
  TMouseWheelUpDownEvent OnMouseWheelDown;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TNotifyEvent OnResize;
  TCanResizeEvent OnCanResize;

  // Public methods
  // Negative sizes count as 0. OnCanResize may change or refuse the new size; a refusal
  // leaves the position unchanged too. Resize (OnResize) follows a change of size,
  // except while loading.
  // A size (as OnCanResize leaves it) beyond kMaxControlSide pixels a side or
  // kMaxControlPixels pixels in all raises EKvrError and leaves the control exactly as it
  // was (position, size, surface); sizes at the limits are accepted. The components'
  // overrides call this first, so they refuse such a size with nothing of theirs changed.
  static constexpr Integer kMaxControlSide = 65535;
  static constexpr int64_t kMaxControlPixels = int64_t{1} << 28;
  virtual void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight);
  // Raises the SetBounds error for a size beyond the limits; negative sizes pass.
  static void CheckBoundsSize(Integer AWidth, Integer AHeight);
  // Plain controls have no surface of their own; TCustomControl repaints.
  virtual void Invalidate() {}
  virtual void Update() {}
  virtual void Repaint() {}
  void Refresh() { Repaint(); }

  // Host entry points, in the framework's message order (see the top of this file).
  void HostMouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  void HostMouseMove(TShiftState Shift, Integer X, Integer Y);
  void HostMouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  // The double-click message replaces the second press. Only the left button runs
  // DblClick; every button then gets a press with ssDouble.
  void HostDblClick(Integer X, Integer Y, TMouseButton Button = mbLeft, TShiftState Shift = {});
  // Returns whether a handler took the wheel turn.
  bool HostMouseWheel(TShiftState Shift, Integer WheelDelta, Integer X, Integer Y);
  void HostMouseEnter();
  void HostMouseLeave();
  // Return the key as the handlers left it (0 = consumed).
  Word HostKeyDown(Word Key, TShiftState Shift);
  Word HostKeyUp(Word Key, TShiftState Shift);
  char HostKeyPress(char Key);

  bool MouseInControl() const { return FMouseInControl; }

 protected:
  // Protected virtual hooks; each base version fires the matching event.
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  virtual void MouseMove(TShiftState Shift, Integer X, Integer Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  virtual void Click();
  virtual void DblClick();
  // Fires OnMouseWheel; unhandled turns are summed and every full WHEEL_DELTA step goes
  // to DoMouseWheelUp or DoMouseWheelDown.
  virtual bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos);
  virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
  virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
  virtual void MouseEnter();
  virtual void MouseLeave();
  virtual void KeyDown(Word& Key, TShiftState Shift);
  virtual void KeyUp(Word& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);
  // The raw mouse-move message; the base turns it into MouseMove.
  virtual void WMMouseMove(TWMMouse& Message);
  virtual bool CanResize(Integer& NewWidth, Integer& NewHeight);
  virtual void Resize();
  // Runs after new bounds are stored and before Resize.
  virtual void BoundsChanged(bool SizeChanged) { (void)SizeChanged; }
  virtual void FontChanged() { Invalidate(); }

 private:
  bool AcceptsInput() const { return FEnabled && FVisible; }

  Integer FLeft = 0;
  Integer FTop = 0;
  Integer FWidth = 0;
  Integer FHeight = 0;
  bool FVisible = true;
  bool FEnabled = true;
  TFont FFont;
  TColor FColor = clBtnFace;
  TCursor FCursor = crDefault;
  std::string FHint;
  bool FShowHint = false;
  TStyleElements FStyleElements{seFont, seClient, seBorder};
  TControl* FParent = nullptr;
  std::vector<TControl*> FControls;
  bool FClicked = false;
  bool FMouseInControl = false;
  Integer FWheelAccumulator = 0;
};

// A control with a window: a 32-bit surface of the control's size whose canvas is the
// control's Canvas. Paint runs only while the window exists (after CreateWnd) and the
// control is visible. Invalidate marks the surface dirty, Update paints a dirty surface,
// Repaint and Refresh paint at once.
class TCustomControl : public TControl {
 public:
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;

  // Properties
  // Always valid; before CreateWnd it draws on an empty surface.
  TCanvas* Canvas() { return FSurface->Canvas(); }
  TBitmap* Surface() { return FSurface.get(); }
  const TBitmap* Surface() const { return FSurface.get(); }
  bool HandleAllocated() const { return FHandleAllocated; }
  bool Dirty() const { return FDirty; }
  // Smooth (anti-aliased) lines, curves, marks, grid and axes while the control paints;
  // off by default, and exclusive-or drawing stays aliased in any case.
  bool Smooth() const { return FSmooth; }
  void SetSmooth(bool v);
  // Device pixels per logical pixel of the screen the control shows on (1, 1.25, 1.5, 2
  // or 3; other values snap to the nearest, non-finite ones are ignored). The control's
  // size, Canvas, Surface and mouse coordinates stay logical; HostDevicePicture gives
  // the picture drawn afresh at device resolution.
  double DeviceScale() const { return FDeviceScale; }
  void SetDeviceScale(double v);

  // Host hooks: OnHostInvalidate when the surface becomes dirty or was drawn on outside
  // Paint (a windowed host schedules a paint and calls HostPicture), OnHostPainted after
  // Paint has run.
  std::function<void(TCustomControl* Sender)> OnHostInvalidate;
  std::function<void(TCustomControl* Sender)> OnHostPainted;

  // Public methods
  // Creates the window surface at the control's size, cleared to Color, and marks it
  // dirty. Calling it again recreates the surface.
  virtual void CreateWnd();
  virtual void DestroyWnd();
  void HandleNeeded() {
    if (!FHandleAllocated) CreateWnd();
  }
  void Invalidate() override;
  void Update() override;
  void Repaint() override;
  // The window system asks for the picture: paints (when allowed) and returns the surface.
  const TBitmap* HostPaint();
  // The picture for a host that keeps its window contents: paints only a dirty surface,
  // so drawings made on the surface outside Paint (exclusive-or bands) stay visible.
  const TBitmap* HostPicture();
  // Drawing outside Paint changed the surface: a windowed host should show it again.
  void SurfaceChanged();
  // HostPicture at DeviceScale: ScaledSize(Width(), DeviceScale()) pixels wide. Drawings
  // made on the surface outside Paint (bands, crosshairs) are enlarged onto it.
  const TBitmap* HostDevicePicture();
  // The control's picture drawn afresh at Scale device pixels per logical pixel (fonts,
  // pens, marks and margins scaled alike), Smooth as the control. Nothing for a scale
  // that is not finite and > 0.
  void CopyToBitmapScaled(TBitmap* Bitmap, double Scale);
  // Saves that picture; the file name's extension picks PNG or BMP.
  void SaveAsPNG(const std::string& FileName, double Scale = 1.0);

 protected:
  virtual void Paint() {}
  // Draws the control's picture, laid out in logical pixels, onto any canvas (a scaled
  // one for device pixels). False when the control cannot: its surface is enlarged then.
  virtual bool PaintOn(TCanvas& Target) {
    (void)Target;
    return false;
  }
  void BoundsChanged(bool SizeChanged) override;

 private:
  bool CanPaint() const { return FHandleAllocated && Visible(); }
  void PaintNow();
  void RenderScaled(TBitmap& Target, double Scale);

  bool FSmooth = false;
  double FDeviceScale = 1.0;
  bool FDeviceStale = true;   // FDeviceBase no longer matches the last Paint
  TBitmap FDeviceBase;        // the last Paint at device resolution
  TBitmap FPainted;           // the surface as that Paint left it
  TBitmap FDevice;            // FDeviceBase with the later drawings on the surface

  std::unique_ptr<TBitmap> FSurface;
  bool FHandleAllocated = false;
  bool FDirty = false;
  bool FPainting = false;
};

}  // namespace kvr
