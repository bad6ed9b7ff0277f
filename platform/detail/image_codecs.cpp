#include "platform/detail/image_codecs.h"

#include <png.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>

#include "platform/kvrerror.h"

namespace kvr::detail {
namespace {

uint32_t rd32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint32_t rd32be(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }
uint16_t rd16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
void wr32(std::vector<uint8_t>& v, uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(uint8_t(x >> (8 * i)));
}
void wr16(std::vector<uint8_t>& v, uint16_t x) {
  v.push_back(uint8_t(x));
  v.push_back(uint8_t(x >> 8));
}

std::atomic<long long> g_buffers{0}, g_buffer_bytes{0};

void count_buffer(size_t pixels) {
  g_buffers.fetch_add(1, std::memory_order_relaxed);
  g_buffer_bytes.fetch_add((long long)(pixels * sizeof(TRGB32)), std::memory_order_relaxed);
}

[[noreturn]] void fail(const std::string& what) {
  RaiseKvrError<Exception>("Invalid bitmap: " + what);
}

// Shift and width of a channel mask, for BI_BITFIELDS pictures.
struct Channel {
  int shift = 0, bits = 0;
  uint32_t mask = 0;
  uint8_t get(uint32_t v) const {
    if (!mask) return 255;
    const uint32_t x = (v & mask) >> shift;
    if (bits >= 8) return uint8_t(x >> (bits - 8));
    const uint32_t maxv = (1u << bits) - 1;
    return uint8_t((x * 255 + maxv / 2) / maxv);
  }
};

Channel channel(uint32_t mask) {
  Channel c;
  c.mask = mask;
  if (!mask) return c;
  while (!((mask >> c.shift) & 1)) ++c.shift;
  while (c.shift + c.bits < 32 && ((mask >> (c.shift + c.bits)) & 1)) ++c.bits;
  return c;
}

}  // namespace

DecodeStats decode_stats() {
  return {g_buffers.load(std::memory_order_relaxed), g_buffer_bytes.load(std::memory_order_relaxed)};
}

DecodedImage decode_bmp(const uint8_t* d, size_t size, long long max_pixels) {
  if (size < 26 || d[0] != 'B' || d[1] != 'M') fail("not a BMP file");
  const uint32_t offset = rd32(d + 10);
  const uint32_t hsize = rd32(d + 14);
  if (hsize != 12 && hsize < 40) fail("unsupported header");
  if (14ull + hsize > size) fail("truncated header");
  long long w, h;
  int bpp, compression = 0;
  uint32_t colors_used = 0;
  if (hsize == 12) {
    w = rd16(d + 18);
    h = int16_t(rd16(d + 20));
    bpp = rd16(d + 24);
  } else {
    w = int32_t(rd32(d + 18));
    h = int32_t(rd32(d + 22));
    bpp = rd16(d + 28);
    compression = int(rd32(d + 30));
    colors_used = rd32(d + 46);
  }
  const bool top_down = h < 0;
  if (h < 0) h = -h;
  if (w <= 0 || h <= 0 || w > 65535 || h > 65535 || w * h > max_pixels) fail("bad size");
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) fail("unsupported bit depth");
  if (!(compression == 0 || (compression == 3 && bpp == 32))) fail("compressed pictures are not supported");
  Channel cr = channel(0xFF0000), cg = channel(0xFF00), cb = channel(0xFF), ca = channel(0);
  if (compression == 3) {
    // Masks follow a 40-byte header, or sit inside a larger one.
    if (14ull + 40 + 12 > size) fail("truncated masks");
    cr = channel(rd32(d + 54));
    cg = channel(rd32(d + 58));
    cb = channel(rd32(d + 62));
    if (hsize >= 56 && 14ull + 56 <= size) ca = channel(rd32(d + 66));
  }
  std::vector<TRGB32> palette;
  if (bpp <= 8) {
    const size_t entry = hsize == 12 ? 3 : 4;
    size_t n = colors_used ? colors_used : (1u << bpp);
    if (n > 256) fail("bad palette");
    const size_t pal_at = 14 + hsize;
    if (pal_at + n * entry > size) fail("truncated palette");
    for (size_t i = 0; i < n; ++i) {
      const uint8_t* p = d + pal_at + i * entry;
      palette.push_back({p[0], p[1], p[2], 255});
    }
  }
  const unsigned long long stride = ((unsigned long long)w * bpp + 31) / 32 * 4;
  if (offset > size || stride * h > size - offset) fail("truncated pixel data");
  DecodedImage img;
  img.width = int(w);
  img.height = int(h);
  img.bits = bpp;
  img.pixels.resize(size_t(w * h));
  count_buffer(size_t(w * h));
  for (long long y = 0; y < h; ++y) {
    const uint8_t* src = d + offset + stride * (top_down ? y : h - 1 - y);
    TRGB32* dst = img.pixels.data() + y * w;
    for (long long x = 0; x < w; ++x) {
      switch (bpp) {
        case 32: {
          const uint32_t v = rd32(src + 4 * x);
          dst[x] = compression == 3 ? TRGB32{cb.get(v), cg.get(v), cr.get(v), 255}
                                    : TRGB32{src[4 * x], src[4 * x + 1], src[4 * x + 2], 255};
          break;
        }
        case 24: dst[x] = {src[3 * x], src[3 * x + 1], src[3 * x + 2], 255}; break;
        default: {
          const int per_byte = 8 / bpp;
          const int shift = 8 - bpp * (int(x % per_byte) + 1);
          const unsigned idx = (src[x / per_byte] >> shift) & ((1u << bpp) - 1);
          dst[x] = idx < palette.size() ? palette[idx] : TRGB32{0, 0, 0, 255};
        }
      }
    }
  }
  (void)ca;
  return img;
}

