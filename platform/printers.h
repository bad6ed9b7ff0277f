// The printer. Without a host it prints to PDF: every document (BeginDoc .. EndDoc)
// becomes one file whose pages are vectors (lines, shapes, selectable text with embedded
// fonts), or page images when PageImages is set. The page bitmap is drawn either way, so
// the canvas can be read back and a host receives finished pages as pictures.
//
//   TPrinter& p = Printer();
//   p.SetOutputPath("out/report.pdf");   // a file, or an existing folder
//   p.BeginDoc();                        // page 1: a white bitmap at Resolution dpi
//   chart.CopyToOpenPrinter(x, y, 1.0, false);
//   p.NewPage();
//   ...
//   p.EndDoc();                          // writes the file
//
// The page canvas reports the printer's resolution through GetDeviceCaps (LOGPIXELSX,
// LOGPIXELSY) and its font is set to that resolution when a document begins. Between
// documents the canvas has no pixels; drawing there does nothing.
//
// Threads: there is one printer, and one thread at a time prints with it (BeginDoc ..
// EndDoc and everything between). Printer() and Canvas() themselves may be called from
// any thread: the canvas object stays the same for the life of the program, so controls
// on other threads may compare their canvas with it while a document is printed.
#pragma once

#include <memory>
#include <string>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/types.h"

namespace kvr {

namespace detail {
class PdfWriter;
class PdfBackend;
class PageBackend;
}

enum TPrinterOrientation : Byte { poPortrait, poLandscape };

class EPrinter : public Exception {
 public:
  using Exception::Exception;
};

class TPrinter;

// A host that prints on a real device. BeginDoc asks it first (a print dialog): it may
// set the printer's paper, resolution and orientation, and returning false cancels the
// document. Each finished page then goes to the host instead of the PDF file, and EndDoc
// or Abort close the host's job.
class TPrinterHost {
 public:
  virtual ~TPrinterHost() = default;
  virtual bool BeginDoc(TPrinter& P) = 0;
  virtual void Page(const TBitmap& Page, Integer Dpi) = 0;
  virtual void EndDoc(bool Aborted) = 0;
};

class TPrinter : public TObject {
 public:
  TPrinter();
  ~TPrinter() override;

  // Properties
  TCanvas* Canvas() { return FCanvas.get(); }
  bool Printing() const { return FPrinting; }
  bool Aborted() const { return FAborted; }
  // 1 for the first page of a document, 0 outside a document.
  Integer PageNumber() const { return FPageNumber; }
  // Page size in pixels at Resolution (A4 portrait at 300 dpi: 2480 x 3508).
  Integer PageWidth() const;
  Integer PageHeight() const;
  // Dots per inch; values below 1 are ignored. Raises EPrinter while printing.
  Integer Resolution() const { return FResolution; }
  void SetResolution(Integer Dpi);
  // Paper size in millimetres, portrait; raises EPrinter while printing.
  double PaperWidthMM() const { return FPaperWidthMM; }
  double PaperHeightMM() const { return FPaperHeightMM; }
  void SetPaperSizeMM(double WidthMM, double HeightMM);
  TPrinterOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TPrinterOrientation v);
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& v) { FTitle = v; }
  // File of the next document, or an existing folder that receives "<Title>.pdf".
  // Empty: "<Title>.pdf" in the current folder.
  const std::string& OutputPath() const { return FOutputPath; }
  void SetOutputPath(const std::string& v) { FOutputPath = v; }
  // The file written by the last EndDoc (unchanged when a host took the pages).
  const std::string& LastFileName() const { return FLastFileName; }
  // False (the default): PDF pages are vectors. True: each page is one image of the page
  // bitmap at Resolution. Raises EPrinter while printing.
  bool PageImages() const { return FPageImages; }
  void SetPageImages(bool v);
  // nullptr: documents become PDF files.
  TPrinterHost* Host() const { return FHost.get(); }
  void SetHost(std::unique_ptr<TPrinterHost> Host);

  // Public methods
  // When the host cancels, the document is open but aborted: drawing goes nowhere and
  // EndDoc writes nothing, so callers need no special path for a cancelled dialog.
  void BeginDoc();
  void NewPage();
  // Writes the document; raises EPrinter when the file cannot be written (the document
  // is closed either way).
  void EndDoc();
  // Drops the document without writing anything.
  void Abort();

 private:
  void CheckPrinting(bool Expected) const;
  void CheckIdle() const;
  void StartPage();
  std::string TargetFile() const;

  void FinishPage();

  std::unique_ptr<TBitmap> FPage;
  detail::PageBackend* FPageBackend;  // owned by FCanvas
  std::unique_ptr<TCanvas> FCanvas;
  std::unique_ptr<detail::PdfBackend> FPdf;  // the vector document being printed
  bool FPageImages = false;
  std::unique_ptr<TPrinterHost> FHost;
  std::unique_ptr<detail::PdfWriter> FWriter;
  bool FPrinting = false;
  bool FAborted = false;
  Integer FPageNumber = 0;
  Integer FResolution = 300;
  double FPaperWidthMM = 210.0;
  double FPaperHeightMM = 297.0;
  TPrinterOrientation FOrientation = poPortrait;
  std::string FTitle;
  std::string FOutputPath;
  std::string FLastFileName;
};

TPrinter& Printer();

}  // namespace kvr
