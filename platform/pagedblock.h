// PagedBlock: a growable block of raw bytes for large arrays of plain records.
//
// Small blocks live on the heap. From the huge-page size on, a block is a page mapping
// of its own, aligned to a huge page and advised to use huge pages, that grows by moving
// page tables instead of copying: a million appends cost a few page faults, and bytes
// past those in use are never touched before they are used. Where the system has no such
// mappings, every block lives on the heap.
//
// Contents: resize keeps the first `keep` bytes (and no more are promised). Fresh bytes
// of a mapping read as zero; fresh heap bytes are undefined. Out of memory raises
// std::bad_alloc and leaves the block as it was.
//
// A mapping can also hand the pages in front of the bytes in use to its end
// (recycle_front): a rolling window then reuses memory it has touched before, without
// copying what stays and without page faults. Such a block keeps a large reservation of
// address space (not memory) behind it to move forward into; each recycling then moves
// only the recycled pages' page tables.
#pragma once

#include <cstddef>

namespace kvr::detail {

class PagedBlock {
 public:
  // Blocks of this size and more are page mappings (where the system has them).
  static constexpr std::size_t kHugePage = std::size_t(2) << 20;

  PagedBlock() = default;
  PagedBlock(PagedBlock&& other) noexcept;
  PagedBlock& operator=(PagedBlock&& other) noexcept;
  PagedBlock(const PagedBlock&) = delete;
  PagedBlock& operator=(const PagedBlock&) = delete;
  ~PagedBlock() { release(); }

  void* data() const { return data_; }
  // Bytes the block holds: at least those asked for, a multiple of kHugePage when mapped.
  std::size_t size() const { return size_; }
  bool mapped() const { return mapped_; }
  // Bytes recycle_front can move the block forward before the whole block moves.
  std::size_t room() const { return room_; }

  // Makes the block hold at least `bytes` (0 releases it), keeping its first
  // min(keep, size(), bytes) bytes. data() may change.
  void resize(std::size_t bytes, std::size_t keep);
  void release() noexcept;
  void swap(PagedBlock& other) noexcept;

  // Moves the whole huge pages among the first `bytes` bytes of a mapping behind its last
  // byte: afterwards byte i is the former byte r + i (i < size() - r), the last r bytes
  // are undefined, and r is returned (a multiple of kHugePage; fewer pages than asked
  // when the system refuses partway). Only page tables change. Returns 0 and leaves the
  // block as it was on the heap, for less than a huge page, or when the system refuses;
  // callers then copy. data() changes; size() shrinks by r only if the system runs out
  // of mappings halfway.
  std::size_t recycle_front(std::size_t bytes) noexcept;
  // Gives a mapping the address space behind it that recycle_front moves into (moving
  // the block once, now, rather than at a later recycling). False on the heap or when
  // the system refuses.
  bool reserve_room() noexcept;
  // Commits the memory of bytes [from, to) now rather than at its first write, so that
  // later writes take no page faults. Contents stay. Best effort: a system short of
  // memory leaves the rest to be committed on use.
  void prefault(std::size_t from, std::size_t to) noexcept;

  // Whether blocks can be page mappings on this system.
  static bool can_map();

 private:
  // Drops the runway; relocate gives a new one.
  void drop_room() noexcept;
  bool relocate(std::size_t r) noexcept;

  void* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t room_ = 0;  // reserved address space of ours right behind the block
  bool mapped_ = false;
};

// The system call that moves a mapping to a new place; tests replace it to take the
// copying path that runs when the system refuses the move.
using RemapFn = void* (*)(void* old_addr, std::size_t old_size, std::size_t new_size, void* new_addr);
extern RemapFn paged_block_remap;

}  // namespace kvr::detail
