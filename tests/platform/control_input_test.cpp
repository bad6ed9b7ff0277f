#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/control.h"

using namespace kvr;

namespace {

std::string shift_text(TShiftState s) {
  std::string r;
  const char* names = "SACLRMD";
  for (int i = 0; i <= ssDouble; ++i)
    if (s.Contains(static_cast<TShiftStateValue>(i))) r += names[i];
  return r.empty() ? "-" : r;
}

const char* button_text(TMouseButton b) { return b == mbLeft ? "L" : b == mbRight ? "R" : "M"; }

// Logs every protected handler and every event in one list, so that a test sees the
// exact interleaving.
class Probe : public TCustomControl {
 public:
  explicit Probe(TComponent* owner) : TCustomControl(owner) {
    SetBounds(0, 0, 100, 50);
    OnMouseDown = [this](TObject*, TMouseButton, TShiftState, Integer, Integer) { log.push_back("OnMouseDown"); };
    OnMouseUp = [this](TObject*, TMouseButton, TShiftState, Integer, Integer) { log.push_back("OnMouseUp"); };
    OnMouseMove = [this](TObject*, TShiftState, Integer, Integer) { log.push_back("OnMouseMove"); };
    OnClick = [this](TObject*) { log.push_back("OnClick"); };
    OnDblClick = [this](TObject*) { log.push_back("OnDblClick"); };
    OnMouseEnter = [this](TObject*) { log.push_back("OnMouseEnter"); };
    OnMouseLeave = [this](TObject*) { log.push_back("OnMouseLeave"); };
  }
  std::vector<std::string> log;

 protected:
  void MouseDown(TMouseButton b, TShiftState s, Integer x, Integer y) override {
    log.push_back(std::string("down ") + button_text(b) + " " + shift_text(s) + " " + std::to_string(x) + "," +
                  std::to_string(y));
    TCustomControl::MouseDown(b, s, x, y);
  }
  void MouseUp(TMouseButton b, TShiftState s, Integer x, Integer y) override {
    log.push_back(std::string("up ") + button_text(b) + " " + shift_text(s));
    TCustomControl::MouseUp(b, s, x, y);
  }
  void MouseMove(TShiftState s, Integer x, Integer y) override {
    log.push_back("move " + shift_text(s));
    TCustomControl::MouseMove(s, x, y);
  }
  void WMMouseMove(TWMMouse& m) override {
    log.push_back("wm");
    TCustomControl::WMMouseMove(m);
    log.push_back("wm after");
  }
  void Click() override {
    log.push_back("click");
    TCustomControl::Click();
  }
  void DblClick() override {
    log.push_back("dblclick");
    TCustomControl::DblClick();
  }
};

using Log = std::vector<std::string>;

}  // namespace

TEST(ControlInput, DoubleClickFollowsTheFrameworkMessageOrder) {
  Probe p(nullptr);
  p.HostMouseDown(mbLeft, {}, 5, 6);
  p.HostMouseUp(mbLeft, {ssLeft}, 5, 6);
  p.HostDblClick(5, 6);
  p.HostMouseUp(mbLeft, {}, 5, 6);
  EXPECT_EQ(p.log, (Log{"down L L 5,6", "OnMouseDown", "click", "OnClick", "up L -", "OnMouseUp", "dblclick",
                        "OnDblClick", "down L LD 5,6", "OnMouseDown", "up L -", "OnMouseUp"}));
}

TEST(ControlInput, ClickNeedsALeftPressAndAReleaseInside) {
  Probe p(nullptr);
  p.HostMouseDown(mbLeft, {}, 5, 5);
  p.HostMouseUp(mbLeft, {}, 100, 5);  // x = Width lies outside
  p.HostMouseDown(mbRight, {}, 5, 5);
  p.HostMouseUp(mbRight, {}, 5, 5);
  p.HostMouseUp(mbLeft, {}, 5, 5);  // a release without a press
  for (const auto& e : p.log) EXPECT_NE(e, "click");

  p.log.clear();
  p.HostMouseDown(mbLeft, {}, 0, 0);
  p.HostMouseUp(mbLeft, {}, 99, 49);
  EXPECT_EQ(std::count(p.log.begin(), p.log.end(), "OnClick"), 1);
}

TEST(ControlInput, ShiftStateCarriesHeldButtonsAndModifiers) {
  Probe p(nullptr);
  p.HostMouseDown(mbRight, {ssShift, ssLeft, ssDouble}, 1, 1);
  p.HostMouseMove({ssShift, ssLeft, ssRight, ssCtrl}, 2, 2);
  p.HostMouseUp(mbRight, {ssShift, ssLeft, ssRight}, 2, 2);
  p.HostDblClick(3, 3, mbRight, {ssAlt});
  EXPECT_EQ(p.log, (Log{"down R SLR 1,1", "OnMouseDown", "wm", "move SCLR", "OnMouseMove", "wm after",
                        "up R SL", "OnMouseUp", "down R ARD 3,3", "OnMouseDown"}));
}

