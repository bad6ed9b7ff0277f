// libFuzzer target: chart item files as read by LoadData and LoadAnno.
//
// Every input goes through a chart that another chart shares, in replace and append
// mode. Whatever the bytes, the load must return -1, -2 or the item count, and leave
// counters, long-text slots and the sharing partner consistent; what was loaded must
// survive a save and a reload byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <sstream>

#include "zuvado/zuvado.h"

namespace {

// Names the failed check's line: the fuzzer's stack shows only the inlined caller.
void check(bool ok, int line = __builtin_LINE()) {
  if (ok) return;
  std::fprintf(stderr, "load_data_fuzz: check on line %d failed\n", line);
  std::abort();
}

// Long-text slots belong to each chart, so the slot check is for the loading chart only.
void check_chart(const kvr::TZUvado& c, bool loaded_here) {
  kvr::Integer sum = 0;
  for (int k = 0; k < kvr::kNumItemKinds; ++k) sum += c.ItemCount(kvr::TrcItem(k));
  check(sum == c.NumItems());
  check(c.NumLongTextsData() >= 0 && c.NumLongTextsData() <= kvr::kNumLongTexts);
  for (kvr::Integer i = 0; i < c.NumItems(); ++i) {
    const kvr::TrcChartItem it = c.GetChartItem(i);
    check(unsigned(it.ItemKind) < unsigned(kvr::kNumItemKinds));
    check(unsigned(it.CoordMode) <= unsigned(kvr::cmXWorldYScreen));
    if (loaded_here && kvr::IsTextItem(it.ItemKind)) check(it.LWid >= 0 && it.LWid <= c.NumLongTextsData());
  }
}

std::string save(const kvr::TRcItemContainer& items, const kvr::TLongTextArray& texts,
                 kvr::Integer used) {
  std::ostringstream out;
  kvr::detail::write_item_file(out, kvr::detail::kDataFileMark, items, texts, used);
  return out.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static kvr::TZUvado* owner = new kvr::TZUvado(nullptr);
  static kvr::TZUvado* user = [] {
    auto* u = new kvr::TZUvado(nullptr);
    u->SetUseDataOf(owner);
    return u;
  }();
  const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);

  const kvr::Integer before = owner->NumItems();
  const kvr::Integer n = user->LoadDataFromBytes(bytes, false);
  check(n >= -2);
  if (n >= 0) {
    check(user->NumItems() == n);
  } else {
    check(user->NumItems() == before);
  }
  check(owner->NumItems() == user->NumItems());
  check_chart(*owner, false);
  check_chart(*user, n >= 0);

  // Reading what was read and writing it again must give the same bytes.
  if (n >= 0) {
    kvr::detail::ItemFileContent first;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    check(kvr::detail::read_item_file(in, size, kvr::detail::kDataFileMark, first) == n);
    kvr::TLongTextArray texts;
    for (std::size_t k = 0; k < first.Lines.size(); ++k) texts[k] = first.Lines[k];
    const std::string once = save(first.Items, texts, kvr::Integer(first.Lines.size()));
    kvr::detail::ItemFileContent second;
    std::istringstream again(once);
    check(kvr::detail::read_item_file(again, once.size(), kvr::detail::kDataFileMark, second) ==
          n);
    // The second file's slots are numbered afresh, so its own lines go with it.
    kvr::TLongTextArray texts2;
    for (std::size_t k = 0; k < second.Lines.size(); ++k) texts2[k] = second.Lines[k];
    check(save(second.Items, texts2, kvr::Integer(second.Lines.size())) == once);
  }

  if (owner->NumItems() < 20000) {
    const kvr::Integer old = owner->NumItems();
    const kvr::Integer a = owner->LoadDataFromBytes(bytes, true);
    check(a == n);
    check(user->NumItems() == old + (a > 0 ? a : 0));
    check_chart(*user, false);
  } else {
    owner->ClearGraf();
  }
  const kvr::Integer annos = user->LoadAnnoFromBytes(bytes, false);
  check(annos >= -2 && (annos < 0 || user->NumAnnos() == annos));
  return 0;
}
