// Overlays of a 2-D chart: text labels (boxed, shadowed or underlined captions anchored
// in pixels or world values) and the points of the freehand mouse trace. Crosshairs use
// the base library's TCrossHair as they are.
#pragma once

#include "platform/kvrbase.h"

namespace kvr {

// A chart text label; the chart owns 30 of them, numbered 1 to 30. A label is in use
// while its Mode is not tlOff.
class TTextLabel : public TCustomTextLabel {
 public:
  TTextLabel() = default;
};

// Flag bits of a mouse-trace point.
constexpr Word kTraceStrokeEnd = 1;  // the stroke ends at this point
constexpr Word kTraceInverted = 2;   // drawn with an exclusive-or pen
// The whole flag word of a point asked for outside the trace.
constexpr Word kTraceNoPoint = 0xFFFF;

}  // namespace kvr
