// Fuzz target for the BMP and PNG readers: any input either loads a picture of sane
// size or raises Exception, and a loaded picture survives a write and a re-read.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> bytes(data, data + size);
  for (int format = 0; format < 2; ++format) {
    kvr::TBitmap b;
    try {
      if (format == 0)
        b.LoadFromBMPData(bytes);
      else
        b.LoadFromPNGData(bytes);
    } catch (const kvr::Exception&) {
      continue;
    }
    if (b.Width() <= 0 || b.Height() <= 0 || (long long)b.Width() * b.Height() > kvr::kMaxBitmapPixels) __builtin_trap();
    kvr::TBitmap again;
    again.LoadFromBMPData(b.SaveToBMPData());
    if (again.Width() != b.Width() || again.Height() != b.Height()) __builtin_trap();
  }
  return 0;
}
