#include "platform/detail/pixel_ops.h"

namespace kvr::detail {
namespace {

template <TPenMode M>
void write_span(uint32_t* dst, int n, uint32_t pen) {
  if constexpr (M == pmCopy) {
    for (int i = 0; i < n; ++i) dst[i] = pen;
  } else {
    for (int i = 0; i < n; ++i) dst[i] = rop2<M>(pen, dst[i]);
  }
}

constexpr SpanWriter kWriters[16] = {
    write_span<pmBlack>,        write_span<pmWhite>,       write_span<pmNop>,
    write_span<pmNot>,          write_span<pmCopy>,        write_span<pmNotCopy>,
    write_span<pmMergePenNot>,  write_span<pmMaskPenNot>,  write_span<pmMergeNotPen>,
    write_span<pmMaskNotPen>,   write_span<pmMerge>,       write_span<pmNotMerge>,
    write_span<pmMask>,         write_span<pmNotMask>,     write_span<pmXor>,
    write_span<pmNotXor>};

}  // namespace

SpanWriter span_writer(TPenMode mode) {
  return kWriters[static_cast<unsigned>(mode) & 15u];
}

}  // namespace kvr::detail
