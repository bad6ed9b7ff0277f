// The chart item record: one stored drawing call of a 2-D chart.
//
// TrcChartItem's natural C++ layout has the size and field offsets of the 104-byte record
// image of the chart item files (checked below), though files are encoded field by field
// (chartfiles.h). Stores copy records as raw bytes; new records are built from an
// all-zero byte image, padding included.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/graphics.h"
#include "platform/kvrbase.h"
#include "platform/types.h"

namespace kvr {

// What an item draws. tkEverything and tkNotMoveTo are query filters, never stored by
// the primitives; the ordinals are part of the file format.
enum TrcItem : Byte {
  tkNone,
  tkMarkAt,
  tkLine,
  tkLineto,
  tkRect,
  tkRectFrame,
  tk3DBar,
  tkText,
  tkMoveTo,
  tkEllipse,
  tkEverything,
  tkNotMoveTo,
  tkMoveRelPix,
  tkLineRelPix,
  tkArrow,
  tkDoubleArrow,
  tkTextOfs,
  tkRectRelPix,
  tkMarkEBar,
  tkLineOffs,
  tkArc,
  tkLineRelPixOrig,
  tkCursorVert,
  tkCursorHoriz
};
constexpr int kNumItemKinds = 24;

// How an item's two coordinate pairs are read: world values of the item's layer or
// pixels from the chart area's top-left corner.
enum TCoordMode : Byte {
  cmAllWorld,            // both pairs world
  cmAllScreen,           // both pairs screen
  cmWorldMainScreenSec,  // (x, y) world, (x2, y2) screen
  cmScreenMainWorldSec,  // (x, y) screen, (x2, y2) world
  cmXScreenYWorld,       // x and x2 screen, y and y2 world
  cmXWorldYScreen        // x and x2 world, y and y2 screen
};

// Background of text items.
enum TTextBkg : Byte { tbClear, tbSolid };

// The class number that queries read as "any class"; the primitives never store it.
constexpr Byte kAnyClass = 255;

// Layer numbers (1, 2) as a set.
using TLayerSet = TSet<Integer>;

// The short text of a text item: a length byte and up to 15 single-byte characters in
// Windows-1252. Bytes past Len carry no meaning.
struct TShortStr15 {
  static constexpr int kMaxLen = 15;
  Byte Len = 0;
  char Chars[kMaxLen] = {};

  std::string_view View() const {
    return std::string_view(Chars, Len <= kMaxLen ? Len : kMaxLen);
  }
  // Stores the first 15 bytes of Bytes (already single-byte text).
  void Assign(std::string_view Bytes) {
    Len = static_cast<Byte>(Bytes.size() < size_t(kMaxLen) ? Bytes.size() : size_t(kMaxLen));
    for (int i = 0; i < kMaxLen; ++i) Chars[i] = i < Len ? Bytes[size_t(i)] : '\0';
  }
};

// One stored drawing primitive. Which fields a kind uses is listed at the primitives
// (customzuvado.h); unused fields carry no meaning.
struct TrcChartItem {
  double x = 0;
  double y = 0;
  double x2 = 0;
  double y2 = 0;
  TColor Color = 0;         // pen, line, mark or text colour
  TColor FillColor = 0;     // fill or text background
  TColor ShadowColor = 0;   // framed rectangles
  TColor HiLightColor = 0;  // framed rectangles
  TPenStyle PenStyle = psSolid;
  Integer Tag = 0;
  Integer LWid = 0;  // line width; long-text slot (0 = none) for text items
  Byte ItemClass = 0;
  TrcItem ItemKind = tkNone;
  Integer Layer = 0;
  bool Transp = false;
  TFrameStyle FrameStyle = rbNone;
  TShortStr15 Text;
  Integer Param1 = 0;
  Integer Param2 = 0;
  Integer Param3 = 0;
  TCoordMode CoordMode = cmAllWorld;
};

static_assert(std::is_trivially_copyable_v<TrcChartItem>);
static_assert(std::is_standard_layout_v<TrcChartItem>);
static_assert(sizeof(bool) == 1);
static_assert(sizeof(TrcChartItem) == 104);
static_assert(offsetof(TrcChartItem, Color) == 32);
static_assert(offsetof(TrcChartItem, PenStyle) == 48);
static_assert(offsetof(TrcChartItem, Tag) == 52);
static_assert(offsetof(TrcChartItem, LWid) == 56);
static_assert(offsetof(TrcChartItem, ItemClass) == 60);
static_assert(offsetof(TrcChartItem, ItemKind) == 61);
static_assert(offsetof(TrcChartItem, Layer) == 64);
static_assert(offsetof(TrcChartItem, Transp) == 68);
static_assert(offsetof(TrcChartItem, FrameStyle) == 69);
static_assert(offsetof(TrcChartItem, Text) == 70);
static_assert(offsetof(TrcChartItem, Param1) == 88);
static_assert(offsetof(TrcChartItem, CoordMode) == 100);

// A point in world coordinates, for the bulk entry of points.
struct TRealPoint {
  double x = 0;
  double y = 0;
};

// Arc items store their angles in units of 1e-8 radian.
constexpr double kArcAngleScale = 1e8;

// Long texts of one container, slots 1..50 at indexes 0..49.
constexpr int kNumLongTexts = 50;
using TLongTextArray = std::array<std::string, kNumLongTexts>;

// Fills a record with the defaults of a cleared item: zero coordinates, Color 0,
// FillColor white, ShadowColor gray, HiLightColor white, Layer 1, everything else 0.
void CleazUvadoItem(TrcChartItem& Item);

// Kinds whose (x2, y2) is a second point that scaling moves along with (x, y).
constexpr bool ItemHasSecondPoint(TrcItem k) {
  switch (k) {
    case tkLine: case tkRect: case tkRectFrame: case tk3DBar: case tkEllipse:
    case tkArrow: case tkDoubleArrow: case tkLineOffs: case tkArc:
      return true;
    default:
      return false;
  }
}

constexpr bool IsTextItem(TrcItem k) { return k == tkText || k == tkTextOfs; }

}  // namespace kvr
