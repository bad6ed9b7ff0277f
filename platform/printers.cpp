#include "platform/printers.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "platform/arith.h"
#include "platform/detail/canvas_backend.h"
#include "platform/detail/pdf_backend.h"
#include "platform/detail/pdf_writer.h"
#include "platform/filewrite.h"

namespace kvr {

namespace detail {

// The printer's page: everything lands on the page bitmap, which the canvas reads back
// and a host receives, and also on the PDF page while a vector document is open.
class PageBackend final : public CanvasBackend {
 public:
  explicit PageBackend(TBitmap& page) : page_(page) {}
  void set_pdf(PdfBackend* pdf) { pdf_ = pdf; }

  void line(TPoint a, TPoint b, const Stroke& s) override {
    raster().line(a, b, s);
    if (pdf_) pdf_->line(a, b, s);
  }
  void polyline(const TPoint* p, int n, const Stroke& s) override {
    raster().polyline(p, n, s);
    if (pdf_) pdf_->polyline(p, n, s);
  }
  void rectangle(const TRect& r, const Stroke* s, const Fill* f) override {
    raster().rectangle(r, s, f);
    if (pdf_) pdf_->rectangle(r, s, f);
  }
  void ellipse(const TRect& r, const Stroke* s, const Fill* f) override {
    raster().ellipse(r, s, f);
    if (pdf_) pdf_->ellipse(r, s, f);
  }
  void arc(const TRect& r, TPoint start, TPoint end, const Stroke& s) override {
    raster().arc(r, start, end, s);
    if (pdf_) pdf_->arc(r, start, end, s);
  }
  void polygon(const TPoint* p, int n, const Stroke* s, const Fill* f) override {
    raster().polygon(p, n, s, f);
    if (pdf_) pdf_->polygon(p, n, s, f);
  }
  void text(int x, int y, std::string_view utf8, const TextStyle& t) override {
    raster().text(x, y, utf8, t);
    if (pdf_) pdf_->text(x, y, utf8, t);
  }
  void set_pixel(int x, int y, TColor rgb) override {
    raster().set_pixel(x, y, rgb);
    if (pdf_) pdf_->set_pixel(x, y, rgb);
  }
  TColor get_pixel(int x, int y) const override { return page_.Canvas()->Backend()->get_pixel(x, y); }
  void draw_image(const TRect& dst, const TBitmap& image, const TRect& src_rect, int32_t rop) override {
    raster().draw_image(dst, image, src_rect, rop);
    if (pdf_) pdf_->draw_image(dst, image, src_rect, rop);
  }
  void set_clip(const TRect* r) override {
    raster().set_clip(r);
    if (pdf_) pdf_->set_clip(r);
  }
  int width() const override { return page_.Width(); }
  int height() const override { return page_.Height(); }
  TBitmap* bitmap() override { return &page_; }

  bool keeps_fractions() const override { return pdf_ != nullptr; }
  void line_f(TPointDouble a, TPointDouble b, const Stroke& s) override {
    raster().line_f(a, b, s);
    pdf_->line_f(a, b, s);
  }
  void polyline_f(const TPointDouble* p, int n, const Stroke& s) override {
    raster().polyline_f(p, n, s);
    pdf_->polyline_f(p, n, s);
  }
  void polygon_f(const TPointDouble* p, int n, const Stroke* s, const Fill* f) override {
    raster().polygon_f(p, n, s, f);
    pdf_->polygon_f(p, n, s, f);
  }
  void ellipse_f(double l, double t, double r, double b, const Stroke* s, const Fill* f) override {
    raster().ellipse_f(l, t, r, b, s, f);
    pdf_->ellipse_f(l, t, r, b, s, f);
  }

 private:
  CanvasBackend& raster() { return *page_.Canvas()->Backend(); }

