// TRcItemContainer: the growable array of chart items behind the data and the
// annotation container of a chart.
//
// Two sizes are kept apart. NumAlloc is the chart's own bookkeeping of allocated slots:
// it grows in steps of the chart's AllocSize (count + AllocSize when full) and can be set
// exactly when a file is loaded. The storage underneath grows geometrically, so
// appending stays amortised constant time whatever AllocSize is. Large storage is a
// page mapping of its own (detail::PagedBlock) that grows by moving page tables instead
// of copying items, so that a million appends cost a few page faults instead of tens of
// thousands; slots past the count are never touched before they are used. An empty
// container keeps one cleared slot and NumAlloc 0.
//
// Removing items from the front only moves the start of the items forward. On a
// mapping, the whole huge pages of that gap are handed to the end of the storage
// (PagedBlock::recycle_front: page tables move, no item is copied, and the room keeps
// memory that was touched before, so it takes no page faults): once the gap is a
// quarter of the block if the block has address space behind it, else once the gap is
// as large as the items or the end needs the room. On the heap, or when the system refuses, the gap is closed by
// moving the items down once it is as large as the items that remain. Either way a
// rolling window pays O(removed) amortised per removal, and its storage stays bounded.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstring>

#include "platform/pagedblock.h"
#include "zuvado/chartitem.h"

namespace kvr {

class TRcItemContainer {
 public:
  TRcItemContainer();
  TRcItemContainer(const TRcItemContainer& Other);
  TRcItemContainer& operator=(const TRcItemContainer& Other);
  ~TRcItemContainer();

  Integer Count() const { return FCount; }
  Integer NumAlloc() const { return FNumAlloc; }
  // Slots the storage holds from the first item on (at least 1; at least NumAlloc
  // unless items were removed from the front).
  std::size_t Capacity() const { return FCapacity; }
  // Bytes of storage, the gap in front of the items included.
  std::size_t StorageBytes() const { return FBlock.size(); }
  bool InRange(Integer Index) const { return Index >= 0 && Index < FCount; }

  const TrcChartItem& operator[](Integer Index) const {
    assert(InRange(Index));
    return FItems[Index];
  }
  TrcChartItem& operator[](Integer Index) {
    assert(InRange(Index));
    return FItems[Index];
  }
  TrcChartItem* begin() { return FItems; }
  TrcChartItem* end() { return FItems + FCount; }
  const TrcChartItem* begin() const { return FItems; }
  const TrcChartItem* end() const { return FItems + FCount; }

  // Stores a copy of Item (its byte image, padding included) at index Count. When the
  // count has reached NumAlloc, AllocSize more slots are allocated first.
  TrcChartItem& Append(const TrcChartItem& Item, Integer AllocSize) {
    if (FCount >= FNumAlloc) Grow(AllocSize);
    else if (std::size_t(FCount) >= FCapacity) MakeRoom(std::size_t(FCount) + 1);
    TrcChartItem* slot = FItems + FCount;
    std::memcpy(static_cast<void*>(slot), &Item, sizeof(TrcChartItem));
    ++FCount;
    return *slot;
  }
  // Count slots appended at once, as Count calls of Append would leave the count and
  // NumAlloc; returns the first of them for the caller to fill (their bytes are
  // undefined until then).
  TrcChartItem* AppendSlots(std::size_t Count, Integer AllocSize);
  // Removes the first Count items (0 <= Count <= Count()); NumAlloc stays.
  void RemoveFirst(Integer Count);
  // Count 0, NumAlloc 0, storage back to one cleared slot.
  void Clear();
  // NumAlloc := Slots exactly (not below the count), for loading a known number.
  void SetNumAlloc(Integer Slots);
  // Removes one item; the later ones move down by one.
  void Delete(Integer Index);
  // Keeps the first NewCount items (0 <= NewCount <= Count).
  void Truncate(Integer NewCount);
  // Makes the storage hold at least Slots slots in all (the items, the room behind them
  // and the gap in front, which a mapping reuses) and commits the memory of the room now,
  // so that appending up to there, and a rolling window of up to about half of it, takes
  // no page faults later. Count and NumAlloc stay. Out of memory raises std::bad_alloc.
  void Reserve(std::size_t Slots);

 private:
  void Grow(Integer AllocSize);
  // Makes the storage hold Slots from FItems on.
  void Reallocate(std::size_t Slots);
  // Moves the items to the start of the block.
  void CloseGap();
  // Hands the whole pages of the gap to the end of a mapping; false if none moved.
  bool RecycleGap();
  // The gap is as large as the items: recycled, or else closed.
  void TakeGap();
  // FItems and FCapacity after the block or FHead changed.
  void Rebase();
  // Makes Slots fit from FItems on: reuses the gap where that is cheap, else grows.
  void MakeRoom(std::size_t Slots);

  detail::PagedBlock FBlock;
  TrcChartItem* FItems = nullptr;  // FBlock's bytes, FHead bytes in
  std::size_t FHead = 0;           // bytes before FItems left by RemoveFirst
  std::size_t FCapacity = 0;       // slots from FItems to the end of the block
  Integer FCount = 0;
  Integer FNumAlloc = 0;
};

}  // namespace kvr
