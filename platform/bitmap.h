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

// Largest picture a bitmap holds, by SetSize or by loading: 65535 pixels a side and
// 2^28 pixels (1 GiB) in all. A file whose header claims more is refused before any
// pixel memory is taken, and so is a PNG whose compressed data is too short to fill
// the claimed size or a BMP whose rows the file does not hold. LoadFromFile also
// refuses files over 1 GiB.
constexpr Integer kMaxBitmapSide = 65535;
constexpr long long kMaxBitmapPixels = 1LL << 28;

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
  // count as 0; a picture beyond kMaxBitmapPixels or kMaxBitmapSide raises Exception.
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

  // BMP or PNG by the file name's extension (case-insensitive); other names are read
  // as PNG when they start with its signature, else as BMP. A damaged, unsupported or
  // oversized file (see kMaxBitmapPixels) raises Exception and leaves the bitmap as it was.
  void LoadFromFile(const std::string& FileName);
  // Writes PNG for ".png" and 24-bit BMP for ".bmp" (case-insensitive); any other
  // extension, or none, raises Exception before the file is touched; so does a file
  // that cannot be created or written in full.
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
