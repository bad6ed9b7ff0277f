// Texts of text items through save and load: every text a text item accepts comes back
// byte for byte, in its own item, however often it is saved and loaded again; a text
// it cannot keep is refused when it is stored.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "zuvado/zuvado.h"

namespace kvr {
namespace {

constexpr std::size_t kMax = detail::kMaxLongTextLine;

std::string temp_file(const std::string& name) { return testing::TempDir() + "texts_" + name; }

std::string file_bytes(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Saves both containers of From and loads them into a new chart.
void save_and_load(const TZUvado& From, TZUvado& To, const std::string& tag) {
  From.SaveData(temp_file(tag + ".dat"));
  From.SaveAnno(temp_file(tag + ".ann"));
  ASSERT_EQ(To.LoadData(temp_file(tag + ".dat"), false), From.NumItems());
  ASSERT_EQ(To.LoadAnno(temp_file(tag + ".ann"), false), From.NumAnnos());
}

// Each text goes into a data and an annotation text item of its own.
void expect_round_trip(const std::vector<std::string>& texts, const std::string& tag) {
  TZUvado chart(nullptr);
  for (const std::string& t : texts) {
    chart.Text(1.0, 2.0, 10, t);
    chart.SetAnnoMode(true);
    chart.Text(1.0, 2.0, 10, t, 3, 4, taCenter);
    chart.SetAnnoMode(false);
  }
  TZUvado loaded(nullptr);
  save_and_load(chart, loaded, tag);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    SCOPED_TRACE("text " + std::to_string(i) + " of " + std::to_string(texts[i].size()) +
                 " bytes");
    // Compare sizes first: a failing comparison of megabyte strings is unreadable.
    const std::string data = loaded.DataLongText(Integer(i));
    const std::string anno = loaded.AnnoLongText(Integer(i));
    ASSERT_EQ(data.size(), texts[i].size());
    ASSERT_EQ(anno.size(), texts[i].size());
    EXPECT_TRUE(data == texts[i]);
    EXPECT_TRUE(anno == texts[i]);
  }
}

std::string repeat(const std::string& unit, std::size_t bytes) {
  std::string s;
  s.reserve(bytes);
  while (s.size() + unit.size() <= bytes) s += unit;
  return s;
}

TEST(ZuTextFiles, LineBreaksBackslashesAndControlBytesSurvive) {
  expect_round_trip({"\n", "\r", "\r\n", "\n\r", "\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n",
                     "line one\r\nline two\rline three\nline four\n\r\r\n",
                     "\\", "ends with a backslash \\", "\\n is not a line break \\r\\\\",
                     "\\\n\\\r", std::string("zero\0byte and more text", 23),
                     std::string("\0", 1), "\t tab \x01\x1f\x7f control bytes here", ""},
                    "breaks");
}

TEST(ZuTextFiles, CharactersOutsideTheCodePageAndOddUtf8Survive) {
  expect_round_trip(
      {// Short texts that the single-byte field cannot hold.
       "\xE2\x82\xAC", "\xE4\xB8\xAD\xE6\x96\x87", "\xF0\x9F\x98\x80 smile",
       "\xC4\x80", "\xE2\x80\x8B",
       // Malformed UTF-8: lone continuation, truncated sequence, overlong, surrogate,
       // beyond U+10FFFF, bytes never valid.
       "\x80", "a\xC3", "\xE2\x82", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
       "\xFF\xFE", "\xC3\xA9\x80\xBF",
       // Code page characters, short and long.
       "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC 5", "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC 5 long enough to slot",
       // Exactly 15 and 16 characters.
       "123456789012345", "1234567890123456", "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"
       "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"},
      "utf8");
}

// The limit counts bytes of the text; the escaped line may be twice as long.
TEST(ZuTextFiles, TextsAtAndAroundTheLimitSurvive) {
  expect_round_trip({std::string(kMax, '\n')}, "newlines");
  expect_round_trip({std::string(kMax, '\\'), std::string(kMax - 1, '\r') + "x"}, "escapes");
  expect_round_trip({std::string(kMax, 'x'), std::string(kMax - 1, 'y')}, "ascii");
  // Multi-byte characters that end exactly at, and one byte before, the limit.
  expect_round_trip({repeat("\xC3\xA9", kMax), repeat("\xE2\x82\xAC", kMax),
                     "x" + repeat("\xF0\x9F\x98\x80", kMax - 1), "\n" + repeat("\xC3\xA9\n", kMax - 1)},
                    "multibyte");
}

TEST(ZuTextFiles, LongerTextsAreRefusedAtEntryAndChangeNothing) {
  TZUvado chart(nullptr);
  chart.Text(1.0, 2.0, 10, "a long text that holds slot one");
  const std::string tooLong(kMax + 1, 'x');
  EXPECT_THROW(chart.Text(1.0, 2.0, 10, tooLong), EKvrZUvadoError);
  EXPECT_THROW(chart.Text(1.0, 2.0, 10, std::string(kMax + 1, '\n')), EKvrError);
  EXPECT_EQ(chart.NumItems(), 1);
  EXPECT_EQ(chart.NumLongTextsData(), 1);
  EXPECT_THROW(chart.SetDataLongText(0, tooLong), EKvrZUvadoError);
  EXPECT_TRUE(chart.DataLongText(0) == "a long text that holds slot one");
  chart.SetAnnoMode(true);
  EXPECT_THROW(chart.Text(1.0, 2.0, 10, tooLong), EKvrZUvadoError);
  EXPECT_EQ(chart.NumAnnos(), 0);
  chart.Text(1.0, 2.0, 10, "anno");
  EXPECT_THROW(chart.SetAnnoLongText(0, tooLong), EKvrZUvadoError);
  EXPECT_TRUE(chart.AnnoLongText(0) == "anno");
  try {
    chart.SetAnnoLongText(0, tooLong);
  } catch (const EKvrError& e) {
    EXPECT_NE(std::string(e.what()).find("1048577"), std::string::npos) << e.what();
  }
}

// Saving what was loaded writes the same file again, so nothing wears off over cycles.
TEST(ZuTextFiles, LoadSaveLoadIsStable) {
  TZUvado chart(nullptr);
  const std::vector<std::string> texts = {
      "\n" + repeat("\xC3\xA9", kMax - 1), repeat("ab\\\r\n", kMax), std::string(kMax, '\r'),
      "short", "\xE2\x82\xAC\xE2\x82\xAC"};
  for (const std::string& t : texts) chart.Text(0.0, 0.0, 10, t);
  chart.SaveData(temp_file("cycle0.dat"));
  const std::string first = file_bytes(temp_file("cycle0.dat"));
  for (int cycle = 1; cycle <= 3; ++cycle) {
    TZUvado next(nullptr);
    ASSERT_EQ(next.LoadData(temp_file("cycle" + std::to_string(cycle - 1) + ".dat"), false), 5);
    const std::string name = temp_file("cycle" + std::to_string(cycle) + ".dat");
    next.SaveData(name);
    EXPECT_TRUE(file_bytes(name) == first) << "cycle " << cycle;
    for (std::size_t i = 0; i < texts.size(); ++i)
      EXPECT_TRUE(next.DataLongText(Integer(i)) == texts[i]) << "cycle " << cycle << " text " << i;
  }
}

// Slots are handed out in call order and a text that becomes short leaves its slot
// unused; the file must still give every item its own text.
TEST(ZuTextFiles, TextsStayWithTheirItemsWhenSlotsWereHandedOutOutOfOrder) {
  TZUvado chart(nullptr);
  chart.Text(0.0, 0.0, 10, "short 0");
  chart.Text(0.0, 0.0, 10, "the long text of item one");
  chart.MarkAt(1.0, 1.0, 2);
  chart.Text(0.0, 0.0, 10, "the long text of item three");
  chart.Text(0.0, 0.0, 10, "the long text of item four");
  chart.SetDataLongText(0, "item zero now has a long text");  // slot 4
  chart.SetDataLongText(3, "short 3");                          // slot 2 unused
  TZUvado loaded(nullptr);
  save_and_load(chart, loaded, "order");
  EXPECT_EQ(loaded.DataLongText(0), "item zero now has a long text");
  EXPECT_EQ(loaded.DataLongText(1), "the long text of item one");
  EXPECT_EQ(loaded.DataLongText(3), "short 3");
  EXPECT_EQ(loaded.DataLongText(4), "the long text of item four");
  // And once more from the loaded chart.
  TZUvado again(nullptr);
  save_and_load(loaded, again, "order2");
  for (Integer i = 0; i < 5; ++i) EXPECT_EQ(again.DataLongText(i), chart.DataLongText(i)) << i;
}

}  // namespace
}  // namespace kvr
