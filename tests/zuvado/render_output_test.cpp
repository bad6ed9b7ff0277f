// Output of the picture to bitmaps, files and the clipboard, in colour and in black
// and white.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/clipbrd.h"
#include "platform/svgcanvas.h"
#include "render_util.h"
#include "tests/test_out.h"

using namespace kvr;
using kvr::test::RenderChart;

namespace {

constexpr TColor kRed = 0x0000FF;

std::vector<uint32_t> pixels(const TBitmap& b) {
  const auto* p = reinterpret_cast<const uint32_t*>(b.Bits());
  std::vector<uint32_t> v(p, p + size_t(b.Width()) * b.Height());
  for (uint32_t& x : v) x &= 0xFFFFFF;
  return v;
}

void chart_with_content(RenderChart& c) {
  c.SetWindColor(0x604020);
  c.SetChartColor(0xE0F0FF);
  c.SetDataColor(kRed);
  c.SetFillColor(kRed);
  c.Rectangle(100.0, 100.0, 140.0, 140.0);
  c.CrossHairSetup(1, clBlue, chBoth, psSolid, 1);
  c.CrossHairSetPos(1, 200, 60);
  c.ShowGraf();
}

TEST(ZuRenderOutput, CopyToBitmapIsTheWindowsPictureWithOrWithoutCrosshairs) {
  RenderChart c;
  chart_with_content(c);
  c.Repaint();
  TBitmap full;
  c.CopyToBitmap(&full, false);
  ASSERT_EQ(full.Width(), 400);
  ASSERT_EQ(full.Height(), 300);
  EXPECT_EQ(pixels(full), pixels(*c.Surface()));
  TBitmap bare;
  c.CopyToBitmap(&bare, false, false);
  // The crosshair's vertical line at area x 200 is gone, the item stays.
  EXPECT_EQ(full.Canvas()->Pixels(50 + 200, 16 + 10), clBlue);
  EXPECT_NE(bare.Canvas()->Pixels(50 + 200, 16 + 10), clBlue);
  EXPECT_EQ(bare.Canvas()->Pixels(50 + 120, 16 + 252 - 120), kRed);
}

TEST(ZuRenderOutput, DataAreaOnlyHasTheAreaSizeAndItsCrosshairs) {
  RenderChart c;
  chart_with_content(c);
  TBitmap da;
  c.CopyToBitmapDAOnly(&da, false);
  EXPECT_EQ(da.Width(), c.GrafBmp()->Width());
  EXPECT_EQ(da.Height(), c.GrafBmp()->Height());
  EXPECT_EQ(da.Canvas()->Pixels(120, 252 - 120), kRed);
  EXPECT_EQ(da.Canvas()->Pixels(200, 10), clBlue);
  // The chart-area bitmap itself stays free of crosshairs.
  EXPECT_NE(c.Area(200, 10), clBlue);
}

TEST(ZuRenderOutput, BlackAndWhiteKeepsItemColoursAndRestoresTheChart) {
  RenderChart c;
  chart_with_content(c);
  c.Repaint();
  const auto window_before = pixels(*c.Surface());
  TBitmap bw;
  c.CopyToBitmap(&bw, true);
  EXPECT_EQ(bw.Canvas()->Pixels(2, 2), clWhite);                      // window colour
  EXPECT_EQ(bw.Canvas()->Pixels(50 + 300, 16 + 200), clWhite);        // chart area
  EXPECT_EQ(bw.Canvas()->Pixels(50 + 120, 16 + 252 - 120), kRed);     // items keep colours
  // Everything is as before, on the chart and on the window.
  EXPECT_EQ(c.WindColor(), 0x604020);
  EXPECT_EQ(c.ChartColor(), 0xE0F0FF);
  EXPECT_EQ(c.Scale1X()->ColorScale(), clBlack);
  EXPECT_EQ(pixels(*c.Surface()), window_before);
  TBitmap again;
  c.CopyToBitmap(&again, false);
  EXPECT_EQ(again.Canvas()->Pixels(2, 2), 0x604020);
  // A nested conversion cannot lose the saved colours.
  c.BackupColorsAndMakeBW();
  c.BackupColorsAndMakeBW();
  c.ReloadBackupColors();
  c.ReloadBackupColors();
  EXPECT_EQ(c.WindColor(), 0x604020);
}

TEST(ZuRenderOutput, FilesAndClipboard) {
  RenderChart c;
  chart_with_content(c);
  const std::filesystem::path out = test_out_dir();
  TBitmap ref;
  c.CopyToBitmap(&ref, false);
  for (const char* name : {"chart_output.png", "chart_output.bmp"}) {
    c.CopyToBMP((out / name).string(), false);
    TBitmap back;
    back.LoadFromFile((out / name).string());
    EXPECT_EQ(pixels(back), pixels(ref)) << name;
  }
  EXPECT_THROW(c.CopyToBMP((out / "no_such_dir" / "x.png").string(), false), Exception);
  Clipboard().Clear();
  c.CopyToClipboard(false);
  ASSERT_TRUE(Clipboard().HasFormat(CF_BITMAP));
  EXPECT_EQ(pixels(*Clipboard().Bitmap()), pixels(ref));
  c.CopyToClipboardDAOnly(true);
  EXPECT_EQ(Clipboard().Bitmap()->Width(), c.GrafBmp()->Width());
  Clipboard().Clear();
}

}  // namespace

