// The SVG canvas: one table of canvas operations run over the raster and the SVG back
// end, the pixel model of the vector output, and the document's well-formedness.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/detail/svg_backend.h"
#include "platform/svgcanvas.h"
#include "tests/test_out.h"

namespace kvr {
namespace {

bool have_xmllint() {
  static const bool found = std::system("xmllint --version >/dev/null 2>&1") == 0;
  return found;
}

// Writes the document under the test output folder and asks xmllint whether it parses.
// Without xmllint the test is reported as skipped (after its other checks have run), so
// that an unchecked document never passes as a checked one.
void expect_well_formed(const TMetafileCanvas& c, const std::string& name) {
  const auto file = test_out_dir() / ("svg_" + name + ".svg");
  c.SaveSvgToFile(file.string());
  if (!have_xmllint())
    GTEST_SKIP() << "xmllint (Debian package libxml2-utils) is missing: " << file << " not checked";
  const std::string cmd = "xmllint --noout '" + file.string() + "' 2>&1";
  EXPECT_EQ(std::system(cmd.c_str()), 0) << file << " is not well-formed";
}

int count(const std::string& s, const std::string& what) {
  int n = 0;
  for (size_t p = s.find(what); p != std::string::npos; p = s.find(what, p + 1)) ++n;
  return n;
}

void fill_pattern(TBitmap& b) {
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      b.ScanLine(y)[x] = TRGB32{Byte(x * 20), Byte(y * 30), 200, 255};
}

struct Probe {
  int x, y;
  bool changed;  // whether the raster pixel differs from the white background
};

struct CanvasOp {
  const char* name;
  std::function<void(TCanvas&)> draw;
  std::vector<Probe> probes;
  const char* svg_element;  // what the vector output must contain
  bool embeds_image = false;
};

const TBitmap& pattern() {
  static TBitmap b(8, 6);
  static const bool filled = (fill_pattern(b), true);
  (void)filled;
  return b;
}

std::vector<CanvasOp> operations() {
  return {
      {"line",
       [](TCanvas& c) { c.MoveTo(10, 10); c.LineTo(50, 10); },
       {{10, 10, true}, {49, 10, true}, {50, 10, false}, {30, 11, false}},
       "<line"},
      {"dashed_line",
       [](TCanvas& c) { c.Pen()->SetStyle(psDash); c.MoveTo(5, 20); c.LineTo(90, 20); },
       {{5, 20, true}, {22, 20, true}, {25, 20, false}},
       "stroke-dasharray"},
      {"wide_line",
       [](TCanvas& c) { c.Pen()->SetWidth(5); c.MoveTo(20, 50); c.LineTo(80, 50); },
       {{50, 48, true}, {50, 52, true}, {50, 55, false}},
       "stroke-width=\"5\""},
      {"polyline",
       [](TCanvas& c) { c.Polyline({Point(10, 10), Point(60, 10), Point(60, 60)}); },
       {{30, 10, true}, {60, 30, true}, {60, 60, false}},
       "<polyline"},
      {"rectangle",
       [](TCanvas& c) { c.Brush()->SetColor(clRed); c.Rectangle(10, 10, 30, 30); },
       {{10, 10, true}, {29, 29, true}, {20, 20, true}, {30, 30, false}, {30, 20, false}},
       "<rect"},
      {"clear_brush_rectangle",
       [](TCanvas& c) { c.Brush()->SetStyle(bsClear); c.Rectangle(10, 10, 30, 30); },
       {{10, 20, true}, {20, 20, false}},
       "fill=\"none\""},
      {"ellipse",
       [](TCanvas& c) { c.Brush()->SetColor(clBlue); c.Ellipse(20, 20, 61, 41); },
       {{40, 30, true}, {20, 30, true}, {21, 21, false}, {61, 30, false}},
       "<ellipse"},
      {"arc",
       [](TCanvas& c) { c.Arc(10, 10, 51, 51, 60, 30, 30, 0); },
       {{44, 16, true}, {16, 44, false}, {30, 30, false}},
       "<path"},
      {"polygon",
       [](TCanvas& c) {
         c.Brush()->SetColor(clLime);
         c.Polygon({Point(10, 80), Point(50, 10), Point(90, 80)});
       },
       {{50, 50, true}, {50, 80, true}, {12, 12, false}},
       "fill-rule=\"evenodd\""},
      {"text",
       [](TCanvas& c) {
         c.Font()->SetSize(14);
         c.Brush()->SetColor(clYellow);
         c.TextOut(10, 10, "Kvr 42");
       },
       {{10, 10, true}},  // the opaque cell's corner
       "<text"},
      {"pixel",
       [](TCanvas& c) { c.SetPixels(33, 44, clRed); },
       {{33, 44, true}, {34, 44, false}},
       "width=\"1\" height=\"1\""},
      {"draw_image",
       [](TCanvas& c) { c.Draw(70, 70, &pattern()); },
       {{71, 71, true}, {69, 69, false}, {78, 70, false}},
       "<image",
       true},
      {"clipped",
       [](TCanvas& c) {
         c.SetClipRect(Rect(0, 0, 30, 100));
         c.MoveTo(10, 60);
         c.LineTo(90, 60);
         c.ResetClip();
       },
       {{20, 60, true}, {40, 60, false}},
       "<clipPath"},
  };
}

class SvgBothBackEnds : public ::testing::TestWithParam<size_t> {};

TEST_P(SvgBothBackEnds, SameOperationDrawsOnRasterAndVector) {
  const CanvasOp op = operations()[GetParam()];
  SCOPED_TRACE(op.name);

  TBitmap bmp(100, 100);
  op.draw(*bmp.Canvas());
  for (const Probe& p : op.probes) {
    const bool changed = bmp.Canvas()->Pixels(p.x, p.y) != clWhite;
    EXPECT_EQ(changed, p.changed) << "raster pixel " << p.x << "," << p.y;
  }

  TMetafileCanvas svg(100, 100);
  op.draw(svg);
  const std::string doc = svg.SvgText();
  EXPECT_NE(doc.find(op.svg_element), std::string::npos) << doc;
  EXPECT_EQ(doc.find("<image") != std::string::npos, op.embeds_image)
      << "plain shapes must stay vectors";
  expect_well_formed(svg, op.name);
}

INSTANTIATE_TEST_SUITE_P(Svg, SvgBothBackEnds, ::testing::Range<size_t>(0, operations().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                           return std::string(operations()[info.param].name);
                         });

// The vector outline must sit on the same pixels as the raster one.
TEST(SvgGeometry, OnePixelLinesCoverTheRasterPixels) {
  TMetafileCanvas c(100, 100);
  c.MoveTo(10, 10);
  c.LineTo(50, 10);  // pixels 10..49
  c.MoveTo(5, 5);
  c.LineTo(5, 0);  // upward: pixels 5..1
  const std::string doc = c.SvgText();
  EXPECT_NE(doc.find("x1=\"10\" y1=\"10.5\" x2=\"50\" y2=\"10.5\""), std::string::npos) << doc;
  EXPECT_NE(doc.find("x1=\"5.5\" y1=\"6\" x2=\"5.5\" y2=\"1\""), std::string::npos) << doc;
}

TEST(SvgGeometry, RectangleOutlineRunsThroughEdgePixelCentres) {
  TMetafileCanvas c(100, 100);
  c.Brush()->SetColor(clYellow);
  c.Rectangle(10, 20, 30, 25);
  c.Brush()->SetStyle(bsClear);
  c.Rectangle(40, 40, 41, 60);  // one pixel wide: all outline
  const std::string doc = c.SvgText();
  EXPECT_NE(doc.find("x=\"10.5\" y=\"20.5\" width=\"19\" height=\"4\" fill=\"#ffff00\""),
            std::string::npos)
      << doc;
  EXPECT_NE(doc.find("x=\"40\" y=\"40\" width=\"1\" height=\"20\" fill=\"#000000\""),
            std::string::npos)
      << doc;
}

TEST(SvgGeometry, ArcRunsCounterClockwise) {
  TMetafileCanvas c(100, 100);
  c.Arc(0, 0, 41, 41, 40, 20, 20, 0);  // right to top: a quarter
  c.Arc(0, 0, 41, 41, 20, 0, 40, 20);  // top to right: three quarters
  const std::string doc = c.SvgText();
  // Radii through the outline pixels' centres; sweep flag 0 is counter-clockwise on
  // screen; the large-arc flag tells the two apart.
  EXPECT_NE(doc.find("A20,20 0 0 0 "), std::string::npos) << doc;
  EXPECT_NE(doc.find("A20,20 0 1 0 "), std::string::npos) << doc;
}

TEST(SvgGeometry, CoordinatesFarOutsideAreClipped) {
  TMetafileCanvas c(100, 100);
  c.MoveTo(-2000000000, 50);
  c.LineTo(2000000000, 50);
  c.Polygon({Point(-2000000000, -2000000000), Point(2000000000, 0), Point(0, 2000000000)});
  const std::string doc = c.SvgText();
  std::regex big("[0-9]{7,}");
  EXPECT_FALSE(std::regex_search(doc, big)) << doc;
  EXPECT_EQ(count(doc, "<line"), 1);
  EXPECT_EQ(count(doc, "<polygon"), 1);
}

TEST(SvgPenModes, XorIsApproximatedByDifferenceAndNopDrawsNothing) {
  TMetafileCanvas c(100, 100);
  c.Pen()->SetColor(clWhite);
  c.Pen()->SetMode(pmXor);
  c.MoveTo(0, 0);
  c.LineTo(50, 50);
  EXPECT_NE(c.SvgText().find("mix-blend-mode:difference"), std::string::npos);

  TMetafileCanvas n(100, 100);
  n.Pen()->SetMode(pmNotCopy);
  n.Pen()->SetColor(clRed);
  n.MoveTo(0, 0);
  n.LineTo(50, 50);
  EXPECT_NE(n.SvgText().find("stroke=\"#00ffff\""), std::string::npos);
}

TEST(SvgText, CarriesFontAttributesAndEscapesMarkup) {
  TMetafileCanvas c(200, 50);
  c.Font()->SetStyle(TFontStyles{fsBold, fsItalic, fsUnderline});
  c.Font()->SetColor(clBlue);
  c.Brush()->SetColor(clYellow);
  c.TextOut(5, 5, "a<b & \"c\" \xff\x01 end");
  const std::string doc = c.SvgText();
  EXPECT_NE(doc.find("font-weight=\"bold\""), std::string::npos);
  EXPECT_NE(doc.find("font-style=\"italic\""), std::string::npos);
  EXPECT_NE(doc.find("text-decoration=\"underline\""), std::string::npos);
  EXPECT_NE(doc.find("fill=\"#0000ff\""), std::string::npos);
  EXPECT_NE(doc.find("a&lt;b &amp; &quot;c&quot;"), std::string::npos) << doc;
  // The opaque cell comes first, in the brush colour.
  EXPECT_LT(doc.find("fill=\"#ffff00\""), doc.find("<text"));
  expect_well_formed(c, "text_escapes");

  TMetafileCanvas clear(200, 50);
  clear.Brush()->SetStyle(bsClear);
  clear.TextOut(5, 5, "x");
  EXPECT_EQ(count(clear.SvgText(), "<rect"), 0);
}

std::vector<uint8_t> base64_decode(const std::string& s) {
  std::vector<uint8_t> out;
  uint32_t acc = 0;
  int bits = 0;
  for (char ch : s) {
    int v;
    if (ch >= 'A' && ch <= 'Z') v = ch - 'A';
    else if (ch >= 'a' && ch <= 'z') v = ch - 'a' + 26;
    else if (ch >= '0' && ch <= '9') v = ch - '0' + 52;
    else if (ch == '+') v = 62;
    else if (ch == '/') v = 63;
    else break;
    acc = (acc << 6) | v;
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out.push_back(uint8_t(acc >> bits));
    }
  }
  return out;
}

TEST(SvgImages, EmbeddedPngHoldsTheSourceRectangle) {
  TBitmap src(8, 6);
  fill_pattern(src);
  TMetafileCanvas c(100, 100);
  c.CopyRect(Rect(10, 10, 30, 20), src.Canvas(), Rect(2, 1, 6, 3));  // stretched 5x
  const std::string doc = c.SvgText();
  std::smatch m;
  ASSERT_TRUE(std::regex_search(doc, m, std::regex("base64,([A-Za-z0-9+/=]+)\"")));
  TBitmap back;
  back.LoadFromPNGData(base64_decode(m[1]));
  ASSERT_EQ(back.Width(), 4);
  ASSERT_EQ(back.Height(), 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(back.ScanLine(y)[x].B, src.ScanLine(y + 1)[x + 2].B);
      EXPECT_EQ(back.ScanLine(y)[x].G, src.ScanLine(y + 1)[x + 2].G);
    }
  EXPECT_NE(doc.find("width=\"20\" height=\"10\""), std::string::npos) << doc;
}

TEST(SvgImages, Base64MatchesTheStandardAlphabet) {
  const unsigned char data[] = {'M', 'a', 'n', 'y', '!'};
  EXPECT_EQ(detail::base64_encode(data, 3), "TWFu");
  EXPECT_EQ(detail::base64_encode(data, 4), "TWFueQ==");
  EXPECT_EQ(detail::base64_encode(data, 5), "TWFueSE=");
  EXPECT_EQ(detail::base64_encode(data, 0), "");
}

TEST(SvgCanvasApi, DocumentAndFiles) {
  auto c = CreateSvgCanvas(64, 32);
  ASSERT_TRUE(IsSvgCanvas(*c));
  EXPECT_EQ(c->Pixels(1, 1), -1);
  EXPECT_EQ(GetDeviceCaps(c->Handle(), HORZRES), 64);
  EXPECT_EQ(c->Bitmap(), nullptr);
  const std::string doc = SvgText(*c);
  EXPECT_EQ(doc.rfind("<?xml", 0), 0u);
  EXPECT_NE(doc.find("viewBox=\"0 0 64 32\""), std::string::npos);

  // A clip left open is closed by the document.
  c->SetClipRect(Rect(1, 1, 10, 10));
  c->Rectangle(0, 0, 20, 20);
  auto* mf = static_cast<TMetafileCanvas*>(c.get());
  EXPECT_EQ(count(mf->SvgText(), "<g "), count(mf->SvgText(), "</g>"));
  expect_well_formed(*mf, "open_clip");
  mf->Clear();
  EXPECT_EQ(mf->SvgText().find("<rect"), std::string::npos);

  TBitmap bmp(4, 4);
  EXPECT_FALSE(IsSvgCanvas(*bmp.Canvas()));
  EXPECT_EQ(SvgText(*bmp.Canvas()), "");
  EXPECT_THROW(SaveSvgToFile(*bmp.Canvas(), "unused.svg"), Exception);
  EXPECT_THROW(mf->SaveSvgToFile("/nonexistent-dir/x.svg"), Exception);
}

}  // namespace
}  // namespace kvr
