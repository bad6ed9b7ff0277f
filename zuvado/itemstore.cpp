#include "zuvado/itemstore.h"

#include <algorithm>
#include <limits>
#include <new>

namespace kvr {

namespace {

constexpr std::size_t kMaxSlots = std::size_t(std::numeric_limits<Integer>::max());

}  // namespace

TRcItemContainer::TRcItemContainer() { FPoints.reallocate(1, 0); }

TRcItemContainer::TRcItemContainer(const TRcItemContainer& Other) : FCompact(Other.FCompact) {
  const std::size_t n = std::size_t(Other.FCount);
  detail::SlotArray& to = Active();
  to.reallocate(std::max<std::size_t>(1, std::size_t(Other.FNumAlloc)), 0);
  if (n > 0) std::memcpy(to.first(), Other.Active().first(), to.elem() * n);
  if (FCompact) {
    // Runs that hold removed items only stay behind; the rest count from item 0 again.
    FRuns.reserve(Other.FRuns.size() - Other.FRunHead);
    for (std::size_t k = Other.FRunHead; k < Other.FRuns.size(); ++k)
      FRuns.push_back(MakeRun(std::max<int64_t>(0, Other.FRuns[k].First - Other.FBase), Other.FRuns[k].Tmpl));
  }
  FCount = Other.FCount;
  FNumAlloc = Other.FNumAlloc;
}

TRcItemContainer& TRcItemContainer::operator=(const TRcItemContainer& Other) {
  if (this == &Other) return *this;
  TRcItemContainer copy(Other);
  Swap(copy);
  return *this;
}

void TRcItemContainer::Swap(TRcItemContainer& Other) noexcept {
  FRecords.swap(Other.FRecords);
  FPoints.swap(Other.FPoints);
  FRuns.swap(Other.FRuns);
  std::swap(FRunHead, Other.FRunHead);
  std::swap(FBase, Other.FBase);
  std::swap(FCount, Other.FCount);
  std::swap(FNumAlloc, Other.FNumAlloc);
  std::swap(FCompact, Other.FCompact);
}

TRcItemContainer::~TRcItemContainer() = default;

std::size_t TRcItemContainer::RunIndex(Integer Index) const {
  const int64_t at = FBase + Index;
  // The last run that starts at or before the item.
  auto it = std::upper_bound(FRuns.begin() + std::ptrdiff_t(FRunHead), FRuns.end(), at,
                             [](int64_t a, const TRun& r) { return a < r.First; });
  assert(it != FRuns.begin() + std::ptrdiff_t(FRunHead));
  return std::size_t(it - FRuns.begin()) - 1;
}

void TRcItemContainer::Reader::Seek(Integer Index) {
  // Passes go forward: the next run is the likely one.
  const std::size_t next = FK + 1;
  if (FHi > FLo && next < FC->FRuns.size() && Index >= FHi && FC->RunEnd(next) > Index) FK = next;
  else FK = FC->RunIndex(Index);
  CopyRecord(FScratch, FC->FRuns[FK].Tmpl);
  FLo = FC->RunStart(FK);
  FHi = Integer(FC->RunEnd(FK));
}

// NumAlloc ends where N single appends leave it: the first growth happens when the count
// reaches NumAlloc (or at once if it already has), each adds AllocSize.
std::size_t TRcItemContainer::GrowFor(std::size_t N, Integer AllocSize) {
  const std::size_t need = std::size_t(FCount) + N;
  if (need > kMaxSlots) throw std::bad_alloc();
  std::size_t numAlloc = std::size_t(FNumAlloc);
  if (N > 0 && need > numAlloc) {
    const std::size_t step = std::size_t(std::max<Integer>(1, AllocSize));
    const std::size_t start = std::max(numAlloc, std::size_t(FCount));
    numAlloc = std::min(kMaxSlots, start + (need - start + step - 1) / step * step);
  }
  Active().make_room(numAlloc > need ? numAlloc : need, std::size_t(FCount));
  return numAlloc;
}

void TRcItemContainer::Grow(Integer AllocSize) {
  const std::size_t step = std::size_t(std::max<Integer>(1, AllocSize));
  if (std::size_t(FCount) >= kMaxSlots) throw std::bad_alloc();
  const std::size_t slots = std::min(std::size_t(FCount) + step, kMaxSlots);
  // NumAlloc grows only once the storage holds it: after a failed allocation Append
  // must still find the container full.
  Active().make_room(slots, std::size_t(FCount));
  FNumAlloc = Integer(slots);
}

void TRcItemContainer::MakeFull() {
  if (!FCompact) return;
  detail::SlotArray full(sizeof(TrcChartItem));
  full.reallocate(std::max<std::size_t>(1, std::size_t(std::max(FNumAlloc, FCount))), 0);
  TrcChartItem* r = reinterpret_cast<TrcChartItem*>(full.first());
  for (std::size_t k = FRunHead; k < FRuns.size(); ++k)
    for (Integer i = RunStart(k), hi = Integer(RunEnd(k)); i < hi; ++i) Compose(r[i], FRuns[k], i);
  FRecords.swap(full);
  FPoints.release();
  FRuns.clear();
  FRuns.shrink_to_fit();
  FRunHead = 0;
  FBase = 0;
  FCompact = false;
}

void TRcItemContainer::Append(const TrcChartItem& Item, Integer AllocSize) {
  const bool extends = FCompact && NumRuns() > 0 && SameStretch(FRuns.back().Tmpl, Item);
  if (FCompact && !extends && !RunsPay(NumRuns() + 1, std::size_t(FCount) + 1)) MakeFull();
  if (FCount >= FNumAlloc) Grow(AllocSize);
  else if (std::size_t(FCount) >= Active().capacity()) Active().make_room(std::size_t(FCount) + 1, std::size_t(FCount));
  if (FCompact) {
    if (!extends) FRuns.push_back(MakeRun(FBase + FCount, Item));
    Points()[FCount] = TRealPoint{Item.x, Item.y};
  } else {
    std::memcpy(static_cast<void*>(Records() + FCount), &Item, sizeof(TrcChartItem));
  }
  ++FCount;
}

void TRcItemContainer::AppendPoints(const TrcChartItem& First, const TrcChartItem& Rest,
                                    const double* X, const double* Y, std::size_t Stride,
                                    std::size_t N, Integer AllocSize) {
  if (N == 0) return;
  const bool restRun = N > 1 && !SameStretch(First, Rest);
  const bool extends = FCompact && NumRuns() > 0 && SameStretch(FRuns.back().Tmpl, First);
  if (FCompact && !RunsPay(NumRuns() + (extends ? 0 : 1) + (restRun ? 1 : 0), std::size_t(FCount) + N))
    MakeFull();
  const std::size_t numAlloc = GrowFor(N, AllocSize);
  FNumAlloc = Integer(numAlloc);
  const Integer at = FCount;
  if (FCompact) {
    if (!extends) FRuns.push_back(MakeRun(FBase + at, First));
    if (restRun) FRuns.push_back(MakeRun(FBase + at + 1, Rest));
    TRealPoint* p = Points() + at;
    if (Stride == 2 && Y == X + 1) {
      std::memcpy(static_cast<void*>(p), X, N * sizeof(TRealPoint));
    } else {
      for (std::size_t i = 0; i < N; ++i) p[i] = TRealPoint{X[i * Stride], Y[i * Stride]};
    }
  } else {
    TrcChartItem* slot = Records() + at;
    std::memcpy(static_cast<void*>(slot), &First, sizeof(TrcChartItem));
    slot->x = X[0];
    slot->y = Y[0];
    for (std::size_t i = 1; i < N; ++i) {
      TrcChartItem* s = slot + i;
      std::memcpy(static_cast<void*>(s), &Rest, sizeof(TrcChartItem));
      s->x = X[i * Stride];
      s->y = Y[i * Stride];
    }
  }
  FCount = Integer(std::size_t(at) + N);
}

TrcChartItem* TRcItemContainer::AppendSlots(std::size_t Count, Integer AllocSize) {
  MakeFull();
  const std::size_t numAlloc = GrowFor(Count, AllocSize);
  FNumAlloc = Integer(numAlloc);
  TrcChartItem* first = Records() + FCount;
  FCount = Integer(std::size_t(FCount) + Count);
  return first;
}

void TRcItemContainer::Set(Integer Index, const TrcChartItem& Item) {
  if (!InRange(Index)) return;
  if (!FCompact) {
    std::memcpy(static_cast<void*>(Records() + Index), &Item, sizeof(TrcChartItem));
    return;
  }
  const std::size_t k = RunIndex(Index);
  if (!SameStretch(FRuns[k].Tmpl, Item)) {
    // The item becomes a run of its own, splitting the one it was in.
    const int64_t at = FBase + Index;
    const bool tail = RunEnd(k) > Index + 1;
    const bool head = FRuns[k].First < at && Index > 0;
    const std::size_t runs = NumRuns() + (head ? 1 : 0) + (tail ? 1 : 0);
    if (runs > kMaxSplitRuns || !RunsPay(runs, std::size_t(FCount))) {
      MakeFull();
      Set(Index, Item);
      return;
    }
    const TRun old = FRuns[k];
    std::size_t pos = k;
    if (head) FRuns.insert(FRuns.begin() + std::ptrdiff_t(++pos), MakeRun(at, Item));
    else FRuns[k] = MakeRun(at, Item);
    if (tail) FRuns.insert(FRuns.begin() + std::ptrdiff_t(pos + 1), MakeRun(at + 1, old.Tmpl));
  }
  Points()[Index] = TRealPoint{Item.x, Item.y};
}

void TRcItemContainer::DropEmptyFrontRuns() {
  while (FRunHead + 1 < FRuns.size() && FRuns[FRunHead + 1].First <= FBase) ++FRunHead;
  if (FCount == 0) {
    FRuns.clear();
    FRunHead = 0;
  } else if (FRunHead > 16 && FRunHead * 2 > FRuns.size()) {
    FRuns.erase(FRuns.begin(), FRuns.begin() + std::ptrdiff_t(FRunHead));
    FRunHead = 0;
  }
}

void TRcItemContainer::RemoveFirst(Integer Count) {
  if (Count <= 0) return;
  if (Count > FCount) Count = FCount;
  Active().drop_front(std::size_t(Count), std::size_t(FCount));
  FCount -= Count;
  if (FCompact) {
    FBase += Count;
    DropEmptyFrontRuns();
  }
}

void TRcItemContainer::Clear() {
  FRecords.release();
  FPoints.release();
  FRuns.clear();
  FRunHead = 0;
  FBase = 0;
  FCount = 0;
  FNumAlloc = 0;
  FCompact = true;
  FPoints.reallocate(1, 0);
}

void TRcItemContainer::SetNumAlloc(Integer Slots) {
  Slots = std::max(Slots, FCount);
  if (std::size_t(Slots) > Active().capacity()) Active().reallocate(std::size_t(Slots), std::size_t(FCount));
  FNumAlloc = Slots;
}

void TRcItemContainer::Reserve(std::size_t Slots) { Active().reserve(Slots, std::size_t(FCount)); }

void TRcItemContainer::Delete(Integer Index) {
  if (!InRange(Index)) return;
  char* at = Active().first() + Active().elem() * std::size_t(Index);
  std::memmove(at, at + Active().elem(), Active().elem() * std::size_t(FCount - Index - 1));
  if (FCompact) {
    const std::size_t k = RunIndex(Index);
    for (std::size_t j = k + 1; j < FRuns.size(); ++j) --FRuns[j].First;
    // A run left empty goes; the first run may start before item 0.
    const int64_t end = k + 1 < FRuns.size() ? FRuns[k + 1].First : FBase + FCount - 1;
    if (end <= std::max<int64_t>(FRuns[k].First, FBase)) FRuns.erase(FRuns.begin() + std::ptrdiff_t(k));
  }
  --FCount;
  if (FCompact && FCount == 0) DropEmptyFrontRuns();
}

void TRcItemContainer::Truncate(Integer NewCount) {
  if (NewCount < 0 || NewCount >= FCount) return;
  FCount = NewCount;
  if (!FCompact) return;
  while (FRuns.size() > FRunHead + 1 && FRuns.back().First >= FBase + FCount) FRuns.pop_back();
  if (FCount == 0) DropEmptyFrontRuns();
}

}  // namespace kvr
