#include "platform/detail/image_codecs.h"

#include <png.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
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

namespace {

// A picture with at most 256 colours (most charts) is written as a palette image: a
// third of the bytes to filter and compress. Colours are found with a small open-address
// table; a pixel like its left neighbour skips the look-up.
class PaletteMap {
 public:
  PaletteMap() { std::fill(std::begin(index_), std::end(index_), int16_t(-1)); }
  // Index of the colour, adding it; -1 once the picture has more than 256 colours.
  int index_of(uint32_t rgb) {
    unsigned h = (rgb * 2654435761u) >> (32 - kBits);
    for (;; h = (h + 1) & (kSlots - 1)) {
      if (index_[h] < 0) {
        if (count_ == 256) return -1;
        key_[h] = rgb;
        index_[h] = int16_t(count_);
        colours_[count_++] = rgb;
        return index_[h];
      }
      if (key_[h] == rgb) return index_[h];
    }
  }
  int count() const { return count_; }
  uint32_t colour(int i) const { return colours_[i]; }

 private:
  static constexpr int kBits = 10;
  static constexpr unsigned kSlots = 1u << kBits;
  uint32_t key_[kSlots] = {};
  int16_t index_[kSlots];
  uint32_t colours_[256] = {};
  int count_ = 0;
};

uint32_t rgb_of(const TRGB32& p) { return uint32_t(p.R) << 16 | uint32_t(p.G) << 8 | p.B; }

// Fills one palette byte per pixel; false when the picture has more than 256 colours.
bool to_palette(const TRGB32* pixels, size_t n, PaletteMap& map, uint8_t* out) {
  uint32_t last = rgb_of(pixels[0]);
  int last_index = map.index_of(last);
  for (size_t i = 0; i < n; ++i) {
    const uint32_t c = rgb_of(pixels[i]);
    if (c != last) {
      last = c;
      last_index = map.index_of(c);
      if (last_index < 0) return false;
    }
    out[i] = uint8_t(last_index);
  }
  return true;
}

struct PngOutput {
  std::vector<uint8_t>* bytes;
  bool out_of_memory = false;
};

void png_append(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<PngOutput*>(png_get_io_ptr(png));
  try {
    out->bytes->insert(out->bytes->end(), data, data + length);
  } catch (const std::bad_alloc&) {
    out->out_of_memory = true;
    png_error(png, "out of memory");
  }
}

void png_no_flush(png_structp) {}

void png_fail(png_structp png, png_const_charp message) {
  auto* text = static_cast<char*>(png_get_error_ptr(png));
  std::snprintf(text, 128, "%s", message);
  png_longjmp(png, 1);
}

void png_quiet(png_structp, png_const_charp) {}

// The libpng calls, in a frame without C++ objects so that an error's long jump skips no
// destructor. Rows are 1 (palette index) or 3 (RGB) bytes per pixel.
bool write_png_rows(PngOutput& out, char* error, png_bytep* rows, int width, int height,
                    const png_color* palette, int colours) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, error, png_fail, png_quiet);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return false;
  }
  png_set_write_fn(png, &out, png_append, png_no_flush);
  // Charts are flat areas, thin lines and text: unfiltered rows compress smaller than
  // libpng's adaptive filters (which try five per row), and zlib level 5 keeps the file
  // sizes of level 6 within a few percent at about half the time.
  png_set_compression_level(png, 5);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8,
               palette ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
  if (palette) png_set_PLTE(png, info, palette, colours);
  png_set_rows(png, info, rows);
  png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

std::vector<uint8_t> encode_png(const TRGB32* pixels, int width, int height) {
  if (width <= 0 || height <= 0) RaiseKvrError<Exception>("Cannot save an empty bitmap as PNG");
  const size_t n = size_t(width) * size_t(height);
  auto map = std::make_unique<PaletteMap>();
  std::vector<uint8_t> samples(n);
  const bool indexed = to_palette(pixels, n, *map, samples.data());
  size_t stride = size_t(width);
  png_color palette[256];
  if (indexed) {
    for (int i = 0; i < map->count(); ++i) {
      const uint32_t c = map->colour(i);
      palette[i] = {png_byte(c >> 16), png_byte(c >> 8), png_byte(c)};
    }
  } else {
    stride *= 3;
    samples.resize(n * 3);
    for (size_t i = 0; i < n; ++i) {
      samples[3 * i] = pixels[i].R;
      samples[3 * i + 1] = pixels[i].G;
      samples[3 * i + 2] = pixels[i].B;
    }
  }
  std::vector<png_bytep> rows(static_cast<size_t>(height));
  for (size_t y = 0; y < rows.size(); ++y) rows[y] = samples.data() + y * stride;
  std::vector<uint8_t> bytes;
  bytes.reserve(n / 8 + 1024);
  PngOutput out{&bytes};
  char error[128] = "unknown error";
  if (!write_png_rows(out, error, rows.data(), width, height, indexed ? palette : nullptr,
                      map->count())) {
    if (out.out_of_memory) throw std::bad_alloc();
    RaiseKvrError<Exception>(std::string("PNG encoding failed: ") + error);
  }
  return bytes;
}

}  // namespace kvr::detail
