// Saving and loading the item containers, the text listing and copying annotations.
//
// Reading is a trust boundary: a file is read and checked completely (header counts
// against the stream size, every record's kind and coordinate mode) into a container of
// its own before the chart is touched, so a refused or broken file changes nothing and
// no count from the file can make the reader allocate more than the file holds.
#include "zuvado/chartfiles.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>

#include "platform/detail/utf8.h"
#include "platform/filewrite.h"
#include "platform/streams.h"
#include "zuvado/customzuvado.h"

namespace kvr {

namespace detail {

namespace {

template <typename T>
void put_le(std::byte* p, T v) {
  using U = std::make_unsigned_t<T>;
  const U u = static_cast<U>(v);
  for (std::size_t i = 0; i < sizeof(T); ++i) p[i] = std::byte(Byte(u >> (8 * i)));
}

template <typename T>
T get_le(const std::byte* p) {
  using U = std::make_unsigned_t<T>;
  U u = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) u |= U(U(p[i]) << (8 * i));
  return static_cast<T>(u);
}

void put_f64(std::byte* p, double v) { put_le(p, std::bit_cast<std::uint64_t>(v)); }
double get_f64(const std::byte* p) { return std::bit_cast<double>(get_le<std::uint64_t>(p)); }

constexpr std::size_t kOffText = 70;
constexpr std::size_t kOffLWid = 56;
// Records are moved through a buffer of this many at a time.
constexpr std::size_t kChunkRecords = 630;

bool has_mark(const std::byte* header, std::string_view Mark) {
  const std::size_t len = std::size_t(header[kOffText]);
  return len == Mark.size() &&
         std::memcmp(header + kOffText + 1, Mark.data(), Mark.size()) == 0 &&
         get_le<Integer>(header + kOffLWid) < 0;
}

// The escaped form of a text takes at most two bytes per byte of the text; two more
// make sure that a line cut here still decodes to more than kMaxLongTextLine bytes.
constexpr std::size_t kMaxRawLine = 2 * kMaxLongTextLine + 2;

// Splits lines as ReadLnStream does (LF, CR LF or a lone CR; a last line without a
// terminator is a line) but keeps at most kMaxRawLine bytes of each.
bool read_raw_line(std::streambuf& sb, std::string& raw) {
  using traits = std::char_traits<char>;
  raw.clear();
  int c = sb.sbumpc();
  if (c == traits::eof()) return false;
  for (; c != traits::eof(); c = sb.sbumpc()) {
    if (c == '\n') break;
    if (c == '\r') {
      if (sb.sgetc() == '\n') sb.sbumpc();
      break;
    }
    if (raw.size() < kMaxRawLine) raw.push_back(traits::to_char_type(c));
  }
  return true;
}

// The escapes of the writer are undone by ReadLnStream itself. A text longer than any
// text item accepts is cut to the limit, and a character split by the cut goes with it.
std::string unescape_line(const std::string& raw) {
  if (raw.empty()) return raw;
  std::istringstream in(raw);
  bool eos = false;
  std::string text = ReadLnStream(in, eos, lnfEscapedUtf8);
  if (text.size() > kMaxLongTextLine) text.resize(detail::utf8_cut(text, kMaxLongTextLine));
  return text;
}

}  // namespace

void encode_item(const TrcChartItem& Item, std::byte* Out) {
  std::memset(Out, 0, kItemRecordSize);
  put_f64(Out + 0, Item.x);
  put_f64(Out + 8, Item.y);
  put_f64(Out + 16, Item.x2);
  put_f64(Out + 24, Item.y2);
  put_le<Integer>(Out + 32, Item.Color);
  put_le<Integer>(Out + 36, Item.FillColor);
  put_le<Integer>(Out + 40, Item.ShadowColor);
  put_le<Integer>(Out + 44, Item.HiLightColor);
  Out[48] = std::byte(Item.PenStyle);
  put_le<Integer>(Out + 52, Item.Tag);
  put_le<Integer>(Out + 56, Item.LWid);
  Out[60] = std::byte(Item.ItemClass);
  Out[61] = std::byte(Item.ItemKind);
  put_le<Integer>(Out + 64, Item.Layer);
  Out[68] = std::byte(Item.Transp ? 1 : 0);
  Out[69] = std::byte(Item.FrameStyle);
  const std::string_view text = Item.Text.View();
  Out[70] = std::byte(Byte(text.size()));
  std::memcpy(Out + 71, text.data(), text.size());
  put_le<Integer>(Out + 88, Item.Param1);
  put_le<Integer>(Out + 92, Item.Param2);
  put_le<Integer>(Out + 96, Item.Param3);
  Out[100] = std::byte(Item.CoordMode);
}

bool decode_item(const std::byte* In, TrcChartItem& Item) {
  const Byte kind = Byte(In[61]);
  const Byte mode = Byte(In[100]);
  if (kind >= kNumItemKinds || mode > cmXWorldYScreen) return false;
  std::memset(static_cast<void*>(&Item), 0, sizeof Item);
  Item.x = get_f64(In + 0);
  Item.y = get_f64(In + 8);
  Item.x2 = get_f64(In + 16);
  Item.y2 = get_f64(In + 24);
  Item.Color = get_le<Integer>(In + 32);
  Item.FillColor = get_le<Integer>(In + 36);
  Item.ShadowColor = get_le<Integer>(In + 40);
  Item.HiLightColor = get_le<Integer>(In + 44);
  Item.PenStyle = TPenStyle(In[48]);
  Item.Tag = get_le<Integer>(In + 52);
  Item.LWid = get_le<Integer>(In + 56);
  Item.ItemClass = Byte(In[60]);
  Item.ItemKind = TrcItem(kind);
  Item.Layer = get_le<Integer>(In + 64);
  Item.Transp = In[68] != std::byte(0);
  Item.FrameStyle = TFrameStyle(In[69]);
  Item.Text.Assign(std::string_view(reinterpret_cast<const char*>(In + 71),
                                    std::min<std::size_t>(std::size_t(In[70]), 15)));
  Item.Param1 = get_le<Integer>(In + 88);
  Item.Param2 = get_le<Integer>(In + 92);
  Item.Param3 = get_le<Integer>(In + 96);
  Item.CoordMode = TCoordMode(mode);
  return true;
}

TrcChartItem file_header(std::string_view Mark, Integer NumItems, Integer NumTexts) {
  TrcChartItem h;
  CleazUvadoItem(h);
  h.LWid = -2;
  h.Text.Assign(Mark);
  h.Param1 = NumItems;
  h.Param2 = NumTexts;
  return h;
}

void check_item_text(std::string_view Text) {
  if (Text.size() > kMaxLongTextLine)
    RaiseKvrError<EKvrZUvadoError>("Text of " + std::to_string(Text.size()) +
                                   " bytes is too long for a text item (at most " +
                                   std::to_string(kMaxLongTextLine) + " bytes)");
}

// The reader hands out slots to the text items with LWid not 0 in item order and fills
// them with the lines in turn. Slots are handed out in call order, may be left unused
// by a text that became short, or held by a removed item, so the lines are written in
// item order: the k-th line is the text of the k-th such item, and a text item without
// a usable slot is written with LWid 0.
void write_item_file(std::ostream& Out, std::string_view Mark, const TRcItemContainer& Items,
                     const TLongTextArray& Texts, Integer /*NumTexts*/) {
  std::vector<const std::string*> lines;
  for (const TrcChartItem& it : Items)
    if (IsTextItem(it.ItemKind) && it.LWid >= 1 && it.LWid <= kNumLongTexts &&
        lines.size() < std::size_t(kNumLongTexts))
      lines.push_back(&Texts[size_t(it.LWid - 1)]);

  std::vector<std::byte> buf(kChunkRecords * kItemRecordSize);
  encode_item(file_header(Mark, Items.Count(), Integer(lines.size())), buf.data());
  Out.write(reinterpret_cast<const char*>(buf.data()), std::streamsize(kItemRecordSize));
  Integer written = 0;
  TRcItemContainer::Reader rd(Items);
  for (Integer i = 0; i < Items.Count();) {
    const Integer chunk = std::min<Integer>(Items.Count() - i, Integer(kChunkRecords));
    for (Integer k = 0; k < chunk; ++k) {
      TrcChartItem it = rd[i + k];
      if (IsTextItem(it.ItemKind) && it.LWid != 0) {
        const bool slot = it.LWid >= 1 && it.LWid <= kNumLongTexts && written < kNumLongTexts;
        it.LWid = slot ? ++written : 0;
      }
      encode_item(it, buf.data() + std::size_t(k) * kItemRecordSize);
    }
    Out.write(reinterpret_cast<const char*>(buf.data()),
              std::streamsize(std::size_t(chunk) * kItemRecordSize));
    i += chunk;
  }
  for (const std::string* line : lines) WriteLnStream(Out, *line, lnfEscapedUtf8);
}

Integer read_item_file(std::istream& In, std::uint64_t Size, std::string_view Mark,
                       ItemFileContent& Out) {
  std::byte header[kItemRecordSize];
  if (Size < kItemRecordSize ||
      !In.read(reinterpret_cast<char*>(header), std::streamsize(kItemRecordSize)))
    return kFileReadError;
  if (!has_mark(header, Mark)) return kFileNotOurs;
  const Integer n = get_le<Integer>(header + 88);
  const Integer m = get_le<Integer>(header + 92);
  // The announced records must be there before a single slot is allocated for them.
  if (n < 0 || std::uint64_t(n) > (Size - kItemRecordSize) / kItemRecordSize)
    return kFileReadError;

  Out.Items.Clear();
  Out.Items.SetNumAlloc(n);
  Out.Lines.clear();
  std::vector<std::byte> buf(kChunkRecords * kItemRecordSize);
  TrcChartItem item;
  for (Integer i = 0; i < n;) {
    const Integer chunk = std::min<Integer>(n - i, Integer(kChunkRecords));
    if (!In.read(reinterpret_cast<char*>(buf.data()),
                 std::streamsize(std::size_t(chunk) * kItemRecordSize)))
      return kFileReadError;
    for (Integer k = 0; k < chunk; ++k) {
      if (!decode_item(buf.data() + std::size_t(k) * kItemRecordSize, item)) return kFileNotOurs;
      Out.Items.Append(item, 1);
    }
    i += chunk;
  }

  // Lines past the 50th could never reach a slot, so they are not even read.
  std::streambuf* sb = In.rdbuf();
  std::string raw;
  for (Integer k = 0; k < std::min<Integer>(m, kNumLongTexts); ++k) {
    if (!sb || !read_raw_line(*sb, raw)) break;
    Out.Lines.push_back(unescape_line(raw));
  }
  return n;
}

}  // namespace detail

