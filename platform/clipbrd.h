// The clipboard: holds a bitmap, a metafile (SVG text) or plain text, kept in the
// process. Setting a format replaces what was there, unless the caller has opened the
// clipboard: between Open and Close the first format set clears the old content and
// later ones are added beside it. OnHostChange runs when the content changed and the
// clipboard is closed again, so that a host can hand it to the window system.
//
// Threads: every call may come from any thread. Open takes the clipboard for the calling
// thread until its matching Close, and other threads' calls wait meanwhile, so a thread
// that sets several formats, or sets and reads back, brackets the calls with Open and
// Close. Every call on its own is atomic: a thread reads one whole content, never a mix.
// OnHostChange runs on the closing thread while it still holds the clipboard.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
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
  // nullptr when the clipboard holds no bitmap. The bitmap belongs to the clipboard: when
  // other threads use it too, read it only while the calling thread holds it open.
  const TBitmap* Bitmap() const;
  // Copies the bitmap into Dest; false (Dest untouched) when there is none.
  bool GetBitmap(TBitmap* Dest) const;
  // Empty when there is no metafile.
  std::string AsMetafile() const;
  void SetAsMetafile(const std::string& Svg);
  std::string AsText() const;
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

  // Held by a thread from Open to Close, and briefly by every other call.
  mutable std::recursive_mutex FLock;
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
