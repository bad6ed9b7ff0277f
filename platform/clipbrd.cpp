#include "platform/clipbrd.h"

namespace kvr {

TClipboard::TClipboard() = default;
TClipboard::~TClipboard() = default;

bool TClipboard::HasFormat(Word Format) const {
  switch (Format) {
    case CF_BITMAP:
    case CF_DIB: return FBitmap != nullptr;
    case CF_METAFILEPICT:
    case CF_ENHMETAFILE: return FHasMetafile;
    case CF_TEXT: return FHasText;
    default: return false;
  }
}

bool TClipboard::GetBitmap(TBitmap* Dest) const {
  if (!FBitmap || !Dest) return false;
  Dest->Assign(FBitmap.get());
  return true;
}

void TClipboard::Open() {
  if (FOpenCount++ == 0) FEmptied = false;
}

void TClipboard::Close() {
  if (FOpenCount == 0) return;
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
