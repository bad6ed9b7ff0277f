// The Qt host under the offscreen platform: real Qt events reach the control, and the
// control's pixels reach the widget.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "hosts/qt/qthost.h"
#include "scale/scale.h"
#include "zuvado/zuvado.h"

using namespace kvr;

namespace {

QApplication& app() {
  static int argc = 1;
  static char name[] = "test_qt";
  static char* argv[] = {name, nullptr};
  static QApplication* a = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
  }();
  return *a;
}

// Records what arrives, in order.
class Probe : public TCustomControl {
 public:
  Probe() : TCustomControl(nullptr) {}
  std::vector<std::string> log;

 protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(clRed);
    Canvas()->FillRect(Rect(0, 0, Width(), Height()));
    Canvas()->Brush()->SetColor(clBlue);
    Canvas()->FillRect(Rect(10, 10, 20, 20));
  }
  void MouseDown(TMouseButton b, TShiftState s, Integer x, Integer y) override {
    log.push_back(std::string(s.Contains(ssDouble) ? "down2 " : "down ") + std::to_string(b) + " " +
                  std::to_string(x) + "," + std::to_string(y));
  }
  void MouseUp(TMouseButton b, TShiftState, Integer x, Integer y) override {
    log.push_back("up " + std::to_string(b) + " " + std::to_string(x) + "," + std::to_string(y));
  }
  void MouseMove(TShiftState s, Integer x, Integer y) override {
    if (s.Contains(ssLeft)) log.push_back("drag " + std::to_string(x) + "," + std::to_string(y));
  }
  void DblClick() override { log.push_back("dbl"); }
};

TEST(QtHost, PaintShowsTheControlsPixelsAndResizeReachesSetBounds) {
  app();
  Probe p;
  TQtHost host(&p);
  host.resize(120, 80);
  host.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
  EXPECT_EQ(p.Width(), 120);
  EXPECT_EQ(p.Height(), 80);
  const QImage shot = host.grab().toImage();
  EXPECT_EQ(shot.pixelColor(5, 5), QColor(255, 0, 0));
  EXPECT_EQ(shot.pixelColor(15, 15), QColor(0, 0, 255));
  EXPECT_EQ(shot.pixelColor(119, 79), QColor(255, 0, 0));
}

TEST(QtHost, TheScreensPixelRatioSetsTheDeviceScale) {
  app();
  Probe p;
  p.SetDeviceScale(3);  // the host decides, from the screen it shows on
  TQtHost host(&p);
  host.resize(60, 40);
  host.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
  const QImage shot = host.grab().toImage();
  EXPECT_EQ(HostDeviceScale(host), SnapDeviceScale(host.devicePixelRatioF()));
  EXPECT_EQ(p.DeviceScale(), HostDeviceScale(host));
  EXPECT_EQ(p.Width(), 60);  // logical size whatever the ratio
  EXPECT_EQ(shot.pixelColor(15, 15), QColor(0, 0, 255));
}

