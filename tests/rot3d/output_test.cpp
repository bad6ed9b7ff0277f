// TRot3D output: bitmap and SVG files, the clipboard in both forms, printing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>

#include "platform/clipbrd.h"
#include "platform/printers.h"
#include "rot3d/rot3d.h"
#include "test_out.h"

namespace {

using kvr::TRot3D;

struct Output : ::testing::Test {
  TRot3D r{nullptr};
  void SetUp() override {
    r.SetBounds(0, 0, 160, 120);
    r.SetMagnify(0.3);
    r.SetColorData(kvr::clRed);
    r.Line(0, 0, 0, 1, 1, 1);
    r.MarkAt(1, 0, 0, 12);
    r.MakeVisible();
  }
};

std::string slurp(const std::string& f) {
  std::ifstream in(f, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

TEST_F(Output, FilesAndClipboard) {
  const std::string png = test_out_file("items.png", "rot3d");
  r.CopyToBMP(png, true);
  kvr::TBitmap b;
  b.LoadFromFile(png);
  EXPECT_EQ(b.Width(), 160);
  EXPECT_EQ(b.Canvas()->Pixels(0, 0), 0x808080);  // lowered frame

  const std::string svg = test_out_file("items.svg", "rot3d");
  r.CopyToWMF(svg, false);
  const std::string text = slurp(svg);
  EXPECT_NE(text.find("<svg"), std::string::npos);
  EXPECT_NE(text.find("polygon"), std::string::npos);  // cube faces
  EXPECT_NE(text.find("#ff0000"), std::string::npos);  // the red items

  r.CopyToClipboardWMF(false);
  EXPECT_NE(kvr::Clipboard().AsMetafile().find("<svg"), std::string::npos);
  r.CopyToClipboard(false);
  ASSERT_TRUE(kvr::Clipboard().GetBitmap(&b));
  EXPECT_EQ(b.Height(), 120);
  EXPECT_EQ(b.Canvas()->Pixels(0, 0), kvr::clWhite);
}

TEST_F(Output, PrintingToPdf) {
  kvr::TPrinter& pr = kvr::Printer();
  const std::string f = test_out_file("items.pdf", "rot3d");
  std::filesystem::remove(f);
  pr.SetOutputPath(f);
  r.PrintIt(1.0, true, true);
  EXPECT_GT(std::filesystem::file_size(f), 100u);
  EXPECT_THROW(r.PrintIt(std::numeric_limits<double>::quiet_NaN(), false, false), kvr::EPrinter);

  kvr::Integer x = 0, y = 0;
  EXPECT_THROW(r.CopyToOpenPrinter(x, y, 1.0, false, true), kvr::EPrinter);
  pr.BeginDoc();
  r.CopyToOpenPrinter(x, y, 1.0, false, true);
  EXPECT_GT(x, 0);
  EXPECT_EQ(y, 0);
  pr.EndDoc();
}

}  // namespace
