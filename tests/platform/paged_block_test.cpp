// PagedBlock: contents survive every resize, whichever way the block moves (heap,
// mapping, copying fallback), and a failed resize leaves the block as it was.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "platform/pagedblock.h"

using kvr::detail::PagedBlock;

namespace {

constexpr std::size_t kHuge = PagedBlock::kHugePage;

void fill(PagedBlock& b, std::size_t n) {
  auto* p = static_cast<uint8_t*>(b.data());
  for (std::size_t i = 0; i < n; ++i) p[i] = uint8_t(i * 7 + i / 251);
}

// Index of the first byte of [0, n) that fill() did not write, or n.
std::size_t first_wrong(const PagedBlock& b, std::size_t n) {
  const auto* p = static_cast<const uint8_t*>(b.data());
  for (std::size_t i = 0; i < n; ++i)
    if (p[i] != uint8_t(i * 7 + i / 251)) return i;
  return n;
}

bool all_zero(const PagedBlock& b, std::size_t from, std::size_t to) {
  const auto* p = static_cast<const uint8_t*>(b.data());
  for (std::size_t i = from; i < to; i += 509)
    if (p[i]) return false;
  return true;
}

// The system's own move, as the block found it before a test replaced it.
kvr::detail::RemapFn saved_remap() {
  static const kvr::detail::RemapFn f = kvr::detail::paged_block_remap;
  return f;
}
const bool remember_remap = (saved_remap(), true);

struct RefusedRemap {
  RefusedRemap() : saved(kvr::detail::paged_block_remap) {
    kvr::detail::paged_block_remap = [](void*, std::size_t, std::size_t, void*) -> void* { return nullptr; };
  }
  ~RefusedRemap() { kvr::detail::paged_block_remap = saved; }
  kvr::detail::RemapFn saved;
};

TEST(PagedBlock, GrowsFromTheHeapIntoAMappingAndOnWithoutLosingBytes) {
  PagedBlock b;
  EXPECT_EQ(b.data(), nullptr);
  b.resize(1000, 0);
  ASSERT_NE(b.data(), nullptr);
  EXPECT_FALSE(b.mapped());
  EXPECT_EQ(b.size(), 1000u);
  fill(b, 1000);
  b.resize(kHuge - 1, 1000);
  EXPECT_FALSE(b.mapped());
  EXPECT_EQ(first_wrong(b, 1000), 1000u);
  fill(b, kHuge - 1);
  b.resize(kHuge + 1, kHuge - 1);
  EXPECT_EQ(first_wrong(b, kHuge - 1), kHuge - 1);
  if (!PagedBlock::can_map()) GTEST_SKIP() << "no page mappings on this system";
  EXPECT_TRUE(b.mapped());
  EXPECT_EQ(b.size(), 2 * kHuge);  // whole huge pages
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(b.data()) % kHuge, 0u);
  EXPECT_TRUE(all_zero(b, kHuge, 2 * kHuge));
  fill(b, 2 * kHuge);
  for (std::size_t n : {3 * kHuge, 7 * kHuge, 20 * kHuge}) {
    b.resize(n, b.size());
    ASSERT_EQ(b.size(), n);
    ASSERT_EQ(first_wrong(b, 2 * kHuge), 2 * kHuge) << n;
    ASSERT_TRUE(all_zero(b, 2 * kHuge, n)) << n;
  }
  b.resize(20 * kHuge - 5, 0);  // same pages: nothing moves
  EXPECT_EQ(b.size(), 20 * kHuge);
  EXPECT_EQ(first_wrong(b, 2 * kHuge), 2 * kHuge);
}

// Bytes past `keep` are not copied when the block moves to a mapping, so slots that are
// not in use are never touched.
TEST(PagedBlock, OnlyTheKeptBytesAreCopiedIntoANewMapping) {
  if (!PagedBlock::can_map()) GTEST_SKIP() << "no page mappings on this system";
  PagedBlock b;
  b.resize(kHuge / 2, 0);
  std::memset(b.data(), 0xAB, kHuge / 2);
  b.resize(kHuge, 100);
  ASSERT_TRUE(b.mapped());
  EXPECT_EQ(static_cast<uint8_t*>(b.data())[99], 0xAB);
  EXPECT_TRUE(all_zero(b, 100, kHuge));
}