std::vector<uint8_t> encode_bmp(const TRGB32* pixels, int width, int height) {
  const uint32_t stride = (uint32_t(width) * 3 + 3) & ~3u;
  const uint32_t data_size = stride * uint32_t(height);
  std::vector<uint8_t> v;
  v.reserve(54 + data_size);
  v.push_back('B');
  v.push_back('M');
  wr32(v, 54 + data_size);
  wr32(v, 0);
  wr32(v, 54);
  wr32(v, 40);
  wr32(v, uint32_t(width));
  wr32(v, uint32_t(height));
  wr16(v, 1);
  wr16(v, 24);
  wr32(v, 0);
  wr32(v, data_size);
  wr32(v, 3780);  // 96 dpi in pixels per metre
  wr32(v, 3780);
  wr32(v, 0);
  wr32(v, 0);
  for (int y = height - 1; y >= 0; --y) {
    const TRGB32* row = pixels + size_t(y) * width;
    for (int x = 0; x < width; ++x) {
      v.push_back(row[x].B);
      v.push_back(row[x].G);
      v.push_back(row[x].R);
    }
    for (uint32_t k = uint32_t(width) * 3; k < stride; ++k) v.push_back(0);
  }
  return v;
}

namespace {

struct PngLayout {
  uint32_t width = 0, height = 0;
  int bits_per_pixel = 0;
  unsigned long long idat_bytes = 0;
};

// Deflate codes at best 258 bytes in 2 bits, so no zlib stream inflates to more than
// 1032 times its size; a header claiming more pixels than that cannot be honest.
constexpr unsigned long long kMaxInflateRatio = 1032;

PngLayout png_layout(const uint8_t* d, size_t size) {
  static const uint8_t sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  if (size < 8 + 8 + 13 || std::memcmp(d, sig, 8) != 0 || std::memcmp(d + 12, "IHDR", 4) != 0)
    RaiseKvrError<Exception>("Invalid PNG image: not a PNG file");
  PngLayout l;
  l.width = rd32be(d + 16);
  l.height = rd32be(d + 20);
  const int depth = d[24];
  int channels = 0;
  switch (d[25]) {
    case 0: case 3: channels = 1; break;
    case 2: channels = 3; break;
    case 4: channels = 2; break;
    case 6: channels = 4; break;
    default: RaiseKvrError<Exception>("Invalid PNG image: unknown colour type");
  }
  if (depth != 1 && depth != 2 && depth != 4 && depth != 8 && depth != 16)
    RaiseKvrError<Exception>("Invalid PNG image: bad bit depth");
  l.bits_per_pixel = depth * channels;
  // Chunk lengths are not trusted: a chunk counts only with the bytes the file holds.
  for (size_t at = 8; at + 8 <= size;) {
    const unsigned long long len = rd32be(d + at);
    const size_t body = at + 8;
    const unsigned long long avail = std::min<unsigned long long>(len, size - body);
    if (std::memcmp(d + at + 4, "IDAT", 4) == 0) l.idat_bytes += avail;
    if (std::memcmp(d + at + 4, "IEND", 4) == 0 || len > size - body) break;
    at = body + len + 4;
  }
  return l;
}

void check_png_size(const PngLayout& l, long long max_pixels) {
  if (l.width == 0 || l.height == 0 || l.width > 65535 || l.height > 65535 ||
      (long long)l.width * l.height > max_pixels)
    RaiseKvrError<Exception>("Invalid PNG image: bad size " + std::to_string(l.width) + " x " +
                             std::to_string(l.height));
  // Every row of every interlace pass holds its pixels in whole bytes, so the inflated
  // data is at least this long.
  const unsigned long long pixel_bytes = (unsigned long long)l.width * l.height * l.bits_per_pixel / 8;
  if (pixel_bytes > kMaxInflateRatio * l.idat_bytes)
    RaiseKvrError<Exception>("Invalid PNG image: too little image data for " +
                             std::to_string(l.width) + " x " + std::to_string(l.height) +
                             " pixels");
}

}  // namespace

