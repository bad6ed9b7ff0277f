// TPlot3D output: SVG file, clipboard in both forms, printing, black-and-white copies.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>

#include "platform/clipbrd.h"
#include "platform/printers.h"
#include "plot3d/plot3d.h"
#include "test_out.h"

namespace {

using kvr::TPlot3D;

struct Output : ::testing::Test {
  TPlot3D p{nullptr};
  void SetUp() override {
    p.SetBounds(0, 0, 160, 120);
    p.SetMagnify(0.25);
    p.GridMat.Resize(4, 4);
    p.GridMat.SetVal(2, 2, 0.5);
  }
};

TEST_F(Output, SvgFileAndClipboard) {
  const std::string f = test_out_file("surface.svg", "plot3d");
  p.CopyToWMF(f, true);
  std::ifstream in(f);
  std::stringstream ss;
  ss << in.rdbuf();
  EXPECT_NE(ss.str().find("<svg"), std::string::npos);
  EXPECT_NE(ss.str().find("polygon"), std::string::npos);

  p.CopyToClipboardWMF(false);
  EXPECT_NE(kvr::Clipboard().AsMetafile().find("<svg"), std::string::npos);

  p.CopyToClipboard(true);
  kvr::TBitmap b;
  ASSERT_TRUE(kvr::Clipboard().GetBitmap(&b));
  EXPECT_EQ(b.Width(), 160);
  EXPECT_EQ(b.Height(), 120);
  EXPECT_EQ(b.Canvas()->Pixels(0, 0), 0x808080);  // lowered frame
  p.CopyToClipboard(false);
  ASSERT_TRUE(kvr::Clipboard().GetBitmap(&b));
  EXPECT_EQ(b.Canvas()->Pixels(0, 0), kvr::clWhite);
}

// An axis seen end-on writes one label instead of a pile, and no caption.
TEST_F(Output, EndOnAxisWritesOneLabel) {
  p.SetVisibleYCoords(false);
  p.SetVisibleZCoords(false);
  p.SetViewAngles(90, 90);
  int asked = 0;
  p.OnBeforeDrawScaleLabel = [&](kvr::TObject*, kvr::TCanvas*, kvr::TP3ScaleKind, std::string&, kvr::Integer,
                                 kvr::Integer) { ++asked; };
  const std::string f = test_out_file("endon.svg", "plot3d");
  p.CopyToWMF(f, false);
  std::ifstream in(f);
  std::stringstream ss;
  ss << in.rdbuf();
  const std::string svg = ss.str();
  int texts = 0;
  for (size_t at = svg.find("<text"); at != std::string::npos; at = svg.find("<text", at + 1)) ++texts;
  EXPECT_EQ(asked, 5);  // -1 to 1 in steps of 0.5
  EXPECT_EQ(texts, 1);
}

TEST_F(Output, BlackAndWhiteLeavesTheSettingsAsTheyWere) {
  p.SetColorBakGnd(kvr::clYellow);
  p.SetColorXCoords(kvr::clRed);
  kvr::TBitmap b;
  b.SetSize(160, 120);
  p.RenderOnCanvas(b.Canvas(), false, true);
  EXPECT_EQ(b.Canvas()->Pixels(2, 2), kvr::clWhite);
  EXPECT_EQ(p.ColorBakGnd(), kvr::clYellow);
  EXPECT_EQ(p.ColorXCoords(), kvr::clRed);
  p.RenderOnCanvas(b.Canvas(), false, false);
  EXPECT_EQ(b.Canvas()->Pixels(2, 2), kvr::clYellow);
}

TEST_F(Output, PrintingToPdf) {
  kvr::TPrinter& pr = kvr::Printer();
  const std::string f = test_out_file("surface.pdf", "plot3d");
  std::filesystem::remove(f);
  pr.SetOutputPath(f);
  p.PrintIt(1.0, true, true);
  EXPECT_GT(std::filesystem::file_size(f), 100u);
  EXPECT_THROW(p.PrintIt(std::numeric_limits<double>::quiet_NaN(), false, false), kvr::EPrinter);

  kvr::Integer x = 0, y = 0;
  EXPECT_THROW(p.CopyToOpenPrinter(x, y, 1.0, false, true), kvr::EPrinter);
  pr.BeginDoc();
  p.CopyToOpenPrinter(x, y, 1.0, false, true);
  EXPECT_GT(x, 0);
  EXPECT_EQ(y, 0);
  pr.EndDoc();
}

}  // namespace

namespace {

TEST_F(Output, PdfFileIsVectorAndFailuresRaise) {
  const std::string f = test_out_file("surface.pdf", "plot3d");
  std::filesystem::remove(f);
  p.CopyToPDF(f, true);
  std::ifstream in(f, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  EXPECT_EQ(ss.str().rfind("%PDF-", 0), 0u);
  EXPECT_NE(ss.str().find("%%EOF"), std::string::npos);
  EXPECT_THROW(p.CopyToPDF((test_out_dir("plot3d") / "no such folder" / "x.pdf").string(), false), kvr::Exception);
}

}  // namespace
