#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "platform/detail/pdf_writer.h"
#include "platform/printers.h"
#include "tests/test_out.h"

using namespace kvr;
namespace fs = std::filesystem;

namespace {

std::string read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct PdfImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;
  // Colour at (x, y) as $00BBGGRR.
  TColor at(int x, int y) const {
    const size_t i = (size_t(y) * width + x) * 3;
    return RGB(rgb[i], rgb[i + 1], rgb[i + 2]);
  }
};

// What the tests need to know of a PDF: its pages and their images, after checking the
// header, the trailer and that every xref entry points at its object.
struct ParsedPdf {
  int pages = 0;
  int count = -1;
  std::vector<PdfImage> images;
};

ParsedPdf parse_pdf(const std::string& pdf) {
  ParsedPdf r;
  EXPECT_EQ(pdf.rfind("%PDF-1.4\n", 0), 0u);
  EXPECT_EQ(pdf.substr(pdf.size() - 6), "%%EOF\n");

  const size_t sx = pdf.rfind("startxref\n");
  EXPECT_NE(sx, std::string::npos);
  const size_t xref = std::stoul(pdf.substr(sx + 10));
  EXPECT_EQ(pdf.compare(xref, 5, "xref\n"), 0);
  size_t pos = xref + 5;
  const size_t nl = pdf.find('\n', pos);
  std::smatch m;
  const std::string head = pdf.substr(pos, nl - pos);
  EXPECT_TRUE(std::regex_match(head, m, std::regex("0 (\\d+)")));
  const int n = std::stoi(m[1]);
  pos = nl + 1;
  EXPECT_EQ(pdf.compare(pos, 20, "0000000000 65535 f\r\n"), 0);
  for (int id = 1; id < n; ++id) {
    const std::string entry = pdf.substr(pos + 20 * size_t(id), 20);
    EXPECT_EQ(entry.substr(10), " 00000 n\r\n");
    const size_t off = std::stoul(entry.substr(0, 10));
    const std::string obj = std::to_string(id) + " 0 obj";
    EXPECT_EQ(pdf.compare(off, obj.size(), obj), 0) << "xref entry " << id;
  }
  EXPECT_NE(pdf.find("/Size " + std::to_string(n)), std::string::npos);

  for (size_t p = pdf.find("/Type /Page"); p != std::string::npos; p = pdf.find("/Type /Page", p + 1))
    if (pdf[p + 11] != 's') ++r.pages;
  if (std::regex_search(pdf, m, std::regex("/Count (\\d+)"))) r.count = std::stoi(m[1]);

  const std::regex image(
      "/Subtype /Image /Width (\\d+) /Height (\\d+) /ColorSpace /DeviceRGB /BitsPerComponent 8 "
      "/Filter /FlateDecode /Length (\\d+) >>\nstream\n");
  for (auto it = std::sregex_iterator(pdf.begin(), pdf.end(), image); it != std::sregex_iterator(); ++it) {
    PdfImage img;
    img.width = std::stoi((*it)[1]);
    img.height = std::stoi((*it)[2]);
    const size_t len = std::stoul((*it)[3]);
    const size_t start = size_t(it->position()) + size_t(it->length());
    EXPECT_EQ(pdf.compare(start + len, 11, "\nendstream\n"), 0);
    img.rgb.resize(size_t(img.width) * img.height * 3);
    uLongf size = img.rgb.size();
    EXPECT_EQ(uncompress(img.rgb.data(), &size, reinterpret_cast<const Bytef*>(pdf.data() + start), len), Z_OK);
    EXPECT_EQ(size, img.rgb.size());
    r.images.push_back(std::move(img));
  }
  return r;
}

void fill(TCanvas* c, TColor color, const TRect& r) {
  c->Brush()->SetColor(color);
  c->FillRect(r);
}

}  // namespace

