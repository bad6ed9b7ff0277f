// Pixel packing and the span writers of the raster back end. A primitive picks one
// writer for its pen mode before it starts; the writers themselves never branch on the
// mode (one template instance per raster operation).
#pragma once

#include <cstdint>

#include "platform/graphics.h"

namespace kvr::detail {

// TRGB32 is B, G, R, A in memory: 0xAARRGGBB as a little-endian word.
constexpr uint32_t pack_opaque(TColor rgb) {
  const uint32_t c = static_cast<uint32_t>(rgb);
  return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

constexpr TColor unpack_color(uint32_t px) {
  return static_cast<TColor>(((px >> 16) & 0xFFu) | (px & 0xFF00u) | ((px & 0xFFu) << 16));
}

// Writes n pixels of one colour (already packed) with a raster operation.
using SpanWriter = void (*)(uint32_t* dst, int n, uint32_t pen);

SpanWriter span_writer(TPenMode mode);

template <TPenMode M>
inline uint32_t rop2(uint32_t p, uint32_t d) {
  uint32_t r;
  if constexpr (M == pmBlack) r = 0;
  else if constexpr (M == pmWhite) r = 0xFFFFFFu;
  else if constexpr (M == pmNop) r = d;
  else if constexpr (M == pmNot) r = ~d;
  else if constexpr (M == pmCopy) return p;
  else if constexpr (M == pmNotCopy) r = ~p;
  else if constexpr (M == pmMergePenNot) r = p | ~d;
  else if constexpr (M == pmMaskPenNot) r = p & ~d;
  else if constexpr (M == pmMergeNotPen) r = ~p | d;
  else if constexpr (M == pmMaskNotPen) r = ~p & d;
  else if constexpr (M == pmMerge) r = p | d;
  else if constexpr (M == pmNotMerge) r = ~(p | d);
  else if constexpr (M == pmMask) r = p & d;
  else if constexpr (M == pmNotMask) r = ~(p & d);
  else if constexpr (M == pmXor) r = p ^ d;
  else r = ~(p ^ d);
  // Operations other than copy keep the destination's alpha so that xor twice
  // restores every byte.
  return (r & 0x00FFFFFFu) | (d & 0xFF000000u);
}

// Blends a colour into a pixel with 8-bit coverage (text).
inline uint32_t blend(uint32_t dst, uint32_t src, uint32_t cov) {
  if (cov >= 255) return src;
  const uint32_t inv = 255 - cov;
  uint32_t rb = ((src & 0xFF00FFu) * cov + (dst & 0xFF00FFu) * inv + 0x800080u);
  rb = ((rb + ((rb >> 8) & 0xFF00FFu)) >> 8) & 0xFF00FFu;
  uint32_t g = ((src & 0xFF00u) * cov + (dst & 0xFF00u) * inv + 0x8000u);
  g = ((g + ((g >> 8) & 0xFF00u)) >> 8) & 0xFF00u;
  return 0xFF000000u | rb | g;
}

}  // namespace kvr::detail
