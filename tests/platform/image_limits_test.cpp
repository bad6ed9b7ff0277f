// Hostile and borderline image files: refused before any picture memory is taken,
// while every honest file, however well it compresses, still loads.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/detail/image_codecs.h"
#include "tests/test_out.h"

using namespace kvr;

namespace {

using Bytes = std::vector<uint8_t>;

void put_be32(Bytes& v, uint32_t x) {
  for (int i = 3; i >= 0; --i) v.push_back(uint8_t(x >> (8 * i)));
}

void png_chunk(Bytes& png, const char* type, const Bytes& body) {
  put_be32(png, uint32_t(body.size()));
  const size_t at = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), body.begin(), body.end());
  put_be32(png, uint32_t(crc32(0, png.data() + at, uInt(png.size() - at))));
}

Bytes zlib_compress(const Bytes& raw) {
  uLongf n = compressBound(uLong(raw.size()));
  Bytes out(n);
  EXPECT_EQ(compress2(out.data(), &n, raw.data(), uLong(raw.size()), 9), Z_OK);
  out.resize(n);
  return out;
}

// A PNG with the given header fields, extra chunks before the image data, and image
// data that inflates to `raw`.
Bytes make_png(uint32_t w, uint32_t h, int depth, int colour, const Bytes& raw,
               const std::vector<std::pair<const char*, Bytes>>& extra = {}) {
  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  Bytes ihdr;
  put_be32(ihdr, w);
  put_be32(ihdr, h);
  ihdr.insert(ihdr.end(), {uint8_t(depth), uint8_t(colour), 0, 0, 0});
  png_chunk(png, "IHDR", ihdr);
  for (const auto& [type, body] : extra) png_chunk(png, type, body);
  png_chunk(png, "IDAT", zlib_compress(raw));
  png_chunk(png, "IEND", {});
  return png;
}

// Filter byte 0 and the given bytes in every row.
Bytes raw_rows(uint32_t h, const Bytes& row) {
  Bytes raw;
  for (uint32_t y = 0; y < h; ++y) {
    raw.push_back(0);
    raw.insert(raw.end(), row.begin(), row.end());
  }
  return raw;
}

void le32(Bytes& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = uint8_t(x >> (8 * i));
}

// A 40-byte-header BMP with the given depth, palette entries (each 4 bytes) and
// exactly the pixel rows the header asks for.
Bytes make_bmp(int32_t w, int32_t h, int bpp, uint32_t palette = 0) {
  const uint32_t stride = (uint32_t(w) * uint32_t(bpp) + 31) / 32 * 4;
  const uint32_t offset = 54 + 4 * palette;
  Bytes v(offset + size_t(stride) * uint32_t(h < 0 ? -h : h), 0x5A);
  v[0] = 'B';
  v[1] = 'M';
  le32(v, 2, uint32_t(v.size()));
  le32(v, 6, 0);
  le32(v, 10, offset);
  le32(v, 14, 40);
  le32(v, 18, uint32_t(w));
  le32(v, 22, uint32_t(h));
  v[26] = 1;
  v[27] = 0;
  v[28] = uint8_t(bpp);
  v[29] = 0;
  le32(v, 30, 0);
  le32(v, 46, palette);
  return v;
}

long long buffers() { return detail::decode_stats().buffers; }

// The load must raise and leave the bitmap as it was; with `early`, it must also take
// no picture memory.
void expect_refused(const Bytes& d, bool png, const std::string& what, bool early = true) {
  TBitmap b(3, 2);
  b.Canvas()->SetPixels(1, 1, clRed);
  const long long before = buffers();
  if (png)
    EXPECT_THROW(b.LoadFromPNGData(d), Exception) << what;
  else
    EXPECT_THROW(b.LoadFromBMPData(d), Exception) << what;
  if (early) {
    EXPECT_EQ(buffers(), before) << what;
  }
  EXPECT_EQ(b.Width(), 3) << what;
  EXPECT_EQ(b.Canvas()->Pixels(1, 1), clRed) << what;
}

uint32_t pixel_hash(const TBitmap& b) {
  uint32_t h = 2166136261u;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      const TRGB32 p = b.ScanLine(y)[x];
      for (uint8_t c : {p.B, p.G, p.R, p.A}) h = (h ^ c) * 16777619u;
    }
  return h;
}

}  // namespace

