// Printing: the chart on its own page and several charts on the caller's page, at the
// printer's resolution, checked on the PDF's page images and on the open page.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <regex>

#include "platform/printers.h"
#include "render_util.h"
#include "tests/test_out.h"

using namespace kvr;
using kvr::test::RenderChart;
namespace fs = std::filesystem;

namespace {

constexpr TColor kRed = 0x0000FF;

struct PageImage {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  TColor at(int x, int y) const {
    const size_t i = (size_t(y) * width + x) * 3;
    return RGB(rgb[i], rgb[i + 1], rgb[i + 2]);
  }
};

// The page images of a PDF the printer wrote, in page order.
std::vector<PageImage> read_pages(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  const std::string pdf(std::istreambuf_iterator<char>(in), {});
  const std::regex image("/Subtype /Image /Width (\\d+) /Height (\\d+) [^>]*/Length (\\d+) >>\nstream\n");
  std::vector<PageImage> pages;
  for (auto it = std::sregex_iterator(pdf.begin(), pdf.end(), image); it != std::sregex_iterator(); ++it) {
    PageImage p;
    p.width = std::stoi((*it)[1]);
    p.height = std::stoi((*it)[2]);
    p.rgb.resize(size_t(p.width) * p.height * 3);
    uLongf size = p.rgb.size();
    const size_t start = size_t(it->position() + it->length());
    EXPECT_EQ(uncompress(p.rgb.data(), &size, reinterpret_cast<const Bytef*>(pdf.data() + start),
                         std::stoul((*it)[3])),
              Z_OK);
    pages.push_back(std::move(p));
  }
  return pages;
}

// 400 x 300 with a red square on control pixels 150..190 x 128..168, a blue vertical
// crosshair at control x 250, and a dotted grid.
void chart_with_content(RenderChart& c) {
  c.SetDataColor(kRed);
  c.SetFillColor(kRed);
  c.Rectangle(100.0, 100.0, 140.0, 140.0);
  c.CrossHairSetup(1, clBlue, chVert, psSolid, 1);
  c.CrossHairSetPos(1, 200, 60);
  c.SetGridStyle(gsDotLines);
  c.ShowGraf();
}

class Printing : public ::testing::Test {
 protected:
  void SetUp() override {
    if (Printer().Printing()) Printer().Abort();
    Printer().SetResolution(300);
    // These checks read the printed pages as pictures.
    Printer().SetPageImages(true);
  }
  void TearDown() override {
    if (Printer().Printing()) Printer().Abort();
    Printer().SetPageImages(false);
  }
  static TColor page(int x, int y) { return Printer().Canvas()->Pixels(x, y); }
};

TEST_F(Printing, PrintItPutsTheChartCentredOnOnePageAtItsScreenSize) {
  RenderChart c;
  chart_with_content(c);
  const fs::path file = test_out_dir("printing") / "print_it.pdf";
  fs::remove(file);
  Printer().SetOutputPath(file.string());
  c.PrintIt(1.0, false);
  EXPECT_EQ(Printer().LastFileName(), file.string());
  const auto pages = read_pages(file.string());
  ASSERT_EQ(pages.size(), 1u);
  const PageImage& p = pages[0];
  ASSERT_EQ(p.width, 2480);
  ASSERT_EQ(p.height, 3508);
  // 300 / 96 printer pixels per screen pixel: 1250 x 938 in the middle of the page.
  const int x0 = (2480 - 1250) / 2, y0 = (3508 - 938) / 2;
  const auto at = [&](double cx, double cy) { return p.at(x0 + int(cx * 3.125), y0 + int(cy * 3.125)); };
  EXPECT_EQ(at(170, 148), kRed);
  EXPECT_EQ(at(150.2, 128.2), kRed);
  EXPECT_NE(at(149.5, 148), kRed);
  EXPECT_NE(at(191.5, 148), kRed);
  EXPECT_EQ(at(250.5, 100), clBlue);  // crosshairs are printed
  // The picture ends where 400 x 300 screen pixels end.
  EXPECT_EQ(p.at(x0 + 2, y0 + 2), ColorToRGB(clBtnFace));
  EXPECT_EQ(p.at(x0 + 1247, y0 + 935), ColorToRGB(clBtnFace));
  EXPECT_EQ(p.at(x0 - 2, y0 + 2), clWhite);
  EXPECT_EQ(p.at(x0 + 1252, y0 + 935), clWhite);
  EXPECT_EQ(p.at(x0 + 2, y0 + 940), clWhite);
  // The crosshair, a one-pixel line, is three printer pixels wide.
  int hair = 0;
  for (int x = x0 + 760; x < x0 + 800; ++x) hair += p.at(x, y0 + 300) == clBlue;
  EXPECT_EQ(hair, 3);
}

TEST_F(Printing, TwoChartsShareThePageOfTheCaller) {
  RenderChart a, b;
  chart_with_content(a);
  chart_with_content(b);
  b.SetChartColor(0xE0FFE0);
  const fs::path file = test_out_dir("printing") / "two_charts.pdf";
  Printer().SetOutputPath(file.string());
  Printer().BeginDoc();
  // ScaleF 0.9: 1125 x 844 printer pixels, two fit side by side on 2480, not three.
  Integer x = 0, y = 0;
  a.CopyToOpenPrinter(x, y, 0.9, false);
  EXPECT_EQ(x, 1125);
  EXPECT_EQ(y, 0);
  b.CopyToOpenPrinter(x, y, 0.9, false);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 844);
  const double s = 3.125 * 0.9;
  EXPECT_EQ(page(int(170 * s), int(148 * s)), kRed);
  EXPECT_EQ(page(1125 + int(170 * s), int(148 * s)), kRed);
  EXPECT_EQ(page(int(300 * s), int(200 * s)), clWhite);
  EXPECT_EQ(page(1125 + int(300 * s), int(200 * s)), 0xE0FFE0);
  // A third chart starts the next row and the row after that.
  a.CopyToOpenPrinter(x, y, 0.9, false);
  EXPECT_EQ(x, 1125);
  EXPECT_EQ(y, 844);
  EXPECT_EQ(page(int(170 * s), 844 + int(148 * s)), kRed);
  Printer().EndDoc();
  const auto pages = read_pages(file.string());
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(pages[0].at(1125 + int(170 * s), int(148 * s)), kRed);
}

