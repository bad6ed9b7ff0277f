// Chart item files and the text description of items.
//
// Layout of a data or annotation file (all numbers little-endian):
//   header   104 bytes  a cleared record with LWid -2, Text "[DATAFORMAT]" or
//                       "[ANNOFORMAT]", Param1 = n items, Param2 = m long texts
//   records  n x 104    the items in order, each as the record image below
//   lines    m lines    long texts 1..m, WriteLnStream's escaped form, CR LF; the
//                       reader pairs the k-th line with the k-th text item whose LWid
//                       is not 0, so the writer emits them in item order
// Record image: x, y, x2, y2 (binary64) at 0, 8, 16, 24; Color, FillColor, ShadowColor,
// HiLightColor (int32) at 32..44; PenStyle at 48; Tag 52; LWid 56; ItemClass 60;
// ItemKind 61; Layer 64; Transp 68; FrameStyle 69; Text length 70 and 15 characters at
// 71; Param1..3 at 88, 92, 96; CoordMode 100. Padding is written as zero and never read.
//
// Records are encoded field by field rather than copied from memory, so the file does
// not depend on the host's byte order or on what padding happens to hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <span>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"
#include "zuvado/chartitem.h"
#include "zuvado/itemstore.h"

namespace kvr {

// A file that cannot be created for writing.
class EFCreateError : public Exception {
 public:
  using Exception::Exception;
};

// A text file that cannot be written.
class EInOutError : public Exception {
 public:
  using Exception::Exception;
};

// Text description of one item. Mode is a bit set: 1 kind, 2 coordinates, 4 colour and
// pen style, 8 tag, 16 class; -1 adds the kind's details. Lines are separated by CR LF.
std::string ItemDescription(const TrcChartItem& Item, Integer Mode);

namespace detail {

constexpr std::size_t kItemRecordSize = 104;
constexpr std::string_view kDataFileMark = "[DATAFORMAT]";
constexpr std::string_view kAnnoFileMark = "[ANNOFORMAT]";
constexpr Integer kFileReadError = -1;
constexpr Integer kFileNotOurs = -2;
// The longest text (UTF-8 bytes) a text item accepts. Every accepted text survives a
// save and load; a longer line can only come from a foreign file and is cut when read,
// so that it cannot make the reader allocate more than this per slot.
constexpr std::size_t kMaxLongTextLine = std::size_t(1) << 20;

// Raises EKvrZUvadoError for a text that a text item cannot keep.
void check_item_text(std::string_view Text);

void encode_item(const TrcChartItem& Item, std::byte* Out);
// Fills Item from a record image; false (Item undefined) for an unknown kind or
// coordinate mode. A text length above 15 is read as 15.
bool decode_item(const std::byte* In, TrcChartItem& Item);

// The header record of a file with the given mark and counts.
TrcChartItem file_header(std::string_view Mark, Integer NumItems, Integer NumTexts);

// Writes a whole file image.
void write_item_file(std::ostream& Out, std::string_view Mark, const TRcItemContainer& Items,
                     const TLongTextArray& Texts, Integer NumTexts);

// What a file holds, read and checked before any chart is touched.
struct ItemFileContent {
  TRcItemContainer Items;          // NumAlloc = the item count
  std::vector<std::string> Lines;  // the first long-text lines (at most 50)
};

// Reads a file image of Size bytes. Returns the item count, kFileNotOurs for another
// mark, a non-negative LWid or an unknown kind or coordinate mode, kFileReadError for a
// stream that ends before the announced records. Allocates only for records the stream
// can hold; missing lines are simply not there.
Integer read_item_file(std::istream& In, std::uint64_t Size, std::string_view Mark,
                       ItemFileContent& Out);

// A read-only stream over bytes in memory (no copy).
class SpanStreamBuf : public std::streambuf {
 public:
  explicit SpanStreamBuf(std::span<const std::byte> Bytes) {
    char* p = const_cast<char*>(reinterpret_cast<const char*>(Bytes.data()));
    setg(p, p, p + Bytes.size());
  }
};

}  // namespace detail

}  // namespace kvr
