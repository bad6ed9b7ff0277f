#include "zuvado/bakgndimg.h"

#include <filesystem>
#include <system_error>

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

void TBakGndImg::LoadPicture(TBitmap& Bmp) {
  namespace fs = std::filesystem;
  std::error_code ec;
  // The absolute path keys the cache, so a relative name read after a change of the
  // current directory is a different file.
  FileStamp now;
  now.path = fs::absolute(FName, ec).string();
  bool known = !ec;
  if (known) now.size = fs::file_size(now.path, ec);
  known = known && !ec;
  if (known) {
    const auto t = fs::last_write_time(now.path, ec);
    now.mtime = std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch());
    known = !ec;
  }
  if (known && FLoadedInto == &Bmp && now == FLoaded) return;
  FLoadedInto = nullptr;
  // A file that cannot be inspected is still handed to the loader, which names the fault.
  Bmp.LoadFromFile(FName);
  if (!known) return;
  FLoaded = std::move(now);
  FLoadedInto = &Bmp;
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