namespace {

std::uint64_t stream_size(std::istream& In) {
  In.seekg(0, std::ios::end);
  const std::streamoff end = In.tellg();
  In.seekg(0, std::ios::beg);
  return end > 0 && In ? std::uint64_t(end) : 0;
}

}  // namespace

Integer TCustomZUvado::LoadItems(std::span<const std::byte> Bytes, bool AppendIt, bool Anno) {
  detail::SpanStreamBuf buf(Bytes);
  std::istream in(&buf);
  return LoadItems(in, Bytes.size(), AppendIt, Anno);
}

Integer TCustomZUvado::LoadItems(std::istream& In, std::uint64_t Size, bool AppendIt,
                                 bool Anno) {
  auto file = std::make_shared<detail::ItemFileContent>();
  const Integer n = detail::read_item_file(
      In, Size, Anno ? detail::kAnnoFileMark : detail::kDataFileMark, *file);
  if (n < 0) return n;
  TRcItemContainer& target = Anno ? FAnnoContainer : *FDataContainer;
  if (AppendIt && n > std::numeric_limits<Integer>::max() - target.Count())
    return detail::kFileReadError;

  TLongTextArray& texts = Anno ? FLongTextsAnno : FLongTextsData;
  Integer& used = Anno ? FNumLongTextsAnno : FNumLongTextsData;
  if (!AppendIt) {
    used = 0;
    texts.fill(std::string());
    if (!Anno) {
      FItemCount.fill(0);
      FLastElemOnShow = 0;
    }
  }
  const Integer base = used;
  std::vector<Integer> withText;
  Integer at = 0;
  for (const TrcChartItem& it : file->Items) {
    if (IsTextItem(it.ItemKind) && it.LWid != 0) withText.push_back(at);
    ++at;
  }
  for (const Integer i : withText) {
    file->Items.Edit(i, [&](TrcChartItem& it) {
      if (used < kNumLongTexts) {
        ++used;
        texts[size_t(used - 1)].clear();
        it.LWid = used;
      } else {
        it.LWid = 0;
      }
    });
  }
  for (std::size_t k = 0; k < file->Lines.size(); ++k)
    if (base + Integer(k) < kNumLongTexts) texts[size_t(base) + k] = std::move(file->Lines[k]);

  if (!Anno)
    file->Items.ForEachStretch(0, file->Items.Count(),
                               [&](const TrcChartItem& it, Integer k) { CountKind(it.ItemKind, k); });
  if (!AppendIt && !Anno) {
    // The loaded container replaces the old one as a whole; sharing partners get it
    // through the propagation below.
    FDataContainer = std::shared_ptr<TRcItemContainer>(file, &file->Items);
  } else {
    if (!AppendIt) target.Clear();
    target.SetNumAlloc(target.Count() + n);
    for (const TrcChartItem& it : file->Items) target.Append(it, FAllocSize);
  }
  if (!Anno) AdjustCanInfoOfSharedCharts();
  RepaintChart();
  return n;
}