namespace {

TEST(ZuRenderOutput, MetafileIsVectorAndMatchesTheRasterPicture) {
  RenderChart c;
  chart_with_content(c);
  TMetafileCanvas svg(400, 300);
  c.RenderOnCanvas(&svg, false);
  const std::string doc = svg.SvgText();
  EXPECT_EQ(doc.find("<image"), std::string::npos);  // no embedded pictures
  EXPECT_NE(doc.find("<text"), std::string::npos);    // tick labels stay text
  EXPECT_NE(doc.find("clipPath"), std::string::npos); // items clipped to the data area
  // The same routine on a raster canvas gives the bitmap output's pixels.
  TBitmap raster(400, 300);
  c.RenderOnCanvas(raster.Canvas(), false);
  TBitmap ref;
  c.CopyToBitmap(&ref, false, false);
  EXPECT_EQ(raster.Canvas()->Pixels(50 + 120, 16 + 252 - 120), kRed);
  EXPECT_EQ(raster.Canvas()->Pixels(2, 2), ref.Canvas()->Pixels(2, 2));
  EXPECT_EQ(raster.Canvas()->Pixels(50 + 300, 16 + 200), ref.Canvas()->Pixels(50 + 300, 16 + 200));
  // The window's picture is unharmed and the axes paint on the chart bitmap again.
  c.Repaint();
  EXPECT_EQ(c.Ctl(50 + 120, 16 + 252 - 120), kRed);

  const std::filesystem::path out = test_out_dir();
  c.CopyToWMF((out / "chart_output.svg").string(), true);
  EXPECT_TRUE(std::filesystem::file_size(out / "chart_output.svg") > 1000);
  c.CopyToClipboardWMF(false);
  EXPECT_TRUE(Clipboard().HasFormat(CF_ENHMETAFILE));
  Clipboard().Clear();
}

}  // namespace

namespace {

// The vector picture carries the same overlays as the window: the mouse trace inside
// the data area and the crosshairs over the whole chart.
TEST(ZuRenderOutput, VectorOutputCarriesMouseTraceAndCrosshairs) {
  RenderChart c;
  chart_with_content(c);
  constexpr TColor kTrace = 0x00C000;
  c.AddMTracePoint(10, 10, 0, kTrace);
  c.AddMTracePoint(100, 50, 0, kTrace);
  c.AddMTracePoint(150, 20, kTraceStrokeEnd, kTrace);
  c.AddMTracePoint(300, 200, 0, 0x00FFFF);
  c.AddMTracePoint(320, 240, kTraceInverted, 0x00FFFF);
  c.Repaint();

  // On a raster canvas the routine gives exactly the bitmap output.
  TBitmap raster(400, 300);
  c.RenderOnCanvas(raster.Canvas(), false);
  TBitmap ref;
  c.CopyToBitmap(&ref, false);
  EXPECT_EQ(pixels(raster), pixels(ref));
  EXPECT_EQ(raster.Canvas()->Pixels(50 + 200, 16 + 10), clBlue);
  EXPECT_EQ(raster.Canvas()->Pixels(50 + 55, 16 + 252 - 30), kTrace);

  TMetafileCanvas svg(400, 300);
  c.RenderOnCanvas(&svg, false);
  const std::string doc = svg.SvgText();
  auto count = [](const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
    return n;
  };
  // Two green segments: the stroke end keeps (150, 20) and (300, 200) apart.
  EXPECT_EQ(count(doc, "stroke=\"#00c000\""), 2);
  EXPECT_NE(doc.find("x1=\"250.5\" y1=\"17\" x2=\"250.5\""), std::string::npos);  // vertical hair
  EXPECT_NE(doc.find("mix-blend-mode"), std::string::npos);  // the inverted stroke

  TMetafileCanvas bare(400, 300);
  c.RenderOnCanvas(&bare, false, false);
  EXPECT_EQ(bare.SvgText().find("#0000ff"), std::string::npos);
  EXPECT_NE(bare.SvgText().find("#00c000"), std::string::npos);
}

}  // namespace
