#include "platform/pdfcanvas.h"

#include <memory>

#include "platform/detail/pdf_backend.h"
#include "platform/filewrite.h"

namespace kvr {

namespace {

detail::PdfBackend& pdf_of(const TCanvas& c) { return *static_cast<detail::PdfBackend*>(c.Backend()); }

}  // namespace

TPdfCanvas::TPdfCanvas(Integer Width, Integer Height, Integer PixelsPerInch)
    : TCanvas(std::make_unique<detail::PdfBackend>(Width, Height, PixelsPerInch >= 1 ? PixelsPerInch : 96)) {
  SetResolution(PixelsPerInch >= 1 ? PixelsPerInch : 96);
  Font()->SetPixelsPerInch(Resolution());
}

TPdfCanvas::~TPdfCanvas() = default;

Integer TPdfCanvas::Width() const { return Backend()->width(); }
Integer TPdfCanvas::Height() const { return Backend()->height(); }

void TPdfCanvas::NewPage(Integer Width, Integer Height) {
  // A clip belongs to the page it was set on.
  ResetClip();
  pdf_of(*this).new_page(Width, Height);
}

Integer TPdfCanvas::PageCount() const { return pdf_of(*this).page_count(); }

std::string TPdfCanvas::PdfData(std::string_view Title) { return pdf_of(*this).finish(Title); }

void TPdfCanvas::SavePdfToFile(const std::string& FileName, std::string_view Title) {
  detail::write_file(FileName, pdf_of(*this).finish(Title));
}

bool IsPdfCanvas(const TCanvas& Canvas) {
  return dynamic_cast<const detail::PdfBackend*>(Canvas.Backend()) != nullptr;
}

}  // namespace kvr