TEST(PagedBlock, ShrinksWithinTheMappingAndBackToTheHeap) {
  PagedBlock b;
  b.resize(6 * kHuge, 0);
  fill(b, 6 * kHuge);
  b.resize(2 * kHuge + 3, 6 * kHuge);
  EXPECT_EQ(first_wrong(b, 2 * kHuge + 3), 2 * kHuge + 3);
  if (PagedBlock::can_map()) {
    EXPECT_TRUE(b.mapped());
    EXPECT_EQ(b.size(), 3 * kHuge);
  }
  b.resize(5000, 4000);
  EXPECT_FALSE(b.mapped());
  EXPECT_EQ(b.size(), 5000u);
  EXPECT_EQ(first_wrong(b, 4000), 4000u);
  b.resize(0, 0);
  EXPECT_EQ(b.data(), nullptr);
  EXPECT_EQ(b.size(), 0u);
  b.resize(kHuge, 0);  // a released block starts again
  EXPECT_NE(b.data(), nullptr);
}

TEST(PagedBlock, MovesAndSwapsHandOverTheBlock) {
  for (std::size_t n : {std::size_t(64), 3 * kHuge}) {
    PagedBlock a;
    a.resize(n, 0);
    fill(a, n);
    const void* p = a.data();
    PagedBlock b(std::move(a));
    EXPECT_EQ(a.data(), nullptr);
    EXPECT_EQ(a.size(), 0u);
    EXPECT_EQ(b.data(), p);
    PagedBlock c;
    c.resize(kHuge * 2, 0);  // released by the assignment
    c = std::move(b);
    EXPECT_EQ(c.data(), p);
    PagedBlock& same = c;
    c = std::move(same);
    EXPECT_EQ(c.data(), p);
    PagedBlock d;
    d.swap(c);
    EXPECT_EQ(c.data(), nullptr);
    EXPECT_EQ(first_wrong(d, n), n);
  }
}

TEST(PagedBlock, CopiesWhenTheSystemRefusesToMoveTheMapping) {
  if (!PagedBlock::can_map()) GTEST_SKIP() << "no page mappings on this system";
  PagedBlock b;
  b.resize(2 * kHuge, 0);
  fill(b, 2 * kHuge);
  {
    RefusedRemap refuse;
    b.resize(5 * kHuge, 2 * kHuge);
  }
  EXPECT_TRUE(b.mapped());
  EXPECT_EQ(b.size(), 5 * kHuge);
  EXPECT_EQ(first_wrong(b, 2 * kHuge), 2 * kHuge);
  EXPECT_TRUE(all_zero(b, 2 * kHuge, 5 * kHuge));
  b.resize(6 * kHuge, 5 * kHuge);  // and moves again once the system lets it
  EXPECT_EQ(first_wrong(b, 2 * kHuge), 2 * kHuge);
}

// Bytes [from, to) of the block are backed by memory now (no page fault on their first use).
bool resident(const PagedBlock& b, std::size_t from, std::size_t to) {
#if defined(__linux__)
  constexpr std::size_t kPage = 4096;
  char* base = static_cast<char*>(b.data());
  char* first = reinterpret_cast<char*>(reinterpret_cast<std::uintptr_t>(base + from) / kPage * kPage);
  const std::size_t len = std::size_t(base + to - first);
  std::vector<unsigned char> in((len + kPage - 1) / kPage);
  if (mincore(first, len, in.data()) != 0) return false;
  for (unsigned char c : in)
    if (!(c & 1)) return false;
  return true;
#else
  (void)b, (void)from, (void)to;
  return true;
#endif
}

