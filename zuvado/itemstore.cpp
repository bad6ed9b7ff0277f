#include "zuvado/itemstore.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <new>

namespace kvr {

namespace {
constexpr std::size_t kMaxSlots = std::size_t(std::numeric_limits<Integer>::max());
}

TRcItemContainer::TRcItemContainer() { Reallocate(1); }

TRcItemContainer::TRcItemContainer(const TRcItemContainer& Other) {
  Reallocate(std::max<std::size_t>(1, std::size_t(Other.FNumAlloc)));
  std::memcpy(static_cast<void*>(FItems), Other.FItems, sizeof(TrcChartItem) * std::size_t(Other.FCount));
  FCount = Other.FCount;
  FNumAlloc = Other.FNumAlloc;
}

TRcItemContainer& TRcItemContainer::operator=(const TRcItemContainer& Other) {
  if (this == &Other) return *this;
  TRcItemContainer copy(Other);
  std::swap(FItems, copy.FItems);
  std::swap(FCapacity, copy.FCapacity);
  std::swap(FCount, copy.FCount);
  std::swap(FNumAlloc, copy.FNumAlloc);
  return *this;
}

TRcItemContainer::~TRcItemContainer() { std::free(FItems); }

// Large blocks come from the system's page mapper, which moves them without copying
// and commits pages only when they are written; doubling therefore costs neither time
// nor resident memory beyond the items actually stored.
void TRcItemContainer::Reallocate(std::size_t Slots) {
  if (Slots == 0) Slots = 1;
  void* p = std::realloc(FItems, Slots * sizeof(TrcChartItem));
  if (!p) throw std::bad_alloc();
  FItems = static_cast<TrcChartItem*>(p);
  if (FCapacity == 0) std::memset(static_cast<void*>(FItems), 0, sizeof(TrcChartItem));
  FCapacity = Slots;
}

void TRcItemContainer::Grow(Integer AllocSize) {
  const std::size_t step = std::size_t(std::max<Integer>(1, AllocSize));
  const std::size_t wanted = std::size_t(FCount) + step;
  if (std::size_t(FCount) >= kMaxSlots) throw std::bad_alloc();
  FNumAlloc = Integer(std::min(wanted, kMaxSlots));
  if (std::size_t(FNumAlloc) > FCapacity)
    Reallocate(std::min(kMaxSlots, std::max(std::size_t(FNumAlloc), FCapacity * 2)));
}

void TRcItemContainer::Clear() {
  std::free(FItems);
  FItems = nullptr;
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

void TRcItemContainer::Delete(Integer Index) {
  if (!InRange(Index)) return;
  std::memmove(static_cast<void*>(FItems + Index), FItems + Index + 1,
               sizeof(TrcChartItem) * std::size_t(FCount - Index - 1));
  --FCount;
}

void TRcItemContainer::Truncate(Integer NewCount) {
  if (NewCount >= 0 && NewCount < FCount) FCount = NewCount;
}

}  // namespace kvr
