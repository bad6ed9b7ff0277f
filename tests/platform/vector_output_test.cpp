// Sub-pixel drawing and the PDF canvas: the F calls on raster surfaces against the
// integer calls they round to, fractions kept by the vector surfaces, and PDF files
// read back with poppler (text, fonts, pages, and the picture against the raster one).
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "platform/arith.h"
#include "platform/bitmap.h"
#include "platform/pdfcanvas.h"
#include "platform/printers.h"
#include "platform/svgcanvas.h"
#include "tests/pdf_tools.h"
#include "tests/test_out.h"

namespace kvr {
namespace {

using test::have_poppler;

bool same_pixels(const TBitmap& a, const TBitmap& b) {
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.Canvas()->Pixels(x, y) != b.Canvas()->Pixels(x, y)) return false;
  return true;
}

// The same picture, once through the F calls and once through the integer calls at the
// rounded coordinates: ties go to even, the pen position carries over between both kinds.
TEST(SubPixel, RasterFCallsDrawWhatTheRoundedIntegerCallsDraw) {
  const double xs[] = {2.5, 3.5, 10.49, 17.51, -4.5, 30.2, 61.7};
  for (int width : {1, 3}) {
    for (TPenStyle style : {psSolid, psDot}) {
      SCOPED_TRACE(std::to_string(width) + " " + std::to_string(int(style)));
      TBitmap f(64, 48), i(64, 48);
      for (TBitmap* b : {&f, &i}) {
        b->Canvas()->Pen()->SetWidth(width);
        b->Canvas()->Pen()->SetStyle(style);
        b->Canvas()->Brush()->SetColor(clYellow);
      }
      TCanvas& cf = *f.Canvas();
      TCanvas& ci = *i.Canvas();
      EXPECT_FALSE(cf.KeepsFractions());
      cf.MoveToF(xs[0], xs[1]);
      cf.LineToF(xs[5], xs[6] - 30);
      cf.LineTo(40, 40);  // from the rounded end of the F line
      cf.LineToF(xs[2], xs[3]);
      ci.MoveTo(RoundPix(xs[0]), RoundPix(xs[1]));
      ci.LineTo(RoundPix(xs[5]), RoundPix(xs[6] - 30));
      ci.LineTo(40, 40);
      ci.LineTo(RoundPix(xs[2]), RoundPix(xs[3]));
      EXPECT_EQ(cf.PenPos().X, 10);
      EXPECT_DOUBLE_EQ(cf.PenPosF().X, 10.49);

      const std::vector<TPointDouble> poly = {{xs[4], 5.5}, {xs[5], 40.5}, {xs[6], 12.5}, {20.5, 2.5}};
      std::vector<TPoint> rounded;
      for (const TPointDouble& p : poly) rounded.push_back({RoundPix(p.X), RoundPix(p.Y)});
      cf.PolygonF(poly);
      ci.Polygon(rounded);
      cf.PolylineF(poly);
      ci.Polyline(rounded);
      cf.EllipseF(40.5, 30.5, 61.5, 46.7);
      ci.Ellipse(RoundPix(40.5), RoundPix(30.5), RoundPix(61.5), RoundPix(46.7));
      // Far and non-finite coordinates are clamped as the integer calls clamp them.
      cf.MoveToF(5, 5);
      cf.LineToF(1e300, std::nan(""));
      ci.MoveTo(5, 5);
      ci.LineTo(RoundPix(1e300), RoundPix(std::nan("")));
      EXPECT_TRUE(same_pixels(f, i));
      EXPECT_EQ(cf.PenPos(), ci.PenPos());
    }
  }
}

TEST(SubPixel, SvgKeepsTheFractionsAndIntegerCallsStayAsTheyWere) {
  TMetafileCanvas c(200, 100);
  EXPECT_TRUE(c.KeepsFractions());
  c.MoveToF(10.25, 20.75);
  c.LineToF(100.5, 20.75);
  // A one-pixel line still leaves its end out: centres moved back half a step.
  EXPECT_NE(c.SvgText().find("<line x1=\"10.25\" y1=\"21.25\" x2=\"100.5\" y2=\"21.25\""), std::string::npos)
      << c.SvgText();
  c.Clear();
  c.PolylineF(std::vector<TPointDouble>{{1.125, 2}, {50.3, 60.7}, {90.6, 10.2}});
  c.Brush()->SetStyle(bsClear);
  c.PolygonF(std::vector<TPointDouble>{{1.25, 1.25}, {30.75, 1.25}, {16.1, 40.4}});
  c.EllipseF(100.2, 10.4, 150.8, 70.6);
  const std::string svg = c.SvgText();
  EXPECT_NE(svg.find("50.8,61.2 90.701,11.2"), std::string::npos) << svg;
  EXPECT_NE(svg.find("points=\"1.75,1.75 31.25,1.75 16.6,40.9\""), std::string::npos) << svg;
  EXPECT_NE(svg.find("<ellipse cx=\"125.5\" cy=\"40.5\" rx=\"24.8\" ry=\"29.6\""), std::string::npos) << svg;

  // The integer calls write what they always wrote.
  TMetafileCanvas d(50, 50);
  d.MoveTo(1, 1);
  d.LineTo(11, 1);
  EXPECT_NE(d.SvgText().find("<line x1=\"1\" y1=\"1.5\" x2=\"11\" y2=\"1.5\""), std::string::npos) << d.SvgText();
}

// A picture with a filled box, a thick line, an ellipse and a label.
void sample_picture(TCanvas& c) {
  c.Brush()->SetColor(clWhite);
  c.FillRect(Rect(0, 0, 200, 120));
  c.Pen()->SetColor(clBlue);
  c.Brush()->SetColor(clRed);
  c.Rectangle(10, 10, 70, 50);
  c.Pen()->SetWidth(5);
  c.Pen()->SetColor(clGreen);
  c.MoveTo(100, 20);
  c.LineTo(190, 20);
  c.Pen()->SetWidth(1);
  c.Brush()->SetColor(clBlue);
  c.Ellipse(120, 50, 180, 110);
  c.Brush()->SetColor(clWhite);
  c.Font()->SetSize(14);
  c.Font()->SetColor(clBlack);
  c.TextOut(10, 80, "Vector Label");
}

TEST(PdfCanvas, TextStaysTextFontsAreEmbeddedAndNoPageImage) {
  TPdfCanvas pdf(200, 120);
  EXPECT_TRUE(pdf.KeepsFractions());
  EXPECT_TRUE(IsPdfCanvas(pdf));
  EXPECT_EQ(pdf.Pixels(5, 5), -1);
  sample_picture(pdf);
  pdf.NewPage(300, 150);
  pdf.Font()->SetSize(10);
  pdf.TextOut(5, 5, "Second \xC3\xA9t\xC3\xA9 page");
  pdf.TextOut(5, 40, std::string("broken \xFF bytes"));
  EXPECT_EQ(pdf.PageCount(), 2);
  EXPECT_EQ(pdf.Width(), 300);
  const std::string file = test_out_file("sample.pdf", "pdf");
  pdf.SavePdfToFile(file, "Sample");
  const std::string bytes = test::read_bytes(file);
  ASSERT_EQ(bytes.rfind("%PDF-", 0), 0u);
  EXPECT_NE(bytes.find("/FontFile"), std::string::npos);
  EXPECT_EQ(bytes.find("/Subtype /Image"), std::string::npos);
  // Drawing after the end is ignored.
  pdf.TextOut(1, 1, "late");
  if (!have_poppler()) GTEST_SKIP() << "poppler-utils missing: the text of " << file << " not checked";
  const std::string text = test::pdf_text(file);
  EXPECT_NE(text.find("Vector Label"), std::string::npos) << text;
  EXPECT_NE(text.find("Second \xC3\xA9t\xC3\xA9 page"), std::string::npos) << text;
  const std::string info = test::pdf_info(file);
  EXPECT_NE(info.find("Pages:           2"), std::string::npos) << info;
  EXPECT_NE(info.find("Sample"), std::string::npos) << info;
  // 200 x 120 pixels at 96 dpi make 150 x 90 points.
  EXPECT_NE(info.find("Page size:       150 x 90 pts"), std::string::npos) << info;
}

// The PDF rendered back at 96 dpi shows the raster picture: the insides of the shapes
// have their colours and the label darkens the same place.
TEST(PdfCanvas, RenderedBackItLooksLikeTheRasterPicture) {
  if (!have_poppler()) GTEST_SKIP() << "poppler-utils missing";
  TBitmap raster(200, 120);
  sample_picture(*raster.Canvas());
  TPdfCanvas pdf(200, 120);
  sample_picture(pdf);
  const std::string file = test_out_file("look.pdf", "pdf");
  pdf.SavePdfToFile(file);
  TBitmap back;
  test::render_pdf(file, 96, back);
  ASSERT_EQ(back.Width(), 200);
  ASSERT_EQ(back.Height(), 120);
  const TPoint probes[] = {{40, 30}, {10, 10}, {69, 49}, {150, 80}, {145, 20}, {190, 115}, {95, 60}};
  for (const TPoint& p : probes)
    EXPECT_EQ(back.Canvas()->Pixels(p.X, p.Y), raster.Canvas()->Pixels(p.X, p.Y)) << p.X << "," << p.Y;
  auto ink = [](const TBitmap& b) {
    int n = 0;
    for (int y = 78; y < 100; ++y)
      for (int x = 8; x < 130; ++x) n += GetRValue(b.Canvas()->Pixels(x, y)) < 128;
    return n;
  };
  const int a = ink(raster), b = ink(back);
  EXPECT_GT(a, 100);
  EXPECT_NEAR(b, a, a * 0.35);
}

TEST(PdfCanvas, UnwritableFileRaises) {
  TPdfCanvas pdf(10, 10);
  EXPECT_THROW(pdf.SavePdfToFile((test_out_dir("pdf") / "no such folder" / "x.pdf").string()), Exception);
}

// Without a host the printer writes vector pages, while its canvas keeps its page
// bitmap for reading back; page images stay available as an option.
TEST(PdfPrinter, PagesAreVectorsAndTheCanvasStillReadsBack) {
  TPrinter p;
  ASSERT_FALSE(p.PageImages());
  p.SetResolution(150);
  p.SetTitle("Vector pages");
  const std::string file = test_out_file("vector_pages.pdf", "pdf");
  p.SetOutputPath(file);
  p.BeginDoc();
  EXPECT_TRUE(p.Canvas()->KeepsFractions());
  EXPECT_THROW(p.SetPageImages(true), EPrinter);
  p.Canvas()->Font()->SetSize(20);
  p.Canvas()->TextOut(100, 100, "Printed words");
  p.Canvas()->Brush()->SetColor(clRed);
  p.Canvas()->FillRect(Rect(300, 300, 400, 400));
  EXPECT_EQ(p.Canvas()->Pixels(350, 350), clRed);
  p.NewPage();
  EXPECT_EQ(p.Canvas()->Pixels(350, 350), clWhite);
  p.Canvas()->Brush()->SetColor(clWhite);
  p.Canvas()->TextOut(100, 100, "Page two");
  p.EndDoc();
  EXPECT_FALSE(p.Canvas()->KeepsFractions());
  const std::string bytes = test::read_bytes(file);
  ASSERT_EQ(bytes.rfind("%PDF-", 0), 0u);
  EXPECT_EQ(bytes.find("/Subtype /Image"), std::string::npos);
  if (!have_poppler()) GTEST_SKIP() << "poppler-utils missing";
  const std::string text = test::pdf_text(file);
  EXPECT_NE(text.find("Printed words"), std::string::npos) << text;
  EXPECT_NE(text.find("Page two"), std::string::npos) << text;
  EXPECT_NE(test::pdf_info(file).find("Pages:           2"), std::string::npos);
  TBitmap back;
  test::render_pdf(file, 150, back);
  ASSERT_EQ(back.Width(), p.PageWidth());
  EXPECT_EQ(back.Canvas()->Pixels(350, 350), clRed);
  EXPECT_EQ(back.Canvas()->Pixels(299, 350), clWhite);

  // An aborted vector document writes nothing, and the next one starts afresh.
  std::filesystem::remove(file);
  p.BeginDoc();
  p.Canvas()->TextOut(10, 10, "dropped");
  p.Abort();
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_FALSE(p.Canvas()->KeepsFractions());
}

// PDF text is the shaped text: glyphs of fallback faces (CJK), right-to-left words and
// kerning come out as on the raster surface and can still be found in the file.
TEST(PdfCanvas, ShapedTextKeepsFallbackRightToLeftAndKerning) {
  const std::string cjk = "\xE6\xB8\xA9\xE5\xBA\xA6";                          // temperature
  const std::string greek = "\xCE\xA0\xCE\xAF\xCE\xB5\xCF\x83\xCE\xB7";  // pressure
  const std::string arabic = "\xD8\xB6\xD8\xBA\xD8\xB7";                      // pressure
  auto page = [&](bool kerning, const std::string& name) {
    TPdfCanvas pdf(300, 160);
    pdf.Brush()->SetColor(clWhite);
    pdf.FillRect(TRect{0, 0, 300, 160});
    pdf.Font()->SetSize(14);
    pdf.Font()->SetKerning(kerning);
    pdf.TextOut(10, 10, "AVATAR");
    pdf.TextOut(10, 40, cjk + " / " + greek);
    pdf.TextOut(10, 80, arabic);
    const std::string file = test_out_file(name, "pdf");
    pdf.SavePdfToFile(file);
    return file;
  };
  const std::string plain = page(false, "shaped_plain.pdf"), kerned = page(true, "shaped_kerned.pdf");
  if (!have_poppler()) GTEST_SKIP() << "poppler-utils missing";
  const std::string text = test::pdf_text(plain);
  EXPECT_NE(text.find("AVATAR"), std::string::npos) << text;
  EXPECT_NE(text.find(cjk), std::string::npos) << text;
  EXPECT_NE(text.find(greek), std::string::npos) << text;
  EXPECT_NE(text.find(arabic), std::string::npos) << text;
  EXPECT_NE(test::pdf_text(kerned).find("AVATAR"), std::string::npos);
  // The word's ink: narrower with kerning; the CJK label is drawn, not left empty.
  auto ink_span = [](const TBitmap& b, int y0, int y1) {
    int lo = b.Width(), hi = -1;
    for (int y = y0; y < y1; ++y)
      for (int x = 0; x < b.Width(); ++x)
        if (GetRValue(b.Canvas()->Pixels(x, y)) < 128) lo = std::min(lo, x), hi = std::max(hi, x);
    return hi - lo;
  };
  TBitmap a, k;
  test::render_pdf(plain, 96, a);
  test::render_pdf(kerned, 96, k);
  ASSERT_EQ(a.Width(), 300);
  ASSERT_EQ(k.Width(), 300);
  EXPECT_LT(ink_span(k, 8, 34), ink_span(a, 8, 34) - 2);
  EXPECT_GT(ink_span(a, 40, 70), 60);
  // Fallback glyphs, not empty boxes: about the ink of the raster picture.
  TBitmap r(300, 160);
  r.Canvas()->Brush()->SetColor(clWhite);
  r.Canvas()->FillRect(TRect{0, 0, 300, 160});
  r.Canvas()->Font()->SetSize(14);
  r.Canvas()->TextOut(10, 40, cjk);
  auto ink = [](const TBitmap& b) {
    int n = 0;
    for (int y = 38; y < 70; ++y)
      for (int x = 0; x < 60; ++x) n += GetRValue(b.Canvas()->Pixels(x, y)) < 128;
    return n;
  };
  EXPECT_GT(ink(r), 40);
  EXPECT_NEAR(ink(a), ink(r), ink(r) * 0.35);
  EXPECT_GT(ink_span(a, 80, 110), 15);
}

}  // namespace
}  // namespace kvr
