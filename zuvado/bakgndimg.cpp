#include "zuvado/bakgndimg.h"

namespace kvr {

namespace {

// Both separators count: names may come from stored forms written on another system.
std::string file_name_part(const std::string& v) {
  const size_t p = v.find_last_of("/\\");
  return p == std::string::npos ? v : v.substr(p + 1);
}

}  // namespace

void TBakGndImg::SetName(const std::string& v) {
  FName = FIncldPath ? v : file_name_part(v);
  Changed();
}

void TBakGndImg::SetIncludePath(bool v) {
  FIncldPath = v;
  if (!v) FName = file_name_part(FName);
  Changed();
}

void TBakGndImg::SetFillMode(TBkgFill v) {
  FFillMode = v;
  Changed();
}

void TBakGndImg::SetAreaMode(TBGAreaMode v) {
  FBGAreaMode = v;
  Changed();
}

void TBakGndImg::SetAreaColor(TColor v) {
  FBGAreaColor = v;
  Changed();
}

void TBakGndImg::SetAreaLeft(double v) {
  FBGAreaLeft = v;
  Changed();
}

void TBakGndImg::SetAreaRight(double v) {
  FBGAreaRight = v;
  Changed();
}

void TBakGndImg::SetAreaTop(double v) {
  FBGAreaTop = v;
  Changed();
}

void TBakGndImg::SetAreaBottom(double v) {
  FBGAreaBottom = v;
  Changed();
}

void TBakGndImg::Assign(const TPersistent* Source) {
  const auto* s = dynamic_cast<const TBakGndImg*>(Source);
  if (!s || s == this) return;
  FName = s->FName;
  OnChange = s->OnChange;
  FIncldPath = s->FIncldPath;
  FFillMode = s->FFillMode;
  FBGAreaMode = s->FBGAreaMode;
  FBGAreaColor = s->FBGAreaColor;
  FBGAreaLeft = s->FBGAreaLeft;
  FBGAreaRight = s->FBGAreaRight;
  FBGAreaTop = s->FBGAreaTop;
  FBGAreaBottom = s->FBGAreaBottom;
}

void TBakGndImg::Reset() {
  FName.clear();
  FIncldPath = false;
  FFillMode = bfStretch;
  FBGAreaMode = bamNone;
  FBGAreaColor = 0xDDDDDD;
  FBGAreaLeft = -1;
  FBGAreaRight = 1;
  FBGAreaTop = 1;
  FBGAreaBottom = -1;
}

}  // namespace kvr
