#include "platform/detail/font_engine.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include <hb-ft.h>
#include <hb.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "platform/arith.h"
#include "platform/detail/bidi.h"
#include "platform/detail/utf8.h"

namespace kvr::detail {

namespace {

// A malformed sequence of complete shape draws one replacement glyph, not one per byte.
char32_t next_glyph_char(std::string_view s, size_t& i) {
  return utf8_next(s, i, Utf8Bad::sequence);
}

// Characters with no visible form; the shaper hides them when a face lacks them, so they
// never call for a fallback face or a replacement glyph.
bool default_ignorable(char32_t c) {
  return c == 0x00AD || c == 0x034F || c == 0x061C || (c >= 0x115F && c <= 0x1160) ||
         (c >= 0x17B4 && c <= 0x17B5) || (c >= 0x180B && c <= 0x180F) ||
         (c >= 0x200B && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2060 && c <= 0x206F) || c == 0x3164 || (c >= 0xFE00 && c <= 0xFE0F) ||
         c == 0xFEFF || c == 0xFFA0 || (c >= 0xFFF0 && c <= 0xFFF8) ||
         (c >= 0x1BCA0 && c <= 0x1BCA3) || (c >= 0x1D173 && c <= 0x1D17A) ||
         (c >= 0xE0000 && c <= 0xE0FFF);
}

struct Glyph {
  std::vector<uint8_t> pixels;
  int width = 0, rows = 0, left = 0, top = 0, advance = 0;
};

class Engine;

struct Face {
  FT_Face face = nullptr;
  hb_font_t* hb = nullptr;
  const FaceSource* source = nullptr;
  Engine* engine = nullptr;
  int current_px = 0;  // FreeType's pixel size
  int hb_px = 0;       // the shaper's scale
  std::unordered_map<uint64_t, Glyph> glyphs;  // (pixel size << 32) | glyph index
  std::map<int, FontMetrics> metrics;
};

// A (name, style) as asked for: its own face and the faces that supply the characters
// that face lacks, found once per character.
struct Request {
  Face* primary = nullptr;
  std::string name;
  bool bold = false, italic = false;
  std::unordered_map<char32_t, Face*> fallback;
};

// FreeType libraries and faces must not be shared between threads, so every thread that
// draws text has its own engine: its own FT_Library, open faces, shaper state, glyph
// cache and mask. The glyphs come out the same on every thread.
class Engine {
 public:
  Engine() {
    if (FT_Init_FreeType(&lib_) != 0) lib_ = nullptr;
    buffer_ = hb_buffer_create();
  }
  ~Engine() {
    for (auto& f : faces_) {
      if (!f) continue;
      if (f->hb) hb_font_destroy(f->hb);
      if (f->face) FT_Done_Face(f->face);
    }
    hb_buffer_destroy(buffer_);
    if (lib_) FT_Done_FreeType(lib_);
  }
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  Request& request_for(const TFont& font) {
    const bool bold = font.Style().Contains(fsBold), italic = font.Style().Contains(fsItalic);
    auto key = std::make_tuple(font.Name(), bold, italic);
    auto it = requests_.find(key);
    if (it != requests_.end()) return *it->second;
    auto r = std::make_unique<Request>();
    r->name = font.Name();
    r->bold = bold;
    r->italic = italic;
    r->primary = open(resolve_face(font.Name(), bold, italic));
    if (!r->primary->face && font.Name() != "DejaVu Sans") {
      r->name = "DejaVu Sans";
      r->primary = open(resolve_face(r->name, bold, italic));
    }
    return *requests_.emplace(std::move(key), std::move(r)).first->second;
  }

  Face* face_for(const TFont& font) { return request_for(font).primary; }

  bool set_size(Face& f, int px) {
    if (!f.face) return false;
    if (f.current_px != px) {
      if (FT_Set_Pixel_Sizes(f.face, 0, px) != 0) return false;
      f.current_px = px;
    }
    return true;
  }

