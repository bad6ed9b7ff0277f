// SlotArray: slots of one fixed size in a PagedBlock, with a gap in front of the first
// slot in use that removal from the front leaves.
//
// The gap's whole huge pages are handed to the end of a mapping (PagedBlock::recycle_front:
// page tables move, no slot is copied, and the room keeps memory that was touched
// before, so it takes no page faults): once the gap is a quarter of the block if the
// block has address space behind it, else once the gap is as large as the slots in use
// or the end needs the room. On the heap, or when the system refuses, the gap is closed
// by moving the slots down once it is as large as the slots that remain. Either way a
// rolling window pays O(removed) amortised per removal, and its storage stays bounded.
//
// The array does not know how many slots are in use: every call that may move them is
// told (Used, counted from the first slot).
#pragma once

#include <cstddef>

#include "platform/pagedblock.h"

namespace kvr::detail {

class SlotArray {
 public:
  explicit SlotArray(std::size_t Elem) : FElem(Elem) {}
  SlotArray(SlotArray&&) = delete;

  std::size_t elem() const { return FElem; }
  char* first() const { return FFirst; }
  // Slots from the first one to the end of the block.
  std::size_t capacity() const { return FCapacity; }
  // Bytes of the block, the gap included.
  std::size_t bytes() const { return FBlock.size(); }
  bool allocated() const { return FBlock.data() != nullptr; }

  // Makes the storage hold Slots from the first slot on (at least 1). A fresh heap block
  // gets its first slot cleared (fresh mappings read as zero already).
  void reallocate(std::size_t Slots, std::size_t Used);
  // Makes Slots fit from the first slot on: reuses the gap where that is cheap, else grows.
  void make_room(std::size_t Slots, std::size_t Used);
  // The first N of Used slots leave.
  void drop_front(std::size_t N, std::size_t Used);
  // As TRcItemContainer::Reserve.
  void reserve(std::size_t Slots, std::size_t Used);
  void release() noexcept;
  void swap(SlotArray& Other) noexcept;

 private:
  void rebase();
  void close_gap(std::size_t Used);
  bool recycle_gap();
  void take_gap(std::size_t Used);

  std::size_t FElem;
  PagedBlock FBlock;
  char* FFirst = nullptr;       // FBlock's bytes, FHead bytes in
  std::size_t FHead = 0;        // bytes before FFirst left by drop_front
  std::size_t FCapacity = 0;
};

}  // namespace kvr::detail
