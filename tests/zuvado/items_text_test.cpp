// Text items: the short Windows-1252 field, long-text slots and their exhaustion.
#include <gtest/gtest.h>

#include <string>

#include "zu_test_util.h"
#include "zuvado/cp1252.h"

using namespace kvr;
using kvr::test::ProbeChart;

namespace {
std::string ShortText(const TrcChartItem& it) { return std::string(it.Text.View()); }
}  // namespace

TEST(ZuText, ShortTextStaysInTheItem) {
  TZUvado c(nullptr);
  c.Text(1.0, 2.0, 12, "fifteen chars!!");
  const TrcChartItem it = c.DataContainer(0);
  EXPECT_EQ(it.ItemKind, tkText);
  EXPECT_EQ(ShortText(it), "fifteen chars!!");
  EXPECT_EQ(it.LWid, 0);
  EXPECT_EQ(c.NumLongTextsData(), 0);
  EXPECT_EQ(c.DataLongText(0), "fifteen chars!!");
  EXPECT_EQ(c.ItemCount(tkText), 1);
}

TEST(ZuText, SixteenCharactersTakeTheFirstSlot) {
  TZUvado c(nullptr);
  c.Text(1.0, 2.0, 12, "sixteen chars!!!");
  const TrcChartItem it = c.DataContainer(0);
  EXPECT_EQ(ShortText(it), "sixteen chars!!");
  EXPECT_EQ(it.LWid, 1);
  EXPECT_EQ(c.DataLongText(0), "sixteen chars!!!");
}

TEST(ZuText, SlotsRunOutAfterFiftyPerContainer) {
  TZUvado c(nullptr);
  for (int i = 1; i <= 51; ++i) c.Text(0.0, 0.0, 8, "long text number " + std::to_string(i));
  EXPECT_EQ(c.NumLongTextsData(), 50);
  EXPECT_EQ(c.DataContainer(0).LWid, 1);
  EXPECT_EQ(c.DataContainer(49).LWid, 50);
  EXPECT_EQ(c.DataLongText(49), "long text number 50");
  EXPECT_EQ(c.DataContainer(50).LWid, 0);
  EXPECT_EQ(c.DataLongText(50), "long text numbe");
  // The annotation container has slots of its own.
  c.SetAnnoMode(true);
  c.Text(0, 0, 8, "an annotation beyond fifteen");
  EXPECT_EQ(c.AnnoContainer(0).LWid, 1);
  EXPECT_EQ(c.AnnoLongText(0), "an annotation beyond fifteen");
  EXPECT_EQ(c.NumLongTextsData(), 50);
}

TEST(ZuText, RewritingReusesTheItemsSlotAndShortTextLeavesIt) {
  ProbeChart c;
  c.Text(0.0, 0.0, 8, "first long text here");
  c.Text(0.0, 0.0, 8, "second long text here");
  c.SetDataLongText(0, "first, rewritten and long");
  EXPECT_EQ(c.DataContainer(0).LWid, 1);
  EXPECT_EQ(c.NumLongTextsData(), 2);
  EXPECT_EQ(c.DataLongText(0), "first, rewritten and long");
  c.SetDataLongText(0, "short");
  EXPECT_EQ(c.DataContainer(0).LWid, 0);
  EXPECT_EQ(c.DataLongText(0), "short");
  // The released slot is not handed out again.
  c.SetDataLongText(0, "long once more, for a new slot");
  EXPECT_EQ(c.DataContainer(0).LWid, 3);
  EXPECT_EQ(c.paints, 0);
}

TEST(ZuText, LongTextOfNonTextItemsIsEmptyAndNotWritable) {
  ProbeChart c;
  c.MarkAt(1.0, 1.0, 3);
  c.SetDataLongText(0, "a long text that must not land anywhere");
  EXPECT_EQ(c.DataLongText(0), "");
  EXPECT_EQ(c.NumLongTextsData(), 0);
  EXPECT_EQ(c.DataContainer(0).LWid, 1);
  c.SetAnnoMode(true);
  c.Line(0, 0, 1, 1);
  c.SetAnnoLongText(0, "a long text that must not land anywhere");
  EXPECT_EQ(c.AnnoLongText(0), "");
  EXPECT_EQ(c.NumLongTextsAnno(), 0);
}

