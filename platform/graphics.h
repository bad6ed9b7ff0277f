// Pens, brushes and fonts: the drawing state a canvas turns into one description per
// primitive. Each reports its changes through OnChange.
#pragma once

#include <string>

#include "platform/types.h"

namespace kvr {

enum TPenStyle : Byte {
  psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame
};

// Binary raster operations in the framework's order (value = R2 code - 1).
enum TPenMode : Byte {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
  pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};

enum TBrushStyle : Byte { bsSolid, bsClear };

enum TFontStyle : Byte { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;

class TGraphicsObject : public TPersistent {
 public:
  TNotifyEvent OnChange;

 protected:
  void Changed() {
    if (OnChange) OnChange(this);
  }
};

class TPen : public TGraphicsObject {
 public:
  TColor Color() const { return FColor; }
  void SetColor(TColor v);
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle v);
  // Widths below 1 draw as 1.
  Integer Width() const { return FWidth; }
  void SetWidth(Integer v);
  TPenMode Mode() const { return FMode; }
  void SetMode(TPenMode v);

  void Assign(const TPersistent* Source) override;

 private:
  TColor FColor = clBlack;
  TPenStyle FStyle = psSolid;
  Integer FWidth = 1;
  TPenMode FMode = pmCopy;
};

class TBrush : public TGraphicsObject {
 public:
  TColor Color() const { return FColor; }
  void SetColor(TColor v);
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle v);

  void Assign(const TPersistent* Source) override;

 private:
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
};

// Size is in points at PixelsPerInch; Height is the framework's negative em height in
// pixels (-Size * PixelsPerInch / 72), kept in step with Size.
class TFont : public TGraphicsObject {
 public:
  const std::string& Name() const { return FName; }
  void SetName(const std::string& v);
  Integer Size() const { return FSize; }
  void SetSize(Integer v);
  Integer Height() const;
  void SetHeight(Integer v);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles v);
  TColor Color() const { return FColor; }
  void SetColor(TColor v);
  // Changing the resolution keeps the point size; the pixel size follows.
  Integer PixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(Integer v);
  // Kerning and standard ligatures (off by default: the classic layout, in which a
  // text's width is the sum of its pieces' widths).
  bool Kerning() const { return FKerning; }
  void SetKerning(bool v);

  // Em size in pixels at the current resolution (at least 1).
  Integer PixelSize() const;

  void Assign(const TPersistent* Source) override;

 private:
  std::string FName = "DejaVu Sans";
  Integer FSize = 8;
  TFontStyles FStyle;
  TColor FColor = clBlack;
  Integer FPixelsPerInch = 96;
  bool FKerning = false;
};

}  // namespace kvr

namespace kvr {

// System colours: clSystemColor | index, negative as TColor.
constexpr TColor clSystemColor = static_cast<TColor>(0xFF000000u);
constexpr TColor clScrollBar = clSystemColor | 0;
constexpr TColor clBackground = clSystemColor | 1;
constexpr TColor clActiveCaption = clSystemColor | 2;
constexpr TColor clInactiveCaption = clSystemColor | 3;
constexpr TColor clMenu = clSystemColor | 4;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowFrame = clSystemColor | 6;
constexpr TColor clMenuText = clSystemColor | 7;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clCaptionText = clSystemColor | 9;
constexpr TColor clActiveBorder = clSystemColor | 10;
constexpr TColor clInactiveBorder = clSystemColor | 11;
constexpr TColor clAppWorkSpace = clSystemColor | 12;
constexpr TColor clHighlight = clSystemColor | 13;
constexpr TColor clHighlightText = clSystemColor | 14;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clBtnShadow = clSystemColor | 16;
constexpr TColor clGrayText = clSystemColor | 17;
constexpr TColor clBtnText = clSystemColor | 18;
constexpr TColor clInactiveCaptionText = clSystemColor | 19;
constexpr TColor clBtnHighlight = clSystemColor | 20;
constexpr TColor cl3DDkShadow = clSystemColor | 21;
constexpr TColor cl3DLight = clSystemColor | 22;
constexpr TColor clInfoText = clSystemColor | 23;
constexpr TColor clInfoBk = clSystemColor | 24;

// Resolves system colours to $00BBGGRR; plain colours lose any high byte.
TColor ColorToRGB(TColor Color);

}  // namespace kvr