Integer TCustomZUvado::LoadDataFromBytes(std::span<const std::byte> Bytes, bool AppendIt) {
  return LoadItems(Bytes, AppendIt, false);
}

Integer TCustomZUvado::LoadAnnoFromBytes(std::span<const std::byte> Bytes, bool AppendIt) {
  return LoadItems(Bytes, AppendIt, true);
}

Integer TCustomZUvado::LoadData(const std::string& FName, bool AppendIt) {
  std::ifstream in(FName, std::ios::binary);
  if (!in) return detail::kFileReadError;
  return LoadItems(in, stream_size(in), AppendIt, false);
}

Integer TCustomZUvado::LoadAnno(const std::string& FName, bool AppendIt) {
  std::ifstream in(FName, std::ios::binary);
  if (!in) return detail::kFileReadError;
  return LoadItems(in, stream_size(in), AppendIt, true);
}

void TCustomZUvado::SaveItems(const std::string& FName, bool Anno) const {
  detail::write_file<EFCreateError, EInOutError>(FName, [&](std::ostream& out) {
    if (Anno)
      detail::write_item_file(out, detail::kAnnoFileMark, FAnnoContainer, FLongTextsAnno,
                              FNumLongTextsAnno);
    else
      detail::write_item_file(out, detail::kDataFileMark, *FDataContainer, FLongTextsData,
                              FNumLongTextsData);
  });
}

