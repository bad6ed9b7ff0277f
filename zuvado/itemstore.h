// TRcItemContainer: the growable array of chart items behind the data and the
// annotation container of a chart.
//
// Items are stored in one of two ways. Compact storage keeps runs of items whose records
// differ only in x and y (the points of a polyline or a mark series, however they were
// appended) as one record per run plus 16 bytes per item; that is the start of every
// container. Full storage keeps each item's whole record. A container turns full, once,
// when runs grow short (more than one run per kMinItemsPerRun items, past kMinRuns), when
// Set would split one of many runs, or when a caller asks for raw records (AppendSlots);
// Clear makes it compact again. Either way every item reads back as the exact byte image
// it was stored with.
//
// Reading: operator[] returns a copy. Passes over many items use a Reader (or range-for),
// which hands out a reference that stays valid until its next read. Writing: Set, Edit,
// Modify, RemoveIf.
//
// Two sizes are kept apart. NumAlloc is the chart's own bookkeeping of allocated slots:
// it grows in steps of the chart's AllocSize (count + AllocSize when full) and can be set
// exactly when a file is loaded. The storage underneath grows geometrically, so
// appending stays amortised constant time whatever AllocSize is (detail::SlotArray:
// large storage is a page mapping that grows by moving page tables, and removal from the
// front recycles pages). An empty container keeps one slot and NumAlloc 0.
#pragma once

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <vector>

#include "zuvado/chartitem.h"
#include "zuvado/slotarray.h"

namespace kvr {

class TRcItemContainer {
 public:
  // Compact storage holds at least this many runs before it counts their share.
  static constexpr std::size_t kMinRuns = 64;
  static constexpr std::size_t kMinItemsPerRun = 8;
  // Set splits a run only while there are fewer runs than this: each split moves the
  // runs behind it, and edits item by item would otherwise cost quadratic time.
  static constexpr std::size_t kMaxSplitRuns = 4096;

  TRcItemContainer();
  TRcItemContainer(const TRcItemContainer& Other);
  TRcItemContainer& operator=(const TRcItemContainer& Other);
  ~TRcItemContainer();

  Integer Count() const { return FCount; }
  Integer NumAlloc() const { return FNumAlloc; }
  bool Compact() const { return FCompact; }
  // Runs of compact storage (0 when full).
  std::size_t NumRuns() const { return FCompact ? FRuns.size() - FRunHead : 0; }
  // Slots the storage holds from the first item on (at least 1; at least NumAlloc
  // unless items were removed from the front).
  std::size_t Capacity() const { return Active().capacity(); }
  // Bytes of storage, the gap in front of the items included, the run records not.
  std::size_t StorageBytes() const { return FRecords.bytes() + FPoints.bytes(); }
  // Bytes of one slot of the storage as it is now.
  std::size_t SlotBytes() const { return Active().elem(); }
  bool InRange(Integer Index) const { return Index >= 0 && Index < FCount; }

  // A copy of the item at Index (0 <= Index < Count).
  TrcChartItem operator[](Integer Index) const {
    assert(InRange(Index));
    if (!FCompact) return Records()[Index];
    TrcChartItem it;
    Compose(it, RunOf(Index), Index);
    return it;
  }
  // Stores Item's byte image at Index (0 <= Index < Count).
  void Set(Integer Index, const TrcChartItem& Item);
  // Calls Fn(TrcChartItem&) on a copy of the item at Index and stores what it leaves;
  // nothing for an Index out of range.
  template <class F>
  void Edit(Integer Index, F&& Fn) {
    if (!InRange(Index)) return;
    TrcChartItem it = (*this)[Index];
    Fn(it);
    Set(Index, it);
  }
  // Calls Fn(TrcChartItem&) on every item in order and keeps what it leaves. Fn must
  // depend on nothing but the record it is given (it may be called twice per item).
  // Compact storage stays compact unless Fn leaves the runs short.
  template <class F>
  void Modify(F&& Fn);
  // Removes the items for which Remove(const TrcChartItem&) holds, called once per item
  // in order; the others keep their order. Returns how many went. NumAlloc stays.
  template <class F>
  Integer RemoveIf(F&& Remove);
  // Calls Fn(const TrcChartItem& Record, Integer N) for items [From, To) in order, once
  // for each stretch of N items that share every field but x and y (Record's x and y are
  // those of the stretch's first item).
  template <class F>
  void ForEachStretch(Integer From, Integer To, F&& Fn) const;

