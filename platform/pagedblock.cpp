#include "platform/pagedblock.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#define KVR_PAGED_BLOCK_MAPPED 1
#else
#define KVR_PAGED_BLOCK_MAPPED 0
#endif

namespace kvr::detail {

namespace {

#if KVR_PAGED_BLOCK_MAPPED
void* system_remap(void* old_addr, std::size_t old_size, std::size_t new_size, void* new_addr) {
  void* p = mremap(old_addr, old_size, new_size, MREMAP_MAYMOVE | MREMAP_FIXED, new_addr);
  return p == MAP_FAILED ? nullptr : p;
}

constexpr std::size_t kHuge = PagedBlock::kHugePage;

// Reserves Bytes of address space aligned to a huge page; the caller fills it.
char* reserve_aligned(std::size_t Bytes) {
  const std::size_t len = Bytes + kHuge;
  void* raw = mmap(nullptr, len, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  char* base = static_cast<char*>(raw);
  char* aligned = reinterpret_cast<char*>((reinterpret_cast<std::uintptr_t>(base) + kHuge - 1) / kHuge * kHuge);
  if (aligned > base) munmap(base, std::size_t(aligned - base));
  char* end = aligned + Bytes;
  if (end < base + len) munmap(end, std::size_t(base + len - end));
  return aligned;
}

// A fresh read-write mapping (zero pages, committed on first write).
void* map_block(std::size_t Bytes) {
  char* p = reserve_aligned(Bytes);
  if (mmap(p, Bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) == MAP_FAILED) {
    munmap(p, Bytes);
    throw std::bad_alloc();
  }
  // Without huge pages (not configured, or none free) the block works on small pages.
  madvise(p, Bytes, MADV_HUGEPAGE);
  return p;
}

// Moves a mapping to a larger aligned place: the pages move, the bytes are not copied.
// When the system refuses, the kept bytes are copied to a fresh mapping.
void* grow_block(void* Old, std::size_t OldBytes, std::size_t NewBytes, std::size_t Keep) {
  char* dest = reserve_aligned(NewBytes);
  void* p = paged_block_remap(Old, OldBytes, NewBytes, dest);
  if (!p) {
    munmap(dest, NewBytes);
    void* fresh = map_block(NewBytes);
    std::memcpy(fresh, Old, Keep);
    munmap(Old, OldBytes);
    return fresh;
  }
  madvise(p, NewBytes, MADV_HUGEPAGE);
  return p;
}
#else
void* system_remap(void*, std::size_t, std::size_t, void*) { return nullptr; }
#endif

// One write per small page commits it; an atomic add of zero writes without changing
// the byte (a plain read first would map the shared zero page and fault twice).
void touch_pages(char* from, char* to) noexcept {
  constexpr std::size_t kPage = 4096;
  for (char* p = from; p < to; p += kPage) __atomic_fetch_add(p, char(0), __ATOMIC_RELAXED);
  if (from < to) __atomic_fetch_add(to - 1, char(0), __ATOMIC_RELAXED);
}

}  // namespace

RemapFn paged_block_remap = system_remap;

bool PagedBlock::can_map() { return KVR_PAGED_BLOCK_MAPPED != 0; }

PagedBlock::PagedBlock(PagedBlock&& other) noexcept { swap(other); }

PagedBlock& PagedBlock::operator=(PagedBlock&& other) noexcept {
  if (this != &other) {
    release();
    swap(other);
  }
  return *this;
}

void PagedBlock::swap(PagedBlock& other) noexcept {
  std::swap(data_, other.data_);
  std::swap(size_, other.size_);
  std::swap(room_, other.room_);
  std::swap(mapped_, other.mapped_);
}

#if KVR_PAGED_BLOCK_MAPPED
// Address space reserved behind a recycling block: each recycling moves the block
// forward by the recycled bytes, and only when this runs out does the whole block move
// (one page-table move of every page). Reserved space costs no memory; smaller runways
// are tried where the system will not reserve this much.
constexpr std::size_t kRunways[] = {sizeof(void*) >= 8 ? std::size_t(1) << 40 : 0,
                                    sizeof(void*) >= 8 ? std::size_t(1) << 36 : 0, std::size_t(1) << 30, 0};

void PagedBlock::drop_room() noexcept {
  if (room_) munmap(static_cast<char*>(data_) + size_, room_);
  room_ = 0;
}

// Moves the pages of [from, from + len) to dest; returns the bytes moved (a multiple of
// kHugePage; len unless the system refused). Every recycled piece of a block is a mapping
// of its own, and older systems move only within one mapping: then the pages go one huge
// page at a time, which never spans two pieces.
static std::size_t move_pages(char* from, std::size_t len, char* dest) noexcept {
  if (len == 0 || paged_block_remap(from, len, len, dest)) return len;
  std::size_t done = 0;
  while (done < len && paged_block_remap(from + done, kHuge, kHuge, dest + done)) done += kHuge;
  return done;
}

// Moves the block into fresh address space with a runway behind it, the first r bytes
// going behind the others. False leaves the block as it was.
bool PagedBlock::relocate(std::size_t r) noexcept {
  char* dest = nullptr;
  std::size_t room = 0;
  for (std::size_t want : kRunways) {
    try {
      dest = reserve_aligned(size_ + want);
      room = want;
      break;
    } catch (const std::bad_alloc&) {
    }
  }
  if (!dest) return false;
  char* old = static_cast<char*>(data_);
  const std::size_t oldSize = size_, live = size_ - r;
  const std::size_t moved = move_pages(old + r, live, dest);
  if (moved < live) {
    // The pages just left are still free for us; without them back the block is lost.
    if (move_pages(dest, moved, old + r) < moved) std::abort();
    munmap(dest, size_ + room);
    return false;
  }
  if (r && move_pages(old, r, dest + live) < r) {
    // The live bytes have moved already; the room behind them becomes fresh pages (those
    // of the front that did move are overwritten).
    munmap(old, r);
    if (mmap(dest + live, r, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) ==
        MAP_FAILED) {
      munmap(dest + live, r + room);
      size_ = live;
      room = 0;
    }
  }
  if (room_) munmap(old + oldSize, room_);
  madvise(dest, size_, MADV_HUGEPAGE);
  data_ = dest;
  room_ = room;
  return true;
}

bool PagedBlock::reserve_room() noexcept { return mapped_ && (room_ > 0 || relocate(0)); }
#else
void PagedBlock::drop_room() noexcept {}
bool PagedBlock::relocate(std::size_t) noexcept { return false; }
bool PagedBlock::reserve_room() noexcept { return false; }
#endif

// Within the runway the dead front moves to the end by itself: a page-table move of just
// the recycled pages, with whole huge pages staying whole.
std::size_t PagedBlock::recycle_front(std::size_t bytes) noexcept {
#if KVR_PAGED_BLOCK_MAPPED
  if (!mapped_) return 0;
  const std::size_t r = std::min(bytes, size_) / kHugePage * kHugePage;
  if (r == 0) return 0;
  if (r == size_) return r;  // nothing lives: the order of the pages does not matter
  char* old = static_cast<char*>(data_);
  if (room_ >= r) {
    const std::size_t moved = move_pages(old, r, old + size_);
    data_ = old + moved;
    room_ -= moved;
    return moved;
  }
  return relocate(r) ? r : 0;
#else
  (void)bytes;
  return 0;
#endif
}

void PagedBlock::prefault(std::size_t from, std::size_t to) noexcept {
  to = std::min(to, size_);
  if (from >= to) return;
  char* base = static_cast<char*>(data_);
#if KVR_PAGED_BLOCK_MAPPED && defined(MADV_POPULATE_WRITE)
  if (mapped_) {
    // madvise takes whole pages; the partial first page is in use or committed by the touch.
    constexpr std::size_t kPage = 4096;
    const std::size_t a = (from + kPage - 1) / kPage * kPage;
    if (a < to && madvise(base + a, to - a, MADV_POPULATE_WRITE) == 0) {
      touch_pages(base + from, base + std::min(a, to));
      return;
    }
    // Older kernels know no populating advice; touching does the same, more slowly.
  }
#endif
  touch_pages(base + from, base + to);
}

void PagedBlock::release() noexcept {
#if KVR_PAGED_BLOCK_MAPPED
  if (mapped_) {
    munmap(data_, size_ + room_);
  } else
#endif
  {
    std::free(data_);
  }
  data_ = nullptr;
  size_ = 0;
  room_ = 0;
  mapped_ = false;
}

// A heap block that reaches the huge-page size becomes a mapping (copied over once) and
// later grows without copying; one that shrinks below it goes back to the heap.
void PagedBlock::resize(std::size_t bytes, std::size_t keep) {
  if (bytes == 0) {
    release();
    return;
  }
  keep = std::min({keep, size_, bytes});
#if KVR_PAGED_BLOCK_MAPPED
  if (bytes >= kHugePage) {
    if (bytes > std::numeric_limits<std::size_t>::max() / 2) throw std::bad_alloc();
    bytes = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    if (mapped_ && bytes == size_) return;
    if (mapped_ && bytes > size_ && bytes - size_ <= room_) {
      // Growing into the runway: fresh pages in place, nothing moves.
      char* end = static_cast<char*>(data_) + size_;
      if (mmap(end, bytes - size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) !=
          MAP_FAILED) {
        madvise(end, bytes - size_, MADV_HUGEPAGE);
        room_ -= bytes - size_;
        size_ = bytes;
        return;
      }
    }
    drop_room();
    void* p;
    if (mapped_ && bytes < size_) {
      munmap(static_cast<char*>(data_) + bytes, size_ - bytes);
      p = data_;
    } else if (mapped_) {
      p = grow_block(data_, size_, bytes, keep);
    } else {
      p = map_block(bytes);
      if (keep) std::memcpy(p, data_, keep);
      std::free(data_);
    }
    data_ = p;
    size_ = bytes;
    mapped_ = true;
    return;
  }
  if (mapped_) {
    drop_room();
    void* p = std::malloc(bytes);
    if (!p) throw std::bad_alloc();
    if (keep) std::memcpy(p, data_, keep);
    munmap(data_, size_);
    data_ = p;
    size_ = bytes;
    mapped_ = false;
    return;
  }
#endif
  void* p = std::realloc(data_, bytes);
  if (!p) throw std::bad_alloc();
  data_ = p;
  size_ = bytes;
}

}  // namespace kvr::detail
