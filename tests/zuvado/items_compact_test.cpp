// The item store against a plain vector of records: long random sequences of every
// operation, in storage that stays compact and in storage that turns full, read back
// every way there is, byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <deque>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "zuvado/itemstore.h"

namespace kvr {
namespace {

// The record's bytes up to its last field. The three bytes of tail padding behind it are
// left out: the compiler's own copies of a record need not carry them, so the test's
// copies do not (the store keeps them, see the last test).
constexpr std::size_t kDataBytes = offsetof(TrcChartItem, CoordMode) + sizeof(TCoordMode);

bool same_bytes(const TrcChartItem& a, const TrcChartItem& b) { return std::memcmp(&a, &b, kDataBytes) == 0; }

// Whether a and b agree in everything but x and y.
bool same_but_point(const TrcChartItem& a, const TrcChartItem& b) {
  constexpr std::size_t from = offsetof(TrcChartItem, x2);
  return std::memcmp(reinterpret_cast<const char*>(&a) + from, reinterpret_cast<const char*>(&b) + from,
                     kDataBytes - from) == 0;
}

// Random bytes everywhere, inner padding included; the flag stays a valid bool and the
// tail padding zero, as in records built by the chart.
TrcChartItem random_record(std::mt19937_64& rng) {
  unsigned char raw[sizeof(TrcChartItem)] = {};
  for (std::size_t i = 0; i < kDataBytes; ++i) raw[i] = static_cast<unsigned char>(rng());
  raw[offsetof(TrcChartItem, Transp)] &= 1;
  TrcChartItem it;
  std::memcpy(static_cast<void*>(&it), raw, sizeof it);
  return it;
}

// NaNs with payloads (a signalling one among them), infinities, signed zeros, a denormal.
const std::vector<double> kOdd{std::bit_cast<double>(0x7ff0000000000001ull), std::bit_cast<double>(0xfff8000000000123ull),
                               std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                               -0.0, 0.0, std::numeric_limits<double>::denorm_min()};

// What the same sequence of single Append calls leaves.
struct Model {
  std::vector<TrcChartItem> items;
  Integer numAlloc = 0;
  void append(const TrcChartItem& it, Integer step) {
    if (Integer(items.size()) >= numAlloc) numAlloc = Integer(items.size()) + std::max<Integer>(1, step);
    items.push_back(it);
  }
  Integer count() const { return Integer(items.size()); }
};

void expect_stretches(const TRcItemContainer& c, const Model& m, Integer from, Integer to) {
  std::vector<std::pair<TrcChartItem, Integer>> got;
  c.ForEachStretch(from, to, [&](const TrcChartItem& r, Integer n) { got.emplace_back(r, n); });
  Integer at = from;
  for (const auto& [r, n] : got) {
    ASSERT_GT(n, 0) << "empty stretch at " << at;
    ASSERT_LE(at + n, to);
    ASSERT_TRUE(c.Compact() || n == 1);
    ASSERT_TRUE(same_bytes(r, m.items[size_t(at)])) << "stretch record at " << at;
    for (Integer j = at; j < at + n; ++j) ASSERT_TRUE(same_but_point(r, m.items[size_t(j)])) << "stretch item " << j;
    at += n;
  }
  ASSERT_EQ(at, std::max(from, to));
}

void expect_matches(const TRcItemContainer& c, const Model& m, std::mt19937_64& rng) {
  const Integer n = m.count();
  ASSERT_EQ(c.Count(), n);
  ASSERT_EQ(c.NumAlloc(), m.numAlloc);
  ASSERT_EQ(c.NumRuns() > 0, c.Compact() && n > 0);
  for (Integer i = 0; i < n; ++i) ASSERT_TRUE(same_bytes(c[i], m.items[size_t(i)])) << "operator[] " << i;
  TRcItemContainer::Reader rd(c);
  for (Integer i = 0; i < n; ++i) ASSERT_TRUE(same_bytes(rd[i], m.items[size_t(i)])) << "Reader " << i;
  for (int k = 0; k < 16 && n > 0; ++k) {  // jumps both ways
    const Integer i = Integer(rng() % uint64_t(n));
    ASSERT_TRUE(same_bytes(rd[i], m.items[size_t(i)])) << "Reader jump " << i;
  }
  Integer i = 0;
  for (const TrcChartItem& it : c) {
    ASSERT_LT(i, n);
    ASSERT_TRUE(same_bytes(it, m.items[size_t(i)])) << "range-for " << i;
    ++i;
  }
  ASSERT_EQ(i, n);
  ASSERT_NO_FATAL_FAILURE(expect_stretches(c, m, 0, n));
  if (n > 1) {
    const Integer a = Integer(rng() % uint64_t(n)), b = Integer(rng() % uint64_t(n));
    ASSERT_NO_FATAL_FAILURE(expect_stretches(c, m, std::min(a, b), std::max(a, b) + 1));
  }
}

// Runs random operations on a container and its model. With LongRuns the items come in
// long runs of a few attribute sets and x grows, so storage must stay compact; without,
// runs are short and it turns full, is cleared and turns full again.
class Driver {
 public:
  Driver(uint64_t Seed, bool LongRuns) : rng(Seed), longRuns(LongRuns) {
    for (int k = 0; k < 5; ++k) pool.push_back(random_record(rng));
  }

