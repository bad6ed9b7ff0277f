#include "zuvado/itemstore.h"

#include <algorithm>
#include <limits>
#include <new>

namespace kvr {

namespace {

constexpr std::size_t kMaxSlots = std::size_t(std::numeric_limits<Integer>::max());
constexpr std::size_t kItem = sizeof(TrcChartItem);

}  // namespace

TRcItemContainer::TRcItemContainer() { Reallocate(1); }

TRcItemContainer::TRcItemContainer(const TRcItemContainer& Other) {
  Reallocate(std::max<std::size_t>(1, std::size_t(Other.FNumAlloc)));
  std::memcpy(static_cast<void*>(FItems), Other.FItems, kItem * std::size_t(Other.FCount));
  FCount = Other.FCount;
  FNumAlloc = Other.FNumAlloc;
}

TRcItemContainer& TRcItemContainer::operator=(const TRcItemContainer& Other) {
  if (this == &Other) return *this;
  TRcItemContainer copy(Other);
  FBlock.swap(copy.FBlock);
  std::swap(FItems, copy.FItems);
  std::swap(FHead, copy.FHead);
  std::swap(FCapacity, copy.FCapacity);
  std::swap(FCount, copy.FCount);
  std::swap(FNumAlloc, copy.FNumAlloc);
  return *this;
}

TRcItemContainer::~TRcItemContainer() = default;

void TRcItemContainer::Rebase() {
  FItems = reinterpret_cast<TrcChartItem*>(static_cast<char*>(FBlock.data()) + FHead);
  FCapacity = std::min(kMaxSlots, (FBlock.size() - FHead) / kItem);
}

// The block keeps the items in use; a fresh heap block gets its one cleared slot here
// (fresh mappings read as zero already). On a mapping, a gap of less than a huge page
// stays in front: closing it would move every item.
void TRcItemContainer::Reallocate(std::size_t Slots) {
  if (Slots == 0) Slots = 1;
  if (!RecycleGap() && !FBlock.mapped()) CloseGap();
  const bool fresh = FBlock.data() == nullptr;
  if (Slots > (std::numeric_limits<std::size_t>::max() - FHead) / kItem) throw std::bad_alloc();
  // A mapping that shrinks back to the heap brings its small gap along.
  FBlock.resize(FHead + Slots * kItem, FHead + kItem * std::size_t(FCount));
  Rebase();
  if (fresh && !FBlock.mapped()) std::memset(static_cast<void*>(FItems), 0, kItem);
}

void TRcItemContainer::CloseGap() {
  if (FHead == 0) return;
  std::memmove(FBlock.data(), static_cast<const void*>(FItems), kItem * std::size_t(FCount));
  FHead = 0;
  Rebase();
}

bool TRcItemContainer::RecycleGap() {
  if (!FBlock.mapped() || FHead < detail::PagedBlock::kHugePage) return false;
  const std::size_t r = FBlock.recycle_front(FHead);
  if (r == 0) return false;
  FHead -= r;
  Rebase();
  return true;
}

void TRcItemContainer::TakeGap() {
  if (!RecycleGap()) CloseGap();
}

// Closing a small gap would move all items for a few slots, again and again in a
// rolling window; growing instead makes the next gaps large enough to pay for the move.
// Recycling pages moves no items, so any gap of whole huge pages that makes room will do.
void TRcItemContainer::MakeRoom(std::size_t Slots) {
  if (Slots <= FCapacity) return;
  const std::size_t total = FBlock.size() / kItem;
  if (FBlock.mapped()) {
    const std::size_t huge = detail::PagedBlock::kHugePage;
    if ((FHead / huge * huge) / kItem + FCapacity >= Slots && RecycleGap() && Slots <= FCapacity) return;
  }
  if (FHead >= kItem * std::size_t(FCount) && Slots <= total) {
    CloseGap();
    if (Slots <= FCapacity) return;
  }
  Reallocate(std::min(kMaxSlots, std::max(Slots, total * 2)));
}

void TRcItemContainer::Grow(Integer AllocSize) {
  const std::size_t step = std::size_t(std::max<Integer>(1, AllocSize));
  const std::size_t wanted = std::size_t(FCount) + step;
  if (std::size_t(FCount) >= kMaxSlots) throw std::bad_alloc();
  const std::size_t slots = std::min(wanted, kMaxSlots);
  // NumAlloc grows only once the storage holds it: after a failed allocation Append
  // must still find the container full.
  MakeRoom(slots);
  FNumAlloc = Integer(slots);
}

// NumAlloc ends where Count single appends leave it: the first growth happens when the
// count reaches NumAlloc (or at once if it already has), each adds AllocSize.
TrcChartItem* TRcItemContainer::AppendSlots(std::size_t Count, Integer AllocSize) {
  const std::size_t need = std::size_t(FCount) + Count;
  if (need > kMaxSlots) throw std::bad_alloc();
  std::size_t numAlloc = std::size_t(FNumAlloc);
  if (Count > 0 && need > numAlloc) {
    const std::size_t step = std::size_t(std::max<Integer>(1, AllocSize));
    const std::size_t start = std::max(numAlloc, std::size_t(FCount));
    numAlloc = std::min(kMaxSlots, start + (need - start + step - 1) / step * step);
  }
  MakeRoom(numAlloc > need ? numAlloc : need);
  FNumAlloc = Integer(numAlloc);
  TrcChartItem* first = FItems + FCount;
  FCount = Integer(need);
  return first;
}

void TRcItemContainer::RemoveFirst(Integer Count) {
  if (Count <= 0) return;
  if (Count > FCount) Count = FCount;
  FItems += Count;
  FHead += kItem * std::size_t(Count);
  FCapacity -= std::size_t(Count);
  FCount -= Count;
  // Where the block has the address space to move forward into, the gap's pages go to
  // the end once they are a quarter of the block: a page-table move of those pages alone
  // rather than of the whole block, and few enough calls that their fixed cost (a TLB
  // flush on every processor that runs the program) stays small.
  if (FBlock.room() >= detail::PagedBlock::kHugePage && FHead >= FBlock.size() / 4) RecycleGap();
  if (FHead >= kItem * std::size_t(FCount)) TakeGap();
}

void TRcItemContainer::Clear() {
  FBlock.release();
  FItems = nullptr;
  FHead = 0;
  FCapacity = 0;
  FCount = 0;
  FNumAlloc = 0;
  Reallocate(1);
}

void TRcItemContainer::SetNumAlloc(Integer Slots) {
  Slots = std::max(Slots, FCount);
  if (std::size_t(Slots) > FCapacity) Reallocate(std::size_t(Slots));
  FNumAlloc = Slots;
}

void TRcItemContainer::Reserve(std::size_t Slots) {
  Slots = std::min(Slots, kMaxSlots);
  if (Slots <= FBlock.size() / kItem) return;
  Reallocate(Slots);
  if (FBlock.reserve_room()) Rebase();
  FBlock.prefault(FHead + kItem * std::size_t(FCount), FBlock.size());
}

void TRcItemContainer::Delete(Integer Index) {
  if (!InRange(Index)) return;
  std::memmove(static_cast<void*>(FItems + Index), FItems + Index + 1, kItem * std::size_t(FCount - Index - 1));
  --FCount;
}

void TRcItemContainer::Truncate(Integer NewCount) {
  if (NewCount >= 0 && NewCount < FCount) FCount = NewCount;
}

}  // namespace kvr