TEST(ControlInput, KeysToShiftStateMapsMessageFlags) {
  // Alt comes from the keyboard state that the last event reported; start with it up,
  // whatever earlier tests in this process sent.
  Probe p(nullptr);
  p.HostKeyUp(VK_MENU, {});
  EXPECT_EQ(KeysToShiftState(MK_LBUTTON | MK_SHIFT | MK_CONTROL), (TShiftState{ssLeft, ssShift, ssCtrl}));
  EXPECT_EQ(KeysToShiftState(MK_RBUTTON | MK_MBUTTON), (TShiftState{ssRight, ssMiddle}));
  p.HostKeyDown(VK_MENU, {ssAlt});
  EXPECT_TRUE(KeysToShiftState(0).Contains(ssAlt));
  p.HostKeyUp(VK_MENU, {});
  EXPECT_TRUE(KeysToShiftState(0).Empty());
  EXPECT_EQ(ShiftStateToKeys({ssLeft, ssShift, ssAlt, ssDouble}), MK_LBUTTON | MK_SHIFT);
}

TEST(ControlInput, DisabledOrHiddenControlIgnoresInput) {
  Probe p(nullptr);
  p.SetEnabled(false);
  p.HostMouseDown(mbLeft, {}, 1, 1);
  p.HostMouseMove({}, 1, 1);
  p.HostMouseEnter();
  EXPECT_EQ(p.HostKeyDown(VK_LEFT, {}), VK_LEFT);
  p.SetEnabled(true);
  p.SetVisible(false);
  p.HostMouseUp(mbLeft, {}, 1, 1);
  EXPECT_TRUE(p.log.empty());

  // A press made before disabling does not turn into a click afterwards.
  p.SetVisible(true);
  p.HostMouseDown(mbLeft, {}, 1, 1);
  p.SetEnabled(false);
  p.SetEnabled(true);
  p.HostMouseUp(mbLeft, {}, 1, 1);
  EXPECT_EQ(std::count(p.log.begin(), p.log.end(), "click"), 0);
}

TEST(ControlInput, EnterAndLeaveArriveOncePerCrossing) {
  Probe p(nullptr);
  p.HostMouseLeave();
  p.HostMouseEnter();
  p.HostMouseEnter();
  EXPECT_TRUE(p.MouseInControl());
  p.HostMouseLeave();
  p.HostMouseLeave();
  EXPECT_EQ(p.log, (Log{"OnMouseEnter", "OnMouseLeave"}));
}

TEST(ControlInput, WheelStepsAccumulateUntilAFullNotch) {
  Probe p(nullptr);
  std::vector<std::string> wheel;
  bool take_raw = false;
  p.OnMouseWheel = [&](TObject*, TShiftState, Integer d, TPoint pos, bool& handled) {
    wheel.push_back("raw " + std::to_string(d) + " at " + std::to_string(pos.X) + "," + std::to_string(pos.Y));
    handled = take_raw;
  };
  p.OnMouseWheelUp = [&](TObject*, TShiftState, TPoint, bool& handled) {
    wheel.push_back("up");
    handled = true;
  };
  p.OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool&) { wheel.push_back("down"); };

  EXPECT_FALSE(p.HostMouseWheel({}, 60, 7, 8));
  EXPECT_TRUE(p.HostMouseWheel({}, 60, 7, 8));
  EXPECT_FALSE(p.HostMouseWheel({}, -200, 7, 8));  // one notch down, -80 left over
  p.HostMouseWheel({}, 40, 7, 8);                  // -40: nothing
  p.HostMouseWheel({}, -80, 7, 8);                 // -120: one notch down
  take_raw = true;
  EXPECT_TRUE(p.HostMouseWheel({}, 240, 7, 8));  // taken by OnMouseWheel: no notches
  EXPECT_EQ(wheel, (Log{"raw 60 at 7,8", "raw 60 at 7,8", "up", "raw -200 at 7,8", "down", "raw 40 at 7,8",
                        "raw -80 at 7,8", "down", "raw 240 at 7,8"}));
}

TEST(ControlInput, KeyHandlersCanConsumeOrChangeTheKey) {
  Probe p(nullptr);
  TShiftState seen;
  p.OnKeyDown = [&](TObject*, Word& key, TShiftState s) {
    seen = s;
    if (key == VK_ESCAPE) key = 0;
  };
  p.OnKeyUp = [&](TObject*, Word& key, TShiftState) { key = VK_RETURN; };
  p.OnKeyPress = [&](TObject*, char& c) {
    if (c == 'a') c = 'A';
  };
  EXPECT_EQ(p.HostKeyDown(VK_ESCAPE, {ssCtrl}), 0);
  EXPECT_EQ(seen, TShiftState{ssCtrl});
  EXPECT_EQ(p.HostKeyDown(VK_LEFT, {}), VK_LEFT);
  EXPECT_EQ(p.HostKeyUp(VK_SPACE, {}), VK_RETURN);
  EXPECT_EQ(p.HostKeyPress('a'), 'A');
  EXPECT_EQ(p.HostKeyPress('b'), 'b');
}
