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
  // Slots the storage holds now (at least NumAlloc, at least 1).
  std::size_t Capacity() const { return FCapacity; }
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
    TrcChartItem* slot = FItems + FCount;
    std::memcpy(static_cast<void*>(slot), &Item, sizeof(TrcChartItem));
    ++FCount;
    return *slot;
  }
  // Count 0, NumAlloc 0, storage back to one cleared slot.
  void Clear();
  // NumAlloc := Slots exactly (not below the count), for loading a known number.
  void SetNumAlloc(Integer Slots);
  // Removes one item; the later ones move down by one.
  void Delete(Integer Index);
  // Keeps the first NewCount items (0 <= NewCount <= Count).
  void Truncate(Integer NewCount);

 private:
  void Grow(Integer AllocSize);
  void Reallocate(std::size_t Slots);

  detail::PagedBlock FBlock;
  TrcChartItem* FItems = nullptr;  // FBlock's bytes
  std::size_t FCapacity = 0;
  Integer FCount = 0;
  Integer FNumAlloc = 0;
};

}  // namespace kvr
