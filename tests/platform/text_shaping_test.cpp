#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/detail/bidi.h"
#include "platform/detail/font_engine.h"
#include "platform/svgcanvas.h"
#include "tests/platform/raster_util.h"

using namespace kvr;
using kvr::test::snapshot;

namespace {

struct Ink {
  int left = 1 << 30, right = -1;  // right is exclusive
  int pixels = 0;
};

Ink ink_of(const TBitmap& b) {
  Ink k;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.Canvas()->Pixels(x, y) != clWhite) {
        k.left = std::min(k.left, x);
        k.right = std::max(k.right, x + 1);
        ++k.pixels;
      }
  return k;
}

// The text drawn in black on white at x, without a background.
void draw(TBitmap& b, int x, const std::string& text, int size = 20, bool kerning = false) {
  TCanvas& c = *b.Canvas();
  c.Brush()->SetStyle(bsClear);
  c.Font()->SetSize(size);
  c.Font()->SetKerning(kerning);
  c.TextOut(x, 2, text);
}

std::vector<uint32_t> clusters(const TFont& f, const std::string& text) {
  std::vector<uint32_t> out;
  for (const detail::ShapedGlyph& g : detail::shape_text(f, text)) out.push_back(g.cluster);
  return out;
}

bool have_face_for(char32_t cp) { return detail::fallback_face("DejaVu Sans", false, false, cp); }

TEST(TextShaping, KerningNarrowsPairsOnlyWhenTheFontAsksForIt) {
  TBitmap b(10, 10);
  TCanvas& c = *b.Canvas();
  c.Font()->SetSize(20);
  int letters = 0;
  for (char ch : std::string("AVATAR")) letters += c.TextWidth(std::string(1, ch));
  // The classic layout adds up letter by letter, kerning pairs included.
  const int classic = c.TextWidth("AVATAR");
  EXPECT_EQ(classic, letters);
  c.Font()->SetKerning(true);
  const int kerned = c.TextWidth("AVATAR");
  EXPECT_LT(kerned, classic - 3);

  // The drawing follows the measure: the ink ends where the width says.
  TBitmap plain(300, 40), tight(300, 40);
  draw(plain, 0, "AVATAR");
  draw(tight, 0, "AVATAR", 20, true);
  const Ink p = ink_of(plain), t = ink_of(tight);
  EXPECT_NEAR(p.right, classic, 2);
  EXPECT_NEAR(t.right, kerned, 2);
  EXPECT_LT(t.right, p.right - 3);

  // Copies of a font keep the choice.
  TFont copy;
  copy.Assign(c.Font());
  EXPECT_TRUE(copy.Kerning());
  EXPECT_EQ(detail::text_width(copy, "AVATAR"), kerned);
}

TEST(TextShaping, MissingCharactersComeFromAnotherFaceOrShowTheReplacement) {
  if (!have_face_for(U'中')) GTEST_SKIP() << "no installed face has CJK characters";
  TFont f;
  f.SetSize(20);
  const auto glyphs = detail::shape_text(f, "中文");
  ASSERT_EQ(glyphs.size(), 2u);
  EXPECT_NE(glyphs[0].glyph, 0u);
  EXPECT_NE(glyphs[0].glyph, glyphs[1].glyph);
  EXPECT_NE(glyphs[0].face->family, detail::font_family(f));
  EXPECT_FALSE(glyphs[0].face->file.empty());
  // A CJK character is about one em wide; the two glyphs are real, different ones and
  // not the replacement box the requested face would show.
  EXPECT_NEAR(detail::text_width(f, "中文"), 2 * f.PixelSize(), 4);
  TBitmap zh(80, 40), wen(80, 40), box(80, 40);
  draw(zh, 0, "中");
  draw(wen, 0, "文");
  draw(box, 0, "\uFFFD");
  EXPECT_NE(snapshot(zh), snapshot(wen));
  EXPECT_NE(snapshot(zh), snapshot(box));
  EXPECT_GT(ink_of(zh).pixels, 40);

  // A character no face has (U+0378 is unassigned) still shows the replacement glyph,
  // and a Latin text around a fallback character keeps its own face.
  TBitmap none(80, 40);
  draw(none, 0, "\u0378");
  EXPECT_EQ(snapshot(none), snapshot(box));
  const auto mixed = detail::shape_text(f, "a中b");
  ASSERT_EQ(mixed.size(), 3u);
  EXPECT_EQ(mixed[0].face, mixed[2].face);
  EXPECT_NE(mixed[0].face, mixed[1].face);
}

