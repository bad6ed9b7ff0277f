#include "platform/detail/font_engine.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "platform/arith.h"
#include "platform/detail/utf8.h"

namespace kvr::detail {

namespace {

// A malformed sequence of complete shape draws one replacement glyph, not one per byte.
char32_t next_glyph_char(std::string_view s, size_t& i) {
  return utf8_next(s, i, Utf8Bad::sequence);
}

struct Glyph {
  std::vector<uint8_t> pixels;
  int width = 0, rows = 0, left = 0, top = 0, advance = 0;
};

struct Face {
  FT_Face face = nullptr;
  bool synth_bold = false;
  bool synth_italic = false;
  std::string family;
  int current_px = 0;
  std::unordered_map<uint64_t, Glyph> glyphs;  // (pixel size << 32) | code point
  std::map<int, FontMetrics> metrics;
};

// Where fontconfig found a (name, style): shared by all threads, since matching is slow
// and fontconfig's configuration is process-wide. Only a face a thread has not opened yet
// comes here, so the lock stays off the drawing path.
struct FaceSource {
  std::string file;
  int index = 0;
  std::string family;
  bool synth_bold = false;
  bool synth_italic = false;
};

class FontResolver {
 public:
  FontResolver() { FcInit(); }
  ~FontResolver() {
    // Releases fontconfig's caches too, so leak checkers see a clean exit.
    FcFini();
  }

  // nullptr when fontconfig has nothing for the name. Entries are never removed, so the
  // pointer stays valid.
  const FaceSource* resolve(const std::string& name, bool bold, bool italic) {
    std::lock_guard lock(mutex_);
    auto key = std::make_tuple(name, bold, italic);
    auto it = sources_.find(key);
    if (it == sources_.end()) it = sources_.emplace(std::move(key), match(name, bold, italic)).first;
    return it->second ? &*it->second : nullptr;
  }

 private:
  static std::optional<FaceSource> match(const std::string& name, bool bold, bool italic) {
    FcPattern* pat = FcPatternCreate();
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    FcPatternAddInteger(pat, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult res;
    FcPattern* m = FcFontMatch(nullptr, pat, &res);
    FcPatternDestroy(pat);
    if (!m) return std::nullopt;
    FcChar8* file = nullptr;
    FcChar8* family = nullptr;
    int index = 0, weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    FcPatternGetString(m, FC_FILE, 0, &file);
    FcPatternGetString(m, FC_FAMILY, 0, &family);
    FcPatternGetInteger(m, FC_INDEX, 0, &index);
    FcPatternGetInteger(m, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(m, FC_SLANT, 0, &slant);
    std::optional<FaceSource> out;
    if (file) {
      out.emplace();
      out->file = reinterpret_cast<const char*>(file);
      out->index = index;
      out->family = family ? reinterpret_cast<const char*>(family) : name;
      out->synth_bold = bold && weight < FC_WEIGHT_DEMIBOLD;
      out->synth_italic = italic && slant == FC_SLANT_ROMAN;
    }
    FcPatternDestroy(m);
    return out;
  }

  std::mutex mutex_;
  std::map<std::tuple<std::string, bool, bool>, std::optional<FaceSource>> sources_;
};

FontResolver& resolver() {
  static FontResolver r;
  return r;
}

// FreeType libraries and faces must not be shared between threads, so every thread that
// draws text has its own engine: its own FT_Library, open faces, glyph cache and mask.
// The glyphs come out the same on every thread.
class Engine {
 public:
  Engine() {
    if (FT_Init_FreeType(&lib_) != 0) lib_ = nullptr;
  }
  ~Engine() {
    for (auto& [key, f] : faces_)
      if (f->face) FT_Done_Face(f->face);
    if (lib_) FT_Done_FreeType(lib_);
  }
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  Face* face_for(const TFont& font) {
    const bool bold = font.Style().Contains(fsBold), italic = font.Style().Contains(fsItalic);
    auto key = std::make_tuple(font.Name(), bold, italic);
    auto it = faces_.find(key);
    if (it != faces_.end()) return it->second.get();
    auto f = std::make_unique<Face>();
    open_face(*f, font.Name(), bold, italic);
    if (!f->face && font.Name() != "DejaVu Sans") open_face(*f, "DejaVu Sans", bold, italic);
    Face* raw = f.get();
    faces_.emplace(std::move(key), std::move(f));
    return raw;
  }

  bool set_size(Face& f, int px) {
    if (!f.face) return false;
    if (f.current_px != px) {
      if (FT_Set_Pixel_Sizes(f.face, 0, px) != 0) return false;
      f.current_px = px;
    }
    return true;
  }

  const Glyph& glyph(Face& f, int px, char32_t cp) {
    const uint64_t key = (uint64_t(px) << 32) | cp;
    auto it = f.glyphs.find(key);
    if (it != f.glyphs.end()) return it->second;
    Glyph g;
    if (set_size(f, px)) {
      FT_UInt index = FT_Get_Char_Index(f.face, cp);
      if (index == 0 && cp >= 0x20) index = FT_Get_Char_Index(f.face, 0xFFFD);
      if (FT_Load_Glyph(f.face, index, FT_LOAD_TARGET_LIGHT) == 0) {
        FT_GlyphSlot slot = f.face->glyph;
        if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
          if (f.synth_italic) {
            FT_Matrix shear{0x10000, 0x3800, 0, 0x10000};  // about 12 degrees
            FT_Outline_Transform(&slot->outline, &shear);
          }
          if (f.synth_bold) FT_Outline_Embolden(&slot->outline, std::max<FT_Pos>(64, px * 4));
        }
        g.advance = int((slot->advance.x + 32) >> 6);
        if (f.synth_bold) g.advance += std::max(1, px / 16);
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0) {
          const FT_Bitmap& b = slot->bitmap;
          g.width = int(b.width);
          g.rows = int(b.rows);
          g.left = slot->bitmap_left;
          g.top = slot->bitmap_top;
          g.pixels.resize(size_t(g.width) * g.rows);
          for (int r = 0; r < g.rows; ++r)
            std::copy_n(b.buffer + r * b.pitch, g.width, g.pixels.data() + size_t(r) * g.width);
        }
      }
    }
    return f.glyphs.emplace(key, std::move(g)).first->second;
  }

