#include "platform/clipbrd.h"

namespace kvr {

TClipboard::TClipboard() = default;
TClipboard::~TClipboard() = default;

bool TClipboard::HasFormat(Word Format) const {
  std::lock_guard lock(FLock);
  switch (Format) {
    case CF_BITMAP:
    case CF_DIB: return FBitmap != nullptr;
    case CF_METAFILEPICT:
    case CF_ENHMETAFILE: return FHasMetafile;
    case CF_TEXT: return FHasText;
    default: return false;
  }
}

const TBitmap* TClipboard::Bitmap() const {
  std::lock_guard lock(FLock);
  return FBitmap.get();
}

std::string TClipboard::AsMetafile() const {
  std::lock_guard lock(FLock);
  return FMetafile;
}

std::string TClipboard::AsText() const {
  std::lock_guard lock(FLock);
  return FText;
}

bool TClipboard::GetBitmap(TBitmap* Dest) const {
  std::lock_guard lock(FLock);
  if (!FBitmap || !Dest) return false;
  Dest->Assign(FBitmap.get());
  return true;
}

void TClipboard::Open() {
  FLock.lock();  // released by the matching Close
  if (FOpenCount++ == 0) FEmptied = false;
}

void TClipboard::Close() {
  std::lock_guard lock(FLock);
  if (FOpenCount == 0) return;
  // Gives back the hold taken by Open, also when the host's handler throws.
  std::unique_lock open_hold(FLock, std::adopt_lock);
  if (--FOpenCount == 0 && FChanged) {
    FChanged = false;
    if (OnHostChange) OnHostChange(this);
  }
}

// The first format set in an opening replaces everything held before.
void TClipboard::Adding() {
  if (!FEmptied) {
    FBitmap.reset();
    FMetafile.clear();
    FHasMetafile = false;
    FText.clear();
    FHasText = false;
    FEmptied = true;
  }
  FChanged = true;
}

void TClipboard::Clear() {
  Open();
  FEmptied = false;
  Adding();
  Close();
}

void TClipboard::Assign(const TPersistent* Source) {
  auto* bmp = dynamic_cast<const TBitmap*>(Source);
  if (!bmp) return;
  // Copy first: the source may be the bitmap we hold.
  auto copy = std::make_unique<TBitmap>();
  copy->Assign(bmp);
  Open();
  Adding();
  FBitmap = std::move(copy);
  Close();
}

void TClipboard::SetAsMetafile(const std::string& Svg) {
  Open();
  Adding();
  FMetafile = Svg;
  FHasMetafile = true;
  Close();
}

void TClipboard::SetAsText(const std::string& Text) {
  Open();
  Adding();
  FText = Text;
  FHasText = true;
  Close();
}

TClipboard& Clipboard() {
  static TClipboard clipboard;
  return clipboard;
}

}  // namespace kvr
