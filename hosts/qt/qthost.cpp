#include "hosts/qt/qthost.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QBitmap>
#include <QBuffer>
#include <QClipboard>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>
#include <QWheelEvent>

#include "platform/bitmap.h"
#include "platform/classes.h"
#include "platform/clipbrd.h"
#include "platform/dialogs.h"
#include "platform/printers.h"

namespace kvr {

// Learns through the free-notification when the hosted control goes away.
class TQtHost::Watcher : public TComponent {
 public:
  explicit Watcher(TCustomControl* c) : TComponent(nullptr), control(c) {
    if (control) control->FreeNotification(this);
  }
  ~Watcher() override {
    if (control) control->RemoveFreeNotification(this);
  }
  TCustomControl* control;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == control) control = nullptr;
  }
};

namespace {

TMouseButton button_of(Qt::MouseButton b) {
  switch (b) {
    case Qt::RightButton: return mbRight;
    case Qt::MiddleButton: return mbMiddle;
    default: return mbLeft;
  }
}

QPoint pos_of(const QMouseEvent* e) { return e->position().toPoint(); }

}  // namespace

TShiftState ShiftStateOf(Qt::KeyboardModifiers Mods, Qt::MouseButtons Buttons) {
  TShiftState s;
  if (Mods & Qt::ShiftModifier) s.Include(ssShift);
  if (Mods & Qt::ControlModifier) s.Include(ssCtrl);
  if (Mods & Qt::AltModifier) s.Include(ssAlt);
  if (Buttons & Qt::LeftButton) s.Include(ssLeft);
  if (Buttons & Qt::RightButton) s.Include(ssRight);
  if (Buttons & Qt::MiddleButton) s.Include(ssMiddle);
  return s;
}

Word VirtualKeyOf(int k) {
  if ((k >= Qt::Key_A && k <= Qt::Key_Z) || (k >= Qt::Key_0 && k <= Qt::Key_9)) return Word(k);
  if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return Word(VK_F1 + (k - Qt::Key_F1));
  switch (k) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Plus: return VK_ADD;
    case Qt::Key_Minus: return VK_SUBTRACT;
    default: return 0;
  }
}

QImage SurfaceImage(const TBitmap& b) {
  // TRGB32 (B, G, R, A bytes) is exactly Qt's 0xffRRGGBB word on little-endian machines.
  return QImage(reinterpret_cast<const uchar*>(b.Bits()), b.Width(), b.Height(), b.Width() * 4,
                QImage::Format_RGB32);
}

QCursor ToQCursor(TCursor c) {
  switch (c) {
    case crNone: return QCursor(Qt::BlankCursor);
    case crCross: return QCursor(Qt::CrossCursor);
    case crIBeam: return QCursor(Qt::IBeamCursor);
    case crSizeNESW: return QCursor(Qt::SizeBDiagCursor);
    case crSizeNS: return QCursor(Qt::SizeVerCursor);
    case crSizeNWSE: return QCursor(Qt::SizeFDiagCursor);
    case crSizeWE: return QCursor(Qt::SizeHorCursor);
    case crUpArrow: return QCursor(Qt::UpArrowCursor);
    case crHourGlass:
    case crSQLWait: return QCursor(Qt::WaitCursor);
    case crDrag:
    case crMultiDrag: return QCursor(Qt::DragMoveCursor);
    case crNoDrop:
    case crNo: return QCursor(Qt::ForbiddenCursor);
    case crHSplit: return QCursor(Qt::SplitHCursor);
    case crVSplit: return QCursor(Qt::SplitVCursor);
    case crAppStart: return QCursor(Qt::BusyCursor);
    case crHelp: return QCursor(Qt::WhatsThisCursor);
    case crHandPoint: return QCursor(Qt::PointingHandCursor);
    case crSizeAll: return QCursor(Qt::SizeAllCursor);
    case crDefault:
    case crArrow: return QCursor(Qt::ArrowCursor);
    default: break;
  }
  // Registered cursors carry their own picture.
  HCURSOR h = Screen().Cursors(c);
  if (!h || !h->HasImage()) return QCursor(Qt::ArrowCursor);
  QImage img(h->Width, h->Height, QImage::Format_ARGB32);
  for (int y = 0; y < h->Height; ++y)
    for (int x = 0; x < h->Width; ++x) {
      const size_t i = size_t(y) * h->Width + x;
      const TRGB32 p = h->Pixels[i];
      img.setPixel(x, y, h->Mask[i] ? qRgba(p.R, p.G, p.B, 255) : qRgba(0, 0, 0, 0));
    }
  return QCursor(QPixmap::fromImage(img), h->HotSpotX, h->HotSpotY);
}

TQtHost::TQtHost(TCustomControl* Control, QWidget* Parent)
    : QWidget(Parent), FWatcher(std::make_unique<Watcher>(Control)) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  if (Control) {
    Control->OnHostInvalidate = [this](TCustomControl*) { update(); };
    Control->SetBounds(Control->Left(), Control->Top(), std::max(1, width()), std::max(1, height()));
    Control->HandleNeeded();
  }
}

