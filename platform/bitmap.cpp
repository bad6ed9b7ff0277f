#include "platform/bitmap.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/detail/image_codecs.h"
#include "platform/detail/raster_backend.h"
#include "platform/filewrite.h"

namespace kvr {
namespace {

constexpr long long kMaxPixels = kMaxBitmapPixels;
constexpr int kMaxSide = kMaxBitmapSide;

// A dot in a directory name ("run.1/chart") is no extension.
std::string lower_ext(const std::string& name) {
  const auto dot = name.find_last_of('.');
  const auto sep = name.find_last_of("/\\");
  if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return {};
  std::string e = name.substr(dot + 1);
  std::transform(e.begin(), e.end(), e.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return e;
}

}  // namespace

TBitmap::TBitmap() : FCanvas(std::make_unique<TCanvas>(std::make_unique<detail::RasterBackend>(*this))) {}

TBitmap::TBitmap(Integer AWidth, Integer AHeight) : TBitmap() { SetSize(AWidth, AHeight); }

TBitmap::~TBitmap() = default;

void TBitmap::SetSize(Integer AWidth, Integer AHeight) {
  AWidth = std::max<Integer>(AWidth, 0);
  AHeight = std::max<Integer>(AHeight, 0);
  if (AWidth == FWidth && AHeight == FHeight) return;
  if (AWidth > kMaxSide || AHeight > kMaxSide || (long long)AWidth * AHeight > kMaxPixels)
    RaiseKvrError<Exception>("Bitmap size " + std::to_string(AWidth) + " x " +
                             std::to_string(AHeight) + " is too large");
  std::vector<TRGB32> next(size_t(AWidth) * AHeight, TRGB32{255, 255, 255, 255});
  const int cw = std::min(AWidth, FWidth), ch = std::min(AHeight, FHeight);
  for (int y = 0; y < ch; ++y)
    std::copy_n(FPixels.data() + size_t(y) * FWidth, cw, next.data() + size_t(y) * AWidth);
  FPixels.swap(next);
  FWidth = AWidth;
  FHeight = AHeight;
}

TRGB32* TBitmap::ScanLine(Integer Row) {
  if (Row < 0 || Row >= FHeight) RaiseKvrError<Exception>("Scan line index out of range");
  return FPixels.data() + size_t(Row) * FWidth;
}

const TRGB32* TBitmap::ScanLine(Integer Row) const {
  if (Row < 0 || Row >= FHeight) RaiseKvrError<Exception>("Scan line index out of range");
  return FPixels.data() + size_t(Row) * FWidth;
}

void TBitmap::Assign(const TPersistent* Source) {
  auto* b = dynamic_cast<const TBitmap*>(Source);
  if (!b || b == this) return;
  FPixels = b->FPixels;
  FWidth = b->FWidth;
  FHeight = b->FHeight;
  FPixelFormat = b->FPixelFormat;
}

void TBitmap::LoadFromBMPData(const std::vector<uint8_t>& Data) {
  detail::DecodedImage img = detail::decode_bmp(Data.data(), Data.size(), kMaxPixels);
  FPixels = std::move(img.pixels);
  FWidth = img.width;
  FHeight = img.height;
  FPixelFormat = img.bits == 24 ? pf24bit : pf32bit;
}

void TBitmap::LoadFromPNGData(const std::vector<uint8_t>& Data) {
  detail::DecodedImage img = detail::decode_png(Data.data(), Data.size(), kMaxPixels);
  FPixels = std::move(img.pixels);
  FWidth = img.width;
  FHeight = img.height;
  FPixelFormat = pf32bit;
}

std::vector<uint8_t> TBitmap::SaveToBMPData() const { return detail::encode_bmp(FPixels.data(), FWidth, FHeight); }

std::vector<uint8_t> TBitmap::SaveToPNGData() const { return detail::encode_png(FPixels.data(), FWidth, FHeight); }

void TBitmap::LoadFromFile(const std::string& FileName) {
  std::ifstream in(FileName, std::ios::binary);
  if (!in) RaiseKvrError<Exception>("Cannot open file \"" + FileName + "\"");
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0 || size > (1LL << 30))
    RaiseKvrError<Exception>("File \"" + FileName + "\" is too large");
  in.seekg(0);
  std::vector<uint8_t> data(static_cast<size_t>(size));
  if (size > 0 && !in.read(reinterpret_cast<char*>(data.data()), size))
    RaiseKvrError<Exception>("Cannot read file \"" + FileName + "\"");
  const std::string ext = lower_ext(FileName);
  const bool png_magic = data.size() >= 8 && std::memcmp(data.data(), "\x89PNG\r\n\x1a\n", 8) == 0;
  if (ext == "png" || (ext != "bmp" && png_magic))
    LoadFromPNGData(data);
  else
    LoadFromBMPData(data);
}

void TBitmap::SaveToFile(const std::string& FileName) const {
  // Checked before anything is written, so a wrong name never leaves a file behind.
  const std::string ext = lower_ext(FileName);
  if (ext != "png" && ext != "bmp") {
    const auto dot = FileName.find_last_of('.');
    RaiseKvrError<Exception>(ext.empty() ? "Cannot save bitmap: file name \"" + FileName +
                                               "\" has no extension (use .png or .bmp)"
                                         : "Cannot save bitmap: unsupported file type \"" +
                                               FileName.substr(dot) + "\" (use .png or .bmp)");
  }
  const std::vector<uint8_t> data = ext == "png" ? SaveToPNGData() : SaveToBMPData();
  detail::write_file(FileName,
                     std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
}

}  // namespace kvr
