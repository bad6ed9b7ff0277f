// BMP and PNG encoding and decoding of 32-bit pictures. Decoders check every size
// against the data before they allocate and raise Exception on damaged input: a BMP
// must hold all the rows its header claims, and a PNG's compressed data must be large
// enough to inflate to the claimed picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/bitmap.h"

namespace kvr::detail {

struct DecodedImage {
  int width = 0;
  int height = 0;
  int bits = 32;  // bits per pixel of the source
  std::vector<TRGB32> pixels;  // top-down
};

// Picture buffers the decoders have allocated since start-up. Tests use it to see that
// hostile files are refused before any allocation and that caches skip decoding.
struct DecodeStats {
  long long buffers = 0;
  long long bytes = 0;
};
DecodeStats decode_stats();

// max_pixels bounds width x height; a side is at most 65535 in any case.
DecodedImage decode_bmp(const uint8_t* data, size_t size, long long max_pixels);
DecodedImage decode_png(const uint8_t* data, size_t size, long long max_pixels);
// 24-bit bottom-up BMP.
std::vector<uint8_t> encode_bmp(const TRGB32* pixels, int width, int height);
// 8-bit RGB PNG (the alpha byte is not stored).
std::vector<uint8_t> encode_png(const TRGB32* pixels, int width, int height);

}  // namespace kvr::detail