TQtHost::~TQtHost() {
  if (TCustomControl* c = Control()) c->OnHostInvalidate = nullptr;
}

TCustomControl* TQtHost::Control() const { return FWatcher->control; }

double HostDeviceScale(const QWidget& Widget) { return SnapDeviceScale(Widget.devicePixelRatioF()); }

void TQtHost::paintEvent(QPaintEvent*) {
  QPainter p(this);
  TCustomControl* c = Control();
  if (!c) {
    p.fillRect(rect(), palette().window());
    return;
  }
  // The screen's pixel density decides the picture's resolution; the control keeps its
  // logical size and mouse coordinates.
  c->SetDeviceScale(HostDeviceScale(*this));
  const TBitmap* surface = c->HostDevicePicture();
  QImage img = SurfaceImage(*surface);
  const double scale = surface == c->Surface() ? 1.0 : c->DeviceScale();
  img.setDevicePixelRatio(scale);
  p.drawImage(0, 0, img);
  // Outside the surface (during a resize) show the window colour.
  const int sw = int(std::floor(surface->Width() / scale)), sh = int(std::floor(surface->Height() / scale));
  if (sw < width()) p.fillRect(sw, 0, width(), height(), palette().window());
  if (sh < height()) p.fillRect(0, sh, width(), height(), palette().window());
}

// A control refuses surfaces beyond the bitmap limits; a larger window shows the
// largest surface it accepts instead of raising out of Qt's event loop.
void TQtHost::resizeEvent(QResizeEvent*) {
  TCustomControl* c = Control();
  if (!c) return;
  const long long w = std::clamp<long long>(width(), 1, kMaxBitmapSide);
  const long long h = std::clamp<long long>(height(), 1, std::min<long long>(kMaxBitmapSide, kMaxBitmapPixels / w));
  c->SetBounds(c->Left(), c->Top(), Integer(w), Integer(h));
}

// Input handlers may draw on the surface directly (bands, dragged crosshairs): show it,
// and take over the cursor the control asks for.
void TQtHost::after_input() {
  update();
  TCustomControl* c = Control();
  const TCursor want = c ? c->Cursor() : crDefault;
  if (want == FShownCursor) return;
  FShownCursor = want;
  setCursor(ToQCursor(want));
}

void TQtHost::mousePressEvent(QMouseEvent* e) {
  if (TCustomControl* c = Control())
    c->HostMouseDown(button_of(e->button()), ShiftStateOf(e->modifiers(), e->buttons()), pos_of(e).x(),
                     pos_of(e).y());
  after_input();
}

void TQtHost::mouseReleaseEvent(QMouseEvent* e) {
  if (TCustomControl* c = Control())
    c->HostMouseUp(button_of(e->button()), ShiftStateOf(e->modifiers(), e->buttons()), pos_of(e).x(),
                   pos_of(e).y());
  after_input();
}

// Qt sends press, release, double-click, release: the same order the controls expect,
// with the double-click message in place of the second press.
void TQtHost::mouseDoubleClickEvent(QMouseEvent* e) {
  if (TCustomControl* c = Control())
    c->HostDblClick(pos_of(e).x(), pos_of(e).y(), button_of(e->button()),
                    ShiftStateOf(e->modifiers(), e->buttons()));
  after_input();
}

void TQtHost::mouseMoveEvent(QMouseEvent* e) {
  if (TCustomControl* c = Control())
    c->HostMouseMove(ShiftStateOf(e->modifiers(), e->buttons()), pos_of(e).x(), pos_of(e).y());
  after_input();
}

void TQtHost::wheelEvent(QWheelEvent* e) {
  TCustomControl* c = Control();
  const QPoint p = e->position().toPoint();
  if (c && c->HostMouseWheel(ShiftStateOf(e->modifiers(), e->buttons()), e->angleDelta().y(), p.x(), p.y()))
    e->accept();
  else
    e->ignore();
}

void TQtHost::enterEvent(QEnterEvent*) {
  if (TCustomControl* c = Control()) c->HostMouseEnter();
  after_input();
}

void TQtHost::leaveEvent(QEvent*) {
  if (TCustomControl* c = Control()) c->HostMouseLeave();
}

void TQtHost::keyPressEvent(QKeyEvent* e) {
  TCustomControl* c = Control();
  const Word vk = VirtualKeyOf(e->key());
  if (!c || (vk == 0 && e->text().isEmpty())) {
    QWidget::keyPressEvent(e);
    return;
  }
  if (vk) c->HostKeyDown(vk, ShiftStateOf(e->modifiers(), Qt::NoButton));
  const QByteArray t = e->text().toLatin1();
  if (t.size() == 1 && (unsigned char)t[0] >= 32 && (unsigned char)t[0] < 127) c->HostKeyPress(t[0]);
}

