// The clipboard: holds a bitmap, a metafile (SVG text) or plain text, kept in the
// process. Setting a format replaces what was there, unless the caller has opened the
// clipboard: between Open and Close the first format set clears the old content and
// later ones are added beside it. OnHostChange runs when the content changed and the
// clipboard is closed again, so that a host can hand it to the window system.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/bitmap.h"
#include "platform/types.h"

namespace kvr {

constexpr Word CF_TEXT = 1;
constexpr Word CF_BITMAP = 2;
constexpr Word CF_METAFILEPICT = 3;
constexpr Word CF_DIB = 8;
constexpr Word CF_ENHMETAFILE = 14;

class TClipboard : public TPersistent {
 public:
  TClipboard();
  ~TClipboard() override;

  // Properties
  // The metafile formats (CF_METAFILEPICT, CF_ENHMETAFILE) both ask for the SVG text;
  // CF_BITMAP and CF_DIB for the bitmap.
  bool HasFormat(Word Format) const;
  // nullptr when the clipboard holds no bitmap.
  const TBitmap* Bitmap() const { return FBitmap.get(); }
  // Copies the bitmap into Dest; false (Dest untouched) when there is none.
  bool GetBitmap(TBitmap* Dest) const;
  // Empty when there is no metafile.
  const std::string& AsMetafile() const { return FMetafile; }
  void SetAsMetafile(const std::string& Svg);
  const std::string& AsText() const { return FText; }
  void SetAsText(const std::string& Text);

  std::function<void(TClipboard* Sender)> OnHostChange;

  // Public methods
  // Takes a copy of a TBitmap; other sources are ignored.
  void Assign(const TPersistent* Source) override;
  void Clear();
  void Open();
  void Close();

 private:
  void Adding();

  std::unique_ptr<TBitmap> FBitmap;
  std::string FMetafile;
  bool FHasMetafile = false;
  std::string FText;
  bool FHasText = false;
  int FOpenCount = 0;
  bool FEmptied = false;
  bool FChanged = false;
};

TClipboard& Clipboard();

}  // namespace kvr
