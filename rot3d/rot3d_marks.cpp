// TRot3D: geometric marks stamped straight into a raster picture.
//
// A chart of this kind carries marks by the hundred thousand, and drawing each through
// the canvas (a polygon or an ellipse per mark) costs far more than the pixels it sets.
// Pen and brush of a mark are both the item's colour, so every mark type is a fixed set
// of pixels: each type is drawn once by DrawMarkOnCanvas itself on a scratch bitmap and
// kept as runs of pixels, which are then copied at every point. The picture is the same
// pixel for pixel; vector and printer canvases still draw each mark.
#include <algorithm>
#include <array>
#include <vector>

#include "platform/bitmap.h"
#include "platform/kvrbase.h"
#include "rot3d/rot3d.h"

namespace kvr {

namespace {

struct MarkRun {
  int16_t dy;
  int16_t dx;
  int16_t len;
};

constexpr int kScratch = 48;
constexpr int kScratchMid = kScratch / 2;

struct MarkStamps {
  std::array<std::vector<MarkRun>, kGeometricMarkCount> runs;
  Integer resolution = 96;

  MarkStamps() {
    TBitmap b(kScratch, kScratch);
    TCanvas* c = b.Canvas();
    resolution = c->Resolution();
    for (int type = 0; type < kGeometricMarkCount; ++type) {
      c->Brush()->SetStyle(bsSolid);
      c->Brush()->SetColor(clWhite);
      c->FillRect(Rect(0, 0, kScratch, kScratch));
      c->Pen()->SetStyle(psSolid);
      c->Pen()->SetMode(pmCopy);
      c->Pen()->SetWidth(1);
      c->Pen()->SetColor(clBlack);
      c->Brush()->SetColor(clBlack);
      DrawMarkOnCanvas(c, type, kScratchMid, kScratchMid);
      for (int y = 0; y < kScratch; ++y) {
        const TRGB32* row = b.ScanLine(y);
        for (int x = 0; x < kScratch;) {
          if (row[x].R != 0) {
            ++x;
            continue;
          }
          const int x0 = x;
          while (x < kScratch && row[x].R == 0) ++x;
          runs[type].push_back(MarkRun{int16_t(y - kScratchMid), int16_t(x0 - kScratchMid), int16_t(x - x0)});
        }
      }
    }
  }
};

const MarkStamps& Stamps() {
  static const MarkStamps stamps;
  return stamps;
}

}  // namespace

bool TRot3D::CanStampMarks(TCanvas* Cv) const {
  const TBitmap* b = Cv->Bitmap();
  return b && !b->Empty() && Cv->Resolution() == Stamps().resolution;
}

void TRot3D::StampMark(TCanvas* Cv, const TRect& Clip, Integer Mark, Integer X, Integer Y, TColor Color) {
  TBitmap* b = Cv->Bitmap();
  TRGB32* bits = b->Bits();
  const int64_t stride = b->Width();
  const TColor c = ColorToRGB(Color);
  const TRGB32 px{Byte((c >> 16) & 0xFF), Byte((c >> 8) & 0xFF), Byte(c & 0xFF), 255};
  for (const MarkRun& r : Stamps().runs[Mark]) {
    const int64_t y = int64_t(Y) + r.dy;
    if (y < Clip.Top || y >= Clip.Bottom) continue;
    const int64_t x0 = std::max<int64_t>(int64_t(X) + r.dx, Clip.Left);
    const int64_t x1 = std::min<int64_t>(int64_t(X) + r.dx + r.len, Clip.Right);
    if (x0 >= x1) continue;
    TRGB32* row = bits + y * stride;
    std::fill(row + x0, row + x1, px);
  }
}

}  // namespace kvr
