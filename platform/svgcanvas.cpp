#include "platform/svgcanvas.h"

#include "platform/detail/svg_backend.h"
#include "platform/filewrite.h"

namespace kvr {

namespace {

const detail::SvgBackend* svg_of(const TCanvas& c) {
  return dynamic_cast<const detail::SvgBackend*>(c.Backend());
}

}  // namespace

TMetafileCanvas::TMetafileCanvas(Integer Width, Integer Height)
    : TCanvas(std::make_unique<detail::SvgBackend>(Width, Height)) {}

TMetafileCanvas::~TMetafileCanvas() = default;

Integer TMetafileCanvas::Width() const { return Backend()->width(); }
Integer TMetafileCanvas::Height() const { return Backend()->height(); }

std::string TMetafileCanvas::SvgText() const { return svg_of(*this)->document(); }

void TMetafileCanvas::SaveSvgToFile(const std::string& FileName) const {
  detail::write_file(FileName, SvgText());
}

void TMetafileCanvas::Clear() { static_cast<detail::SvgBackend*>(Backend())->clear(); }

std::unique_ptr<TCanvas> CreateSvgCanvas(Integer Width, Integer Height) {
  return std::make_unique<TMetafileCanvas>(Width, Height);
}

bool IsSvgCanvas(const TCanvas& Canvas) { return svg_of(Canvas) != nullptr; }

std::string SvgText(const TCanvas& Canvas) {
  const detail::SvgBackend* svg = svg_of(Canvas);
  return svg ? svg->document() : std::string();
}

void SaveSvgToFile(const TCanvas& Canvas, const std::string& FileName) {
  const detail::SvgBackend* svg = svg_of(Canvas);
  if (!svg) RaiseKvrError<Exception>("The canvas does not record SVG");
  detail::write_file(FileName, svg->document());
}

}  // namespace kvr