  FontMetrics metrics(Face& f, int px) {
    auto it = f.metrics.find(px);
    if (it != f.metrics.end()) return it->second;
    FontMetrics m;
    if (set_size(f, px)) {
      const FT_Size_Metrics& sm = f.face->size->metrics;
      m.ascent = int((sm.ascender + 32) >> 6);
      m.descent = int((-sm.descender + 32) >> 6);
      const double scale = double(px) / f.face->units_per_EM;
      m.line_thickness = std::max(1, int(std::lround(f.face->underline_thickness * scale)));
      m.underline_pos = std::max(1, int(std::lround(-f.face->underline_position * scale)));
      m.strike_pos = std::max(1, int(std::lround(px * 0.3)));
    } else {
      m.ascent = int(std::lround(px * 0.93));
      m.descent = int(std::lround(px * 0.24));
    }
    m.height = m.ascent + m.descent;
    f.metrics.emplace(px, m);
    return m;
  }

  std::vector<uint8_t> mask;

 private:
  void open_face(Face& f, const std::string& name, bool bold, bool italic) {
    if (!lib_) return;
    const FaceSource* src = resolver().resolve(name, bold, italic);
    if (src && FT_New_Face(lib_, src->file.c_str(), src->index, &f.face) == 0) {
      f.family = src->family;
      f.synth_bold = src->synth_bold;
      f.synth_italic = src->synth_italic;
    } else {
      f.face = nullptr;
    }
  }

  FT_Library lib_ = nullptr;
  std::map<std::tuple<std::string, bool, bool>, std::unique_ptr<Face>> faces_;
};

Engine& engine() {
  thread_local Engine e;
  return e;
}

}  // namespace

FontMetrics font_metrics(const TFont& font) {
  Engine& e = engine();
  return e.metrics(*e.face_for(font), font.PixelSize());
}

int text_width(const TFont& font, std::string_view utf8) {
  Engine& e = engine();
  Face& f = *e.face_for(font);
  const int px = font.PixelSize();
  long long w = 0;
  for (size_t i = 0; i < utf8.size();) w += e.glyph(f, px, next_glyph_char(utf8, i)).advance;
  return ClampPix(w);
}

std::string font_family(const TFont& font) {
  Face* f = engine().face_for(font);
  return f->family.empty() ? font.Name() : f->family;
}

TextMask render_text(const TFont& font, std::string_view utf8) {
  Engine& e = engine();
  Face& f = *e.face_for(font);
  const int px = font.PixelSize();
  const FontMetrics m = e.metrics(f, px);
  // Bounds of the glyph images relative to the cell; the cell itself is included for
  // underline and strike-out.
  long long pen = 0;
  int left = 0, top = 0, right = 0, bottom = m.height;
  // Nothing wider than this can be shown on any surface; it also bounds the mask.
  const long long max_width = std::max<long long>(4096, (1 << 24) / (m.height + 1));
  for (size_t i = 0; i < utf8.size();) {
    const Glyph& g = e.glyph(f, px, next_glyph_char(utf8, i));
    if (g.width > 0 && g.rows > 0) {
      left = std::min<long long>(left, pen + g.left);
      right = std::max<long long>(right, pen + g.left + g.width);
      top = std::min(top, m.ascent - g.top);
      bottom = std::max(bottom, m.ascent - g.top + g.rows);
    }
    pen += g.advance;
    if (pen > max_width) break;
  }
  right = std::max<long long>(right, pen);
  TextMask out;
  out.left = left;
  out.top = top;
  out.width = right - left;
  out.height = bottom - top;
  out.stride = out.width;
  e.mask.assign(size_t(out.width) * out.height, 0);
  pen = 0;
  for (size_t i = 0; i < utf8.size();) {
    const Glyph& g = e.glyph(f, px, next_glyph_char(utf8, i));
    const long long gx = pen + g.left - left, gy = m.ascent - g.top - top;
    pen += g.advance;
    if (gx + g.width > out.width) break;
    for (int r = 0; r < g.rows; ++r) {
      uint8_t* d = e.mask.data() + (gy + r) * out.stride + gx;
      const uint8_t* s = g.pixels.data() + size_t(r) * g.width;
      for (int c = 0; c < g.width; ++c) d[c] = uint8_t(std::min(255, d[c] + s[c]));
    }
  }
  auto bar = [&](int y0) {
    for (int t = 0; t < m.line_thickness; ++t) {
      const int yy = y0 + t - top;
      if (yy < 0 || yy >= out.height) continue;
      const long long len = std::min<long long>(pen, out.width + left);
      if (len > 0) std::fill_n(e.mask.data() + size_t(yy) * out.stride - left, len, uint8_t(255));
    }
  };
  if (font.Style().Contains(fsUnderline)) bar(m.ascent + m.underline_pos - m.line_thickness / 2);
  if (font.Style().Contains(fsStrikeOut)) bar(m.ascent - m.strike_pos);
  out.coverage = e.mask.data();
  return out;
}

}  // namespace kvr::detail
