#include "zuvado/slotarray.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

namespace kvr::detail {

namespace {
constexpr std::size_t kMaxSlots = std::size_t(std::numeric_limits<int>::max());
}  // namespace

void SlotArray::rebase() {
  FFirst = static_cast<char*>(FBlock.data()) + FHead;
  FCapacity = std::min(kMaxSlots, (FBlock.size() - FHead) / FElem);
}

void SlotArray::release() noexcept {
  FBlock.release();
  FFirst = nullptr;
  FHead = 0;
  FCapacity = 0;
}

void SlotArray::swap(SlotArray& Other) noexcept {
  std::swap(FElem, Other.FElem);
  FBlock.swap(Other.FBlock);
  std::swap(FFirst, Other.FFirst);
  std::swap(FHead, Other.FHead);
  std::swap(FCapacity, Other.FCapacity);
}

// On a mapping, a gap of less than a huge page stays in front: closing it would move
// every slot.
void SlotArray::reallocate(std::size_t Slots, std::size_t Used) {
  if (Slots == 0) Slots = 1;
  if (!recycle_gap() && !FBlock.mapped()) close_gap(Used);
  const bool fresh = FBlock.data() == nullptr;
  if (Slots > (std::numeric_limits<std::size_t>::max() - FHead) / FElem) throw std::bad_alloc();
  // A mapping that shrinks back to the heap brings its small gap along.
  FBlock.resize(FHead + Slots * FElem, FHead + FElem * Used);
  rebase();
  if (fresh && !FBlock.mapped()) std::memset(FFirst, 0, FElem);
}

void SlotArray::close_gap(std::size_t Used) {
  if (FHead == 0) return;
  std::memmove(FBlock.data(), FFirst, FElem * Used);
  FHead = 0;
  rebase();
}

bool SlotArray::recycle_gap() {
  if (!FBlock.mapped() || FHead < PagedBlock::kHugePage) return false;
  const std::size_t r = FBlock.recycle_front(FHead);
  if (r == 0) return false;
  FHead -= r;
  rebase();
  return true;
}

void SlotArray::take_gap(std::size_t Used) {
  if (!recycle_gap()) close_gap(Used);
}

// Closing a small gap would move all slots for a few more, again and again in a rolling
// window; growing instead makes the next gaps large enough to pay for the move.
// Recycling pages moves no slots, so any gap of whole huge pages that makes room will do.
void SlotArray::make_room(std::size_t Slots, std::size_t Used) {
  if (Slots <= FCapacity) return;
  const std::size_t total = FBlock.size() / FElem;
  if (FBlock.mapped()) {
    const std::size_t huge = PagedBlock::kHugePage;
    if ((FHead / huge * huge) / FElem + FCapacity >= Slots && recycle_gap() && Slots <= FCapacity) return;
  }
  if (FHead >= FElem * Used && Slots <= total) {
    close_gap(Used);
    if (Slots <= FCapacity) return;
  }
  reallocate(std::min(kMaxSlots, std::max(Slots, total * 2)), Used);
}

void SlotArray::drop_front(std::size_t N, std::size_t Used) {
  FFirst += FElem * N;
  FHead += FElem * N;
  FCapacity -= N;
  const std::size_t left = Used - N;
  // Where the block has the address space to move forward into, the gap's pages go to
  // the end once they are a quarter of the block: a page-table move of those pages alone
  // rather than of the whole block, and few enough calls that their fixed cost (a TLB
  // flush on every processor that runs the program) stays small.
  if (FBlock.room() >= PagedBlock::kHugePage && FHead >= FBlock.size() / 4) recycle_gap();
  if (FHead >= FElem * left) take_gap(left);
}

void SlotArray::reserve(std::size_t Slots, std::size_t Used) {
  Slots = std::min(Slots, kMaxSlots);
  if (Slots <= FBlock.size() / FElem) return;
  reallocate(Slots, Used);
  if (FBlock.reserve_room()) rebase();
  FBlock.prefault(FHead + FElem * Used, FBlock.size());
}

}  // namespace kvr::detail