// A slot number that no slot backs (written by the application) reads as the short
// text and is replaced by a real slot when a long text is written.
TEST(ZuText, BogusSlotNumbersAreNeverDereferenced) {
  TZUvado c(nullptr);
  c.Text(0.0, 0.0, 8, "abc");
  TrcChartItem it = c.DataContainer(0);
  for (Integer bogus : {51, -3, 1000000}) {
    it.LWid = bogus;
    c.SetDataContainer(0, it);
    EXPECT_EQ(c.DataLongText(0), "abc");
  }
  c.SetDataLongText(0, "now a really long text");
  EXPECT_EQ(c.DataContainer(0).LWid, 1);
  EXPECT_EQ(c.DataLongText(0), "now a really long text");
}

TEST(ZuText, ShortFieldIsWindows1252) {
  TZUvado c(nullptr);
  c.Text(0.0, 0.0, 8, "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC");  // "été €"
  const TrcChartItem it = c.DataContainer(0);
  EXPECT_EQ(ShortText(it), "\xE9t\xE9 \x80");
  EXPECT_EQ(it.LWid, 0);
  EXPECT_EQ(c.DataLongText(0), "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC");
}

// Characters the code page lacks would be lost in the short field, so such a text
// keeps its full form in a slot even when it is short.
TEST(ZuText, UnrepresentableCharactersKeepTheFullTextInASlot) {
  TZUvado c(nullptr);
  const std::string greek = "\xCE\xB1 = 0.5";  // "α = 0.5"
  c.Text(0.0, 0.0, 8, greek);
  const TrcChartItem it = c.DataContainer(0);
  EXPECT_EQ(ShortText(it), "? = 0.5");
  EXPECT_EQ(it.LWid, 1);
  EXPECT_EQ(c.DataLongText(0), greek);
}

TEST(ZuText, FifteenCharactersCountCodePointsNotBytes) {
  TZUvado c(nullptr);
  std::string s;
  for (int i = 0; i < 15; ++i) s += "\xC3\xBC";  // ü
  c.Text(0.0, 0.0, 8, s);
  EXPECT_EQ(c.DataContainer(0).LWid, 0);
  EXPECT_EQ(c.DataContainer(0).Text.Len, 15);
  c.Text(0.0, 0.0, 8, s + "\xC3\xBC");
  EXPECT_EQ(c.DataContainer(1).LWid, 1);
  EXPECT_EQ(c.DataContainer(1).Text.Len, 15);
}

TEST(ZuText, Cp1252ConversionRules) {
  using detail::cp1252_to_utf8;
  using detail::utf8_to_cp1252;
  // Every byte decodes and encodes back to itself.
  std::string all;
  for (int b = 0; b < 256; ++b) all += char(b);
  const auto back = utf8_to_cp1252(cp1252_to_utf8(all), 1000);
  EXPECT_EQ(back.bytes, all);
  EXPECT_TRUE(back.exact);
  EXPECT_EQ(back.chars, 256u);
  // One '?' per unrepresentable character and per malformed byte.
  const auto r = utf8_to_cp1252("a\xE2\x88\x9E" "b\xF0\x9F\x98\x80" "c\xFF\xC3" "d", 100);
  EXPECT_EQ(r.bytes, "a?b?c??d");
  EXPECT_FALSE(r.exact);
  EXPECT_EQ(r.chars, 8u);
  // C1 controls whose byte means a typographic character are not passed through.
  EXPECT_EQ(utf8_to_cp1252("\xC2\x80", 5).bytes, "?");
  EXPECT_EQ(utf8_to_cp1252("\xC2\x81", 5).bytes, "\x81");
  // Overlong forms and surrogates are malformed.
  EXPECT_EQ(utf8_to_cp1252("\xC0\xAF", 5).bytes, "??");
  EXPECT_EQ(utf8_to_cp1252("\xED\xA0\x80", 5).bytes, "???");
  // Only the prefix is converted, but every character is counted.
  const auto p = utf8_to_cp1252("abcdef\xE2\x84\xA2", 3);
  EXPECT_EQ(p.bytes, "abc");
  EXPECT_EQ(p.chars, 7u);
  EXPECT_TRUE(p.exact);  // the trade mark sign is in the code page (0x99)
}