TEST(TextShaping, RightToLeftTextRunsFromTheRight) {
  TFont f;
  f.SetSize(20);
  // Visual order: the first character's glyph is the rightmost one.
  EXPECT_EQ(clusters(f, "אבג"), (std::vector<uint32_t>{4, 2, 0}));
  // Numbers read left to right inside right-to-left text; neutrals between the two
  // take their direction, the space after the Latin word stays with it.
  EXPECT_EQ(clusters(f, "abc אבג 123"),
            (std::vector<uint32_t>{0, 1, 2, 3, 11, 12, 13, 10, 8, 6, 4}));

  // Drawn: the pair is the second letter at the left and the first one at its right.
  TBitmap pair(120, 40), apart(120, 40);
  draw(pair, 10, "אב");
  TCanvas& c = *apart.Canvas();
  draw(apart, 10, "ב");
  draw(apart, 10 + c.TextWidth("ב"), "א");
  EXPECT_EQ(snapshot(pair), snapshot(apart));

  // Arabic letters join: a letter between two others takes another form than alone,
  // and a wholly Arabic label still starts at the right.
  const std::string beh = "ب";
  const auto alone = detail::shape_text(f, beh);
  ASSERT_EQ(alone.size(), 1u);
  const uint32_t isolated = alone[0].glyph;
  const auto joined = detail::shape_text(f, beh + beh + beh);
  ASSERT_EQ(joined.size(), 3u);
  EXPECT_NE(joined[1].glyph, isolated);
  EXPECT_EQ(joined[2].cluster, 0u);
  const auto word = clusters(f, "سلام");
  ASSERT_FALSE(word.empty());
  EXPECT_EQ(word.back(), 0u);
}

TEST(TextShaping, BidiLevelsAndOrder) {
  using C = detail::BidiClass;
  auto levels = [](std::vector<C> cls) {
    std::vector<uint8_t> lv(cls.size());
    detail::resolve_bidi_levels(cls.data(), lv.data(), cls.size());
    return lv;
  };
  // A right-to-left paragraph: a mark follows its base, the Latin word and the number
  // keep their own direction, a neutral between L and R takes the paragraph's.
  EXPECT_EQ(levels({C::N, C::R, C::NSM, C::N, C::L, C::N, C::R, C::N, C::EN}),
            (std::vector<uint8_t>{1, 1, 1, 1, 2, 1, 1, 1, 2}));
  // A number after a Latin word belongs to it, even in a right-to-left paragraph.
  EXPECT_EQ(levels({C::R, C::N, C::L, C::N, C::EN}), (std::vector<uint8_t>{1, 1, 2, 2, 2}));
  // Left to right: a number after Latin text is part of it.
  EXPECT_EQ(levels({C::L, C::N, C::EN, C::N, C::R}), (std::vector<uint8_t>{0, 0, 0, 0, 1}));
  EXPECT_EQ(levels({}), std::vector<uint8_t>{});

  std::vector<uint8_t> lv = {0, 1, 1, 2, 2, 1, 0};
  std::vector<int> order(lv.size());
  detail::bidi_visual_order(lv.data(), order.data(), lv.size());
  EXPECT_EQ(order, (std::vector<int>{0, 5, 3, 4, 2, 1, 6}));
}