  std::mt19937_64 rng;
  bool longRuns;
  std::vector<TrcChartItem> pool;
  TRcItemContainer c;
  Model m;
  double nextX = 0;
  int compactChecks = 0, fullChecks = 0;

  Integer step() {
    static const Integer steps[] = {1, 3, 7, 100, 1000};
    return steps[rng() % 5];
  }
  Integer below(Integer n) { return n > 0 ? Integer(rng() % uint64_t(n)) : 0; }
  double odd() { return kOdd[rng() % kOdd.size()]; }
  double coordX() { return longRuns ? nextX += 1 : rng() % 16 == 0 ? odd() : double(rng() % 1000); }
  double coordY() { return rng() % 16 == 0 ? odd() : double(int64_t(rng() % 2001) - 1000) / 8; }
  TrcChartItem pick() { return rng() % (longRuns ? 40 : 3) == 0 ? random_record(rng) : pool[rng() % pool.size()]; }
  TrcChartItem placed(TrcChartItem t) {
    t.x = coordX();
    t.y = coordY();
    return t;
  }
  Integer runLength() { return longRuns ? 16 + below(48) : 1 + below(4); }

  void appendPoints(int stride) {
    const TrcChartItem first = pick(), rest = rng() % 2 ? first : pick();
    const std::size_t n = std::size_t(longRuns ? runLength() * 4 : below(12));
    std::vector<double> xs(n * 3 + 1), ys(n * 3 + 1);
    std::vector<TRealPoint> pts(n + 1);
    for (std::size_t i = 0; i < n; ++i) {
      pts[i] = {coordX(), coordY()};
      xs[i * std::size_t(stride)] = pts[i].x;
      ys[i * std::size_t(stride)] = pts[i].y;
    }
    const Integer s = step();
    if (stride == 2) c.AppendPoints(first, rest, &pts[0].x, &pts[0].y, 2, n, s);
    else c.AppendPoints(first, rest, xs.data(), ys.data(), std::size_t(stride), n, s);
    for (std::size_t i = 0; i < n; ++i) {
      TrcChartItem it = i == 0 ? first : rest;
      it.x = pts[i].x;
      it.y = pts[i].y;
      m.append(it, s);
    }
  }