  const Glyph& glyph(Face& f, int px, uint32_t index) {
    const uint64_t key = (uint64_t(px) << 32) | index;
    auto it = f.glyphs.find(key);
    if (it != f.glyphs.end()) return it->second;
    Glyph g;
    const bool synth_bold = f.source && f.source->synth_bold;
    const bool synth_italic = f.source && f.source->synth_italic;
    if (set_size(f, px) && FT_Load_Glyph(f.face, index, FT_LOAD_TARGET_LIGHT) == 0) {
      FT_GlyphSlot slot = f.face->glyph;
      if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        if (synth_italic) {
          FT_Matrix shear{0x10000, 0x3800, 0, 0x10000};  // about 12 degrees
          FT_Outline_Transform(&slot->outline, &shear);
        }
        if (synth_bold) FT_Outline_Embolden(&slot->outline, std::max<FT_Pos>(64, px * 4));
      }
      g.advance = int((slot->advance.x + 32) >> 6);
      if (synth_bold) g.advance += std::max(1, px / 16);
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

  // Shapes the text into glyphs_ / glyph_faces_ and returns the pen travel in 26.6.
  long long shape(const TFont& font, std::string_view utf8);

  const std::vector<ShapedGlyph>& glyphs() const { return glyphs_; }
  Face* face_of(const ShapedGlyph& g) { return faces_[size_t(g.face->id) + 1].get(); }

  std::vector<uint8_t> mask;

 private:
  struct Char {
    char32_t cp;
    uint32_t cluster;
    Face* face;
    hb_script_t script;
  };
  struct Run {
    size_t begin, end;
    Face* face;
    hb_script_t script;
    uint8_t level;
  };

  // The engine's face for a source, opened on first use; one per source, so that every
  // request that resolves to the same file shares its glyph cache.
  Face* open(const FaceSource* src) {
    const size_t slot = src ? size_t(src->id) + 1 : 0;
    if (slot >= faces_.size()) faces_.resize(slot + 1);
    if (faces_[slot]) return faces_[slot].get();
    auto f = std::make_unique<Face>();
    f->engine = this;
    f->source = src;
    if (src && lib_ && FT_New_Face(lib_, src->file.c_str(), src->index, &f->face) == 0) {
      hb_face_t* hf = hb_ft_face_create_referenced(f->face);
      f->hb = hb_font_create(hf);
      hb_face_destroy(hf);
      hb_font_set_funcs(f->hb, font_funcs(), f.get(), nullptr);
    } else {
      f->face = nullptr;
    }
    faces_[slot] = std::move(f);
    return faces_[slot].get();
  }

  static bool has_char(const Face* f, char32_t cp) {
    return f && f->face && FT_Get_Char_Index(f->face, cp) != 0;
  }

  Face* face_for_char(Request& r, char32_t& cp, Face* prev, bool mark);
  static hb_font_funcs_t* font_funcs();

  FT_Library lib_ = nullptr;
  hb_buffer_t* buffer_ = nullptr;
  // Slot 0 is the face of no source; source id k lives in slot k + 1.
  std::vector<std::unique_ptr<Face>> faces_;
  std::map<std::tuple<std::string, bool, bool>, std::unique_ptr<Request>> requests_;
  // Scratch space of shape(), kept so that shaping allocates only while it grows.
  std::vector<Char> chars_;
  std::vector<BidiClass> classes_;
  std::vector<uint8_t> levels_;
  std::vector<Run> runs_;
  std::vector<uint8_t> run_levels_;
  std::vector<int> order_;
  std::vector<ShapedGlyph> glyphs_;
  // The last text shaped: drawing asks for the width and then the glyphs of one text.
  const Request* last_request_ = nullptr;
  int last_px_ = 0;
  bool last_kerning_ = false;
  std::string last_text_;
  long long last_width_ = 0;
};

// The shaper asks the engine for glyph indices and advances, so that shaped advances are
// the hinted, rounded ones the glyph images are drawn with.
hb_font_funcs_t* Engine::font_funcs() {
  static hb_font_funcs_t* funcs = [] {
    hb_font_funcs_t* ff = hb_font_funcs_create();
    hb_font_funcs_set_nominal_glyph_func(
        ff,
        [](hb_font_t*, void* data, hb_codepoint_t cp, hb_codepoint_t* glyph, void*) -> hb_bool_t {
          *glyph = FT_Get_Char_Index(static_cast<Face*>(data)->face, cp);
          return *glyph != 0;
        },
        nullptr, nullptr);
    hb_font_funcs_set_variation_glyph_func(
        ff,
        [](hb_font_t*, void* data, hb_codepoint_t cp, hb_codepoint_t vs, hb_codepoint_t* glyph,
           void*) -> hb_bool_t {
          *glyph = FT_Face_GetCharVariantIndex(static_cast<Face*>(data)->face, cp, vs);
          return *glyph != 0;
        },
        nullptr, nullptr);
    hb_font_funcs_set_glyph_h_advance_func(
        ff,
        [](hb_font_t*, void* data, hb_codepoint_t glyph, void*) -> hb_position_t {
          Face& f = *static_cast<Face*>(data);
          return f.engine->glyph(f, f.hb_px, glyph).advance * 64;
        },
        nullptr, nullptr);
    hb_font_funcs_set_glyph_extents_func(
        ff,
        [](hb_font_t*, void* data, hb_codepoint_t glyph, hb_glyph_extents_t* e, void*) -> hb_bool_t {
          Face& f = *static_cast<Face*>(data);
          const Glyph& g = f.engine->glyph(f, f.hb_px, glyph);
          e->x_bearing = g.left * 64;
          e->y_bearing = g.top * 64;
          e->width = g.width * 64;
          e->height = -g.rows * 64;
          return true;
        },
        nullptr, nullptr);
    hb_font_funcs_make_immutable(ff);
    return ff;
  }();
  return funcs;
}

// A character the requested face lacks comes from the first face fontconfig offers that
// has it; a mark stays with its base character's face where that face has the mark, so
// the two are positioned together. What no face has shows the requested face's
// replacement glyph.
Face* Engine::face_for_char(Request& r, char32_t& cp, Face* prev, bool mark) {
  Face* primary = r.primary;
  if (cp < 0x20) return primary;
  if (mark && prev != primary && has_char(prev, cp)) return prev;
  if (has_char(primary, cp) || default_ignorable(cp)) return primary;
  auto it = r.fallback.find(cp);
  if (it == r.fallback.end()) {
    const FaceSource* src = fallback_face(r.name, r.bold, r.italic, cp);
    Face* f = src ? open(src) : nullptr;
    it = r.fallback.emplace(cp, has_char(f, cp) ? f : nullptr).first;
  }
  if (it->second) return it->second;
  cp = kReplacementChar;
  return primary;
}

long long Engine::shape(const TFont& font, std::string_view utf8) {
  Request& r = request_for(font);
  const int px = font.PixelSize();
  const bool kerning = font.Kerning();
  if (&r == last_request_ && px == last_px_ && kerning == last_kerning_ && utf8 == last_text_)
    return last_width_;
  last_request_ = nullptr;
  glyphs_.clear();
  long long pen = 0;
  if (r.primary->face) {
    hb_unicode_funcs_t* uf = hb_unicode_funcs_get_default();
    chars_.clear();
    classes_.clear();
    Face* prev = nullptr;
    hb_script_t script = HB_SCRIPT_COMMON;
    for (size_t i = 0; i < utf8.size();) {
      const uint32_t cluster = uint32_t(i);
      char32_t cp = next_glyph_char(utf8, i);
      const hb_unicode_general_category_t cat = hb_unicode_general_category(uf, cp);
      const bool mark = cat == HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK ||
                        cat == HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK ||
                        cat == HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK;
      Face* f = face_for_char(r, cp, prev, mark);
      const hb_script_t own = hb_unicode_script(uf, cp);
      BidiClass cls = BidiClass::L;
      if (cat == HB_UNICODE_GENERAL_CATEGORY_DECIMAL_NUMBER) cls = BidiClass::EN;
      else if (cat == HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK ||
               cat == HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK) cls = BidiClass::NSM;
      else if (hb_script_get_horizontal_direction(own) == HB_DIRECTION_RTL) cls = BidiClass::R;
      else if (own == HB_SCRIPT_COMMON || own == HB_SCRIPT_INHERITED || own == HB_SCRIPT_UNKNOWN)
        cls = BidiClass::N;
      // Spaces, punctuation and marks belong to the script around them.
      const bool common = own == HB_SCRIPT_COMMON || own == HB_SCRIPT_INHERITED || own == HB_SCRIPT_UNKNOWN;
      if (!common) {
        if (script == HB_SCRIPT_COMMON)
          for (Char& c : chars_) c.script = own;
        script = own;
      }
      chars_.push_back({cp, cluster, f, script});
      classes_.push_back(cls);
      prev = f;
    }
    levels_.resize(chars_.size());
    resolve_bidi_levels(classes_.data(), levels_.data(), chars_.size());
    runs_.clear();
    for (size_t i = 0; i < chars_.size(); ++i) {
      const Char& c = chars_[i];
      if (!runs_.empty()) {
        Run& last = runs_.back();
        if (last.face == c.face && last.script == c.script && last.level == levels_[i]) {
          last.end = i + 1;
          continue;
        }
      }
      runs_.push_back({i, i + 1, c.face, c.script, levels_[i]});
    }
    run_levels_.resize(runs_.size());
    for (size_t k = 0; k < runs_.size(); ++k) run_levels_[k] = runs_[k].level;
    order_.resize(runs_.size());
    bidi_visual_order(run_levels_.data(), order_.data(), runs_.size());

    // The classic layout: glyph by glyph, nothing that would make a text narrower than
    // its pieces.
    static const hb_feature_t kClassic[] = {
        {HB_TAG('k', 'e', 'r', 'n'), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
        {HB_TAG('l', 'i', 'g', 'a'), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
        {HB_TAG('c', 'l', 'i', 'g'), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END}};
    for (int k : order_) {
      const Run& run = runs_[size_t(k)];
      Face& f = *run.face;
      if (!set_size(f, px)) continue;
      if (f.hb_px != px) {
        hb_font_set_scale(f.hb, px * 64, px * 64);
        hb_font_set_ppem(f.hb, unsigned(px), unsigned(px));
        f.hb_px = px;
      }
      hb_buffer_clear_contents(buffer_);
      hb_buffer_set_content_type(buffer_, HB_BUFFER_CONTENT_TYPE_UNICODE);
      for (size_t i = run.begin; i < run.end; ++i) hb_buffer_add(buffer_, chars_[i].cp, chars_[i].cluster);
      hb_buffer_set_direction(buffer_, run.level % 2 ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
      hb_buffer_set_script(buffer_, run.script);
      hb_buffer_set_language(buffer_, hb_language_get_default());
      hb_shape(f.hb, buffer_, kerning ? nullptr : kClassic, kerning ? 0 : 3);
      unsigned n = 0;
      const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer_, &n);
      const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer_, nullptr);
      for (unsigned i = 0; i < n; ++i) {
        glyphs_.push_back({f.source, info[i].codepoint, info[i].cluster, pos[i].x_advance,
                           pos[i].x_offset, pos[i].y_offset});
        pen += pos[i].x_advance;
      }
    }
  }
  last_request_ = &r;
  last_px_ = px;
  last_kerning_ = kerning;
  last_text_.assign(utf8);
  last_width_ = pen;
  return pen;
}

Engine& engine() {
  thread_local Engine e;
  return e;
}

// Whole pixels of a 26.6 distance, halves rounded up, as the pen is placed.
long long pixels(long long v) { return (v + 32) >> 6; }

}  // namespace

FontMetrics font_metrics(const TFont& font) {
  Engine& e = engine();
  return e.metrics(*e.face_for(font), font.PixelSize());
}

int text_width(const TFont& font, std::string_view utf8) {
  return ClampPix(pixels(engine().shape(font, utf8)));
}

std::string font_family(const TFont& font) {
  Face* f = engine().face_for(font);
  return !f->source || f->source->family.empty() ? font.Name() : f->source->family;
}

std::span<const ShapedGlyph> shape_text(const TFont& font, std::string_view utf8) {
  Engine& e = engine();
  e.shape(font, utf8);
  return e.glyphs();
}

TextMask render_text(const TFont& font, std::string_view utf8) {
  Engine& e = engine();
  const int px = font.PixelSize();
  const FontMetrics m = e.metrics(*e.face_for(font), px);
  e.shape(font, utf8);
  const std::vector<ShapedGlyph>& shaped = e.glyphs();
  // Bounds of the glyph images relative to the cell; the cell itself is included for
  // underline and strike-out.
  long long pen = 0;
  int left = 0, top = 0, right = 0, bottom = m.height;
  // Nothing wider than this can be shown on any surface; it also bounds the mask.
  const long long max_width = std::max<long long>(4096, (1 << 24) / (m.height + 1));
  for (const ShapedGlyph& s : shaped) {
    const Glyph& g = e.glyph(*e.face_of(s), px, s.glyph);
    if (g.width > 0 && g.rows > 0) {
      const long long gx = pixels(pen + s.x_offset) + g.left;
      const long long gy = m.ascent - g.top - pixels(s.y_offset);
      left = std::min<long long>(left, gx);
      right = std::max<long long>(right, gx + g.width);
      top = std::min<long long>(top, gy);
      bottom = std::max<long long>(bottom, gy + g.rows);
    }
    pen += s.x_advance;
    if (pixels(pen) > max_width) break;
  }
  right = std::max<long long>(right, pixels(pen));
  TextMask out;
  out.left = left;
  out.top = top;
  out.width = right - left;
  out.height = bottom - top;
  out.stride = out.width;
  e.mask.assign(size_t(out.width) * out.height, 0);
  pen = 0;
  for (const ShapedGlyph& s : shaped) {
    const Glyph& g = e.glyph(*e.face_of(s), px, s.glyph);
    const long long gx = pixels(pen + s.x_offset) + g.left - left;
    const long long gy = m.ascent - g.top - pixels(s.y_offset) - top;
    pen += s.x_advance;
    if (gx + g.width > out.width) break;
    for (int r = 0; r < g.rows; ++r) {
      uint8_t* d = e.mask.data() + (gy + r) * out.stride + gx;
      const uint8_t* src = g.pixels.data() + size_t(r) * g.width;
      for (int c = 0; c < g.width; ++c) d[c] = uint8_t(std::min(255, d[c] + src[c]));
    }
  }
  const long long pen_px = pixels(pen);
  auto bar = [&](int y0) {
    for (int t = 0; t < m.line_thickness; ++t) {
      const int yy = y0 + t - top;
      if (yy < 0 || yy >= out.height) continue;
      const long long len = std::min<long long>(pen_px, out.width + left);
      if (len > 0) std::fill_n(e.mask.data() + size_t(yy) * out.stride - left, len, uint8_t(255));
    }
  };
  if (font.Style().Contains(fsUnderline)) bar(m.ascent + m.underline_pos - m.line_thickness / 2);
  if (font.Style().Contains(fsStrikeOut)) bar(m.ascent - m.strike_pos);
  out.coverage = e.mask.data();
  return out;
}

}  // namespace kvr::detail