  // Stores a copy of Item (its byte image, padding included) at index Count. When the
  // count has reached NumAlloc, AllocSize more slots are allocated first.
  void Append(const TrcChartItem& Item, Integer AllocSize);
  // Appends N items: First with (X[0], Y[0]), then Rest with (X[i*Stride], Y[i*Stride]).
  // Count and NumAlloc end as N calls of Append would leave them.
  void AppendPoints(const TrcChartItem& First, const TrcChartItem& Rest, const double* X,
                    const double* Y, std::size_t Stride, std::size_t N, Integer AllocSize);
  // Count slots appended at once, as Count calls of Append would leave the count and
  // NumAlloc; returns the first of them for the caller to fill (their bytes are
  // undefined until then). Makes the storage full.
  TrcChartItem* AppendSlots(std::size_t Count, Integer AllocSize);
  // Removes the first Count items (0 <= Count <= Count()); NumAlloc stays.
  void RemoveFirst(Integer Count);
  // Count 0, NumAlloc 0, compact storage of one slot.
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
  void Swap(TRcItemContainer& Other) noexcept;
  // Turns the storage full (no-op if it is). Out of memory raises std::bad_alloc and
  // leaves the container as it was.
  void MakeFull();

  // Reads items in passes over many of them. A Reader is valid while the container is
  // not changed.
  class Reader {
   public:
    explicit Reader(const TRcItemContainer& C)
        : FC(&C), FFull(C.FCompact ? nullptr : C.Records()), FPts(C.Points()) {}
    // The item at Index; the reference holds until the next read through this Reader.
    const TrcChartItem& operator[](Integer Index) {
      assert(FC->InRange(Index));
      if (FFull) return FFull[Index];
      if (Index < FLo || Index >= FHi) Seek(Index);
      FScratch.x = FPts[Index].x;
      FScratch.y = FPts[Index].y;
      return FScratch;
    }
    // Takes items from Index on, up to End, while Keep(const TrcChartItem&) holds, and
    // calls Fn(x, y) for each in order; returns the index of the first item not taken.
    // Keep is asked once per stretch of items that share every field but x and y.
    template <class K, class F>
    Integer TakeWhile(Integer Index, Integer End, K&& Keep, F&& Fn) {
      if (FFull) {
        for (; Index < End; ++Index) {
          const TrcChartItem& b = FFull[Index];
          // The records stream from memory; the work per item keeps the line-fill buffers busy.
          if (Index + 12 < End) __builtin_prefetch(FFull + Index + 12);
          if (!Keep(b)) break;
          Fn(b.x, b.y);
        }
        return Index;
      }
      while (Index < End && Keep((*this)[Index])) {
        const TRealPoint* p = FPts;
        for (const Integer stop = std::min(FHi, End); Index < stop; ++Index) Fn(p[Index].x, p[Index].y);
      }
      return Index;
    }

   private:
    void Seek(Integer Index);
    const TRcItemContainer* FC;
    const TrcChartItem* FFull;
    const TRealPoint* FPts;
    std::size_t FK = 0;        // the run the scratch holds,
    Integer FLo = 0, FHi = 0;  // over these items
    TrcChartItem FScratch;
  };

  class const_iterator {
   public:
    using iterator_category = std::input_iterator_tag;
    using value_type = TrcChartItem;
    using difference_type = std::ptrdiff_t;
    using pointer = const TrcChartItem*;
    using reference = const TrcChartItem&;
    const_iterator(const TRcItemContainer& C, Integer I) : FR(C), FI(I) {}
    const TrcChartItem& operator*() { return FR[FI]; }
    const_iterator& operator++() {
      ++FI;
      return *this;
    }
    bool operator!=(const const_iterator& O) const { return FI != O.FI; }
    bool operator==(const const_iterator& O) const { return FI == O.FI; }

   private:
    Reader FR;
    Integer FI;
  };
  const_iterator begin() const { return const_iterator(*this, 0); }
  const_iterator end() const { return const_iterator(*this, FCount); }

 private:
  struct TRun {
    int64_t First;  // absolute: item Index is FBase + Index
    TrcChartItem Tmpl;
  };
  // The fields after x and y, up to the last one: the tail padding behind it is not
  // copied by every copy of a record, so it may differ between equal records.
  static bool SameStretch(const TrcChartItem& A, const TrcChartItem& B) {
    static_assert(offsetof(TrcChartItem, x2) == 2 * sizeof(double));
    constexpr std::size_t kFrom = offsetof(TrcChartItem, x2);
    constexpr std::size_t kTo = offsetof(TrcChartItem, CoordMode) + sizeof(TCoordMode);
    return std::memcmp(reinterpret_cast<const char*>(&A) + kFrom,
                       reinterpret_cast<const char*>(&B) + kFrom, kTo - kFrom) == 0;
  }
  // Whole byte images, so that the run records keep the tail padding they were given.
  static void CopyRecord(TrcChartItem& To, const TrcChartItem& From) {
    std::memcpy(static_cast<void*>(&To), &From, sizeof(TrcChartItem));
  }
  static TRun MakeRun(int64_t First, const TrcChartItem& Tmpl) {
    TRun r{First, {}};
    CopyRecord(r.Tmpl, Tmpl);
    return r;
  }
  // The record of item Index of run R.
  void Compose(TrcChartItem& To, const TRun& R, Integer Index) const {
    CopyRecord(To, R.Tmpl);
    To.x = Points()[Index].x;
    To.y = Points()[Index].y;
  }