  void operate() {
    const int op = int(rng() % 22);
    switch (op) {
      case 0: case 1: case 2: {
        const Integer s = step();
        for (Integer runs = 1 + below(8); runs > 0; --runs) {
          const TrcChartItem t = pick();
          for (Integer k = runLength(); k > 0; --k) {
            const TrcChartItem it = placed(t);
            c.Append(it, s);
            m.append(it, s);
          }
        }
        break;
      }
      case 3: appendPoints(1); break;
      case 4: appendPoints(2); break;
      case 5: appendPoints(3); break;
      case 6: case 7: case 8: {  // a new point, or (rarely with long runs) a new record
        const Integer i = below(m.count() + 2) - 1;
        if (i < 0 || i >= m.count()) {
          c.Set(i, pick());  // out of range: ignored
          break;
        }
        TrcChartItem it = m.items[size_t(i)];
        if (op == 8 && (!longRuns || rng() % 4 == 0)) it = pick();
        it.y = coordY();
        if (!longRuns || op == 8) it.x = coordX();
        c.Set(i, it);
        m.items[size_t(i)] = it;
        break;
      }
      case 9: case 10: {  // one class changes colour, or x decides: runs split where x crosses t
        const Byte cls = pool[rng() % pool.size()].ItemClass;
        const TColor col = TColor(rng() % 0x1000000);
        const double t = longRuns ? nextX - double(below(200)) : double(below(1000));
        const bool byX = op == 10, flip = !longRuns;
        const auto fn = [=](TrcChartItem& it) {
          if (!byX && it.ItemClass == cls) it.Color = col;
          if (byX) it.Tag = flip ? it.Tag ^ (it.x > t ? 1 : 0) : it.x > t ? 7 : 3;
        };
        c.Modify(fn);
        for (TrcChartItem& it : m.items) fn(it);
        break;
      }
      case 11: case 12: {
        const Byte cls = pool[rng() % pool.size()].ItemClass;
        const double t = longRuns ? (m.count() ? m.items[0].x : 0) + double(below(200)) : double(below(100));
        const bool byClass = op == 11 && rng() % 3 == 0;
        const auto gone = [=](const TrcChartItem& it) { return byClass ? it.ItemClass == cls : it.x < t; };
        const Integer before = m.count();
        std::erase_if(m.items, gone);
        ASSERT_EQ(c.RemoveIf(gone), before - m.count());
        break;
      }
      case 13: case 14: {
        const Integer k = rng() % 50 == 0 ? m.count() : below(m.count() / 8 + 1);
        c.RemoveFirst(k);
        m.items.erase(m.items.begin(), m.items.begin() + k);
        break;
      }
      case 15: {
        const Integer i = below(m.count() + 2) - 1;
        c.Delete(i);
        if (i >= 0 && i < m.count()) m.items.erase(m.items.begin() + i);
        break;
      }
      case 16: {
        const Integer k = std::max<Integer>(0, m.count() - below(m.count() / 8 + 2));
        c.Truncate(k);
        if (k < m.count()) m.items.resize(size_t(k));
        break;
      }
      case 17: {
        if (rng() % (longRuns ? 10 : 3) != 0) break;
        c.Clear();
        m = Model();
        ASSERT_TRUE(c.Compact());
        break;
      }
      case 18: {  // go on with a copy, made by construction or assignment
        TRcItemContainer d(c);
        ASSERT_NO_FATAL_FAILURE(expect_matches(d, m, rng));
        if (rng() % 2) {
          c.Swap(d);
        } else {
          TRcItemContainer e;
          e.Append(pick(), 5);
          e = d;
          ASSERT_NO_FATAL_FAILURE(expect_matches(e, m, rng));
          TRcItemContainer& self = c;
          c = self;
          c = e;
        }
        break;
      }
      case 19: c.Reserve(std::size_t(m.count() + below(3000))); break;
      case 20: {
        const Integer slots = m.count() - 20 + below(200);
        c.SetNumAlloc(slots);
        m.numAlloc = std::max(slots, m.count());
        break;
      }
      case 21: {
        if (longRuns || rng() % 8 != 0) break;
        if (rng() % 2) {
          c.MakeFull();
        } else {
          const std::size_t n = std::size_t(1 + below(6));
          const Integer s = step();
          TrcChartItem* slots = c.AppendSlots(n, s);
          for (std::size_t i = 0; i < n; ++i) {
            slots[i] = placed(pick());
            m.append(slots[i], s);
          }
        }
        ASSERT_FALSE(c.Compact());
        break;
      }
    }
    if (m.count() > 6000) {  // keep the checks cheap
      const Integer k = m.count() - 4000;
      c.RemoveFirst(k);
      m.items.erase(m.items.begin(), m.items.begin() + k);
    }
  }

