#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/control.h"

using namespace kvr;

namespace {

// Paints its client area in one colour and counts the paints.
class Painter : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  int paints = 0;
  TColor fill = clRed;
  bool repaint_inside = false;
  void Touch() { Invalidate(); }

 protected:
  void Paint() override {
    ++paints;
    Canvas()->Brush()->SetColor(fill);
    Canvas()->FillRect(ClientRect());
    if (repaint_inside) Repaint();
  }
};

}  // namespace

TEST(ControlPaint, NothingPaintsBeforeTheWindowExists) {
  Painter c(nullptr);
  c.SetBounds(0, 0, 40, 30);
  c.Repaint();
  c.Refresh();
  c.Update();
  EXPECT_EQ(c.paints, 0);
  EXPECT_FALSE(c.HandleAllocated());
  ASSERT_NE(c.Canvas(), nullptr);  // usable (it draws nowhere) before the window exists
  EXPECT_EQ(c.Surface()->Width(), 0);

  c.CreateWnd();
  EXPECT_TRUE(c.HandleAllocated());
  EXPECT_EQ(c.Surface()->Width(), 40);
  EXPECT_EQ(c.Surface()->Height(), 30);
  EXPECT_TRUE(c.Dirty());
  c.Update();
  EXPECT_EQ(c.paints, 1);
  EXPECT_EQ(c.Canvas()->Pixels(39, 29), clRed);
}

TEST(ControlPaint, InvalidateDefersUntilUpdateRepaintPaintsAtOnce) {
  Painter c(nullptr);
  c.SetBounds(0, 0, 10, 10);
  c.CreateWnd();
  c.Update();
  ASSERT_EQ(c.paints, 1);
  c.Update();  // clean: nothing to do
  EXPECT_EQ(c.paints, 1);
  c.Touch();
  c.Touch();
  EXPECT_EQ(c.paints, 1);
  c.Update();  // two invalidations, one paint
  EXPECT_EQ(c.paints, 2);
  c.Repaint();
  c.Refresh();
  EXPECT_EQ(c.paints, 4);
  EXPECT_FALSE(c.Dirty());
  c.HostPaint();  // the window system may ask even when nothing changed
  EXPECT_EQ(c.paints, 5);
}

TEST(ControlPaint, HiddenControlKeepsItsRequestUntilShown) {
  Painter c(nullptr);
  c.SetBounds(0, 0, 10, 10);
  c.CreateWnd();
  c.SetVisible(false);
  c.Repaint();
  EXPECT_EQ(c.paints, 0);
  EXPECT_TRUE(c.Dirty());
  c.SetVisible(true);
  c.Update();
  EXPECT_EQ(c.paints, 1);
}

TEST(ControlPaint, PaintAskingForARepaintDoesNotRecurse) {
  Painter c(nullptr);
  c.SetBounds(0, 0, 10, 10);
  c.CreateWnd();
  c.repaint_inside = true;
  c.Repaint();
  EXPECT_EQ(c.paints, 1);
}

TEST(ControlPaint, HostHooksSeeInvalidationsAndPaints) {
  Painter c(nullptr);
  int invalidated = 0, painted = 0;
  c.OnHostInvalidate = [&](TCustomControl* s) {
    EXPECT_EQ(s, &c);
    ++invalidated;
  };
  c.OnHostPainted = [&](TCustomControl*) { ++painted; };
  c.SetBounds(0, 0, 10, 10);
  c.Touch();
  EXPECT_EQ(invalidated, 0);  // no window yet: nothing for a host to show
  c.CreateWnd();
  EXPECT_EQ(invalidated, 1);
  c.Update();
  EXPECT_EQ(painted, 1);
  c.SetColor(clBlue);
  EXPECT_EQ(invalidated, 2);
  c.Font()->SetSize(12);  // font changes repaint as well
  EXPECT_EQ(invalidated, 3);
}

TEST(ControlPaint, ResizingResizesTheSurfaceAndFiresOnResizeForSizeChangesOnly) {
  Painter c(nullptr);
  c.SetColor(clYellow);
  c.CreateWnd();
  std::vector<std::string> events;
  c.OnResize = [&](TObject*) { events.push_back("resize " + std::to_string(c.Width()) + "x" +
                                                std::to_string(c.Height()) + " surface " +
                                                std::to_string(c.Surface()->Width())); };
  c.SetBounds(5, 5, 30, 20);
  c.SetBounds(8, 9, 30, 20);  // a move
  c.SetHeight(25);
  c.SetWidth(-4);  // negative counts as 0
  EXPECT_EQ(events, (std::vector<std::string>{"resize 30x20 surface 30", "resize 30x25 surface 30",
                                              "resize 0x25 surface 0"}));
  EXPECT_EQ(c.BoundsRect(), Rect(8, 9, 8, 34));

  c.SetWidth(12);
  EXPECT_TRUE(c.Dirty());
  // Uncovered pixels show the control's colour until the next paint.
  EXPECT_EQ(c.Canvas()->Pixels(11, 24), clYellow);

  events.clear();
  c.BeginLoading();
  c.SetBounds(0, 0, 50, 50);
  c.Loaded();
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(c.Surface()->Width(), 50);
}

TEST(ControlPaint, CanResizeMayAdjustOrRefuse) {
  Painter c(nullptr);
  c.SetBounds(0, 0, 100, 100);
  bool allow = true;
  c.OnCanResize = [&](TObject*, Integer& w, Integer& h, bool& resize) {
    if (w > 200) w = 200;
    if (h < 10) h = 10;
    resize = allow;
  };
  c.SetBounds(1, 2, 500, 3);
  EXPECT_EQ(c.BoundsRect(), Rect(1, 2, 201, 12));
  allow = false;
  c.SetBounds(50, 50, 60, 60);  // a refusal keeps the old position as well
  EXPECT_EQ(c.BoundsRect(), Rect(1, 2, 201, 12));
}

TEST(ControlPaint, ParentsListChildrenWithoutOwningThem) {
  TControl parent(nullptr);
  auto* a = new TControl(nullptr);
  {
    TControl b(nullptr);
    a->SetParent(&parent);
    b.SetParent(&parent);
    EXPECT_EQ(parent.ControlCount(), 2);
    EXPECT_THROW(parent.SetParent(a), EInvalidOperation);
  }
  EXPECT_EQ(parent.ControlCount(), 1);
  EXPECT_EQ(parent.Controls(0), a);
  delete a;
  EXPECT_EQ(parent.ControlCount(), 0);
}

TEST(ControlPaint, HostPictureKeepsDrawingsMadeOutsidePaint) {
  Painter c(nullptr);
  int invalidated = 0;
  c.OnHostInvalidate = [&](TCustomControl*) { ++invalidated; };
  c.SetBounds(0, 0, 10, 10);
  c.CreateWnd();
  c.HostPicture();  // dirty after CreateWnd: paints
  EXPECT_EQ(c.paints, 1);
  c.Canvas()->SetPixels(3, 3, clBlue);  // e.g. an exclusive-or band
  const int before = invalidated;
  c.SurfaceChanged();
  EXPECT_EQ(invalidated, before + 1);
  EXPECT_EQ(c.HostPicture()->Canvas()->Pixels(3, 3), clBlue);  // clean: not repainted
  EXPECT_EQ(c.paints, 1);
  c.Touch();
  EXPECT_EQ(c.HostPicture()->Canvas()->Pixels(3, 3), clRed);
  EXPECT_EQ(c.paints, 2);
}
