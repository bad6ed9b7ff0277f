// Vector output: a canvas that records what is drawn on it as an SVG document.
//
// Components paint onto a TMetafileCanvas exactly as onto a bitmap's canvas; the result
// is a vector picture (lines, shapes and text stay elements; only bitmaps drawn with
// Draw, StretchDraw or CopyRect are embedded as PNG images). Pixels cannot be read
// back from it (Pixels answers -1). Raster operations such as exclusive-or are
// approximated with blend modes.
//
//   kvr::TMetafileCanvas mf(640, 480);
//   mf.Pen()->SetColor(kvr::clBlue);  // any drawing through the TCanvas interface
//   mf.MoveTo(10, 470);
//   mf.LineTo(630, 10);
//   chart.RenderOnCanvas(&mf, false); // a chart (TZUvado) draws its picture as vectors
//   mf.SaveSvgToFile("chart.svg");
#pragma once

#include <memory>
#include <string>

#include "platform/canvas.h"
#include "platform/types.h"

namespace kvr {

class TMetafileCanvas : public TCanvas {
 public:
  // Negative sizes count as 0.
  TMetafileCanvas(Integer Width, Integer Height);
  ~TMetafileCanvas() override;

  Integer Width() const;
  Integer Height() const;

  // The finished document of everything drawn so far; drawing may go on afterwards.
  std::string SvgText() const;
  // Raises Exception when the file cannot be written.
  void SaveSvgToFile(const std::string& FileName) const;
  // Forgets everything drawn; the size stays.
  void Clear();
};

std::unique_ptr<TCanvas> CreateSvgCanvas(Integer Width, Integer Height);

// True for canvases that record SVG.
bool IsSvgCanvas(const TCanvas& Canvas);
// The document of an SVG canvas; empty for any other canvas.
std::string SvgText(const TCanvas& Canvas);
// Raises Exception for canvases that are not SVG canvases or when writing fails.
void SaveSvgToFile(const TCanvas& Canvas, const std::string& FileName);

}  // namespace kvr
