// Mouse interaction: chart actions by MouseAction, axis drags, bands, the mouse box.
#include "zuvado/customzuvado.h"

namespace kvr {

void TCustomZUvado::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomZUvado::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomZUvado::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TCustomZUvado::DblClick() { TCustomControl::DblClick(); }

void TCustomZUvado::WMMouseMove(TWMMouse& Message) { TCustomControl::WMMouseMove(Message); }

}  // namespace kvr