TEST(QtHost, MouseEventsArriveInTheFrameworksOrder) {
  app();
  Probe p;
  TQtHost host(&p);
  host.resize(100, 100);
  host.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
  QTest::mousePress(&host, Qt::LeftButton, Qt::NoModifier, QPoint(10, 12));
  QTest::mouseMove(&host, QPoint(30, 40));
  QTest::mouseRelease(&host, Qt::LeftButton, Qt::NoModifier, QPoint(30, 40));
  // What a window system sends for a double click: press, release, double-click, release.
  auto send = [&](QEvent::Type t, Qt::MouseButton b, Qt::MouseButtons held) {
    QMouseEvent e(t, QPointF(5, 6), host.mapToGlobal(QPointF(5, 6)), b, held, Qt::NoModifier);
    QApplication::sendEvent(&host, &e);
  };
  send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
  send(QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
  const std::vector<std::string> want = {"down 0 10,12", "drag 30,40", "up 0 30,40", "down 0 5,6",
                                         "up 0 5,6",     "dbl",        "down2 0 5,6", "up 0 5,6"};
  EXPECT_EQ(p.log, want);
}

TEST(QtHost, DraggingAScaleThroughQtEventsPansItsRange) {
  app();
  TScale scale(nullptr);
  scale.SetScaleType(sctBottom);
  scale.SetRange(0, 100);
  scale.SetMouseAction(maPan);
  TQtHost host(&scale);
  host.resize(300, 50);
  host.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
  const double span = scale.RangeHigh() - scale.RangeLow();
  QTest::mousePress(&host, Qt::LeftButton, Qt::NoModifier, QPoint(150, 20));
  // Qt's test helper sends moves without buttons; deliver real drag events.
  for (int x : {149, 120, 90}) {
    QMouseEvent move(QEvent::MouseMove, QPointF(x, 20), host.mapToGlobal(QPointF(x, 20)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&host, &move);
  }
  QTest::mouseRelease(&host, Qt::LeftButton, Qt::NoModifier, QPoint(90, 20));
  EXPECT_GT(scale.RangeLow(), 0.0);  // dragged to the left: the range moves up
  EXPECT_NEAR(scale.RangeHigh() - scale.RangeLow(), span, 1e-9);
}

// Qt's test helper sends moves without buttons; a real drag holds the button.
void drag(TQtHost& host, QPoint from, QPoint to, Qt::MouseButton b = Qt::LeftButton) {
  QTest::mousePress(&host, b, Qt::NoModifier, from);
  // Drags take their anchor at the first move, which a real mouse sends at the press point.
  for (int i = 0; i <= 4; ++i) {
    const QPointF p = QPointF(from) + (QPointF(to) - QPointF(from)) * (i / 4.0);
    QMouseEvent move(QEvent::MouseMove, p, host.mapToGlobal(p), Qt::NoButton, b, Qt::NoModifier);
    QApplication::sendEvent(&host, &move);
  }
  QTest::mouseRelease(&host, b, Qt::NoModifier, to);
}

// 400 x 300, margins 50/10/16/32: the chart area is 340 x 252 and world = area pixels.
struct HostedChart {
  TZUvado chart{nullptr};
  TQtHost host{&chart};
  HostedChart() {
    host.resize(400, 300);
    host.show();
    chart.SetMarginLeft(50);
    chart.SetMarginRight(10);
    chart.SetMarginTop(16);
    chart.SetMarginBottom(32);
    chart.SetRange(1, 0, 0, 340, 252);
    chart.SetDataColor(clRed);
    chart.SetFillColor(clRed);
    chart.Rectangle(100.0, 100.0, 140.0, 140.0);
    chart.ShowGraf();
  }
};

TEST(QtHost, ZoomWindowDragThroughQtEventsZoomsTheChart) {
  app();
  HostedChart h;
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&h.host));
  h.chart.SetMouseAction(maZoomWind);
  int zoomed = 0;
  h.chart.OnZoomPan = [&](TObject*) { ++zoomed; };
  // Area pixel (x, y) is control pixel (50 + x, 16 + y); world y = 252 - area y.
  drag(h.host, QPoint(50 + 100, 16 + 152), QPoint(50 + 200, 16 + 52));
  EXPECT_EQ(zoomed, 1);
  EXPECT_NEAR(h.chart.Scale1X()->RangeLow(), 100, 1.0);
  EXPECT_NEAR(h.chart.Scale1X()->RangeHigh(), 200, 1.0);
  EXPECT_NEAR(h.chart.Scale1Y()->RangeLow(), 100, 1.0);
  EXPECT_NEAR(h.chart.Scale1Y()->RangeHigh(), 200, 1.0);
  // The widget shows the zoomed picture: the red square now fills the area's lower left.
  QApplication::processEvents();
  const QImage shot = h.host.grab().toImage();
  EXPECT_EQ(shot.pixelColor(50 + 20, 16 + 252 - 20), QColor(255, 0, 0));
  EXPECT_NE(shot.pixelColor(50 + 300, 16 + 20), QColor(255, 0, 0));
}

TEST(QtHost, PanDragThroughQtEventsMovesTheRanges) {
  app();
  HostedChart h;
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&h.host));
  h.chart.SetMouseAction(maPan);
  drag(h.host, QPoint(200, 150), QPoint(240, 130));
  // Dragged 40 right and 20 up: the world moves with the pointer.
  EXPECT_NEAR(h.chart.Scale1X()->RangeLow(), -40, 1.0);
  EXPECT_NEAR(h.chart.Scale1X()->RangeHigh(), 300, 1.0);
  EXPECT_NEAR(h.chart.Scale1Y()->RangeLow(), -20, 1.0);
  EXPECT_NEAR(h.chart.Scale1Y()->RangeHigh(), 232, 1.0);
}

TEST(QtHost, LetsGoOfADestroyedControl) {
  app();
  auto p = std::make_unique<Probe>();
  TQtHost host(p.get());
  host.resize(50, 50);
  host.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
  p.reset();
  EXPECT_EQ(host.Control(), nullptr);
  QTest::mouseClick(&host, Qt::LeftButton);
  host.repaint();
}

TEST(QtHost, ConversionsOfCursorsKeysAndShiftStates) {
  app();
  EXPECT_EQ(ToQCursor(crCross).shape(), Qt::CrossCursor);
  EXPECT_EQ(ToQCursor(crHandPoint).shape(), Qt::PointingHandCursor);
  Screen().SetCursors(1, LoadCursor("CURHAND"));
  const QCursor hand = ToQCursor(1);
  EXPECT_EQ(hand.shape(), Qt::BitmapCursor);
  EXPECT_FALSE(hand.pixmap().isNull());
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Escape), VK_ESCAPE);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_A), Word('A'));
  const TShiftState s = ShiftStateOf(Qt::ShiftModifier | Qt::ControlModifier, Qt::LeftButton);
  EXPECT_TRUE(s.Contains(ssShift));
  EXPECT_TRUE(s.Contains(ssCtrl));
  EXPECT_TRUE(s.Contains(ssLeft));
  EXPECT_FALSE(s.Contains(ssAlt));
}

}  // namespace