  void run(int Steps) {
    for (int s = 0; s < Steps; ++s) {
      ASSERT_NO_FATAL_FAILURE(operate()) << "step " << s;
      ASSERT_NO_FATAL_FAILURE(expect_matches(c, m, rng)) << "step " << s;
      ASSERT_TRUE(c.Compact() || !longRuns) << "step " << s;
      ++(c.Compact() ? compactChecks : fullChecks);
    }
  }
};

TEST(ZuCompact, LongRunsStayCompactAndReadBackExactlyAfterEveryOperation) {
  for (const uint64_t seed : {1u, 2u, 3u}) {
    SCOPED_TRACE(seed);
    Driver d(seed, true);
    ASSERT_NO_FATAL_FAILURE(d.run(1500));
    EXPECT_EQ(d.fullChecks, 0);
  }
}

TEST(ZuCompact, ShortRunsTurnFullAndReadBackExactlyAfterEveryOperation) {
  for (const uint64_t seed : {11u, 12u, 13u}) {
    SCOPED_TRACE(seed);
    Driver d(seed, false);
    ASSERT_NO_FATAL_FAILURE(d.run(3000));
    // Both kinds of storage were gone through (Clear makes it compact again).
    EXPECT_GT(d.compactChecks, 50);
    EXPECT_GT(d.fullChecks, 50);
  }
}

// The random runs mix odd values in; here every pair of them goes through both ways of
// bulk entry (a block copy of point pairs, a loop over separate arrays) and both storages.
TEST(ZuCompact, NaNsInfinitiesAndNegativeZeroKeepTheirBits) {
  std::mt19937_64 rng(5);
  const TrcChartItem a = random_record(rng), b = random_record(rng);
  std::vector<TRealPoint> pts;
  for (double x : kOdd)
    for (double y : kOdd) pts.push_back({x, y});
  std::vector<double> xs(pts.size() * 2);
  std::memcpy(xs.data(), pts.data(), xs.size() * sizeof(double));
  TRcItemContainer c;
  Model m;
  c.AppendPoints(a, b, &pts[0].x, &pts[0].y, 2, pts.size(), 10);
  c.AppendPoints(b, a, xs.data() + 1, xs.data(), 2, pts.size(), 10);  // x and y swapped
  for (int pass = 0; pass < 2; ++pass)
    for (std::size_t i = 0; i < pts.size(); ++i) {
      TrcChartItem it = (i == 0) == (pass == 0) ? a : b;
      it.x = pass ? pts[i].y : pts[i].x;
      it.y = pass ? pts[i].x : pts[i].y;
      m.append(it, 10);
    }
  ASSERT_TRUE(c.Compact());
  ASSERT_NO_FATAL_FAILURE(expect_matches(c, m, rng));
  c.MakeFull();
  ASSERT_NO_FATAL_FAILURE(expect_matches(c, m, rng));
}

TEST(ZuCompact, AMillionPointsTakeAboutSixteenBytesEachAndDistinctRecordsTurnFull) {
  TRcItemContainer c;
  TrcChartItem move{}, line{};
  move.ItemKind = tkMoveTo;
  line.ItemKind = tkLineto;
  // In chunks, as a polyline is continued.
  constexpr std::size_t kChunk = 10000, kChunks = 100;
  std::vector<double> xs(kChunk), ys(kChunk);
  for (std::size_t k = 0; k < kChunks; ++k) {
    for (std::size_t i = 0; i < kChunk; ++i) {
      xs[i] = double(k * kChunk + i);
      ys[i] = -xs[i];
    }
    c.AppendPoints(k == 0 ? move : line, line, xs.data(), ys.data(), 1, kChunk, 1000);
  }
  ASSERT_EQ(c.Count(), Integer(kChunk * kChunks));
  EXPECT_EQ(c.NumAlloc(), c.Count());
  EXPECT_TRUE(c.Compact());
  EXPECT_EQ(c.NumRuns(), 2u);
  EXPECT_LT(c.StorageBytes(), std::size_t(20) * kChunk * kChunks);
  TRcItemContainer::Reader rd(c);
  for (Integer i = 0; i < c.Count(); ++i) {
    TrcChartItem want = i == 0 ? move : line;
    want.x = double(i);
    want.y = -double(i);
    ASSERT_TRUE(same_bytes(rd[i], want)) << i;
  }

  std::mt19937_64 rng(9);
  TRcItemContainer d;
  Model m;
  for (int k = 0; k < 200; ++k) {
    const TrcChartItem it = random_record(rng);
    d.Append(it, 1000);
    m.append(it, 1000);
    EXPECT_TRUE(d.Compact() || k >= int(TRcItemContainer::kMinRuns)) << k;
  }
  EXPECT_FALSE(d.Compact());
  ASSERT_NO_FATAL_FAILURE(expect_matches(d, m, rng));
  d.Clear();
  EXPECT_TRUE(d.Compact());
}

// A polyline in a rolling window, as the feed keeps it: points go on at the end, the
// oldest leave and the new first point turns into a move; now and then the line breaks.
TEST(ZuCompact, RollingPolylineWindowStaysCompactWithFewRuns) {
  std::mt19937_64 rng(21);
  TrcChartItem move{}, line{};
  move.ItemKind = tkMoveTo;
  move.Color = line.Color = 0x336699;
  line.ItemKind = tkLineto;
  TRcItemContainer c;
  std::deque<TrcChartItem> model;
  double x = 0;
  constexpr Integer kWindow = 4000;
  for (int frame = 0; frame < 1500; ++frame) {
    const std::size_t n = 1 + rng() % 400;
    std::vector<TRealPoint> pts(n);
    for (TRealPoint& p : pts) p = {x += 1, double(rng() % 500)};
    const bool brk = frame == 0 || rng() % 40 == 0;
    c.AppendPoints(brk ? move : line, line, &pts[0].x, &pts[0].y, 2, n, 1000);
    for (std::size_t i = 0; i < n; ++i) {
      TrcChartItem it = i == 0 && brk ? move : line;
      it.x = pts[i].x;
      it.y = pts[i].y;
      model.push_back(it);
    }
    if (c.Count() > kWindow) {
      const Integer drop = c.Count() - kWindow;
      c.RemoveFirst(drop);
      model.erase(model.begin(), model.begin() + drop);
      if (model.front().ItemKind == tkLineto) {
        TrcChartItem it = c[0];
        it.ItemKind = tkMoveTo;
        c.Set(0, it);
        model.front() = it;
      }
    }
    ASSERT_EQ(c.Count(), Integer(model.size())) << frame;
    ASSERT_TRUE(c.Compact()) << frame;
    std::size_t moves = 0;
    TRcItemContainer::Reader rd(c);
    for (Integer i = 0; i < c.Count(); ++i) {
      ASSERT_TRUE(same_bytes(rd[i], model[size_t(i)])) << "frame " << frame << " item " << i;
      moves += model[size_t(i)].ItemKind == tkMoveTo;
    }
    // A move and the line behind it: no runs pile up as the window rolls.
    ASSERT_LE(c.NumRuns(), 2 * moves) << frame;
  }
}

// The whole 104-byte image, tail padding included, through every way in and out; Modify
// finds the runs whatever the padding holds.
TEST(ZuCompact, TailPaddingReadsBackAsStored) {
  const auto record = [](unsigned char fill) {
    unsigned char raw[sizeof(TrcChartItem)];
    std::memset(raw, fill, sizeof raw);
    raw[offsetof(TrcChartItem, Transp)] = 1;
    TrcChartItem it;
    std::memcpy(static_cast<void*>(&it), raw, sizeof it);
    return it;
  };
  const TrcChartItem a = record(0xA5), b = record(0x3C);
  const auto whole = [](const TrcChartItem& got, const TrcChartItem& want) {
    return std::memcmp(&got, &want, sizeof got) == 0;
  };
  TRcItemContainer c;
  for (int i = 0; i < 60; ++i) c.Append(a, 10);
  c.AppendPoints(a, a, &a.x, &a.y, 0, 40, 10);
  for (const Integer i : {50, 0, 20, 21, 99}) c.Set(i, b);  // splits a run, starts one, ends one
  c.Set(21, a);
  const auto want = [&](Integer i) { return i == 50 || i == 0 || i == 20 || i == 99 ? b : a; };
  const auto expect_all = [&](const TRcItemContainer& s, const char* after) {
    SCOPED_TRACE(after);
    TRcItemContainer::Reader rd(s);
    for (Integer i = 0; i < s.Count(); ++i) {
      EXPECT_TRUE(whole(rd[i], want(i))) << "Reader " << i;
      const TrcChartItem copy = s[i];
      EXPECT_TRUE(whole(copy, want(i))) << "operator[] " << i;
    }
    for (const TrcChartItem& it : s) EXPECT_TRUE(whole(it, it.x == b.x ? b : a)) << "range-for";
    s.ForEachStretch(0, s.Count(), [&](const TrcChartItem& r, Integer) {
      EXPECT_TRUE(whole(r, r.x == b.x ? b : a)) << "stretch";
    });
  };
  expect_all(c, "Append, Set");
  expect_all(TRcItemContainer(c), "copy");
  c.Modify([](TrcChartItem&) {});
  EXPECT_EQ(c.NumRuns(), 7u);  // b a b a b a b: the two runs of a that Set left side by side join
  expect_all(c, "Modify");
  EXPECT_EQ(c.RemoveIf([](const TrcChartItem& it) { return it.x == 0; }), 0);
  expect_all(c, "RemoveIf");
  c.MakeFull();
  expect_all(c, "MakeFull");
}

}  // namespace
}  // namespace kvr
