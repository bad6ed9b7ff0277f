#include <gtest/gtest.h>

#include "platform/graphics.h"
#include "platform/themes.h"

using namespace kvr;

namespace {

// Restores the process-wide style after each test.
struct StyleGuard {
  TCustomStyleServices saved = StyleServices();
  ~StyleGuard() { StyleServices() = saved; }
};

TEST(ServicesStyles, OffByDefaultAndSystemColoursResolveClassically) {
  StyleGuard g;
  EXPECT_FALSE(StyleServices().Enabled());
  EXPECT_EQ(StyleServices().GetSystemColor(clBtnFace), ColorToRGB(clBtnFace));
  EXPECT_EQ(StyleServices().GetSystemColor(0x123456), 0x123456);
}

TEST(ServicesStyles, AnActiveStyleAnswersForItsColoursAndSystemColours) {
  StyleGuard g;
  TCustomStyleServices& s = StyleServices();
  s.SetEnabled(true);
  s.SetStyleColor(29, 0x101010);
  s.SetStyleFontColor(50, 0xEEEEEE);
  EXPECT_EQ(s.GetStyleColor(29), 0x101010);
  EXPECT_EQ(s.GetStyleFontColor(50), 0xEEEEEE);
  EXPECT_EQ(s.GetSystemColor(clWindow), 0x101010);
  EXPECT_EQ(s.GetSystemColor(clWindowText), 0xEEEEEE);
  // Numbers outside the tables are ignored on writing and read as black.
  s.SetStyleColor(-1, clRed);
  s.SetStyleColor(1000, clRed);
  EXPECT_EQ(s.GetStyleColor(1000), clBlack);
  EXPECT_EQ(s.GetStyleFontColor(-5), clBlack);
}

}  // namespace
