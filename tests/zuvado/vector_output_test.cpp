// The chart as vectors: items at their world positions in SVG and PDF, axis labels as
// PDF text, the PDF looking like the screen picture, and printing as vector pages.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "platform/printers.h"
#include "render_util.h"
#include "tests/pdf_tools.h"
#include "tests/test_out.h"

using namespace kvr;
using kvr::test::RenderChart;

namespace {

// A line through three world points, and an ellipse, all off the pixel grid (world
// units are area pixels in RenderChart).
void fractional_items(RenderChart& c) {
  c.SetDataColor(0x0000FF);
  c.MoveTo(20.25, 30.5);
  c.DrawTo(100.25, 100.4);
  c.DrawTo(200.6, 50.3);
  c.SetFillColor(0x00FF00);
  c.Ellipse(250.3, 150.2, 40.0, 30.0);
  c.ShowGraf();
}

std::string line_points(const std::string& svg) {
  std::smatch m;
  EXPECT_TRUE(std::regex_search(svg, m, std::regex("<polyline points=\"([^\"]*)\" fill=\"none\" stroke=\"#ff0000\"")))
      << svg;
  return m.size() > 1 ? m[1].str() : std::string();
}

TEST(ChartVectors, SvgItemsKeepTheirWorldPositionsWhileTheFrameStaysOnPixels) {
  RenderChart c;
  fractional_items(c);
  const std::string file = test_out_file("items.svg", "vector");
  c.CopyToWMF(file, false);
  const std::string svg = test::read_bytes(file);
  // Area x 100.25 is canvas x 150.25, whose centre is 150.75; area y 100.4 is canvas
  // 16 + 252 - 100.4 = 167.6, centre 168.1.
  EXPECT_NE(line_points(svg).find(" 150.75,168.1 "), std::string::npos) << line_points(svg);
  EXPECT_NE(svg.find("<ellipse cx=\"300.8\" cy=\"118.3\""), std::string::npos);
  // The chart frame is where it always was: on whole pixels.
  EXPECT_TRUE(std::regex_search(svg, std::regex("<rect x=\"50\" y=\"16\"")));

  // The window's picture has the items on whole pixels, as before.
  TBitmap bmp;
  c.CopyToBitmap(&bmp, false);
  EXPECT_EQ(bmp.Canvas()->Pixels(150, 168), 0x0000FF);
}

TEST(ChartVectors, PdfHasTheAxisLabelsAsTextAndLooksLikeTheScreen) {
  RenderChart c;
  fractional_items(c);
  const std::string file = test_out_file("chart.pdf", "vector");
  c.CopyToPDF(file, false);
  const std::string bytes = test::read_bytes(file);
  ASSERT_EQ(bytes.rfind("%PDF-", 0), 0u);
  EXPECT_EQ(bytes.find("/Subtype /Image"), std::string::npos);
  EXPECT_NE(bytes.find("/FontFile"), std::string::npos);
  if (!test::have_poppler()) GTEST_SKIP() << "poppler-utils missing: " << file << " not read back";
  const std::string text = test::pdf_text(file);
  EXPECT_NE(text.find("200"), std::string::npos) << text;
  EXPECT_NE(text.find("300"), std::string::npos) << text;

  TBitmap screen, back;
  c.CopyToBitmap(&screen, false);
  test::render_pdf(file, 96, back);
  ASSERT_EQ(back.Width(), screen.Width());
  ASSERT_EQ(back.Height(), screen.Height());
  // Smoothing differs along edges; everything else matches closely.
  int close = 0;
  for (int y = 0; y < screen.Height(); ++y)
    for (int x = 0; x < screen.Width(); ++x) {
      const TColor a = screen.Canvas()->Pixels(x, y), b = back.Canvas()->Pixels(x, y);
      close += std::abs(GetRValue(a) - GetRValue(b)) < 48 && std::abs(GetGValue(a) - GetGValue(b)) < 48 &&
               std::abs(GetBValue(a) - GetBValue(b)) < 48;
    }
  EXPECT_GT(close, screen.Width() * screen.Height() * 97 / 100);
  // The ellipse's inside and the chart's background.
  EXPECT_EQ(back.Canvas()->Pixels(300, 118), screen.Canvas()->Pixels(300, 118));
  EXPECT_EQ(back.Canvas()->Pixels(120, 200), screen.Canvas()->Pixels(120, 200));
}

TEST(ChartVectors, PrintingWithoutAHostWritesVectorPages) {
  if (Printer().Printing()) Printer().Abort();
  const std::string saved = Printer().OutputPath();
  ASSERT_FALSE(Printer().PageImages());
  RenderChart c;
  fractional_items(c);
  const std::string file = test_out_file("printed.pdf", "vector");
  Printer().SetOutputPath(file);
  Printer().SetResolution(300);
  c.PrintIt(1.0, false);
  Printer().SetOutputPath(saved);
  const std::string bytes = test::read_bytes(file);
  ASSERT_EQ(bytes.rfind("%PDF-", 0), 0u);
  EXPECT_EQ(bytes.find("/Subtype /Image"), std::string::npos);
  if (!test::have_poppler()) GTEST_SKIP() << "poppler-utils missing";
  EXPECT_NE(test::pdf_text(file).find("300"), std::string::npos);
  // A4 at 300 dpi: 2480 x 3508 pixels, 595.2 x 841.92 points.
  EXPECT_NE(test::pdf_info(file).find("595.2 x 841.92 pts"), std::string::npos) << test::pdf_info(file);
}

}  // namespace