  TBitmap& page_;
  PdfBackend* pdf_ = nullptr;
};

}  // namespace detail

TPrinter::TPrinter() : FPage(std::make_unique<TBitmap>()), FWriter(std::make_unique<detail::PdfWriter>()) {
  auto page = std::make_unique<detail::PageBackend>(*FPage);
  FPageBackend = page.get();
  FCanvas = std::make_unique<TCanvas>(std::move(page));
  Canvas()->SetResolution(FResolution);
  Canvas()->Font()->SetPixelsPerInch(FResolution);
}

TPrinter::~TPrinter() = default;

Integer TPrinter::PageWidth() const {
  const double mm = FOrientation == poPortrait ? FPaperWidthMM : FPaperHeightMM;
  return static_cast<Integer>(Round(mm / 25.4 * FResolution));
}

Integer TPrinter::PageHeight() const {
  const double mm = FOrientation == poPortrait ? FPaperHeightMM : FPaperWidthMM;
  return static_cast<Integer>(Round(mm / 25.4 * FResolution));
}

void TPrinter::CheckPrinting(bool Expected) const {
  if (FPrinting == Expected) return;
  RaiseKvrError<EPrinter>(Expected ? "Printer is not currently printing" : "Printing in progress");
}

void TPrinter::CheckIdle() const { CheckPrinting(false); }

void TPrinter::SetResolution(Integer Dpi) {
  CheckIdle();
  if (Dpi < 1) return;
  FResolution = Dpi;
  Canvas()->SetResolution(Dpi);
  Canvas()->Font()->SetPixelsPerInch(Dpi);
}

void TPrinter::SetPaperSizeMM(double WidthMM, double HeightMM) {
  CheckIdle();
  if (!(WidthMM > 0) || !(HeightMM > 0)) return;
  FPaperWidthMM = WidthMM;
  FPaperHeightMM = HeightMM;
}

void TPrinter::SetOrientation(TPrinterOrientation v) {
  CheckIdle();
  FOrientation = v;
}

void TPrinter::StartPage() {
  if (FPage->Width() != PageWidth() || FPage->Height() != PageHeight())
    FPage->SetSize(PageWidth(), PageHeight());
  TRGB32* p = FPage->Bits();
  std::fill(p, p + static_cast<size_t>(FPage->Width()) * static_cast<size_t>(FPage->Height()),
            TRGB32{255, 255, 255, 255});
  Canvas()->SetPenPos(Point(0, 0));
}

void TPrinter::SetPageImages(bool v) {
  CheckIdle();
  FPageImages = v;
}

void TPrinter::SetHost(std::unique_ptr<TPrinterHost> Host) {
  CheckIdle();
  FHost = std::move(Host);
}

void TPrinter::BeginDoc() {
  CheckIdle();
  // The host's dialog may change paper and resolution, so it runs before the page exists.
  const bool accepted = !FHost || FHost->BeginDoc(*this);
  FWriter->clear();
  Canvas()->SetResolution(FResolution);
  Canvas()->Font()->SetPixelsPerInch(FResolution);
  StartPage();
  if (accepted && !FHost && !FPageImages) {
    FPdf = std::make_unique<detail::PdfBackend>(PageWidth(), PageHeight(), FResolution);
    FPageBackend->set_pdf(FPdf.get());
  }
  FPageNumber = 1;
  FPrinting = true;
  FAborted = !accepted;
}

void TPrinter::FinishPage() {
  if (FAborted) return;
  if (FHost)
    FHost->Page(*FPage, FResolution);
  else if (!FPdf)
    FWriter->add_page(*FPage, FResolution);
}

void TPrinter::NewPage() {
  CheckPrinting(true);
  FinishPage();
  StartPage();
  if (FPdf) FPdf->new_page(PageWidth(), PageHeight());
  ++FPageNumber;
}

std::string TPrinter::TargetFile() const {
  std::string name;
  for (char c : FTitle) {
    const auto u = static_cast<unsigned char>(c);
    name += (std::isalnum(u) || c == '-' || c == '_' || c == ' ' || c == '.') ? c : '_';
  }
  if (name.empty()) name = "document";
  name += ".pdf";
  if (FOutputPath.empty()) return name;
  std::error_code ec;
  if (std::filesystem::is_directory(FOutputPath, ec))
    return (std::filesystem::path(FOutputPath) / name).string();
  return FOutputPath;
}

void TPrinter::EndDoc() {
  CheckPrinting(true);
  FinishPage();
  // The document is over whatever happens to the file.
  FPrinting = false;
  FPageNumber = 0;
  FPage->SetSize(0, 0);
  // The page canvas draws on the bitmap alone again, whatever happens to the file.
  FPageBackend->set_pdf(nullptr);
  const std::unique_ptr<detail::PdfBackend> vector_doc = std::move(FPdf);
  if (FAborted || FHost) {
    FWriter->clear();
    // A document the host cancelled in its dialog was never opened there.
    if (FHost && !FAborted) FHost->EndDoc(false);
    return;
  }
  const std::string file = TargetFile();
  if (vector_doc) {
    detail::write_file<EPrinter>(file, vector_doc->finish(FTitle));
  } else {
    const std::vector<uint8_t> pdf = FWriter->build(FTitle);
    FWriter->clear();
    detail::write_file<EPrinter>(
        file, std::string_view(reinterpret_cast<const char*>(pdf.data()), pdf.size()));
  }
  FLastFileName = file;
}

void TPrinter::Abort() {
  CheckPrinting(true);
  FWriter->clear();
  FPageBackend->set_pdf(nullptr);
  FPdf.reset();
  FPrinting = false;
  const bool was_aborted = FAborted;
  FAborted = true;
  FPageNumber = 0;
  FPage->SetSize(0, 0);
  // A job the host cancelled in its dialog was never opened there.
  if (FHost && !was_aborted) FHost->EndDoc(true);
}

TPrinter& Printer() {
  static TPrinter printer;
  return printer;
}

}  // namespace kvr