// Whether bytes [0, n) hold what fill() wrote, from its byte `shift` on.
bool holds(const PagedBlock& b, std::size_t n, std::size_t shift) {
  const auto* p = static_cast<const uint8_t*>(b.data());
  for (std::size_t i = 0; i < n; i += 61)
    if (p[i] != uint8_t((i + shift) * 7 + (i + shift) / 251)) return false;
  return p[n - 1] == uint8_t((n - 1 + shift) * 7 + (n - 1 + shift) / 251);
}

// The first recycling moves the block into address space with a runway behind it; later
// ones move only the recycled pages (the block's address moves forward by them). The
// live bytes come first, in order, and the room behind them is memory touched before.
TEST(PagedBlock, RecyclesTheFrontPagesBehindTheLiveBytes) {
  if (!PagedBlock::can_map()) GTEST_SKIP() << "no page mappings on this system";
  PagedBlock small;
  small.resize(4096, 0);
  EXPECT_EQ(small.recycle_front(4096), 0u);  // heap blocks copy instead
  EXPECT_FALSE(small.reserve_room());
  PagedBlock b;
  b.resize(6 * kHuge, 0);
  fill(b, 6 * kHuge);
  EXPECT_EQ(b.recycle_front(kHuge - 1), 0u);  // whole huge pages only
  EXPECT_EQ(b.room(), 0u);
  ASSERT_EQ(b.recycle_front(2 * kHuge + 100), 2 * kHuge);
  EXPECT_EQ(b.size(), 6 * kHuge);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(b.data()) % kHuge, 0u);
  EXPECT_TRUE(holds(b, 4 * kHuge, 2 * kHuge));
  EXPECT_TRUE(resident(b, 4 * kHuge, 6 * kHuge));
  const std::size_t room = b.room();
  ASSERT_GE(room, 64 * kHuge);
  for (int round = 1; round <= 20; ++round) {
    fill(b, 6 * kHuge);
    const char* p = static_cast<const char*>(b.data());
    ASSERT_EQ(b.recycle_front(kHuge), kHuge);
    ASSERT_EQ(b.data(), p + kHuge);
    ASSERT_EQ(b.room(), room - round * kHuge);
    ASSERT_TRUE(holds(b, 5 * kHuge, kHuge));
    ASSERT_TRUE(resident(b, 5 * kHuge, 6 * kHuge));
  }
  EXPECT_EQ(b.recycle_front(6 * kHuge), 6 * kHuge);  // nothing lives: nothing moves
  // Growth takes the runway in place; shrinking gives it up; moves hand it over.
  fill(b, 6 * kHuge);
  const void* p = b.data();
  b.resize(8 * kHuge, 6 * kHuge);
  EXPECT_EQ(b.data(), p);
  EXPECT_EQ(b.room(), room - 22 * kHuge);
  EXPECT_TRUE(holds(b, 6 * kHuge, 0));
  EXPECT_TRUE(all_zero(b, 6 * kHuge, 8 * kHuge));
  PagedBlock c(std::move(b));
  EXPECT_EQ(c.room(), room - 22 * kHuge);
  EXPECT_EQ(b.room(), 0u);
  c.resize(3 * kHuge, 3 * kHuge);
  EXPECT_EQ(c.room(), 0u);
  EXPECT_TRUE(holds(c, 3 * kHuge, 0));
  ASSERT_TRUE(c.reserve_room());
  EXPECT_GT(c.room(), 0u);
  EXPECT_TRUE(holds(c, 3 * kHuge, 0));
}

// Whole refusal leaves the block as it was; a refusal after the live bytes moved leaves
// fresh zero pages behind them.
TEST(PagedBlock, RecyclingRefusedLeavesTheBlockOrFallsBackToFreshPages) {
  if (!PagedBlock::can_map()) GTEST_SKIP() << "no page mappings on this system";
  PagedBlock b;
  b.resize(4 * kHuge, 0);
  fill(b, 4 * kHuge);
  const void* p = b.data();
  {
    RefusedRemap refuse;
    EXPECT_EQ(b.recycle_front(2 * kHuge), 0u);
  }
  EXPECT_EQ(b.data(), p);
  EXPECT_TRUE(holds(b, 4 * kHuge, 0));
  static int calls;
  calls = 0;
  const kvr::detail::RemapFn saved = kvr::detail::paged_block_remap;
  kvr::detail::paged_block_remap = [](void* a, std::size_t o, std::size_t n, void* d) -> void* {
    return ++calls == 1 ? saved_remap()(a, o, n, d) : nullptr;
  };
  const std::size_t r = b.recycle_front(kHuge);
  kvr::detail::paged_block_remap = saved;
  ASSERT_EQ(r, kHuge);
  EXPECT_EQ(b.size(), 4 * kHuge);
  EXPECT_TRUE(holds(b, 3 * kHuge, kHuge));
  EXPECT_TRUE(all_zero(b, 3 * kHuge, 4 * kHuge));
}

