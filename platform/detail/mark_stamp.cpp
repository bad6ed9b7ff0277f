#include "platform/detail/mark_stamp.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>

#include "platform/bitmap.h"
#include "platform/detail/pixel_ops.h"
#include "platform/detail/raster_backend.h"
#include "platform/detail/smooth_raster.h"
#include "platform/kvrbase.h"

namespace kvr::detail {

namespace {

constexpr int kFirstShape = 10;
// Wider pens are rare on marks; they are drawn as before.
constexpr int kMaxWidth = 12;
constexpr int kScratch = 64;
constexpr int kMid = kScratch / 2;
// Distinct colours tell pen pixels, brush pixels and untouched ones apart on the scratch.
constexpr TColor kPenProbe = 0x0000FF;
constexpr TColor kBrushProbe = 0x00FF00;
constexpr TColor kBackProbe = 0xFFFFFF;

enum class Interior { none, open, brush, solid };

Interior interior_of(int type) {
  if (type < kFirstShape) return Interior::none;
  return static_cast<Interior>(1 + (type - kFirstShape) % 3);
}

// The scratch: untouched pixels in the background probe, pen and brush set up.
void prepare_scratch(TCanvas* c, int width, TBrushStyle brush) {
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(kBackProbe);
  c->FillRect(Rect(0, 0, kScratch, kScratch));
  c->Pen()->SetStyle(psSolid);
  c->Pen()->SetMode(pmCopy);
  c->Pen()->SetWidth(width);
  c->Pen()->SetColor(kPenProbe);
  c->Brush()->SetStyle(brush);
  c->Brush()->SetColor(kBrushProbe);
}

// Draws the mark once; nullptr when some pixel is neither pen nor brush nor untouched
// (the drawing blended), so that such a mark keeps being drawn.
std::unique_ptr<MarkStamp> build(int type, int width, TBrushStyle brush) {
  // A control painting smoothly on this thread would smooth the scratch too.
  const bool outer_smooth = smooth_paint();
  set_smooth_paint(false);
  TBitmap b(kScratch, kScratch);
  TCanvas* c = b.Canvas();
  prepare_scratch(c, width, brush);
  const TPoint before{-1000, -1000};
  c->SetPenPos(before);
  DrawMarkOnCanvas(c, type, kMid, kMid);
  set_smooth_paint(outer_smooth);

  auto s = std::make_unique<MarkStamp>();
  if (c->PenPos().X != before.X || c->PenPos().Y != before.Y) return nullptr;
  s->brush_from_pen = interior_of(type) == Interior::solid;

  const uint32_t pen_px = pack_opaque(kPenProbe), brush_px = pack_opaque(kBrushProbe),
                 back_px = pack_opaque(kBackProbe);
  for (int y = 0; y < kScratch; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(b.ScanLine(y));
    for (int x = 0; x < kScratch;) {
      const uint32_t v = row[x] | 0xFF000000u;
      if (v == back_px) {
        ++x;
        continue;
      }
      if (v != pen_px && v != brush_px) return nullptr;
      // A mark reaching the scratch's edge would be cut.
      if (x == 0 || y == 0 || y == kScratch - 1) return nullptr;
      const int x0 = x;
      while (x < kScratch && (row[x] | 0xFF000000u) == v) ++x;
      if (x == kScratch) return nullptr;
      s->runs.push_back(MarkStampRun{int16_t(y - kMid), int16_t(x0 - kMid), int16_t(x - x0),
                                     v == brush_px});
      s->left = std::min(s->left, x0 - kMid);
      s->right = std::max(s->right, x - kMid);
      s->top = std::min(s->top, y - kMid);
      s->bottom = std::max(s->bottom, y - kMid + 1);
    }
  }
  return s;
}

void extend(MarkStamp& s, int dy, int x0, int x1) {
  s.left = std::min(s.left, x0);
  s.right = std::max(s.right, x1);
  s.top = std::min(s.top, dy);
  s.bottom = std::max(s.bottom, dy + 1);
}

// At a whole pixel, smooth drawing of a mark goes through the raster back end's
// coverage of its last small shape, which the stamp takes over; at a sub-pixel phase
// the mark is drawn with its fractions (DrawMarkOnCanvasF) and its coverage captured
// instead of drawn. Plain pixels (squares) count as full coverage. The stamp is kept
// only when copying it onto the background gives every pixel the drawing gives.
std::unique_ptr<MarkStamp> build_smooth(int type, int width, TBrushStyle brush, int px, int py) {
  const bool whole = px == 0 && py == 0;
  const double fx = kMid + double(px) / kMarkPhases, fy = kMid + double(py) / kMarkPhases;
  auto draw = [&](TCanvas* c) {
    if (whole) DrawMarkOnCanvas(c, type, kMid, kMid);
    else DrawMarkOnCanvasF(c, type, fx, fy);
  };
  TBitmap b(kScratch, kScratch);
  TCanvas* c = b.Canvas();
  prepare_scratch(c, width, brush);
  c->SetSmooth(true);
  auto* rb = dynamic_cast<RasterBackend*>(c->Backend());
  if (!rb) return nullptr;
  const TPoint before{-1000, -1000};
  c->SetPenPos(before);
  RasterBackend::ShapeMask captured;
  if (!whole) {
    captured.key.assign(1, 1);
    captured.box = Rect(0, 0, kScratch, kScratch);
    for (auto& cov : captured.cov) cov.assign(size_t(kScratch) * kScratch, 0);
    rb->capture_coverage(&captured);
  }
  draw(c);
  rb->capture_coverage(nullptr);
  if (c->PenPos().X != before.X || c->PenPos().Y != before.Y) return nullptr;

  std::vector<uint8_t> fill(kScratch * kScratch, 0), pen(kScratch * kScratch, 0);
  const RasterBackend::ShapeMask& m = whole ? rb->last_small_shape() : captured;
  if (!m.key.empty()) {
    const int bw = m.box.Width();
    for (int y = m.box.Top; y < m.box.Bottom; ++y)
      for (int x = m.box.Left; x < m.box.Right; ++x) {
        const int sx = m.anchor.X + x, sy = m.anchor.Y + y;
        const size_t k = size_t(y - m.box.Top) * bw + size_t(x - m.box.Left);
        if (!m.cov[0][k] && !m.cov[1][k]) continue;
        // A mark reaching the scratch's edge would be cut.
        if (sx <= 0 || sy <= 0 || sx >= kScratch - 1 || sy >= kScratch - 1) return nullptr;
        fill[size_t(sy) * kScratch + sx] = m.cov[0][k];
        pen[size_t(sy) * kScratch + sx] = m.cov[1][k];
      }
  }
  // Plain pixels (squares, or a mark without small shapes) are full coverage.
  {
    const uint32_t pen_px = pack_opaque(kPenProbe), brush_px = pack_opaque(kBrushProbe);
    for (int y = 0; y < kScratch; ++y) {
      const auto* row = reinterpret_cast<const uint32_t*>(b.ScanLine(y));
      for (int x = 0; x < kScratch; ++x) {
        const uint32_t v = row[x] | 0xFF000000u;
        if (v == pen_px) pen[size_t(y) * kScratch + x] = 255;
        else if (v == brush_px) fill[size_t(y) * kScratch + x] = 255;
      }
    }
  }

  auto s = std::make_unique<MarkStamp>();
  s->brush_from_pen = interior_of(type) == Interior::solid;
  // Pixels whose result does not depend on what lies below become runs; the others
  // are blended, four at a time.
  std::vector<uint8_t> partial(kScratch * kScratch, 0);
  for (int y = 1; y < kScratch - 1; ++y) {
    const uint8_t* f = fill.data() + size_t(y) * kScratch;
    const uint8_t* p = pen.data() + size_t(y) * kScratch;
    auto kind = [&](int x) { return p[x] == 255 ? 1 : (p[x] == 0 && f[x] == 255 ? 2 : 0); };
    for (int x = 1; x < kScratch - 1;) {
      if (const int k = kind(x)) {
        const int x0 = x;
        while (x < kScratch - 1 && kind(x) == k) ++x;
        s->runs.push_back(MarkStampRun{int16_t(y - kMid), int16_t(x0 - kMid), int16_t(x - x0), k == 2});
        extend(*s, y - kMid, x0 - kMid, x - kMid);
        continue;
      }
      if (f[x] || p[x]) {
        partial[size_t(y) * kScratch + x] = 1;
        extend(*s, y - kMid, x - kMid, x + 1 - kMid);
      }
      ++x;
    }
  }
  // A group never reaches past the extent, so whole marks stay inside the clip; one
  // near the right end starts earlier and leaves the pixels already done alone.
  s->right = std::max(s->right, s->left + 4);
  for (int y = 1; y < kScratch - 1; ++y) {
    uint8_t* row = partial.data() + size_t(y) * kScratch;
    for (int x = 1; x < kScratch - 1; ++x) {
      if (!row[x]) continue;
      const int x0 = std::min(x, s->right + kMid - 4);
      MarkStampBlend g{int16_t(y - kMid), int16_t(x0 - kMid), {0, 0, 0, 0}, {0, 0, 0, 0}};
      for (int k = 0; k < 4; ++k) {
        const size_t i = size_t(y) * kScratch + size_t(x0 + k);
        if (!row[x0 + k]) continue;
        row[x0 + k] = 0;
        g.fill[k] = fill[i];
        g.pen[k] = pen[i];
        s->blends_fill |= fill[i] != 0;
      }
      s->blends.push_back(g);
    }
  }

  TBitmap want(kScratch, kScratch), check(kScratch, kScratch);
  prepare_scratch(want.Canvas(), width, brush);
  want.Canvas()->SetSmooth(true);
  draw(want.Canvas());
  prepare_scratch(check.Canvas(), width, brush);
  stamp_mark_pixels(*check.Canvas(), Rect(0, 0, kScratch, kScratch), *s, kMid, kMid, kPenProbe,
                    kBrushProbe);
  for (int y = 0; y < kScratch; ++y)
    if (std::memcmp(check.ScanLine(y), want.ScanLine(y), kScratch * 4) != 0) return nullptr;
  return s;
}

// One slot per type, width and brush style, built on first use; a slot that cannot be
// exact is remembered too so that it is tried only once.
struct Slot {
  std::atomic<const MarkStamp*> stamp{nullptr};
  std::atomic<bool> tried{false};
};

class StampTable {
 public:
  const MarkStamp* get(int type, int width, TBrushStyle brush, bool smooth) {
    Slot& slot =
        slots_[((size_t(type) * (kMaxWidth + 1) + size_t(width)) * 2 + (brush == bsClear)) * 2 + smooth];
    if (slot.tried.load(std::memory_order_acquire)) return slot.stamp.load(std::memory_order_relaxed);
    std::lock_guard lock(mutex_);
    if (!slot.tried.load(std::memory_order_relaxed)) {
      owned_.push_back(smooth ? build_smooth(type, width, brush, 0, 0) : build(type, width, brush));
      slot.stamp.store(owned_.back().get(), std::memory_order_relaxed);
      slot.tried.store(true, std::memory_order_release);
    }
    return slot.stamp.load(std::memory_order_relaxed);
  }

