#include "platform/detail/pdf_writer.h"

#include <zlib.h>

#include <cstdio>
#include <stdexcept>

#include "platform/bitmap.h"
#include "platform/detail/utf8.h"
#include "platform/kvrerror.h"
#include "platform/types.h"

namespace kvr::detail {

namespace {

// Rows are fed to zlib one at a time so that a 300-dpi page never exists twice in
// memory as raw RGB.
std::vector<uint8_t> deflate_rgb(const TBitmap& picture) {
  z_stream z{};
  if (deflateInit(&z, Z_DEFAULT_COMPRESSION) != Z_OK)
    RaiseKvrError<Exception>("Cannot start compression");
  const int w = picture.Width();
  const int h = picture.Height();
  std::vector<uint8_t> out;
  std::vector<uint8_t> row(static_cast<size_t>(w) * 3);
  uint8_t buf[1 << 15];
  for (int y = 0; y <= h; ++y) {
    const bool last = y == h;
    if (!last) {
      const TRGB32* src = picture.ScanLine(y);
      for (int x = 0; x < w; ++x) {
        row[3 * x] = src[x].R;
        row[3 * x + 1] = src[x].G;
        row[3 * x + 2] = src[x].B;
      }
      z.next_in = row.data();
      z.avail_in = static_cast<uInt>(row.size());
    } else {
      z.next_in = nullptr;
      z.avail_in = 0;
    }
    int rc;
    do {
      z.next_out = buf;
      z.avail_out = sizeof buf;
      rc = deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
      if (rc == Z_STREAM_ERROR) {
        deflateEnd(&z);
        RaiseKvrError<Exception>("Compression failed");
      }
      out.insert(out.end(), buf, buf + (sizeof buf - z.avail_out));
    } while (z.avail_out == 0 || (last && rc != Z_STREAM_END));
  }
  deflateEnd(&z);
  return out;
}

std::string num(double v) {
  char s[32];
  std::snprintf(s, sizeof s, "%.4f", v);
  std::string r = s;
  while (r.back() == '0') r.pop_back();
  if (r.back() == '.') r.pop_back();
  return r;
}

}  // namespace

std::string pdf_text_string(std::string_view utf8) {
  bool ascii = true;
  for (char c : utf8) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u > 0x7E) ascii = false;
  }
  if (ascii) {
    std::string r = "(";
    for (char c : utf8) {
      if (c == '(' || c == ')' || c == '\\') r += '\\';
      r += c;
    }
    return r + ")";
  }
  std::string r = "<FEFF";
  char hex[8];
  auto unit = [&](unsigned u) {
    std::snprintf(hex, sizeof hex, "%04X", u & 0xFFFF);
    r += hex;
  };
  // Overlong forms and surrogates become U+FFFD, so the UTF-16 string stays well formed.
  for (size_t i = 0; i < utf8.size();) {
    char32_t cp = utf8_next(utf8, i);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      unit(0xD800 + (cp >> 10));
      unit(0xDC00 + (cp & 0x3FF));
    } else {
      unit(static_cast<unsigned>(cp));
    }
  }
  return r + ">";
}

void PdfWriter::add_page(const TBitmap& picture, int dpi) {
  if (dpi <= 0) dpi = 72;
  Page p;
  p.width = picture.Width();
  p.height = picture.Height();
  p.width_pt = p.width * 72.0 / dpi;
  p.height_pt = p.height * 72.0 / dpi;
  p.stream = deflate_rgb(picture);
  pages_.push_back(std::move(p));
}

std::vector<uint8_t> PdfWriter::build(std::string_view title) const {
  std::vector<uint8_t> out;
  std::vector<size_t> offsets;  // offsets[i] is the position of object i + 1
  auto put = [&](const std::string& s) { out.insert(out.end(), s.begin(), s.end()); };
  auto begin_obj = [&](size_t id) {
    if (offsets.size() < id) offsets.resize(id);
    offsets[id - 1] = out.size();
    put(std::to_string(id) + " 0 obj\n");
  };

  put("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
  const size_t n = pages_.size();
  auto page_id = [](size_t i) { return 4 + 3 * i; };

  begin_obj(1);
  put("<< /Type /Catalog /Pages 2 0 R >>\nendobj\n");

  begin_obj(2);
  std::string kids;
  for (size_t i = 0; i < n; ++i) {
    if (i) kids += ' ';
    kids += std::to_string(page_id(i));
    kids += " 0 R";
  }
  put("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(n) + " >>\nendobj\n");

  begin_obj(3);
  put("<< /Title " + pdf_text_string(title) + " /Producer (kvrchart) >>\nendobj\n");

  for (size_t i = 0; i < n; ++i) {
    const Page& p = pages_[i];
    const size_t id = page_id(i);
    const std::string w = num(p.width_pt), h = num(p.height_pt);
    begin_obj(id);
    put("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + w + " " + h + "] /Resources << /XObject << /Im0 " +
        std::to_string(id + 2) + " 0 R >> >> /Contents " + std::to_string(id + 1) + " 0 R >>\nendobj\n");

    const std::string content = "q\n" + w + " 0 0 " + h + " 0 0 cm\n/Im0 Do\nQ\n";
    begin_obj(id + 1);
    put("<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "\nendstream\nendobj\n");

    begin_obj(id + 2);
    put("<< /Type /XObject /Subtype /Image /Width " + std::to_string(p.width) + " /Height " +
        std::to_string(p.height) + " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /FlateDecode /Length " +
        std::to_string(p.stream.size()) + " >>\nstream\n");
    out.insert(out.end(), p.stream.begin(), p.stream.end());
    put("\nendstream\nendobj\n");
  }

  const size_t xref = out.size();
  put("xref\n0 " + std::to_string(offsets.size() + 1) + "\n0000000000 65535 f\r\n");
  char entry[32];
  for (size_t off : offsets) {
    std::snprintf(entry, sizeof entry, "%010zu 00000 n\r\n", off);
    put(entry);
  }
  put("trailer\n<< /Size " + std::to_string(offsets.size() + 1) + " /Root 1 0 R /Info 3 0 R >>\nstartxref\n" +
      std::to_string(xref) + "\n%%EOF\n");
  return out;
}

}  // namespace kvr::detail
