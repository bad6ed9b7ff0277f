// The background image is decoded once and painted from memory until its file changes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/bitmap.h"
#include "platform/detail/image_codecs.h"
#include "render_util.h"

using namespace kvr;
using kvr::test::RenderChart;

namespace {

constexpr TColor kRed = 0x0000FF;
constexpr TColor kBlue = 0xFF0000;
constexpr TColor kGreen = 0x00C000;

long long decodes() { return detail::decode_stats().buffers; }

// A w x 3 picture whose left half is `first` and right half `rest` (column 0 of the
// chart area is under its frame).
void write_picture(const std::string& file, int w, TColor first, TColor rest) {
  TBitmap pic(w, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < w; ++x) pic.Canvas()->SetPixels(x, y, x < w / 2 ? first : rest);
  pic.SaveToFile(file);
}

std::string temp_file(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("kvr_bgcache_" + name)).string();
}

}  // namespace

TEST(ZuBackgroundCache, RepaintsReuseTheDecodedPictureUntilTheFileChanges) {
  const std::string file = temp_file("bg.png");
  write_picture(file, 4, kRed, kBlue);
  RenderChart c;
  c.SetChartColor(kGreen);
  c.BackGroundImg()->SetIncludePath(true);
  c.BackGroundImg()->SetFillMode(bfSimple);
  c.BackGroundImg()->SetName(file);
  EXPECT_EQ(c.Area(1, 1), kRed);
  EXPECT_EQ(c.Area(3, 1), kBlue);

  // Pans, fill-mode changes and plain repaints paint the same pixels without a decode.
  const long long after_first = decodes();
  c.SetRange(1, 10, 0, 350, 252);
  c.ShowGraf();
  c.BackGroundImg()->SetFillMode(bfTile);
  EXPECT_EQ(c.Area(5, 1), kRed);  // second tile
  EXPECT_EQ(c.Area(6, 1), kBlue);
  c.BackGroundImg()->SetFillMode(bfStretch);
  EXPECT_EQ(c.Area(30, 100), kRed);
  EXPECT_EQ(c.Area(200, 100), kBlue);
  c.BackGroundImg()->SetFillMode(bfSimple);
  EXPECT_EQ(decodes(), after_first);

  // A new file of another size is read at the next paint.
  write_picture(file, 6, kBlue, kRed);
  c.ShowGraf();
  EXPECT_EQ(decodes(), after_first + 1);
  EXPECT_EQ(c.Area(1, 1), kBlue);
  EXPECT_EQ(c.Area(5, 1), kRed);
  EXPECT_EQ(c.Area(6, 1), kGreen);

  // Same size, new contents: the modification time tells.
  write_picture(file, 6, kRed, kRed);
  std::filesystem::last_write_time(file, std::filesystem::last_write_time(file) + std::chrono::seconds(5));
  c.ShowGraf();
  EXPECT_EQ(decodes(), after_first + 2);
  EXPECT_EQ(c.Area(1, 1), kRed);
  EXPECT_EQ(c.Area(5, 1), kRed);

  // A deleted file is handled as before: painting goes on and the name is dropped.
  std::filesystem::remove(file);
  c.ShowGraf();
  EXPECT_EQ(c.BackGroundImg()->Name(), "");
  EXPECT_EQ(c.Area(1, 1), kGreen);
  EXPECT_EQ(c.Area(0, 0), 0);  // the frame
}

TEST(ZuBackgroundCache, EachChartAndEachNameHasItsOwnPicture) {
  const std::string a = temp_file("a.bmp"), b = temp_file("b.bmp");
  write_picture(a, 4, kRed, kRed);
  write_picture(b, 4, kBlue, kBlue);
  RenderChart c1, c2;
  for (RenderChart* c : {&c1, &c2}) {
    c->BackGroundImg()->SetIncludePath(true);
    c->BackGroundImg()->SetFillMode(bfStretch);
  }
  c1.BackGroundImg()->SetName(a);
  c2.BackGroundImg()->SetName(a);
  EXPECT_EQ(c1.Area(100, 100), kRed);
  EXPECT_EQ(c2.Area(100, 100), kRed);
  // Switching names back and forth reads each file again: only the last is kept.
  const long long before = decodes();
  c1.BackGroundImg()->SetName(b);
  EXPECT_EQ(c1.Area(100, 100), kBlue);
  c1.BackGroundImg()->SetName(a);
  EXPECT_EQ(c1.Area(100, 100), kRed);
  EXPECT_EQ(decodes(), before + 2);
  // Copying the settings to another chart keeps that chart's picture in step.
  c2.SetBackGroundImg(c1.BackGroundImg());
  c2.BackGroundImg()->SetName(b);
  EXPECT_EQ(c2.Area(100, 100), kBlue);
  c2.SetBackGroundImg(c1.BackGroundImg());
  c2.ShowGraf();
  EXPECT_EQ(c2.Area(100, 100), kRed);
  std::filesystem::remove(a);
  std::filesystem::remove(b);
}