 private:
  std::array<Slot, size_t(kGeometricMarkCount) * (kMaxWidth + 1) * 2 * 2> slots_;
  std::mutex mutex_;
  std::vector<std::unique_ptr<MarkStamp>> owned_;
};

// Smooth stamps at the other sub-pixel phases, a set of slots per type, width and brush
// made on first use.
class PhaseTable {
 public:
  const MarkStamp* get(int type, int width, TBrushStyle brush, int px, int py) {
    std::atomic<Phases*>& set = sets_[(size_t(type) * (kMaxWidth + 1) + size_t(width)) * 2 + (brush == bsClear)];
    Phases* ph = set.load(std::memory_order_acquire);
    if (!ph) {
      std::lock_guard lock(mutex_);
      ph = set.load(std::memory_order_relaxed);
      if (!ph) {
        owned_sets_.push_back(std::make_unique<Phases>());
        ph = owned_sets_.back().get();
        set.store(ph, std::memory_order_release);
      }
    }
    Slot& slot = (*ph)[size_t(py) * kMarkPhases + size_t(px)];
    if (slot.tried.load(std::memory_order_acquire)) return slot.stamp.load(std::memory_order_relaxed);
    std::lock_guard lock(mutex_);
    if (!slot.tried.load(std::memory_order_relaxed)) {
      owned_.push_back(build_smooth(type, width, brush, px, py));
      slot.stamp.store(owned_.back().get(), std::memory_order_relaxed);
      slot.tried.store(true, std::memory_order_release);
    }
    return slot.stamp.load(std::memory_order_relaxed);
  }

