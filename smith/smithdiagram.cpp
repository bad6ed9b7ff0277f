// The Smith diagram: drawn by InitGraf as the chart area's background, from a fixed
// table of 20 values.
#include <algorithm>
#include <array>
#include <cmath>

#include "platform/arith.h"
#include "platform/forms.h"
#include "platform/printers.h"
#include "smith/smithchart.h"

namespace kvr {

namespace {

struct DiagramRow {
  double value;  // resistance r; reactance x for rows 1..19
  bool dark;     // line colour: GridColorDark or GridColorLight
  double phi;    // half-angle of the part of the resistance circle left out at Γ = 1
  double t;      // real-axis point that ends the reactance arc (row 0 has none)
  Integer level; // lowest label level that shows the row's labels
};

// 5.0 stands after 10.0; an angle of 3.142 (just over pi) leaves nothing out.
constexpr std::array<DiagramRow, 20> kRows{{
    {0.0, true, 3.142, 0.0, 1},   {0.1, false, 0.829, 0.2, 3},  {0.2, true, 0.578, 0.33, 1},
    {0.3, false, 0.957, 0.498, 3}, {0.4, false, 1.019, 0.18, 3}, {0.5, true, 0.42, 0.819, 1},
    {0.6, false, 1.14, 0.15, 5},  {0.7, false, 0.801, 0.133, 2}, {0.8, false, 1.248, 0.48, 5},
    {0.9, false, 1.296, 0.084, 5}, {1.0, true, 0.395, 1.0, 1},  {1.2, false, 0.834, 0.45, 3},
    {1.5, false, 0.921, 0.645, 2}, {2.0, true, 1.073, 0.625, 1}, {2.5, false, 0.673, 0.81, 4},
    {3.0, false, 1.036, 0.558, 3}, {4.0, false, 0.92, 0.669, 4}, {7.0, false, 1.35, 0.7, 4},
    {10.0, true, 3.142, 1.0, 1},  {5.0, true, 3.142, 0.95, 1},
}};

// Shapes whose pixels lie this far out (a deep zoom) are left out rather than clamped
// into a different shape.
constexpr double kFarPixel = 1e9;

constexpr double kLabelGap = 10;  // pixels between the unit circle and a reactance label

// Chords of the polyline arcs, in pixels, and the most points an arc may take before
// the canvas's own Arc (which works row by row inside the clip) is cheaper.
constexpr double kChord = 2.0;
constexpr size_t kMaxArcPoints = 4096;

}  // namespace

// The raster canvas's Arc finds every row's outline span anew, which makes the 40 arcs
// of the diagram cost several times the rest of a paint. The same arc as chords of at
// most two pixels draws the same curve within a pixel. Vector canvases (metafile,
// printer) keep the true arc.
void TSmithChart::DiagramArc(TCanvas* Canvas, Integer X1, Integer Y1, Integer X2, Integer Y2,
                             Integer X3, Integer Y3, Integer X4, Integer Y4) {
  const long long L = std::min(X1, X2), R = std::max(X1, X2);
  const long long T = std::min(Y1, Y2), B = std::max(Y1, Y2);
  if (!Canvas->Bitmap() || R <= L || B <= T) {
    Canvas->Arc(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    return;
  }
  // Directions and centre as the canvas measures them: pixel (x, y) covers x .. x + 1.
  const double lr = double(L + R), tb = double(T + B);
  const double rx = double(R - L) / 2, ry = double(B - T) / 2;
  // The canvas cuts the ellipse along rays through the given points; the chords walk
  // the ellipse's parameter, which on a squeezed ellipse differs from the ray's angle.
  const double d0 = std::atan2(-(2.0 * Y3 - tb), 2.0 * X3 - lr);
  const double d1 = std::atan2(-(2.0 * Y4 - tb), 2.0 * X4 - lr);
  auto param = [&](double a) { return std::atan2(rx * std::sin(a), ry * std::cos(a)); };
  const double a0 = param(d0), a1 = param(d1);
  const bool whole = d0 == d1;
  double span = 2 * M_PI;
  if (!whole) {
    span = std::fmod(a1 - a0, 2 * M_PI);
    if (span < 0) span += 2 * M_PI;
  }
  const double n = std::ceil(span * std::max(rx, ry) / kChord);
  if (!(n < double(kMaxArcPoints))) {
    Canvas->Arc(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    return;
  }
  const int steps = std::max(1, int(n));
  const double cx = lr / 2 - 0.5, cy = tb / 2 - 0.5;
  FArcPoints.clear();
  for (int i = 0; i <= steps; ++i) {
    const double t = a0 + span * i / steps;
    FArcPoints.push_back(TPoint{ClampPix(Round((long double)(cx + rx * std::cos(t)))),
                                ClampPix(Round((long double)(cy - ry * std::sin(t))))});
  }
  // The polyline leaves its last pixel out, the arc does not.
  FArcPoints.push_back(FArcPoints.back());
  ++FArcPoints.back().X;
  Canvas->Polyline(FArcPoints);
}

void TSmithChart::InitGraf(TCanvas* Canvas, Integer Left, Integer Top, Integer Width,
                           Integer Height) {
  TCustomZUvado::InitGraf(Canvas, Left, Top, Width, Height);
  DrawDiagram(Canvas, Left, Top);
}

void TSmithChart::DrawDiagram(TCanvas* Canvas, Integer OffX, Integer OffY) {
  // The chart's own mapping of pair 1, shifted from control pixels to the canvas.
  const TLayerMap m = LayerMap(1);
  const double sx = double(OffX) - MarginLeft(), sy = double(OffY) - MarginTop();
  auto fx = [&](double u) { return m.X.Pixel(u) + sx; };
  auto fy = [&](double v) { return m.Y.Pixel(v) + sy; };
  auto far = [](double p) { return !(std::fabs(p) < kFarPixel); };
  // Rounded like R2M: the pixel of the world point, then the shift.
  auto px = [&](double u) { return Integer(m.X.Map(u) + int64_t(OffX) - MarginLeft()); };
  auto py = [&](double v) { return Integer(m.Y.Map(v) + int64_t(OffY) - MarginTop()); };
  if (far(fx(-1)) || far(fx(1)) || far(fy(-1)) || far(fy(1))) return;

  TPen& pen = *Canvas->Pen();
  TBrush& brush = *Canvas->Brush();
  pen.SetStyle(psSolid);
  pen.SetMode(pmCopy);
  pen.SetWidth(1);
  pen.SetColor(FGridColDark);
  brush.SetStyle(bsSolid);
  brush.SetColor(FDiagramColor);
  Canvas->SetFont(Font());
  SetTextAlign(Canvas->Handle(), 0);

  const Integer cx = px(0), cy = py(0);
  Canvas->Ellipse(px(-1), py(-1), px(1), py(1));
  Canvas->MoveTo(px(-1), cy);
  Canvas->LineTo(px(1), cy);

  const Integer level = LabelLevel(px(1) - px(-1));
  brush.SetStyle(bsClear);

  // Resistance circles: the arc runs counterclockwise from +phi through the leftmost
  // point to -phi, so the part within phi of Γ = 1 is left out.
  for (const DiagramRow& row : kRows) {
    pen.SetColor(row.dark ? FGridColDark : FGridColLight);
    const double c = row.value / (1 + row.value), rho = 1 / (1 + row.value);
    if (far(fx(c + rho)) || far(fy(rho))) continue;
    const Integer x1 = px(c - rho), y1 = py(-rho), x2 = px(c + rho), y2 = py(rho);
    if (row.phi >= M_PI) {
      // Start and end in one point draw the whole circle; two points a rounding apart
      // would leave a gap at the left.
      DiagramArc(Canvas, x1, y1, x2, y2, px(c + 1), cy, px(c + 1), cy);
      continue;
    }
    const double co = std::cos(row.phi), si = std::sin(row.phi);
    DiagramArc(Canvas, x1, y1, x2, y2, px(c + co), py(si), px(c + co), py(-si));
  }

  if (Canvas == Printer().Canvas()) {
    Canvas->Font()->SetPixelsPerInch(Screen().PixelsPerInch());
    Canvas->Font()->SetSize(Font()->Size());
    Canvas->Font()->SetPixelsPerInch(GetDeviceCaps(Canvas->Handle(), LOGPIXELSY));
  }

  // A label centred on (x, y), halves truncated.
  auto centred = [&](Integer x, Integer y, const std::string& s) {
    Canvas->TextOut(x - Canvas->TextWidth(s) / 2, y - Canvas->TextHeight(s) / 2, s);
  };
  // A point moved kLabelGap pixels away from the centre along the line through both;
  // Up: the label of the upper half.
  auto outward = [&](Integer x, Integer y, bool Up) {
    if (x == cx) return TPoint{x, Up ? y - Integer(kLabelGap) : y + Integer(kLabelGap)};
    const double s = (double(y) - cy) / (double(x) - cx);
    const double dx = kLabelGap / std::sqrt(s * s + 1);
    const double dy = s == 0 ? 0 : kLabelGap / std::sqrt(1 / (s * s) + 1);
    const bool right = Up ? s < 0 : !(s < 0);
    const double nx = right ? x + dx : x - dx;
    const double ny = Up ? y - dy : y + dy;
    return TPoint{ClampPix(Round((long double)nx)), ClampPix(Round((long double)ny))};
  };

  // Reactance arcs: circles of centre (1, ±q) and radius q, from where they meet the
  // unit circle to the direction of (t, 0).
  for (size_t k = 1; k < kRows.size(); ++k) {
    const DiagramRow& row = kRows[k];
    pen.SetColor(row.dark ? FGridColDark : FGridColLight);
    const double q = 1 / row.value;
    const double pu = (1 - q * q) / (1 + q * q), pv = 2 * q / (1 + q * q);
    const bool labelled = row.level <= level;
    const std::string text = labelled ? LabelText(row.value) : std::string();
    const std::string neg = labelled ? LabelText(-row.value) : std::string();
    if (far(fx(1 + q)) || far(fy(2 * q)) || far(fy(-2 * q))) continue;
    const Integer bl = px(1 - q), br = px(1 + q), e = px(row.t);
    const Integer P_x = px(pu), P_y = py(pv), Q_y = py(-pv);
    DiagramArc(Canvas, bl, cy, br, py(2 * q), P_x, P_y, e, cy);
    if (labelled) {
      const TPoint a = outward(P_x, P_y, true);
      centred(a.X, a.Y, text);
    }
    DiagramArc(Canvas, bl, py(-2 * q), br, cy, e, cy, P_x, Q_y);
    if (labelled) {
      const TPoint a = outward(P_x, Q_y, false);
      centred(a.X, a.Y, neg);
    }
  }

  // Resistance labels on the real axis, on an opaque background.
  brush.SetStyle(bsSolid);
  brush.SetColor(FDiagramColor);
  for (const DiagramRow& row : kRows) {
    if (row.level > level) continue;
    centred(px((row.value - 1) / (row.value + 1)), cy, LabelText(row.value));
  }
}

}  // namespace kvr