// At two printer pixels per screen pixel the print is the screen picture with every
// pixel doubled, up to the edges of strokes and glyphs: layout, pen widths, dashes and
// text sizes all scale alike.
TEST_F(Printing, PrintIsTheScreenPictureScaledUp) {
  RenderChart c;
  chart_with_content(c);
  c.SetCaption("Scaled caption");
  c.SetDataColor(0x008000);
  c.Line(10.0, 10.0, 330.0, 200.0);
  c.SetPenStyle(psDash);
  c.Line(10.0, 230.0, 330.0, 230.0);
  c.ShowGraf();
  TBitmap screen;
  c.CopyToBitmap(&screen, false);
  Printer().BeginDoc();
  Integer x = 40, y = 60;
  c.CopyToOpenPrinter(x, y, 2 * 96.0 / 300.0, false);
  const auto same_share = [&](int x0, int y0, int x1, int y1) {
    int same = 0;
    for (int py = y0; py < y1; ++py)
      for (int px = x0; px < x1; ++px) same += page(40 + px, 60 + py) == screen.Canvas()->Pixels(px / 2, py / 2);
    return double(same) / ((x1 - x0) * (y1 - y0));
  };
  EXPECT_GT(same_share(0, 0, 800, 600), 0.97);  // glyph edges differ
  EXPECT_GT(same_share(2 * 51, 2 * 17, 2 * 389, 2 * 267), 0.985);  // the data area: lines and dots
  // The dashes of the screen line (18 on, 6 off) come out 36 on, 12 off.
  int on = 0;
  for (int px = 2 * 60; px < 2 * 60 + 48; ++px) on += page(40 + px, 60 + 2 * (16 + 22)) == 0x008000;
  EXPECT_NEAR(on, 36, 2);
}

TEST_F(Printing, BadScaleFactorsAreRefusedAndHugeOnesFitThePage) {
  RenderChart c;
  chart_with_content(c);
  Printer().SetOutputPath((test_out_dir("printing") / "scale.pdf").string());
  for (double bad : {0.0, -1.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
    EXPECT_THROW(c.PrintIt(bad, false), EKvrZUvadoError) << bad;
    EXPECT_FALSE(Printer().Printing());
  }
  Integer x = 7, y = 9;
  EXPECT_THROW(c.CopyToOpenPrinter(x, y, 1.0, false), EKvrZUvadoError);  // no document
  Printer().BeginDoc();
  EXPECT_THROW(c.CopyToOpenPrinter(x, y, -2.0, false), EKvrZUvadoError);
  EXPECT_EQ(x, 7);
  EXPECT_EQ(y, 9);
  // 1e9 is cut down to the page's width: 2480 / 400 = 6.2 printer pixels per pixel.
  x = 0;
  y = 0;
  c.CopyToOpenPrinter(x, y, 1e9, false);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 1860);
  EXPECT_EQ(page(int(170 * 6.2), int(148 * 6.2)), kRed);
  EXPECT_EQ(page(2478, 5), ColorToRGB(clBtnFace));
  Printer().EndDoc();
  // Lines reaching millions of pixels beyond the chart print like any other.
  c.SetPenStyle(psDot);
  c.Line(-1e7, -3e6, 1e7, 4e6);
  c.ShowGraf();
  c.PrintIt(1e300, true);
  EXPECT_EQ(read_pages(Printer().LastFileName()).size(), 1u);
}

TEST_F(Printing, BlackAndWhitePrintKeepsItemsAndTheChartsColours) {
  RenderChart c;
  chart_with_content(c);
  c.SetWindColor(0x604020);
  Printer().BeginDoc();
  Integer x = 0, y = 0;
  c.CopyToOpenPrinter(x, y, 96.0 / 300.0, true);
  EXPECT_EQ(page(2, 2), clWhite);
  EXPECT_EQ(page(170, 148), kRed);
  Printer().Abort();
  EXPECT_EQ(c.WindColor(), 0x604020);
  c.Repaint();
  EXPECT_EQ(c.Ctl(2, 2), 0x604020);
}

}  // namespace