// Systems that move pages only within one mapping refuse moves across the pieces that
// recycling leaves; the block then moves a huge page at a time. A relocation that fails
// halfway puts back what it moved; within the runway, what moved counts.
TEST(PagedBlock, RecyclingWorksWhereOnlySinglePiecesMove) {
  if (!PagedBlock::can_map()) GTEST_SKIP() << "no page mappings on this system";
  static int singles, refuseSingle;
  singles = refuseSingle = 0;
  const kvr::detail::RemapFn saved = kvr::detail::paged_block_remap;
  kvr::detail::paged_block_remap = [](void* a, std::size_t o, std::size_t n, void* d) -> void* {
    if (o > kHuge || ++singles == refuseSingle) return nullptr;
    return saved_remap()(a, o, n, d);
  };
  PagedBlock b;
  b.resize(5 * kHuge, 0);
  fill(b, 5 * kHuge);
  refuseSingle = 2;
  const void* p = b.data();
  EXPECT_EQ(b.recycle_front(kHuge), 0u);
  EXPECT_EQ(singles, 3);
  EXPECT_EQ(b.data(), p);
  EXPECT_TRUE(holds(b, 5 * kHuge, 0));
  refuseSingle = 0;
  ASSERT_EQ(b.recycle_front(kHuge), kHuge);
  ASSERT_EQ(b.recycle_front(2 * kHuge), 2 * kHuge);
  EXPECT_TRUE(holds(b, 2 * kHuge, 3 * kHuge));
  refuseSingle = singles + 2;
  EXPECT_EQ(b.recycle_front(3 * kHuge), kHuge);
  kvr::detail::paged_block_remap = saved;
  EXPECT_TRUE(holds(b, kHuge, 4 * kHuge));
  EXPECT_EQ(b.size(), 5 * kHuge);
}

TEST(PagedBlock, PrefaultCommitsMemoryAndKeepsTheContents) {
  for (std::size_t n : {std::size_t(100000), 5 * kHuge}) {
    PagedBlock b;
    b.resize(n, 0);
    fill(b, 1000);
    b.prefault(1000, n);
    b.prefault(n, 3 * n);  // past the end: nothing
    EXPECT_TRUE(holds(b, 1000, 0)) << n;
    EXPECT_TRUE(resident(b, 0, n)) << n;
    if (b.mapped()) {
      EXPECT_TRUE(all_zero(b, 1000, n));
    }
  }
}

TEST(PagedBlock, OutOfMemoryLeavesTheBlockAsItWas) {
  for (std::size_t n : {std::size_t(4096), 3 * kHuge}) {
    PagedBlock b;
    b.resize(n, 0);
    fill(b, n);
    const void* p = b.data();
    const bool mapped = b.mapped();
    for (std::size_t huge : {std::numeric_limits<std::size_t>::max(), std::numeric_limits<std::size_t>::max() / 4,
                             std::size_t(1) << 60}) {
      EXPECT_THROW(b.resize(huge, n), std::bad_alloc) << huge;
      EXPECT_EQ(b.data(), p);
      EXPECT_EQ(b.mapped(), mapped);
      EXPECT_EQ(first_wrong(b, n), n);
    }
    b.resize(n + kHuge, n);  // still usable
    EXPECT_EQ(first_wrong(b, n), n);
  }
}

}  // namespace