 private:
  using Phases = std::array<Slot, size_t(kMarkPhases) * kMarkPhases>;
  std::array<std::atomic<Phases*>, size_t(kGeometricMarkCount) * (kMaxWidth + 1) * 2> sets_{};
  std::mutex mutex_;
  std::vector<std::unique_ptr<Phases>> owned_sets_;
  std::vector<std::unique_ptr<MarkStamp>> owned_;
};

PhaseTable& phase_table() {
  static PhaseTable t;
  return t;
}

thread_local bool stamps_on = true;

StampTable& table() {
  static StampTable t;
  return t;
}

}  // namespace

bool set_mark_stamps(bool on) {
  const bool was = stamps_on;
  stamps_on = on;
  return was;
}

bool can_stamp_on(const TCanvas& c) {
  if (!stamps_on) return false;
  const TBitmap* b = c.Bitmap();
  return b && !b->Empty() && c.Resolution() == 96 && !c.Smooth();
}

namespace {

const MarkStamp* stamp_of(Integer type, Integer width, TBrushStyle brush, bool smooth) {
  if (type < 0 || type >= kGeometricMarkCount) return nullptr;
  width = std::max<Integer>(width, 1);
  if (width > kMaxWidth) return nullptr;
  // Only brush-filled shapes read the brush style; the others share one slot.
  if (interior_of(int(type)) != Interior::brush) brush = bsSolid;
  return table().get(int(type), int(width), brush, smooth);
}

bool solid_copy_pen(const TCanvas& c) {
  const TPen& pen = *c.Pen();
  return pen.Mode() == pmCopy && pen.Style() == psSolid;
}

}  // namespace

const MarkStamp* mark_stamp(Integer type, Integer width, TBrushStyle brush) {
  return stamp_of(type, width, brush, false);
}

const MarkStamp* mark_stamp_for(const TCanvas& c, Integer type) {
  if (!solid_copy_pen(c) || !can_stamp_on(c)) return nullptr;
  return mark_stamp(type, c.Pen()->Width(), c.Brush()->Style());
}

const MarkStamp* smooth_mark_stamp(Integer type, Integer width, TBrushStyle brush, int px, int py) {
  if (px == 0 && py == 0) return stamp_of(type, width, brush, true);
  if (px < 0 || py < 0 || px >= kMarkPhases || py >= kMarkPhases || !MarkKeepsFractions(type)) return nullptr;
  width = std::max<Integer>(width, 1);
  if (width > kMaxWidth) return nullptr;
  if (interior_of(int(type)) != Interior::brush) brush = bsSolid;
  return phase_table().get(int(type), int(width), brush, px, py);
}

// Only raster canvases have a bitmap; scaled ones draw their marks in other sizes.
bool can_smooth_stamp_on(const TCanvas& c) {
  if (!stamps_on) return false;
  const TBitmap* b = c.Bitmap();
  return b && !b->Empty() && c.Resolution() == 96 && c.Smooth() && !c.KeepsFractions();
}

const MarkStamp* smooth_mark_stamp_for(const TCanvas& c, Integer type, int px, int py) {
  if (!solid_copy_pen(c) || !can_smooth_stamp_on(c)) return nullptr;
  return smooth_mark_stamp(type, c.Pen()->Width(), c.Brush()->Style(), px, py);
}

MarkStamper::MarkStamper(TCanvas& c, const TRect& Clip, const MarkStamp& s, TColor pen,
                         TColor brush)
    : s_(s),
      clip_(Clip),
      bits_(reinterpret_cast<uint32_t*>(c.Bitmap()->Bits())),
      stride_(c.Bitmap()->Width()),
      pen_(pack_opaque(ColorToRGB(pen))),
      brush_(s.brush_from_pen ? pen_ : pack_opaque(ColorToRGB(brush))) {
  std::fill(pen4_, pen4_ + 4, pen_);
  std::fill(brush4_, brush4_ + 4, brush_);
#if defined(__SSE2__)
  pen16_ = _mm_unpacklo_epi8(_mm_set1_epi32(int(pen_)), _mm_setzero_si128());
  brush16_ = _mm_unpacklo_epi8(_mm_set1_epi32(int(brush_)), _mm_setzero_si128());
#endif
}

void MarkStamper::plan() {
  int singles = 0, longs = 0;
  for (const MarkStampRun& r : s_.runs) (r.len == 1 ? singles : longs)++;
  // Offsets of a few rows must fit 32 bits; larger stamps keep the general loop.
  if (singles > kPlanMax || longs > kPlanMax || s_.blends.size() > size_t(kPlanMax) ||
      stride_ > (int64_t(1) << 24))
    return;
  n_single_ = n_long_ = 0;
  for (const MarkStampRun& r : s_.runs) {
    const int32_t off = int32_t(r.dy * stride_ + r.dx);
    if (r.len == 1) single_[n_single_++] = Single{off, r.brush ? brush_ : pen_};
    else long_[n_long_++] = Long{off, r.len, r.brush ? brush4_ : pen4_};
  }
  n_blend_ = int(s_.blends.size());
  for (int k = 0; k < n_blend_; ++k)
    blend_off_[k] = int32_t(s_.blends[size_t(k)].dy * stride_ + s_.blends[size_t(k)].dx);
  planned_ = true;
}

void MarkStamper::stamp_clipped(const MarkStamp& s, Integer x, Integer y) const {
  for (const MarkStampRun& r : s.runs) {
    const int64_t py = int64_t(y) + r.dy;
    if (py < clip_.Top || py >= clip_.Bottom) continue;
    const int64_t x0 = std::max<int64_t>(int64_t(x) + r.dx, clip_.Left);
    const int64_t x1 = std::min<int64_t>(int64_t(x) + r.dx + r.len, clip_.Right);
    if (x0 >= x1) continue;
    std::fill(bits_ + py * stride_ + x0, bits_ + py * stride_ + x1, r.brush ? brush_ : pen_);
  }
  for (const MarkStampBlend& b : s.blends) {
    const int64_t py = int64_t(y) + b.dy;
    if (py < clip_.Top || py >= clip_.Bottom) continue;
    for (int k = 0; k < 4; ++k) {
      const int64_t px = int64_t(x) + b.dx + k;
      if (px >= clip_.Left && px < clip_.Right) put(bits_ + py * stride_ + px, b, k);
    }
  }
}

void stamp_mark_pixels(TCanvas& c, const TRect& Clip, const MarkStamp& s, Integer x, Integer y,
                       TColor pen, TColor brush) {
  MarkStamper(c, Clip, s, pen, brush).stamp(x, y);
}

void stamp_mark(TCanvas& c, const MarkStamp& s, Integer x, Integer y) {
  stamp_mark_pixels(c, c.ClipRect(), s, x, y, c.Pen()->Color(), c.Brush()->Color());
}

}  // namespace kvr::detail
