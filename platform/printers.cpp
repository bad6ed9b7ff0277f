#include "platform/printers.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "platform/arith.h"
#include "platform/detail/pdf_writer.h"
#include "platform/filewrite.h"

namespace kvr {

TPrinter::TPrinter() : FPage(std::make_unique<TBitmap>()), FWriter(std::make_unique<detail::PdfWriter>()) {
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
  FPageNumber = 1;
  FPrinting = true;
  FAborted = !accepted;
}

void TPrinter::FinishPage() {
  if (FAborted) return;
  if (FHost)
    FHost->Page(*FPage, FResolution);
  else
    FWriter->add_page(*FPage, FResolution);
}

void TPrinter::NewPage() {
  CheckPrinting(true);
  FinishPage();
  StartPage();
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
  if (FAborted || FHost) {
    FWriter->clear();
    // A document the host cancelled in its dialog was never opened there.
    if (FHost && !FAborted) FHost->EndDoc(false);
    return;
  }
  const std::vector<uint8_t> pdf = FWriter->build(FTitle);
  FWriter->clear();
  const std::string file = TargetFile();
  detail::write_file<EPrinter>(
      file, std::string_view(reinterpret_cast<const char*>(pdf.data()), pdf.size()));
  FLastFileName = file;
}

void TPrinter::Abort() {
  CheckPrinting(true);
  FWriter->clear();
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
