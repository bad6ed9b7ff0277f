#include "zuvado/itemstore.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#define KVR_ITEMSTORE_MAPPED 1
#endif

namespace kvr {

namespace {

constexpr std::size_t kMaxSlots = std::size_t(std::numeric_limits<Integer>::max());

#if KVR_ITEMSTORE_MAPPED
// Blocks from this size on are page mappings aligned to the huge-page size.
constexpr std::size_t kHugePage = std::size_t(2) << 20;

std::size_t round_up(std::size_t v, std::size_t to) { return (v + to - 1) / to * to; }

// Reserves Bytes of address space aligned to a huge page; the caller fills it.
char* reserve_aligned(std::size_t Bytes) {
  const std::size_t len = Bytes + kHugePage;
  void* raw = mmap(nullptr, len, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  char* base = static_cast<char*>(raw);
  char* aligned = reinterpret_cast<char*>(round_up(reinterpret_cast<std::uintptr_t>(base), kHugePage));
  if (aligned > base) munmap(base, std::size_t(aligned - base));
  char* end = aligned + Bytes;
  if (end < base + len) munmap(end, std::size_t(base + len - end));
  return aligned;
}

// A fresh read-write mapping (zero pages, committed on first write).
void* map_block(std::size_t Bytes) {
  char* p = reserve_aligned(Bytes);
  if (mmap(p, Bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) ==
      MAP_FAILED) {
    munmap(p, Bytes);
    throw std::bad_alloc();
  }
  madvise(p, Bytes, MADV_HUGEPAGE);
  return p;
}

// Moves a mapping to a larger aligned place; the pages move, the items are not copied.
void* grow_block(void* Old, std::size_t OldBytes, std::size_t NewBytes) {
  char* dest = reserve_aligned(NewBytes);
  void* p = mremap(Old, OldBytes, NewBytes, MREMAP_MAYMOVE | MREMAP_FIXED, dest);
  if (p == MAP_FAILED) {
    munmap(dest, NewBytes);
    void* fresh = map_block(NewBytes);
    std::memcpy(fresh, Old, OldBytes);
    munmap(Old, OldBytes);
    return fresh;
  }
  madvise(p, NewBytes, MADV_HUGEPAGE);
  return p;
}
#endif

}  // namespace

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
  std::swap(FBytes, copy.FBytes);
  std::swap(FMapped, copy.FMapped);
  std::swap(FCount, copy.FCount);
  std::swap(FNumAlloc, copy.FNumAlloc);
  return *this;
}

TRcItemContainer::~TRcItemContainer() { Release(); }

void TRcItemContainer::Release() {
#if KVR_ITEMSTORE_MAPPED
  if (FMapped) {
    munmap(FItems, FBytes);
  } else
#endif
  {
    std::free(FItems);
  }
  FItems = nullptr;
  FCapacity = 0;
  FBytes = 0;
  FMapped = false;
}

// Small blocks stay on the heap; once a block reaches the huge-page size it becomes a
// mapping of its own (copied over once) and later grows without copying.
void TRcItemContainer::Reallocate(std::size_t Slots) {
  if (Slots == 0) Slots = 1;
  const bool fresh = FItems == nullptr;
  std::size_t bytes = Slots * sizeof(TrcChartItem);
#if KVR_ITEMSTORE_MAPPED
  if (bytes >= kHugePage) {
    bytes = round_up(bytes, kHugePage);
    void* p;
    if (FMapped) {
      p = grow_block(FItems, FBytes, bytes);
    } else {
      p = map_block(bytes);
      if (FItems) std::memcpy(p, static_cast<void*>(FItems), sizeof(TrcChartItem) * std::size_t(FCount));
      std::free(FItems);
    }
    FItems = static_cast<TrcChartItem*>(p);
    FBytes = bytes;
    FMapped = true;
    FCapacity = std::min(kMaxSlots, bytes / sizeof(TrcChartItem));
    return;
  }
#endif
  void* p = std::realloc(FItems, bytes);
  if (!p) throw std::bad_alloc();
  FItems = static_cast<TrcChartItem*>(p);
  FBytes = bytes;
  FCapacity = Slots;
  if (fresh) std::memset(static_cast<void*>(FItems), 0, sizeof(TrcChartItem));
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
  Release();
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