TEST(ServicesPrinter, EachPageBecomesOneCompressedImage) {
  TPrinter p;
  p.SetPageImages(true);
  p.SetResolution(50);
  p.SetTitle("Three pages");
  const fs::path file = test_out_dir("printer") / "three.pdf";
  p.SetOutputPath(file.string());
  ASSERT_EQ(p.PageWidth(), 413);  // A4 at 50 dpi
  ASSERT_EQ(p.PageHeight(), 585);

  p.BeginDoc();
  EXPECT_TRUE(p.Printing());
  EXPECT_EQ(p.PageNumber(), 1);
  EXPECT_EQ(p.Canvas()->Pixels(0, 0), clWhite);
  fill(p.Canvas(), clRed, Rect(0, 0, 10, 10));
  p.NewPage();
  EXPECT_EQ(p.PageNumber(), 2);
  EXPECT_EQ(p.Canvas()->Pixels(5, 5), clWhite);  // a new page starts blank
  fill(p.Canvas(), clBlue, Rect(400, 580, 413, 585));
  p.NewPage();
  p.EndDoc();
  EXPECT_FALSE(p.Printing());
  EXPECT_EQ(p.PageNumber(), 0);
  EXPECT_EQ(p.LastFileName(), file.string());

  const std::string pdf = read_file(file);
  const ParsedPdf parsed = parse_pdf(pdf);
  EXPECT_EQ(parsed.pages, 3);
  EXPECT_EQ(parsed.count, 3);
  ASSERT_EQ(parsed.images.size(), 3u);
  for (const auto& img : parsed.images) {
    EXPECT_EQ(img.width, 413);
    EXPECT_EQ(img.height, 585);
  }
  EXPECT_EQ(parsed.images[0].at(9, 9), clRed);
  EXPECT_EQ(parsed.images[0].at(10, 10), clWhite);
  EXPECT_EQ(parsed.images[1].at(412, 584), clBlue);
  EXPECT_EQ(parsed.images[1].at(0, 0), clWhite);
  EXPECT_EQ(parsed.images[2].at(0, 0), clWhite);
  // 413 pixels at 50 dpi make 594.72 points.
  EXPECT_NE(pdf.find("/MediaBox [0 0 594.72 842.4]"), std::string::npos);
  EXPECT_NE(pdf.find("/Title (Three pages)"), std::string::npos);
}

TEST(ServicesPrinter, DefaultPrinterIsA4At300Dpi) {
  TPrinter& p = Printer();
  EXPECT_EQ(&p, &Printer());
  EXPECT_EQ(p.Resolution(), 300);
  EXPECT_EQ(p.PageWidth(), 2480);
  EXPECT_EQ(p.PageHeight(), 3508);
  EXPECT_EQ(GetDeviceCaps(p.Canvas()->Handle(), LOGPIXELSY), 300);
  EXPECT_EQ(p.Canvas()->Font()->PixelsPerInch(), 300);

  const std::string saved = p.OutputPath();
  p.SetOutputPath(test_out_dir("printer").string());  // a folder: the title names the file
  p.SetTitle("a4");
  p.SetPageImages(true);
  p.BeginDoc();
  EXPECT_EQ(p.Canvas()->Font()->PixelsPerInch(), 300);
  p.EndDoc();
  p.SetOutputPath(saved);
  p.SetTitle("");
  p.SetPageImages(false);
  EXPECT_EQ(fs::path(p.LastFileName()), test_out_dir("printer") / "a4.pdf");
  const ParsedPdf parsed = parse_pdf(read_file(p.LastFileName()));
  ASSERT_EQ(parsed.images.size(), 1u);
  EXPECT_EQ(parsed.images[0].width, 2480);
  EXPECT_EQ(parsed.images[0].height, 3508);

  p.SetOrientation(poLandscape);
  EXPECT_EQ(p.PageWidth(), 3508);
  EXPECT_EQ(p.PageHeight(), 2480);
  p.SetOrientation(poPortrait);
}

TEST(ServicesPrinter, MisuseRaisesAndAbortWritesNothing) {
  TPrinter p;
  p.SetResolution(20);
  EXPECT_THROW(p.NewPage(), EPrinter);
  EXPECT_THROW(p.EndDoc(), EPrinter);
  EXPECT_THROW(p.Abort(), EPrinter);

  const fs::path file = test_out_dir("printer") / "aborted.pdf";
  fs::remove(file);
  p.SetOutputPath(file.string());
  p.BeginDoc();
  EXPECT_THROW(p.BeginDoc(), EPrinter);
  EXPECT_THROW(p.SetResolution(100), EPrinter);
  EXPECT_THROW(p.SetOrientation(poLandscape), EPrinter);
  p.Abort();
  EXPECT_TRUE(p.Aborted());
  EXPECT_FALSE(p.Printing());
  EXPECT_FALSE(fs::exists(file));

  // A file that cannot be written still closes the document.
  p.SetOutputPath((test_out_dir("printer") / "no such folder" / "x.pdf").string());
  p.BeginDoc();
  EXPECT_FALSE(p.Aborted());
  EXPECT_THROW(p.EndDoc(), EPrinter);
  EXPECT_FALSE(p.Printing());
  p.SetResolution(0);  // ignored
  EXPECT_EQ(p.Resolution(), 20);
}

