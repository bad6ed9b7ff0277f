// TBitmap: an off-screen 32-bit image with its own raster canvas.
// Rows are top-down; each pixel is a TRGB32 (bytes B, G, R, A). Drawing through the
// canvas writes opaque pixels (A = 255); scan-line writers may store what they like.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/types.h"

namespace kvr {

struct TRGB32 {
  Byte B, G, R, A;
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };

class TBitmap : public TPersistent {
 public:
  TBitmap();
  TBitmap(Integer AWidth, Integer AHeight);
  ~TBitmap() override;

  Integer Width() const { return FWidth; }
  void SetWidth(Integer v) { SetSize(v, FHeight); }
  Integer Height() const { return FHeight; }
  void SetHeight(Integer v) { SetSize(FWidth, v); }
  // Keeps the overlapping part of the picture; new pixels are white. Negative sizes
  // count as 0; a picture beyond 2^28 pixels or 65535 on a side raises Exception.
  void SetSize(Integer AWidth, Integer AHeight);
  bool Empty() const { return FWidth == 0 || FHeight == 0; }

  // Every bitmap stores 32 bits per pixel; the format is kept for callers that ask.
  TPixelFormat PixelFormat() const { return FPixelFormat; }
  void SetPixelFormat(TPixelFormat v) { FPixelFormat = v; }

  TCanvas* Canvas() { return FCanvas.get(); }
  const TCanvas* Canvas() const { return FCanvas.get(); }

  // Row 0 is the top row; an index outside 0..Height-1 raises Exception.
  TRGB32* ScanLine(Integer Row);
  const TRGB32* ScanLine(Integer Row) const;
  // Whole picture, rows top-down, Width pixels a row.
  TRGB32* Bits() { return FPixels.data(); }
  const TRGB32* Bits() const { return FPixels.data(); }

  // BMP or PNG by the file name's extension (case-insensitive). A damaged or
  // unsupported file raises Exception and leaves the bitmap as it was.
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName) const;
  void LoadFromBMPData(const std::vector<uint8_t>& Data);
  void LoadFromPNGData(const std::vector<uint8_t>& Data);
  std::vector<uint8_t> SaveToBMPData() const;
  std::vector<uint8_t> SaveToPNGData() const;

  // Copies size and pixels of another bitmap.
  void Assign(const TPersistent* Source) override;

 private:
  Integer FWidth = 0;
  Integer FHeight = 0;
  TPixelFormat FPixelFormat = pfDevice;
  std::vector<TRGB32> FPixels;
  std::unique_ptr<TCanvas> FCanvas;
};

}  // namespace kvr