void TCustomZUvado::SaveData(const std::string& FName) const { SaveItems(FName, false); }

void TCustomZUvado::SaveAnno(const std::string& FName) const { SaveItems(FName, true); }

// A write error ends the listing early; the file is still judged when it is closed.
void TCustomZUvado::SaveDataASC(const std::string& FName) const {
  detail::write_file<EInOutError>(FName, [&](std::ostream& out) {
    const TRcItemContainer& items = *FDataContainer;
    for (Integer i = 0; i < items.Count() && out; ++i) {
      out << "\r\n------ item " << i << " ------\r\n  " << ItemDescription(items[i], -1) << "\r\n";
    }
  });
}

// The selection is taken first, so that copying a chart's annotations onto itself
// works like copying from any other chart.
void TCustomZUvado::CopyAnnoFrom(const TCustomZUvado* SrcChart,
                                 std::span<const Byte> ClassFilter, bool AppendIt) {
  if (!SrcChart) return;
  std::array<bool, 256> wanted{};
  for (Byte c : ClassFilter) wanted[c] = true;
  struct Picked {
    TrcChartItem item;
    std::string longText;
    bool hasLongText;
  };
  std::vector<Picked> picked;
  for (const TrcChartItem& it : SrcChart->FAnnoContainer) {
    if (!ClassFilter.empty() && !wanted[it.ItemClass]) continue;
    const bool slot = IsTextItem(it.ItemKind) && it.LWid >= 1 && it.LWid <= kNumLongTexts;
    picked.push_back({it, slot ? SrcChart->FLongTextsAnno[size_t(it.LWid - 1)] : std::string(),
                      slot});
  }
  if (!AppendIt) ResetAnnoContainer();
  FAnnoContainer.SetNumAlloc(FAnnoContainer.Count() + Integer(picked.size()));
  for (Picked& p : picked) {
    if (IsTextItem(p.item.ItemKind) && p.item.LWid != 0) {
      if (p.hasLongText && FNumLongTextsAnno < kNumLongTexts) {
        ++FNumLongTextsAnno;
        FLongTextsAnno[size_t(FNumLongTextsAnno - 1)] = std::move(p.longText);
        p.item.LWid = FNumLongTextsAnno;
      } else {
        p.item.LWid = 0;
      }
    }
    FAnnoContainer.Append(p.item, FAllocSize);
  }
  RepaintChart();
}

}  // namespace kvr