DecodedImage decode_png(const uint8_t* data, size_t size, long long max_pixels) {
  check_png_size(png_layout(data, size), max_pixels);
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data, size))
    RaiseKvrError<Exception>(std::string("Invalid PNG image: ") + image.message);
  DecodedImage img;
  img.width = int(image.width);
  img.height = int(image.height);
  const size_t n = size_t(image.width) * image.height;
  img.pixels.resize(n);
  count_buffer(n);
  // Transparent pixels are composed onto white, the colour of a fresh bitmap. The
  // 3-byte pixels land in the last three quarters of the 4-byte pixel buffer and are
  // widened front to back: pixel i is written to bytes 4i..4i+3, all before the source
  // bytes n+3i.. still to be read, so no second picture-sized buffer is needed.
  png_color white{255, 255, 255};
  image.format = PNG_FORMAT_BGR;
  uint8_t* bytes = reinterpret_cast<uint8_t*>(img.pixels.data());
  const uint8_t* rgb = bytes + n;
  if (!png_image_finish_read(&image, &white, bytes + n, 0, nullptr)) {
    png_image_free(&image);
    RaiseKvrError<Exception>(std::string("Invalid PNG image: ") + image.message);
  }
  for (size_t i = 0; i < n; ++i) {
    const uint8_t b = rgb[3 * i], g = rgb[3 * i + 1], r = rgb[3 * i + 2];
    img.pixels[i] = {b, g, r, 255};
  }
  return img;
}

std::vector<uint8_t> encode_png(const TRGB32* pixels, int width, int height) {
  if (width <= 0 || height <= 0) RaiseKvrError<Exception>("Cannot save an empty bitmap as PNG");
  std::vector<uint8_t> rgb(size_t(width) * height * 3);
  for (size_t i = 0; i < size_t(width) * height; ++i) {
    rgb[3 * i] = pixels[i].R;
    rgb[3 * i + 1] = pixels[i].G;
    rgb[3 * i + 2] = pixels[i].B;
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(width);
  image.height = png_uint_32(height);
  image.format = PNG_FORMAT_RGB;
  // Compressing is the whole cost, so it is done once into a buffer of the largest size
  // the picture can take; only pictures whose bound is huge ask for the exact size first.
  const png_alloc_size_t bound = PNG_IMAGE_PNG_SIZE_MAX(image);
  png_alloc_size_t bytes = bound;
  if (bound > (png_alloc_size_t(256) << 20) &&
      !png_image_write_to_memory(&image, nullptr, &bytes, 0, rgb.data(), 0, nullptr))
    RaiseKvrError<Exception>(std::string("PNG encoding failed: ") + image.message);
  std::vector<uint8_t> out(bytes);
  if (!png_image_write_to_memory(&image, out.data(), &bytes, 0, rgb.data(), 0, nullptr))
    RaiseKvrError<Exception>(std::string("PNG encoding failed: ") + image.message);
  out.resize(bytes);
  return out;
}

}  // namespace kvr::detail
