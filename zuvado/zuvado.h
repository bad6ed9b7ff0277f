// The 2-D chart components. Include this header for TZUvado and TCustomZUvado.
//
// Threads: every chart belongs to one thread at a time, the thread of its window; feeding
// items, painting and exporting all happen there. Charts on distinct threads may be
// built, fed and painted at the same time. Points measured on other threads reach a
// chart through a TZUvadoFeed (zuvado/feed.h).
#pragma once

#include "zuvado/chartfiles.h"
#include "zuvado/chartitem.h"
#include "zuvado/customzuvado.h"
#include "zuvado/itemstore.h"

namespace kvr {

// The chart placed on forms: everything of TCustomZUvado is public already; the two
// framework overrides only forward.
class TZUvado : public TCustomZUvado {
 public:
  explicit TZUvado(TComponent* AOwner) : TCustomZUvado(AOwner) {}

  void CreateWnd() override { TCustomZUvado::CreateWnd(); }
  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override {
    TCustomZUvado::SetBounds(ALeft, ATop, AWidth, AHeight);
  }
};

}  // namespace kvr