TEST(TextShaping, MarksSitOnTheirBaseWithoutAdvancing) {
  TBitmap b(10, 10);
  TCanvas& c = *b.Canvas();
  c.Font()->SetSize(20);
  // Marks may compose with their base into another glyph (whose kerning with its
  // neighbours differs), so the run with neighbours is measured without kerning.
  EXPECT_EQ(c.TextWidth("xe\u0301\u0323y"), c.TextWidth("xey"));
  EXPECT_EQ(c.TextWidth("q\u0301\u20DD"), c.TextWidth("q"));
  for (bool kerning : {false, true}) {
    c.Font()->SetKerning(kerning);
    EXPECT_EQ(c.TextWidth("e\u0301"), c.TextWidth("e"));
  }
  TBitmap plain(60, 40), marked(60, 40);
  draw(plain, 5, "e");
  draw(marked, 5, "e\u0301");
  const Ink p = ink_of(plain), m = ink_of(marked);
  EXPECT_GT(m.pixels, p.pixels + 5);
  // The accent stays over the letter.
  EXPECT_GE(m.left, p.left - 1);
  EXPECT_LE(m.right, p.right + 1);
}

TEST(TextShaping, WidthIsTheDrawnExtentInEveryScript) {
  std::vector<std::string> texts = {"Frequency", "AVATAR", "אבג", "سلام عليكم", "Ωμέγα"};
  if (have_face_for(U'中')) texts.push_back("波形 中文");
  for (bool kerning : {false, true})
    for (const std::string& s : texts) {
      TBitmap b(400, 50);
      TCanvas& c = *b.Canvas();
      c.Font()->SetKerning(kerning);
      c.Font()->SetSize(20);
      const int w = c.TextWidth(s);
      long long pen = 0;
      for (const detail::ShapedGlyph& g : detail::shape_text(*c.Font(), s)) pen += g.x_advance;
      EXPECT_EQ(w, (pen + 32) >> 6) << s;
      // Right-aligned at 300, the ink ends at the point and starts about a width left.
      SetTextAlign(c.Handle(), TA_RIGHT | TA_TOP);
      draw(b, 300, s, 20, kerning);
      const Ink k = ink_of(b);
      EXPECT_LE(k.right, 301) << s;
      EXPECT_GE(k.right, 300 - 3) << s;
      EXPECT_NEAR(k.left, 300 - w, 3) << s;
    }
}

TEST(TextShaping, SvgNamesTheFallbackFacesAndKeepsTheMeasuredWidth) {
  if (!have_face_for(U'中')) GTEST_SKIP() << "no installed face has CJK characters";
  TMetafileCanvas mf(300, 80);
  mf.Font()->SetSize(12);
  mf.TextOut(3, 3, "Latin only");
  const std::string text = "Spannung 电压";
  mf.TextOut(3, 30, text);
  const std::string svg = mf.SvgText();
  const std::string fallback = detail::shape_text(*mf.Font(), "电").front().face->family;
  const size_t latin = svg.find("Latin only"), mixed = svg.find("Spannung");
  ASSERT_NE(mixed, std::string::npos);
  const size_t mixed_start = svg.rfind("<text", mixed), latin_start = svg.rfind("<text", latin);
  const std::string mixed_tag = svg.substr(mixed_start, mixed - mixed_start);
  const std::string latin_tag = svg.substr(latin_start, latin - latin_start);
  EXPECT_NE(mixed_tag.find("'" + fallback + "'"), std::string::npos) << mixed_tag;
  EXPECT_NE(mixed_tag.find("textLength=\"" + std::to_string(mf.TextWidth(text)) + "\""),
            std::string::npos) << mixed_tag;
  EXPECT_EQ(latin_tag.find("textLength"), std::string::npos) << latin_tag;
  EXPECT_EQ(latin_tag.find(fallback), std::string::npos) << latin_tag;
}

}  // namespace
