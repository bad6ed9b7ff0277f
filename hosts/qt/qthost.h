// The Qt 6 host: a QWidget that shows any of our controls in a desktop window.
//
// The widget only translates. It paints the control's window surface, passes its size
// to SetBounds, and forwards mouse, wheel, enter/leave and key events through the
// control's Host... entry points in the framework's message order. The control is not
// owned; when it is destroyed first, the widget lets go of it and shows nothing.
//
//   QApplication app(argc, argv);
//   kvr::InstallQtPlatformHooks();   // message loop, cursors, clipboard, message boxes
//   kvr::TZUvado chart(nullptr);
//   kvr::TQtHost host(&chart);
//   host.resize(800, 600);
//   host.show();
//   return app.exec();
#pragma once

#include <QCursor>
#include <QImage>
#include <QWidget>
#include <memory>

#include "platform/control.h"
#include "platform/forms.h"

namespace kvr {

class TQtHost : public QWidget {
 public:
  explicit TQtHost(TCustomControl* Control, QWidget* Parent = nullptr);
  ~TQtHost() override;

  // nullptr once the control has been destroyed.
  TCustomControl* Control() const;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;

 private:
  class Watcher;
  void after_input();

  std::unique_ptr<Watcher> FWatcher;
  TCursor FShownCursor = crDefault;
};

// Replaces the headless platform hooks with Qt's: Application().ProcessMessages runs
// Qt's event processing, Screen().Cursor becomes the application's override cursor,
// clipboard contents go to the system clipboard, MessageDlg shows a QMessageBox, and
// printing (Printer().BeginDoc) shows Qt's print dialog and prints on the device chosen
// there (a printer or a PDF file); a cancelled dialog prints nothing.
// Call once after the QApplication exists.
void InstallQtPlatformHooks();

// Conversions the host uses; public for tests and custom hosts.
QCursor ToQCursor(TCursor Cursor);
// A QImage sharing the bitmap's pixels (valid while the bitmap keeps its size).
QImage SurfaceImage(const TBitmap& Bitmap);
TShiftState ShiftStateOf(Qt::KeyboardModifiers Mods, Qt::MouseButtons Buttons);
// The device scale a control shown in the widget draws at: the widget's screen's device
// pixel ratio, snapped to the supported scales.
double HostDeviceScale(const QWidget& Widget);
Word VirtualKeyOf(int QtKey);

}  // namespace kvr