TEST(ImageLimits, PngWithHugeHeaderAndLittleDataIsRefusedBeforeAllocating) {
  const Bytes row = {0, 0, 0, 0};
  struct Case {
    uint32_t w, h;
    int depth, colour;
  };
  // The largest picture allowed, in the richest and the sparsest pixel formats, and
  // sides beyond the limit.
  for (const Case& c : {Case{16384, 16384, 8, 6}, Case{16384, 16384, 16, 2},
                        Case{16384, 16384, 1, 0}, Case{65535, 4096, 8, 3},
                        Case{70000, 1, 8, 0}, Case{0, 10, 8, 0}, Case{0xFFFFFFFFu, 0xFFFFFFFFu, 8, 6}}) {
    Bytes png = make_png(c.w, c.h, c.depth, c.colour, raw_rows(1, row),
                         c.colour == 3 ? std::vector<std::pair<const char*, Bytes>>{{"PLTE", {0, 0, 0}}}
                                       : std::vector<std::pair<const char*, Bytes>>{});
    expect_refused(png, true, std::to_string(c.w) + "x" + std::to_string(c.h));
  }
  // The 69-byte classic, as a file.
  const Bytes tiny = make_png(16384, 16384, 8, 2, {0});
  const std::string path = test_out_file("hostile_16384.png");
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(tiny.data()), std::streamsize(tiny.size()));
  TBitmap b;
  const long long before = buffers();
  try {
    b.LoadFromFile(path);
    ADD_FAILURE() << "loaded";
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.what()).find("16384 x 16384"), std::string::npos) << e.what();
  }
  EXPECT_EQ(buffers(), before);
}

TEST(ImageLimits, PngChunkLengthsAreNotTrusted) {
  const Bytes raw = raw_rows(64, Bytes(64 * 3, 7));
  const Bytes good = make_png(64, 64, 8, 2, raw);
  // An image data chunk counts only with the bytes the file holds.
  Bytes liar = make_png(4096, 4096, 8, 2, raw_rows(1, {1}));
  const size_t idat = 8 + 25;
  liar[idat] = 0x7F;
  liar[idat + 1] = 0xFF;
  liar[idat + 2] = 0xFF;
  liar[idat + 3] = 0xFF;
  expect_refused(liar, true, "IDAT length beyond the end");
  // Truncation anywhere inside the image data; cut short enough, the data can no
  // longer fill the picture and the size check refuses it before allocating.
  const size_t idat_len = size_t(good[idat]) << 24 | size_t(good[idat + 1]) << 16 |
                          size_t(good[idat + 2]) << 8 | good[idat + 3];
  ASSERT_GT(idat_len, 12u);
  for (size_t cut : {good.size() - 13, good.size() - 16, idat + 8 + idat_len / 2})
    expect_refused(Bytes(good.begin(), good.begin() + long(cut)), true, "cut at " + std::to_string(cut),
                   false);
  expect_refused(Bytes(good.begin(), good.begin() + long(idat + 8 + 2)), true, "cut after 2 bytes");
  // Too little data for the rows, though enough to pass the size bound.
  Bytes short_rows = make_png(64, 64, 8, 2, Bytes(raw.begin(), raw.begin() + long(raw.size() / 2)));
  TBitmap b;
  EXPECT_THROW(b.LoadFromPNGData(short_rows), Exception);
  b.LoadFromPNGData(good);
  EXPECT_EQ(b.Width(), 64);
  EXPECT_EQ(b.ScanLine(63)[63].R, 7);
}

TEST(ImageLimits, PngThatCompressesBestStillLoads) {
  // One-bit black pixels inflate from an all-zero stream, zlib's best ratio, close to
  // deflate's limit; the size bound must let such an honest file through.
  const uint32_t side = 2048;
  const Bytes png = make_png(side, side, 1, 0, raw_rows(side, Bytes(side / 8, 0)));
  ASSERT_LT(png.size(), 700u);
  TBitmap b;
  const detail::DecodeStats before = detail::decode_stats();
  b.LoadFromPNGData(png);
  ASSERT_EQ(b.Width(), int(side));
  ASSERT_EQ(b.Height(), int(side));
  const detail::DecodeStats after = detail::decode_stats();
  EXPECT_EQ(after.buffers, before.buffers + 1);
  EXPECT_EQ(after.bytes - before.bytes, (long long)side * side * 4);
  for (int y : {0, int(side) / 2, int(side) - 1})
    for (int x : {0, 1, int(side) - 1}) {
      const TRGB32 p = b.ScanLine(y)[x];
      ASSERT_TRUE(p.R == 0 && p.G == 0 && p.B == 0 && p.A == 255) << x << "," << y;
    }
}

