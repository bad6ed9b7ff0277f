// Vector PDF output: a canvas that records what is drawn on it as PDF pages.
//
// Components paint onto a TPdfCanvas exactly as onto a bitmap's canvas; lines, shapes and
// text stay vectors (text is selectable, fonts are embedded), only bitmaps drawn with
// Draw, StretchDraw or CopyRect become images. A pixel is 72/PixelsPerInch points, so a
// picture laid out at 96 dpi keeps its screen size on paper. Pixels cannot be read back
// (Pixels answers -1).
//
//   kvr::TPdfCanvas pdf(640, 480);
//   chart.RenderOnCanvas(&pdf, false);    // a chart draws its picture as vectors
//   pdf.SavePdfToFile("chart.pdf");       // ends the document
#pragma once

#include <string>
#include <string_view>

#include "platform/canvas.h"
#include "platform/types.h"

namespace kvr {

class TPdfCanvas : public TCanvas {
 public:
  // Negative sizes count as 0; PixelsPerInch below 1 counts as 96.
  TPdfCanvas(Integer Width, Integer Height, Integer PixelsPerInch = 96);
  ~TPdfCanvas() override;

  Integer Width() const;
  Integer Height() const;
  // Ends the current page; the next one is Width x Height pixels.
  void NewPage(Integer Width, Integer Height);
  Integer PageCount() const;

  // Ends the document and returns the file; drawing afterwards is lost. Raises
  // Exception when the PDF could not be produced.
  std::string PdfData(std::string_view Title = {});
  // Ends the document and writes it; raises Exception when the file cannot be written.
  void SavePdfToFile(const std::string& FileName, std::string_view Title = {});
};

// True for canvases that record PDF.
bool IsPdfCanvas(const TCanvas& Canvas);

}  // namespace kvr
