// Chart-area background settings: an image file with its fill mode, or a shaded area
// in world coordinates drawn when there is no image; plus the grid kinds.
//
// The chart owns one TBakGndImg and installs its StyleChanged as OnChange, so every
// property change repaints the chart under the AutoRedraw rule. The image is decoded
// once and kept in the chart's AuxBmp; it is read again only when the file's name,
// size or modification time changes. A file that cannot be read clears Name.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "platform/bitmap.h"
#include "platform/kvrbase.h"
#include "platform/types.h"

namespace kvr {

// Which part of the chart area the shaded area covers (edges AreaLeft..AreaBottom).
enum TBGAreaMode : Byte {
  bamNone, bamLeft, bamRight, bamTop, bamBottom, bamVStripe, bamHStripe, bamRect,
  bamRectInv, bamVStripeInv, bamHStripeInv
};

enum GridStyleType : Byte {
  gsNone, gsPoints, gsVertLines, gsHorizLines, gsLines, gsHorizDotLines, gsVertDotLines,
  gsDotLines
};

class TBakGndImg : public TPersistent {
 public:
  TBakGndImg() = default;

  // ---- Properties ----
  // Bitmap file; empty = no image. Without IncludePath only the file-name part is kept.
  const std::string& Name() const { return FName; }
  void SetName(const std::string& v);
  bool IncludePath() const { return FIncldPath; }
  void SetIncludePath(bool v);
  // bfSimple: image at its own size; bfStretch: stretched; bfTile: tiled.
  TBkgFill FillMode() const { return FFillMode; }
  void SetFillMode(TBkgFill v);
  TBGAreaMode AreaMode() const { return FBGAreaMode; }
  void SetAreaMode(TBGAreaMode v);
  TColor AreaColor() const { return FBGAreaColor; }
  void SetAreaColor(TColor v);
  double AreaLeft() const { return FBGAreaLeft; }
  void SetAreaLeft(double v);
  double AreaRight() const { return FBGAreaRight; }
  void SetAreaRight(double v);
  double AreaTop() const { return FBGAreaTop; }
  void SetAreaTop(double v);
  double AreaBottom() const { return FBGAreaBottom; }
  void SetAreaBottom(double v);

  // ---- Events ----
  TNotifyEvent OnChange;

  // ---- Public methods ----
  // Copies every field, the change handler included; no notification.
  void Assign(const TPersistent* Source) override;
  // Back to the defaults; the change handler stays, no notification.
  void Reset();
  // Clears Name without notification (a file that failed to load).
  void DropName() { FName.clear(); }
  // Brings the picture of Name into Bmp, decoding the file only when it is not the one
  // this object last put into Bmp or has changed since (size or modification time).
  // Bmp must not be changed by anyone else in between. Raises Exception as
  // TBitmap::LoadFromFile does, which also forgets the cached picture.
  void LoadPicture(TBitmap& Bmp);

 protected:
  void Changed() {
    if (OnChange) OnChange(this);
  }

 private:
  std::string FName;
  bool FIncldPath = false;
  TBkgFill FFillMode = bfStretch;
  TBGAreaMode FBGAreaMode = bamNone;
  TColor FBGAreaColor = 0xDDDDDD;
  double FBGAreaLeft = -1;
  double FBGAreaRight = 1;
  double FBGAreaTop = 1;
  double FBGAreaBottom = -1;

  // What was last decoded into FLoadedInto; never copied by Assign.
  struct FileStamp {
    std::string path;
    std::uintmax_t size = 0;
    std::chrono::nanoseconds mtime{0};
    bool operator==(const FileStamp&) const = default;
  };
  FileStamp FLoaded;
  const TBitmap* FLoadedInto = nullptr;
};

}  // namespace kvr