TEST(ImageLimits, PngPixelFormatsDecodeAsBefore) {
  // One small picture in each colour type; hashes taken from the decoder before its
  // output buffer was shared, so widening in place changes no pixel.
  Bytes grey, rgb, ga, rgba, pal, grey16;
  for (int x = 0; x < 5; ++x) {
    const uint8_t v = uint8_t(x * 60);
    grey.push_back(v);
    rgb.insert(rgb.end(), {v, uint8_t(255 - v), uint8_t(x * 13)});
    ga.insert(ga.end(), {v, uint8_t(x * 50)});
    rgba.insert(rgba.end(), {uint8_t(255 - v), v, 90, uint8_t(x * 63)});
    pal.push_back(uint8_t(x % 3));
    grey16.insert(grey16.end(), {v, uint8_t(x)});
  }
  const Bytes plte = {255, 0, 0, 0, 128, 0, 10, 20, 30};
  const Bytes trns = {255, 64, 0};
  struct Case {
    const char* name;
    Bytes png;
    uint32_t hash;
  };
  const std::vector<Case> cases = {
      {"grey", make_png(5, 3, 8, 0, raw_rows(3, grey)), 0xD2184988u},
      {"rgb", make_png(5, 3, 8, 2, raw_rows(3, rgb)), 0x7EC8B3C9u},
      {"grey+alpha", make_png(5, 3, 8, 4, raw_rows(3, ga)), 0xC26C6F13u},
      {"rgba", make_png(5, 3, 8, 6, raw_rows(3, rgba)), 0x556E81C1u},
      {"palette", make_png(5, 3, 8, 3, raw_rows(3, pal), {{"PLTE", plte}, {"tRNS", trns}}), 0x30EABC2Du},
      {"grey16", make_png(5, 3, 16, 0, raw_rows(3, grey16)), 0x1E094FA0u},
  };
  for (const Case& c : cases) {
    TBitmap b;
    b.LoadFromPNGData(c.png);
    EXPECT_EQ(pixel_hash(b), c.hash) << c.name << " 0x" << std::hex << pixel_hash(b);
  }
}

TEST(ImageLimits, BmpHeadersThatLieAreRefusedBeforeAllocating) {
  const Bytes good = make_bmp(8, 4, 24);
  {
    TBitmap b;
    b.LoadFromBMPData(good);
    EXPECT_EQ(b.Width(), 8);
  }
  std::vector<std::pair<std::string, Bytes>> bad;
  auto with = [&](const std::string& name, size_t at, uint32_t v, const Bytes& base) {
    Bytes d = base;
    le32(d, at, v);
    bad.push_back({name, d});
  };
  with("huge width", 18, 65535, good);
  with("huge height", 22, 65535, good);
  with("width past the side limit", 18, 70000, good);
  with("negative width", 18, uint32_t(-8), good);
  with("zero height", 22, 0, good);
  with("most negative height", 22, 0x80000000u, good);
  with("overflowing width", 18, 0x7FFFFFFFu, good);
  with("offset beyond the end", 10, uint32_t(good.size()), good);
  with("offset at the top", 10, 0xFFFFFFFFu, good);
  with("header size beyond the end", 14, 0xFFFFFFF0u, good);
  with("odd header size", 14, 20, good);
  with("run-length compression", 30, 1, good);
  with("bit fields at 24 bits", 30, 3, good);
  for (uint8_t bpp : {0, 2, 48, 64, 255}) {
    Bytes d = good;
    d[28] = bpp;
    bad.push_back({"depth " + std::to_string(bpp), d});
  }
  const Bytes indexed = make_bmp(8, 4, 8, 256);
  with("257 colours", 46, 257, indexed);
  with("colour count at the top", 46, 0xFFFFFFFFu, indexed);
  bad.push_back({"palette cut", Bytes(indexed.begin(), indexed.begin() + 54 + 100)});
  bad.push_back({"last row short by a byte", Bytes(good.begin(), good.end() - 1)});
  // 65535 x 4096 claimed in a file of a few hundred bytes.
  Bytes wide = make_bmp(8, 4, 1, 2);
  le32(wide, 18, 65535);
  le32(wide, 22, 4096);
  bad.push_back({"1-bit giant", wide});
  for (const auto& [name, d] : bad) expect_refused(d, false, name);
}

TEST(ImageLimits, SaveToFileWritesOnlyTypesItKnows) {
  TBitmap b(3, 2);
  b.Canvas()->SetPixels(2, 1, clRed);
  for (const std::string name : {"chart.jpg", "chart", "chart.", "run.1/chart", "chart.png.txt"}) {
    const std::string path = test_out_file(name);
    std::filesystem::remove(path);
    if (name == "run.1/chart") std::filesystem::create_directories(test_out_file("run.1"));
    try {
      b.SaveToFile(path);
      ADD_FAILURE() << name << " was written";
    } catch (const Exception& e) {
      EXPECT_NE(std::string(e.what()).find("use .png or .bmp"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(std::filesystem::exists(path)) << name;
  }
  try {
    b.SaveToFile(test_out_file("chart.jpg"));
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.what()).find("unsupported file type \".jpg\""), std::string::npos) << e.what();
  }
  // Case does not matter, and the contents follow the extension.
  for (const std::string name : {"upper.PNG", "mixed.Bmp", "run.1/plain.bmp"}) {
    const std::string path = test_out_file(name);
    b.SaveToFile(path);
    std::ifstream in(path, std::ios::binary);
    char magic[2] = {};
    in.read(magic, 2);
    EXPECT_EQ(std::string(magic, 2), name.find(".PNG") != std::string::npos ? "\x89P" : "BM") << name;
    TBitmap back;
    back.LoadFromFile(path);
    EXPECT_EQ(back.Canvas()->Pixels(2, 1), clRed) << name;
  }
}
