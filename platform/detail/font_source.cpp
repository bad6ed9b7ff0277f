#include "platform/detail/font_source.h"

#include <fontconfig/fontconfig.h>

#include <map>
#include <memory>
#include <mutex>
#include <tuple>
#include <vector>

namespace kvr::detail {

namespace {

using StyleKey = std::tuple<std::string, bool, bool>;

// Matching is slow and fontconfig's configuration is process-wide, so one lock guards
// every answer. Threads come here only for a face or character their own caches have not
// seen yet, which keeps the lock off the drawing path.
class FontResolver {
 public:
  FontResolver() { FcInit(); }
  ~FontResolver() {
    for (auto& [key, set] : sorted_)
      if (set) FcFontSetDestroy(set);
    // Releases fontconfig's caches too, so leak checkers see a clean exit.
    FcFini();
  }

  const FaceSource* resolve(const std::string& name, bool bold, bool italic) {
    std::lock_guard lock(mutex_);
    StyleKey key{name, bold, italic};
    auto it = matched_.find(key);
    if (it == matched_.end()) it = matched_.emplace(key, match(name, bold, italic)).first;
    return it->second;
  }

  const FaceSource* fallback(const std::string& name, bool bold, bool italic, char32_t cp) {
    std::lock_guard lock(mutex_);
    auto key = std::make_tuple(name, bold, italic, cp);
    auto it = fallbacks_.find(key);
    if (it != fallbacks_.end()) return it->second;
    const FaceSource* found = nullptr;
    if (FcFontSet* set = sorted({name, bold, italic})) {
      for (int i = 0; i < set->nfont && !found; ++i) {
        FcPattern* p = set->fonts[i];
        FcCharSet* cs = nullptr;
        FcBool outline = FcFalse;
        // Bitmap-only faces (colour emoji strikes among them) have no size to render
        // arbitrary pixel heights at.
        if (FcPatternGetBool(p, FC_OUTLINE, 0, &outline) != FcResultMatch || !outline) continue;
        if (FcPatternGetCharSet(p, FC_CHARSET, 0, &cs) != FcResultMatch || !FcCharSetHasChar(cs, cp))
          continue;
        found = source_of(p, name, bold, italic);
      }
    }
    fallbacks_.emplace(std::move(key), found);
    return found;
  }

 private:
  static FcPattern* request(const std::string& name, bool bold, bool italic) {
    FcPattern* pat = FcPatternCreate();
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    FcPatternAddInteger(pat, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    return pat;
  }

  const FaceSource* match(const std::string& name, bool bold, bool italic) {
    FcPattern* pat = request(name, bold, italic);
    FcResult res;
    FcPattern* m = FcFontMatch(nullptr, pat, &res);
    FcPatternDestroy(pat);
    if (!m) return nullptr;
    // fontconfig always offers some face. Taking a substitute for a family that is not
    // installed would make the picture depend on which fonts the machine happens to
    // have; the one fallback keeps it the same everywhere.
    if (!is_generic(name) && !has_family(m, name)) {
      FcPatternDestroy(m);
      return nullptr;
    }
    const FaceSource* out = source_of(m, name, bold, italic);
    FcPatternDestroy(m);
    return out;
  }

  static bool same_name(const char* a, const std::string& b) {
    return FcStrCmpIgnoreCase(reinterpret_cast<const FcChar8*>(a),
                              reinterpret_cast<const FcChar8*>(b.c_str())) == 0;
  }
  static bool has_family(FcPattern* p, const std::string& name) {
    FcChar8* family = nullptr;
    for (int i = 0; FcPatternGetString(p, FC_FAMILY, i, &family) == FcResultMatch; ++i)
      if (family && same_name(reinterpret_cast<const char*>(family), name)) return true;
    return false;
  }
  // Names that stand for a kind of face rather than a family.
  static bool is_generic(const std::string& name) {
    for (const char* g : {"sans-serif", "sans", "serif", "monospace", "mono"})
      if (same_name(g, name)) return true;
    return false;
  }

  // Every installed face in the order fontconfig prefers them for the request; kept,
  // since sorting all faces costs far more than one match.
  FcFontSet* sorted(const StyleKey& key) {
    auto it = sorted_.find(key);
    if (it != sorted_.end()) return it->second;
    FcPattern* pat = request(std::get<0>(key), std::get<1>(key), std::get<2>(key));
    FcResult res;
    FcFontSet* set = FcFontSort(nullptr, pat, FcFalse, nullptr, &res);
    FcPatternDestroy(pat);
    sorted_.emplace(key, set);
    return set;
  }

  const FaceSource* source_of(FcPattern* p, const std::string& name, bool bold, bool italic) {
    FcChar8* file = nullptr;
    FcChar8* family = nullptr;
    int index = 0, weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    if (FcPatternGetString(p, FC_FILE, 0, &file) != FcResultMatch || !file) return nullptr;
    FcPatternGetString(p, FC_FAMILY, 0, &family);
    FcPatternGetInteger(p, FC_INDEX, 0, &index);
    FcPatternGetInteger(p, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(p, FC_SLANT, 0, &slant);
    FaceSource s;
    s.file = reinterpret_cast<const char*>(file);
    s.index = index;
    s.family = family ? reinterpret_cast<const char*>(family) : name;
    s.synth_bold = bold && weight < FC_WEIGHT_DEMIBOLD;
    s.synth_italic = italic && slant == FC_SLANT_ROMAN;
    auto key = std::make_tuple(s.file, s.index, s.synth_bold, s.synth_italic);
    auto it = by_file_.find(key);
    if (it != by_file_.end()) return it->second;
    s.id = int(sources_.size());
    sources_.push_back(std::make_unique<FaceSource>(std::move(s)));
    by_file_.emplace(std::move(key), sources_.back().get());
    return sources_.back().get();
  }

  std::mutex mutex_;
  std::vector<std::unique_ptr<FaceSource>> sources_;
  std::map<std::tuple<std::string, int, bool, bool>, const FaceSource*> by_file_;
  std::map<StyleKey, const FaceSource*> matched_;
  std::map<StyleKey, FcFontSet*> sorted_;
  std::map<std::tuple<std::string, bool, bool, char32_t>, const FaceSource*> fallbacks_;
};

FontResolver& resolver() {
  static FontResolver r;
  return r;
}

}  // namespace

const FaceSource* resolve_face(const std::string& name, bool bold, bool italic) {
  return resolver().resolve(name, bold, italic);
}

const FaceSource* fallback_face(const std::string& name, bool bold, bool italic, char32_t cp) {
  return resolver().fallback(name, bold, italic, cp);
}

}  // namespace kvr::detail
