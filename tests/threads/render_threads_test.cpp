// Drawing on several threads at once: every thread owns its controls and bitmaps, and
// each picture must come out exactly as the same picture drawn alone.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "colorscale/colorscale.h"
#include "gauge/gauge.h"
#include "platform/bitmap.h"
#include "platform/svgcanvas.h"
#include "scale/scale.h"
#include "thread_util.h"
#include "zuvado/zuvado.h"

namespace kvr {
namespace {

using Picture = std::vector<uint32_t>;

Picture pixels(const TBitmap& b) {
  Picture out(size_t(b.Width()) * size_t(b.Height()) + 2);
  out[0] = uint32_t(b.Width());
  out[1] = uint32_t(b.Height());
  if (!out.empty() && b.Width() > 0 && b.Height() > 0)
    std::memcpy(out.data() + 2, b.Bits(), (out.size() - 2) * sizeof(uint32_t));
  return out;
}

// Variant v changes fonts, sizes and texts, so that threads drawing different variants
// fill their caches with different glyphs at the same time.
const char* const kFonts[] = {"DejaVu Sans", "DejaVu Serif", "DejaVu Sans Mono", "No Such Font"};

Picture chart(int v) {
  TZUvado c(nullptr);
  c.SetBounds(0, 0, 360, 260);
  c.CreateWnd();
  c.Font()->SetName(kFonts[v % 4]);
  c.TextFont()->SetName(kFonts[(v + 2) % 4]);
  c.SetRange(1, -5, 0.5, 5 + v, 120);
  c.SetCaption("Run " + std::to_string(v) + " — µV");
  c.Scale1X()->SetCaption("t [s]");
  c.Scale1Y()->SetCaption("Amplitude");
  c.SetDataColor(clBlue);
  c.MoveTo(-5.0, 1.0);
  for (int i = 0; i <= 40; ++i) c.DrawTo(-5 + 0.25 * (10 + v) * i / 10, 1.0 + (i * i * (v + 1)) % 117);
  c.Text(-4.0, 100.0, 9 + v, "Peak ½ Å");
  c.Text(0.0, 60.0, 14 - v, "Ünïcode ✓ " + std::to_string(v * 37));
  c.MarkAt(1.5, 30.0, 3);
  c.AddTextLabel(0.0, 80.0, clRed, "label " + std::to_string(v), 0);
  c.ShowGraf();
  TBitmap bmp;
  c.CopyToBitmap(&bmp, false);
  return pixels(bmp);
}

Picture scale(int v) {
  TScale s(nullptr);
  s.SetBounds(0, 0, 320, 60 + 4 * v);
  s.CreateWnd();
  s.Font()->SetName(kFonts[(v + 1) % 4]);
  s.Font()->SetSize(7 + v);
  s.SetRangeLow(-0.001 * (v + 1));
  s.SetRangeHigh(1234.5 * (v + 1));
  s.SetCaption("Frequency / Hz");
  s.Repaint();
  return pixels(*s.Surface());
}

Picture gauge(int v) {
  TScaleGauge g(nullptr);
  g.SetBounds(0, 0, 300, 75);
  g.CreateWnd();
  g.SetCaption("Pressure " + std::to_string(v));
  g.SetValue(-7.5 + 4 * v);
  g.SetIndexMode(v % 2 ? gimThreadTriangle : gimTriangle);
  g.Repaint();
  return pixels(*g.Surface());
}

Picture colour_scale(int v) {
  TColorScale cs(nullptr);
  cs.SetBounds(0, 0, 300, 80);
  cs.CreateWnd();
  cs.ColorArray.FillByInterpolation(1, {clBlue, clYellow, clRed});
  cs.SetScaleRange(0, 50 * (v + 1));
  cs.SetCaption("K");
  cs.Repaint();
  return pixels(*cs.Surface());
}

Picture text_bitmap(int v) {
  TBitmap bmp(300, 120);
  TCanvas& c = *bmp.Canvas();
  c.Brush()->SetStyle(bsClear);
  const TFontStyles styles[] = {TFontStyles{}, TFontStyles{fsBold}, TFontStyles{fsItalic, fsUnderline},
                                TFontStyles{fsBold, fsItalic, fsStrikeOut}};
  for (int i = 0; i < 4; ++i) {
    c.Font()->SetName(kFonts[(v + i) % 4]);
    c.Font()->SetStyle(styles[(v + i) % 4]);
    c.Font()->SetSize(8 + 3 * i + v);
    c.Font()->SetColor(i % 2 ? clNavy : clMaroon);
    c.TextOut(4 + v, 4 + 28 * i, "Glyph 0123 ÄÖÜ ∑ " + std::to_string(i * v));
  }
  return pixels(bmp);
}

// Shaped text: fallback faces, right-to-left runs, marks and kerning, so that threads
// open fallback faces and fill their caches with them at the same time.
Picture shaped_text(int v) {
  TBitmap bmp(320, 130);
  TCanvas& c = *bmp.Canvas();
  c.Brush()->SetStyle(bsClear);
  const char* const texts[] = {"AVATAR Wave", "电压 / V", "سلام 42", "Ωμέγα ñ é\u0301", "אבג (12)"};
  for (int i = 0; i < 4; ++i) {
    c.Font()->SetName(kFonts[(v + i) % 4]);
    c.Font()->SetSize(9 + 2 * i + v);
    c.Font()->SetKerning((v + i) % 2 == 1);
    c.TextOut(4 + v, 4 + 30 * i, texts[(v + i) % 5]);
  }
  return pixels(bmp);
}

// The same text through the vector back end: widths and family names per thread.
std::string text_svg(int v) {
  TMetafileCanvas mf(200, 80);
  mf.Font()->SetName(kFonts[v % 4]);
  mf.Font()->SetSize(9 + v);
  mf.TextOut(3, 3, "Vector text " + std::to_string(v));
  mf.Font()->SetStyle(TFontStyles{fsBold});
  mf.TextOut(3, 40, "bold ∫");
  mf.TextOut(3, 60, "波形 " + std::to_string(v));
  return mf.SvgText();
}

constexpr int kVariants = 4;

struct Scene {
  const char* name;
  std::function<Picture(int)> draw;
};

const std::vector<Scene>& scenes() {
  static const std::vector<Scene> all = {
      {"chart", chart}, {"scale", scale}, {"gauge", gauge}, {"colour scale", colour_scale},
      {"text bitmap", text_bitmap}, {"shaped text", shaped_text}};
  return all;
}

TEST(ThreadsRender, PicturesDrawnOnFourThreadsMatchThoseDrawnAlone) {
  // References first, on this thread alone.
  std::vector<std::vector<Picture>> want(scenes().size());
  std::vector<std::string> want_svg;
  for (size_t s = 0; s < scenes().size(); ++s)
    for (int v = 0; v < kVariants; ++v) want[s].push_back(scenes()[s].draw(v));
  for (int v = 0; v < kVariants; ++v) want_svg.push_back(text_svg(v));

  // Each thread takes every other scene and variant, starting at a different one, so
  // that different threads draw different pictures with different fonts at the same
  // moment, and every picture is drawn by two threads.
  std::vector<std::vector<std::string>> wrong(kThreads);
  test::run_together(kThreads, [&](int t) {
    const int n = int(scenes().size()) * kVariants;
    for (int k = 0; k < n; k += 2) {
      const int job = (k + t * 5) % n;
      const size_t s = size_t(job / kVariants);
      const int v = job % kVariants;
      if (scenes()[s].draw(v) != want[s][size_t(v)])
        wrong[size_t(t)].push_back(std::string(scenes()[s].name) + " " + std::to_string(v));
      if (text_svg(v) != want_svg[size_t(v)]) wrong[size_t(t)].push_back("svg " + std::to_string(v));
    }
  });
  for (int t = 0; t < kThreads; ++t)
    EXPECT_TRUE(wrong[size_t(t)].empty()) << "thread " << t << " first differs in " << wrong[size_t(t)][0];
}

// A thread's first text starts from empty caches; short-lived threads must each get
// the same glyphs as a long-lived one, and their caches must go away with them.
TEST(ThreadsRender, ShortLivedThreadsDrawTheSameText) {
  const Picture want = text_bitmap(1);
  for (int round = 0; round < 3; ++round) {
    std::vector<Picture> got(kThreads);
    test::run_together(kThreads, [&](int t) { got[size_t(t)] = text_bitmap(1); });
    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(got[size_t(t)], want) << "round " << round << " thread " << t;
  }
}

}  // namespace
}  // namespace kvr