  const detail::SlotArray& Active() const { return FCompact ? FPoints : FRecords; }
  detail::SlotArray& Active() { return FCompact ? FPoints : FRecords; }
  TrcChartItem* Records() const { return reinterpret_cast<TrcChartItem*>(FRecords.first()); }
  TRealPoint* Points() const { return reinterpret_cast<TRealPoint*>(FPoints.first()); }
  // Index of the run (in FRuns) that holds item Index.
  std::size_t RunIndex(Integer Index) const;
  const TRun& RunOf(Integer Index) const { return FRuns[RunIndex(Index)]; }
  // Item index of run K's first item (the first run may have lost items to RemoveFirst).
  Integer RunStart(std::size_t K) const { return Integer(std::max<int64_t>(0, FRuns[K].First - FBase)); }
  // Item index one past run K.
  int64_t RunEnd(std::size_t K) const {
    return K + 1 < FRuns.size() ? FRuns[K + 1].First - FBase : int64_t(FCount);
  }
  // Whether compact storage with Runs runs for Items items stays compact.
  static bool RunsPay(std::size_t Runs, std::size_t Items) {
    return Runs <= kMinRuns || Runs * kMinItemsPerRun <= Items;
  }
  // NumAlloc after appending N items; makes room for them.
  std::size_t GrowFor(std::size_t N, Integer AllocSize);
  void Grow(Integer AllocSize);
  void DropEmptyFrontRuns();

  detail::SlotArray FRecords{sizeof(TrcChartItem)};
  detail::SlotArray FPoints{sizeof(TRealPoint)};
  std::vector<TRun> FRuns;    // compact: runs from FRunHead on, by First
  std::size_t FRunHead = 0;   // runs before it hold removed items only
  int64_t FBase = 0;          // absolute index of item 0
  Integer FCount = 0;
  Integer FNumAlloc = 0;
  bool FCompact = true;
};

// Compact storage is rewritten in place, with its runs cut anew where Fn made
// neighbours differ, unless that leaves too many runs.
template <class F>
void TRcItemContainer::Modify(F&& Fn) {
  if (FCompact) {
    TRealPoint* p = Points();
    // Calls Visit(index, record after Fn, starts a run) in order.
    auto pass = [&](auto&& Visit) {
      TrcChartItem last;
      bool any = false;
      for (std::size_t k = FRunHead; k < FRuns.size(); ++k) {
        for (Integer i = RunStart(k), hi = Integer(RunEnd(k)); i < hi; ++i) {
          TrcChartItem it;
          Compose(it, FRuns[k], i);
          Fn(it);
          const bool starts = !any || !SameStretch(it, last);
          any = true;
          if (starts) CopyRecord(last, it);
          Visit(i, it, starts);
        }
      }
    };
    std::size_t runs = 0;
    pass([&](Integer, const TrcChartItem&, bool starts) { runs += starts ? 1 : 0; });
    if (RunsPay(runs, std::size_t(FCount))) {
      std::vector<TRun> fresh;
      fresh.reserve(runs);
      pass([&](Integer i, const TrcChartItem& it, bool starts) {
        if (starts) fresh.push_back(MakeRun(FBase + i, it));
        p[i] = TRealPoint{it.x, it.y};
      });
      FRuns.swap(fresh);
      FRunHead = 0;
      return;
    }
    MakeFull();
  }
  TrcChartItem* r = Records();
  for (Integer i = 0; i < FCount; ++i) Fn(r[i]);
}

template <class F>
Integer TRcItemContainer::RemoveIf(F&& Remove) {
  Integer w = 0;
  if (FCompact) {
    TRealPoint* p = Points();
    std::vector<TRun> kept;
    Reader rd(*this);
    for (Integer r = 0; r < FCount; ++r) {
      const TrcChartItem& it = rd[r];
      if (Remove(it)) continue;
      if (kept.empty() || !SameStretch(kept.back().Tmpl, it)) kept.push_back(MakeRun(FBase + w, it));
      p[w++] = p[r];
    }
    FRuns.swap(kept);
    FRunHead = 0;
  } else {
    TrcChartItem* rec = Records();
    for (Integer r = 0; r < FCount; ++r) {
      if (Remove(static_cast<const TrcChartItem&>(rec[r]))) continue;
      if (w != r) std::memcpy(static_cast<void*>(rec + w), rec + r, sizeof(TrcChartItem));
      ++w;
    }
  }
  const Integer removed = FCount - w;
  Truncate(w);
  return removed;
}

template <class F>
void TRcItemContainer::ForEachStretch(Integer From, Integer To, F&& Fn) const {
  if (From < 0) From = 0;
  if (To > FCount) To = FCount;
  if (From >= To) return;
  if (!FCompact) {
    for (Integer i = From; i < To; ++i) Fn(Records()[i], Integer(1));
    return;
  }
  for (std::size_t k = RunIndex(From); k < FRuns.size() && From < To; ++k) {
    const Integer hi = Integer(std::min<int64_t>(RunEnd(k), To));
    TrcChartItem it;
    Compose(it, FRuns[k], From);
    Fn(static_cast<const TrcChartItem&>(it), Integer(hi - From));
    From = hi;
  }
}

}  // namespace kvr