void TQtHost::keyReleaseEvent(QKeyEvent* e) {
  TCustomControl* c = Control();
  const Word vk = VirtualKeyOf(e->key());
  if (c && vk) c->HostKeyUp(vk, ShiftStateOf(e->modifiers(), Qt::NoButton));
  else QWidget::keyReleaseEvent(e);
}

namespace {

// Printing through Qt: the print dialog picks the device (a printer or a PDF file) and
// its paper; the finished page images are drawn on it at its own resolution.
class QtPrinterHost : public TPrinterHost {
 public:
  bool BeginDoc(TPrinter& P) override {
    FPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    FPrinter->setFullPage(true);  // page pixel (0, 0) is the paper's corner
    FPrinter->setDocName(QString::fromStdString(P.Title()));
    QPrintDialog dialog(FPrinter.get());
    if (dialog.exec() != QDialog::Accepted) {
      FPrinter.reset();
      return false;
    }
    const QPageLayout layout = FPrinter->pageLayout();
    const QSizeF mm = layout.pageSize().size(QPageSize::Millimeter);
    // Pages are composed as images: 300 dpi is sharp on paper and keeps an A4 page near
    // 35 MB (a 1200 dpi device would need 16 times that); Qt scales to the device.
    P.SetResolution(std::min(FPrinter->resolution(), 300));
    P.SetPaperSizeMM(std::min(mm.width(), mm.height()), std::max(mm.width(), mm.height()));
    P.SetOrientation(layout.orientation() == QPageLayout::Landscape ? poLandscape : poPortrait);
    FPainter = std::make_unique<QPainter>(FPrinter.get());
    FFirst = true;
    return FPainter->isActive();
  }
  void Page(const TBitmap& Page, Integer) override {
    if (!FPainter) return;
    if (!FFirst) FPrinter->newPage();
    FFirst = false;
    const QRect paper = FPrinter->pageLayout().fullRectPixels(FPrinter->resolution());
    FPainter->drawImage(QRect(0, 0, paper.width(), paper.height()), SurfaceImage(Page));
  }
  void EndDoc(bool Aborted) override {
    if (FPainter) {
      if (Aborted) FPrinter->abort();
      FPainter->end();
    }
    FPainter.reset();
    FPrinter.reset();
  }

 private:
  std::unique_ptr<QPrinter> FPrinter;
  std::unique_ptr<QPainter> FPainter;
  bool FFirst = true;
};

}  // namespace

void InstallQtPlatformHooks() {
  if (!Printer().Printing()) Printer().SetHost(std::make_unique<QtPrinterHost>());
  Application().OnHostProcessMessages = [] { QCoreApplication::processEvents(QEventLoop::AllEvents, 20); };
  Screen().OnHostCursorChange = [](TCursor c) {
    while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
    if (c != crDefault) QGuiApplication::setOverrideCursor(ToQCursor(c));
  };
  Clipboard().OnHostChange = [](TClipboard* cb) {
    auto* mime = new QMimeData;
    if (const TBitmap* b = cb->Bitmap()) mime->setImageData(SurfaceImage(*b).copy());
    if (cb->HasFormat(CF_ENHMETAFILE))
      mime->setData("image/svg+xml", QByteArray::fromStdString(cb->AsMetafile()));
    if (cb->HasFormat(CF_TEXT)) mime->setText(QString::fromStdString(cb->AsText()));
    QGuiApplication::clipboard()->setMimeData(mime);
  };
  SetMessageDlgHandler([](const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons, Integer) {
    QMessageBox box;
    box.setText(QString::fromStdString(msg));
    box.setIcon(type == mtWarning       ? QMessageBox::Warning
                : type == mtError       ? QMessageBox::Critical
                : type == mtInformation ? QMessageBox::Information
                : type == mtConfirmation ? QMessageBox::Question
                                         : QMessageBox::NoIcon);
    struct Map {
      TMsgDlgBtn ours;
      QMessageBox::StandardButton theirs;
      TModalResult result;
    } map[] = {{mbYes, QMessageBox::Yes, mrYes},         {mbNo, QMessageBox::No, mrNo},
               {mbOK, QMessageBox::Ok, mrOk},            {mbCancel, QMessageBox::Cancel, mrCancel},
               {mbAbort, QMessageBox::Abort, mrAbort},   {mbRetry, QMessageBox::Retry, mrRetry},
               {mbIgnore, QMessageBox::Ignore, mrIgnore}, {mbAll, QMessageBox::YesToAll, mrAll},
               {mbNoToAll, QMessageBox::NoToAll, mrNoToAll}, {mbYesToAll, QMessageBox::YesToAll, mrYesToAll},
               {mbHelp, QMessageBox::Help, mrNone},      {mbClose, QMessageBox::Close, mrClose}};
    QMessageBox::StandardButtons std_buttons;
    for (const Map& m : map)
      if (buttons.Contains(m.ours)) std_buttons |= m.theirs;
    box.setStandardButtons(std_buttons ? std_buttons : QMessageBox::Ok);
    const int answer = box.exec();
    for (const Map& m : map)
      if (answer == m.theirs) return m.result;
    return mrCancel;
  });
}

}  // namespace kvr
