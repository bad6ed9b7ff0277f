// Chart item files, the text listing, item descriptions and copying annotations.
#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "zuvado/zuvado.h"
#include "tests/test_out.h"

namespace kvr {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::byte>;

std::string out_file(const std::string& name) { return test_out_file(name, "files"); }

Bytes read_file(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::vector<char> raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Bytes b(raw.size());
  std::memcpy(b.data(), raw.data(), raw.size());
  return b;
}

// Offset of the first differing byte, or -1 when both are equal.
long first_difference(const Bytes& a, const Bytes& b) {
  for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
    if (a[i] != b[i]) return long(i);
  return a.size() == b.size() ? -1 : long(std::min(a.size(), b.size()));
}

// A record image put together from the layout table, independently of the writer.
struct HandRecord {
  Bytes b = Bytes(104);
  HandRecord& i32(size_t off, int32_t v) {
    for (int k = 0; k < 4; ++k) b[off + size_t(k)] = std::byte(uint32_t(v) >> (8 * k));
    return *this;
  }
  HandRecord& f64(size_t off, double v) {
    const uint64_t u = std::bit_cast<uint64_t>(v);
    for (int k = 0; k < 8; ++k) b[off + size_t(k)] = std::byte(u >> (8 * k));
    return *this;
  }
  HandRecord& u8(size_t off, unsigned v) {
    b[off] = std::byte(v);
    return *this;
  }
  HandRecord& text(const std::string& t) {
    u8(70, unsigned(t.size()));
    std::memcpy(b.data() + 71, t.data(), t.size());
    return *this;
  }
  // The cleared defaults: FillColor white, ShadowColor gray, HiLightColor white, layer 1.
  static HandRecord cleared() {
    HandRecord r;
    r.i32(36, 0xFFFFFF).i32(40, 0x808080).i32(44, 0xFFFFFF).i32(64, 1);
    return r;
  }
  static HandRecord header(const char* mark, int32_t n, int32_t m) {
    HandRecord r = cleared();
    r.i32(56, -2).text(mark).i32(88, n).i32(92, m);
    return r;
  }
};

Bytes concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

Bytes text_bytes(const std::string& s) {
  Bytes b(s.size());
  std::memcpy(b.data(), s.data(), s.size());
  return b;
}

bool same_record(const TrcChartItem& a, const TrcChartItem& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

class ZuFiles : public ::testing::Test {
 protected:
  TZUvado chart{nullptr};
  TZUvado other{nullptr};
};

TEST_F(ZuFiles, WrittenFileEqualsTheLayoutTableByteForByte) {
  chart.SetDataColor(0x0000FF);
  chart.SetDataTag(-1);
  chart.SetClassDefault(7);
  chart.SetActiveLayer(2);
  chart.MarkAt(1.5, -2.25, 3);
  chart.SetActiveLayer(1);
  chart.SetFillColor(0x112233);
  chart.SetTransparentItems(true);
  chart.Ellipse(10.0, 20.0, 3.0, 4.0);
  chart.SetDataTag(0);
  chart.SetClassDefault(0);
  chart.SetDataColor(0);
  chart.Text(5.0, 6.0, 12, "A text longer than fifteen");
  chart.SaveData(out_file("layout.dat"));

  HandRecord mark;
  mark.f64(0, 1.5).f64(8, -2.25).i32(32, 0x0000FF).i32(52, -1).i32(56, 1).u8(60, 7).u8(61, 1)
      .i32(64, 2).i32(96, 3);
  HandRecord ellipse;
  ellipse.f64(0, 10).f64(8, 20).f64(16, 3).f64(24, 4).i32(32, 0x0000FF).i32(36, 0x112233)
      .i32(52, -1).i32(56, 1).u8(60, 7).u8(61, 9).i32(64, 1).u8(68, 1);
  HandRecord text;
  text.f64(0, 5).f64(8, 6).i32(36, 0x112233).i32(56, 1).u8(61, 7).i32(64, 1)
      .text("A text longer t").i32(88, 12).i32(92, 0).i32(96, 2);
  const Bytes expected =
      concat({HandRecord::header("[DATAFORMAT]", 3, 1).b, mark.b, ellipse.b, text.b,
              text_bytes("A text longer than fifteen\r\n")});
  EXPECT_EQ(first_difference(read_file(out_file("layout.dat")), expected), -1);
}

TEST_F(ZuFiles, EmptyChartsGiveBareHeadersWithTheirOwnMark) {
  chart.SaveData(out_file("empty.dat"));
  chart.SaveAnno(out_file("empty.ann"));
  EXPECT_EQ(read_file(out_file("empty.dat")), HandRecord::header("[DATAFORMAT]", 0, 0).b);
  EXPECT_EQ(read_file(out_file("empty.ann")), HandRecord::header("[ANNOFORMAT]", 0, 0).b);

  other.MarkAt(1.0, 1.0, 1);
  EXPECT_EQ(other.LoadData(out_file("empty.dat"), false), 0);
  EXPECT_EQ(other.NumItems(), 0);
  EXPECT_EQ(other.ItemCount(tkMarkAt), 0);
  // The marks tell the two kinds apart.
  other.MarkAt(1.0, 1.0, 1);
  EXPECT_EQ(other.LoadAnno(out_file("empty.dat"), false), -2);
  EXPECT_EQ(other.LoadData(out_file("empty.ann"), false), -2);
  EXPECT_EQ(other.NumItems(), 1);
}

TEST_F(ZuFiles, RoundTripKeepsEveryRecordAndPairsLongTexts) {
  chart.MoveTo(0.0, 0.0);
  chart.DrawTo(1.0, 2.0);
  chart.Text(1.0, 1.0, 10, "first long text with a \\ and\nnew line");
  chart.RectFrame(0.0, 0.0, 4.0, 3.0, rbRaised, 0x404040, 0xF0F0F0);
  chart.Text(2.0, 2.0, 10, "short");
  chart.Text(3.0, 3.0, 10, "second long text, Unicode \xC3\xA9\xE2\x82\xAC");
  chart.Arc(0.0, 0.0, 2.0, 1.0, 0.5, 2.0);
  chart.SaveData(out_file("round.dat"));

  ASSERT_EQ(other.LoadData(out_file("round.dat"), false), chart.NumItems());
  ASSERT_EQ(other.NumItems(), chart.NumItems());
  for (Integer i = 0; i < chart.NumItems(); ++i) {
    EXPECT_TRUE(same_record(other.GetChartItem(i), chart.GetChartItem(i))) << i;
    EXPECT_EQ(other.DataLongText(i), chart.DataLongText(i)) << i;
  }
  for (int k = 0; k < kNumItemKinds; ++k)
    EXPECT_EQ(other.ItemCount(TrcItem(k)), chart.ItemCount(TrcItem(k))) << k;
  EXPECT_EQ(other.NumAllocData(), chart.NumItems());

  // Saving what was loaded gives the same file again.
  other.SaveData(out_file("round2.dat"));
  EXPECT_EQ(read_file(out_file("round2.dat")), read_file(out_file("round.dat")));

  chart.SetAnnoMode(true);
  chart.Text(5, 5, 8, "annotation text over fifteen");
  chart.SaveAnno(out_file("round.ann"));
  ASSERT_EQ(other.LoadAnno(out_file("round.ann"), false), 1);
  EXPECT_EQ(other.AnnoLongText(0), "annotation text over fifteen");
  EXPECT_EQ(other.AnnoContainer(0).CoordMode, cmAllScreen);
}

TEST_F(ZuFiles, AppendingPutsNewItemsBehindAndHandsOutFollowingSlots) {
  for (int i = 0; i < 8; ++i) chart.MarkAt(double(i), 0.0, 1);
  chart.Text(0.0, 0.0, 9, "own long text number one");
  chart.Text(0.0, 0.0, 9, "own long text number two");

  for (int i = 0; i < 3; ++i) other.Line(0.0, 0.0, double(i), 1.0);
  other.Text(1.0, 1.0, 9, "loaded long text A......");
  other.Text(1.0, 1.0, 9, "loaded long text B......");
  other.SaveData(out_file("append.dat"));

  ASSERT_EQ(chart.LoadData(out_file("append.dat"), true), 5);
  EXPECT_EQ(chart.NumItems(), 15);
  EXPECT_EQ(chart.NumAllocData(), 15);
  EXPECT_EQ(chart.ItemCount(tkMarkAt), 8);
  EXPECT_EQ(chart.ItemCount(tkLine), 3);
  EXPECT_EQ(chart.ItemCount(tkText), 4);
  EXPECT_EQ(chart.GetChartItem(10).ItemKind, tkLine);
  EXPECT_EQ(chart.DataLongText(9), "own long text number two");
  EXPECT_EQ(chart.GetChartItem(13).LWid, 3);
  EXPECT_EQ(chart.DataLongText(13), "loaded long text A......");
  EXPECT_EQ(chart.DataLongText(14), "loaded long text B......");
  EXPECT_EQ(chart.NumLongTextsData(), 4);

  // Replacing starts the slots again from 1.
  ASSERT_EQ(chart.LoadData(out_file("append.dat"), false), 5);
  EXPECT_EQ(chart.NumItems(), 5);
  EXPECT_EQ(chart.NumLongTextsData(), 2);
  EXPECT_EQ(chart.GetChartItem(3).LWid, 1);
  EXPECT_EQ(chart.DataLongText(4), "loaded long text B......");
  EXPECT_EQ(chart.ItemCount(tkMarkAt), 0);
}

TEST_F(ZuFiles, ExhaustedSlotsKeepTheShortTextOnly) {
  for (int i = 0; i < kNumLongTexts; ++i)
    chart.Text(0.0, 0.0, 8, "long text number " + std::to_string(i));
  ASSERT_EQ(chart.NumLongTextsData(), 50);
  other.Text(0.0, 0.0, 8, "a long text from the file");
  other.SaveData(out_file("slots.dat"));
  ASSERT_EQ(chart.LoadData(out_file("slots.dat"), true), 1);
  const TrcChartItem it = chart.GetChartItem(50);
  EXPECT_EQ(it.LWid, 0);
  EXPECT_EQ(chart.DataLongText(50), "a long text fro");
  EXPECT_EQ(chart.DataLongText(49), "long text number 49");
}

class ZuFilesHostile : public ZuFiles {
 protected:
  void SetUp() override {
    for (int i = 0; i < 4; ++i) chart.MarkAt(double(i), 1.0, 2);
    chart.Text(0.0, 0.0, 8, "kept long text of the chart");
  }
  // The chart still holds exactly what SetUp put there.
  void expect_unchanged() {
    EXPECT_EQ(chart.NumItems(), 5);
    EXPECT_EQ(chart.ItemCount(tkMarkAt), 4);
    EXPECT_EQ(chart.NumLongTextsData(), 1);
    EXPECT_EQ(chart.DataLongText(4), "kept long text of the chart");
  }
  Integer load(const Bytes& b, bool append) { return chart.LoadDataFromBytes(b, append); }
  static Bytes item(unsigned kind, unsigned mode = 0) {
    HandRecord r = HandRecord::cleared();
    r.u8(61, kind).u8(100, mode).i32(56, 1);
    return r.b;
  }
};

TEST_F(ZuFilesHostile, CountsBeyondTheFileAreRefusedBeforeAnythingChanges) {
  for (bool append : {false, true}) {
    EXPECT_EQ(load(HandRecord::header("[DATAFORMAT]", INT_MAX, 0).b, append), -1);
    EXPECT_EQ(load(HandRecord::header("[DATAFORMAT]", -5, 0).b, append), -1);
    EXPECT_EQ(load(concat({HandRecord::header("[DATAFORMAT]", 3, 0).b, item(1), item(1)}), append),
              -1);
    // A record cut short.
    Bytes cut = concat({HandRecord::header("[DATAFORMAT]", 1, 0).b, item(1)});
    cut.pop_back();
    EXPECT_EQ(load(cut, append), -1);
    // A header cut short, and nothing at all.
    const Bytes header = HandRecord::header("[DATAFORMAT]", 0, 0).b;
    EXPECT_EQ(load(Bytes(header.begin(), header.begin() + 60), append), -1);
    EXPECT_EQ(load(Bytes(), append), -1);
    expect_unchanged();
  }
  EXPECT_EQ(chart.LoadData(out_file("does-not-exist.dat"), false), -1);
  expect_unchanged();
}

TEST_F(ZuFilesHostile, ForeignMarksAndUnknownRecordsGiveMinusTwo) {
  HandRecord no_mark = HandRecord::header("[DATAFORMAT]", 0, 0);
  no_mark.i32(56, 0);
  EXPECT_EQ(load(no_mark.b, false), -2);
  EXPECT_EQ(load(HandRecord::header("[DATAFORMAT ", 0, 0).b, false), -2);
  EXPECT_EQ(load(HandRecord::header("[DATAFORMAT]x", 0, 0).b, false), -2);
  const Bytes h2 = HandRecord::header("[DATAFORMAT]", 2, 0).b;
  EXPECT_EQ(load(concat({h2, item(1), item(24)}), false), -2);
  EXPECT_EQ(load(concat({h2, item(1), item(255)}), true), -2);
  EXPECT_EQ(load(concat({HandRecord::header("[DATAFORMAT]", 1, 0).b, item(2, 6)}), false), -2);
  expect_unchanged();
  // Every declared kind and mode is accepted, the filter kinds included.
  EXPECT_EQ(load(concat({h2, item(23, 5), item(10, 0)}), true), 2);
  EXPECT_EQ(chart.NumItems(), 7);
}

TEST_F(ZuFilesHostile, OddFieldsAreReadIntoValidValues) {
  HandRecord text = HandRecord::cleared();
  text.u8(61, tkText).text("0123456789ABCDE").u8(70, 200).u8(68, 7).i32(56, 0);
  ASSERT_EQ(load(concat({HandRecord::header("[DATAFORMAT]", 1, 0).b, text.b}), false), 1);
  const TrcChartItem it = chart.GetChartItem(0);
  EXPECT_EQ(it.Text.Len, 15);
  EXPECT_TRUE(it.Transp);
  EXPECT_EQ(chart.DataLongText(0), "0123456789ABCDE");
}

TEST_F(ZuFilesHostile, LongTextLinesMissingManyOrHugeGiveDefinedTexts) {
  HandRecord t = HandRecord::cleared();
  t.u8(61, tkText).text("abcdefghijklmno").i32(56, 9);
  // Two text items announce texts; only one line is there.
  ASSERT_EQ(load(concat({HandRecord::header("[DATAFORMAT]", 2, 2).b, t.b, t.b,
                         text_bytes("only line")}), false), 2);
  EXPECT_EQ(chart.DataLongText(0), "only line");
  EXPECT_EQ(chart.GetChartItem(1).LWid, 2);
  EXPECT_EQ(chart.DataLongText(1), "");

  // An absurd line count with a few lines, lone CR and LF terminators.
  ASSERT_EQ(load(concat({HandRecord::header("[DATAFORMAT]", 1, INT_MAX).b, t.b,
                         text_bytes("one\rtwo\nthree\r\n")}), false), 1);
  EXPECT_EQ(chart.DataLongText(0), "one");

  // A line of 3 MiB is cut to the limit at a character boundary.
  std::string huge(3u << 20, 'x');
  huge[detail::kMaxLongTextLine - 1] = '\xC3';
  huge[detail::kMaxLongTextLine] = '\xA9';
  ASSERT_EQ(load(concat({HandRecord::header("[DATAFORMAT]", 1, 1).b, t.b, text_bytes(huge)}),
                 false), 1);
  EXPECT_EQ(chart.DataLongText(0).size(), detail::kMaxLongTextLine - 1);
}

TEST_F(ZuFiles, SavingWhereNoFileCanBeCreatedRaises) {
  EXPECT_THROW(chart.SaveData(out_file("no-such-dir/x.dat")), EFCreateError);
  EXPECT_THROW(chart.SaveAnno(out_file("no-such-dir/x.ann")), EFCreateError);
  EXPECT_THROW(chart.SaveDataASC(out_file("no-such-dir/x.txt")), EInOutError);
}

TrcChartItem cleared_item(TrcItem kind) {
  TrcChartItem it;
  CleazUvadoItem(it);
  it.ItemKind = kind;
  return it;
}

TEST(ZuFilesDescription, SingleBitsGiveSingleParts) {
  TrcChartItem line = cleared_item(tkLine);
  EXPECT_EQ(ItemDescription(line, 1), "elemtype: tkLine");
  EXPECT_EQ(ItemDescription(cleared_item(tkLineto), 1), "elemtype: tkLineTo");
  EXPECT_EQ(ItemDescription(cleared_item(tkNotMoveTo), 1), "elemtype: ");
  line.Tag = 255;
  EXPECT_EQ(ItemDescription(line, 8), "\r\n      tag: 000000FF");
  line.Tag = -2;
  line.Color = 0x00ABCDEF;
  line.PenStyle = psDot;
  line.ItemClass = 200;
  EXPECT_EQ(ItemDescription(line, 4 + 8 + 16),
            "\r\n      tag: FFFFFFFE\r\n    color: 00ABCDEF\r\n penstyle: 02\r\n classnum: 200");

  TrcChartItem text = cleared_item(tkText);
  text.x = 2.5;
  text.y = -1;
  text.CoordMode = cmAllScreen;
  EXPECT_EQ(ItemDescription(text, 2),
            "\r\n startpnt: [2.5/-1] (screen coords)\r\n endpoint: [0/0]");
  TrcChartItem cursor = cleared_item(tkCursorHoriz);
  cursor.y = 12.25;
  cursor.CoordMode = cmScreenMainWorldSec;
  EXPECT_EQ(ItemDescription(cursor, 2),
            "\r\n position: [12.25] (screen coords)\r\n endpoint: [0/0]");
  TrcChartItem ellipse = cleared_item(tkEllipse);
  ellipse.CoordMode = cmWorldMainScreenSec;
  EXPECT_EQ(ItemDescription(ellipse, 2), "\r\n   center: [0/0]\r\n endpoint: [0/0]");
}

TEST(ZuFilesDescription, FullDescriptionsCarryTheKindDetails) {
  TrcChartItem frame = cleared_item(tkRectFrame);
  frame.x2 = 4;
  frame.y2 = 3;
  frame.LWid = 1;
  frame.FrameStyle = rbEngraved;
  frame.ShadowColor = 0x404040;
  EXPECT_EQ(ItemDescription(frame, -1),
            "elemtype: tkRectFrame\r\n startpnt: [0/0]\r\n endpoint: [4/3]"
            "\r\n      tag: 00000000\r\n    color: 00000000\r\n penstyle: 00\r\n classnum: 0"
            "\r\nlinewidth: 1\r\n   corner: [4/3]\r\nfillcolor: 00FFFFFF"
            "\r\nframetype: rbEngraved\r\nshadowcol: 00404040\r\nhilitecol: 00FFFFFF");
  frame.FrameStyle = rbSingle;
  EXPECT_EQ(ItemDescription(frame, -1).find("frametype"), std::string::npos);

  TrcChartItem text = cleared_item(tkTextOfs);
  text.Text.Assign("Hello, world! #");
  text.LWid = 3;
  text.Param1 = 12;
  text.Param3 = 2;
  text.x2 = 7;
  text.y2 = -4;
  const std::string d = ItemDescription(text, -1);
  EXPECT_NE(d.find("\r\n     text: \"Helloworld\" (abbrev.)\r\n     size: 12\r\n    align: 2"
                   "\r\n offset x: '7'\r\n offset y: '-4'"),
            std::string::npos)
      << d;

  TrcChartItem arc = cleared_item(tkArc);
  arc.x2 = 2;
  arc.y2 = 1;
  arc.Param1 = 157079633;
  arc.Param2 = -50000000;
  const std::string a = ItemDescription(arc, -1);
  EXPECT_NE(a.find("\r\nlinewidth: 0\r\n halfaxes: 2 1\r\n   angles: 1.5707963 -0.5"),
            std::string::npos)
      << a;

  TrcChartItem arrow = cleared_item(tkDoubleArrow);
  arrow.Transp = true;
  arrow.Param1 = 9;
  const std::string r = ItemDescription(arrow, -1);
  EXPECT_TRUE(r.ends_with("\r\n    arrow: [0/0]\r\nfillcolor: 00FFFFFF\r\n  transp.: true"
                          "\r\n headsize: 9"))
      << r;
  // Kinds without details end after the common parts.
  EXPECT_TRUE(ItemDescription(cleared_item(tkMoveTo), -1).ends_with(" classnum: 0"));
}

TEST_F(ZuFiles, TextListingHasOneBlockPerItem) {
  chart.MarkAt(1.0, 2.0, 5);
  chart.CursorVert(3.0);
  chart.SaveDataASC(out_file("listing.txt"));
  const Bytes b = read_file(out_file("listing.txt"));
  const std::string text(reinterpret_cast<const char*>(b.data()), b.size());
  EXPECT_EQ(text, "\r\n------ item 0 ------\r\n  " + ItemDescription(chart.GetChartItem(0), -1) +
                      "\r\n\r\n------ item 1 ------\r\n  " +
                      ItemDescription(chart.GetChartItem(1), -1) + "\r\n");
  EXPECT_NE(text.find("\r\n marktype: 5\r\n"), std::string::npos);
}

TEST_F(ZuFiles, CopyAnnoFromFiltersByClassAndGivesOwnSlots) {
  other.SetAnnoMode(true);
  other.SetClassDefault(1);
  other.MarkAt(1, 1, 2);
  other.Text(2, 2, 8, "class one long annotation");
  other.SetClassDefault(2);
  other.Line(0, 0, 5, 5);
  other.SetClassDefault(3);
  other.Text(3, 3, 8, "class three long annotation");

  chart.SetAnnoMode(true);
  chart.Text(0, 0, 8, "the chart's own long annotation");
  chart.CopyAnnoFrom(&other, {1, 3}, true);
  ASSERT_EQ(chart.NumAnnos(), 4);
  EXPECT_EQ(chart.AnnoContainer(1).ItemKind, tkMarkAt);
  EXPECT_EQ(chart.AnnoContainer(2).LWid, 2);
  EXPECT_EQ(chart.AnnoLongText(2), "class one long annotation");
  EXPECT_EQ(chart.AnnoLongText(3), "class three long annotation");
  EXPECT_EQ(chart.NumAllocAnno(), 4);

  chart.CopyAnnoFrom(&other, {}, false);
  ASSERT_EQ(chart.NumAnnos(), 4);
  EXPECT_EQ(chart.NumLongTextsAnno(), 2);
  EXPECT_EQ(chart.AnnoContainer(2).ItemKind, tkLine);
  EXPECT_EQ(chart.AnnoLongText(3), "class three long annotation");

  // A chart copying from itself doubles its annotations.
  chart.CopyAnnoFrom(&chart, {}, true);
  ASSERT_EQ(chart.NumAnnos(), 8);
  EXPECT_EQ(chart.AnnoLongText(7), "class three long annotation");
  EXPECT_EQ(chart.NumItems(), 0);
}

}  // namespace
}  // namespace kvr