// Records what a printing host is given.
struct RecordingHost : TPrinterHost {
  bool accept = true;
  std::vector<std::string>* log;
  explicit RecordingHost(std::vector<std::string>* l) : log(l) {}
  bool BeginDoc(TPrinter& P) override {
    log->push_back(accept ? "begin" : "cancel");
    if (accept) P.SetResolution(50);  // the dialog picked another device
    return accept;
  }
  void Page(const TBitmap& Page, Integer Dpi) override {
    log->push_back("page " + std::to_string(Page.Width()) + "x" + std::to_string(Page.Height()) + " " +
                   std::to_string(Dpi) + " " + std::to_string(Page.Canvas()->Pixels(3, 3)));
  }
  void EndDoc(bool Aborted) override { log->push_back(Aborted ? "end aborted" : "end"); }
};

TEST(ServicesPrinter, AHostTakesThePagesOrCancelsTheDocument) {
  std::vector<std::string> log;
  TPrinter p;
  const fs::path file = test_out_dir("printer") / "hosted.pdf";
  fs::remove(file);
  p.SetOutputPath(file.string());
  auto host = std::make_unique<RecordingHost>(&log);
  RecordingHost* h = host.get();
  p.SetHost(std::move(host));
  p.BeginDoc();
  EXPECT_EQ(p.Resolution(), 50);
  EXPECT_EQ(p.Canvas()->Font()->PixelsPerInch(), 50);
  p.Canvas()->SetPixels(3, 3, clRed);
  p.NewPage();
  p.EndDoc();
  const std::string page = "page " + std::to_string(p.PageWidth()) + "x" + std::to_string(p.PageHeight()) + " 50 ";
  EXPECT_EQ(log, (std::vector<std::string>{"begin", page + std::to_string(clRed),
                                           page + std::to_string(clWhite), "end"}));
  EXPECT_FALSE(fs::exists(file));  // the host printed it

  // A cancelled dialog: the caller draws on as usual, nothing reaches the host or a file.
  log.clear();
  h->accept = false;
  p.BeginDoc();
  EXPECT_TRUE(p.Printing());
  EXPECT_TRUE(p.Aborted());
  p.Canvas()->LineTo(10, 10);
  p.NewPage();
  p.EndDoc();
  EXPECT_FALSE(p.Printing());
  EXPECT_EQ(log, (std::vector<std::string>{"cancel"}));
  p.BeginDoc();
  p.Abort();  // never opened on the host: nothing to close
  EXPECT_EQ(log, (std::vector<std::string>{"cancel", "cancel"}));
  h->accept = true;
  p.BeginDoc();
  p.Abort();
  EXPECT_EQ(log.back(), "end aborted");

  p.BeginDoc();
  EXPECT_THROW(p.SetHost(nullptr), EPrinter);  // not while printing
  p.Abort();
  p.SetHost(nullptr);
  p.BeginDoc();
  p.EndDoc();
  EXPECT_TRUE(fs::exists(file));
}

TEST(ServicesPrinter, TitlesAreEscapedForPdf) {
  EXPECT_EQ(detail::pdf_text_string("a(b)\\c"), "(a\\(b\\)\\\\c)");
  EXPECT_EQ(detail::pdf_text_string("\xC3\xA9t\xC3\xA9"), "<FEFF00E9007400E9>");
  EXPECT_EQ(detail::pdf_text_string("\xF0\x9F\x93\x88"), "<FEFFD83DDCC8>");  // outside the BMP
  EXPECT_EQ(detail::pdf_text_string("x\xFF"), "<FEFF0078FFFD>");             // broken UTF-8
  // A UTF-8 encoded surrogate or overlong form is no character: it must not reach the
  // UTF-16 string as a lone surrogate or as the character it hides.
  EXPECT_EQ(detail::pdf_text_string("\xED\xA0\x80"), "<FEFFFFFDFFFDFFFD>");
  EXPECT_EQ(detail::pdf_text_string("\xC0\xA8x"), "<FEFFFFFDFFFD0078>");

  detail::PdfWriter w;
  std::vector<uint8_t> bytes = w.build("Chart (1)");
  const ParsedPdf parsed = parse_pdf(std::string(bytes.begin(), bytes.end()));
  EXPECT_EQ(parsed.pages, 0);
  EXPECT_EQ(parsed.count, 0);
}
