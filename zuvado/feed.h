// TZUvadoFeed: live points from acquisition threads into a chart.
//
// Threads. The chart keeps its rule: it belongs to the thread of its window. The feed is
// the one thing other threads may touch:
//   - Add (single points or spans of x and y) may be called from any number of threads
//     at once. It only copies the points into a pending buffer under a short lock; it never
//     waits for painting or for the chart. A span enters as one block, in order; points
//     of different threads interleave in the order their Add calls got the lock.
//   - Drain and every setter run on the chart's thread only (typically from a timer at
//     the frame rate). Drain takes the whole pending buffer in one swap and moves its
//     points into the chart as items, then paints.
// Every added point is drained exactly once, in order; nothing is dropped. A feed that is
// not drained keeps its points in memory (see Pending). After the first few drains the
// two buffers have grown to the size they need and neither side allocates any more.
//
// Items. Points become a connected line (tkMoveTo, then tkLineto items) or, with Mark set,
// marks of that type, with the chart's drawing attributes (colour, layer, class, ...) at
// the time of the drain. The data container of a fed chart belongs to the feed: rolling
// removes the oldest data items whatever they are; put other drawings into the annotations. x values must not decrease for rolling by span.
//
// Painting. Without rolling, a drain draws only the new items over the chart-area image
// (ShowGrafFrom). With rolling (the last RollingPoints points or the last RollingSpan x
// units), the oldest items leave the chart and the x range of the items' layer follows
// the newest point; the chart then repaints whole, axes included.
//
// Memory. A window of RollingPoints (up to about 16 million points of one polyline or
// mark series, 2.5 million items kept whole) gets its storage, about
// twice the window, reserved and committed when it is set, and again at a drain if the
// chart lost it (ClearGraf), so that the frames that follow take no page faults; the
// oldest items' memory is then reused for the newest. Larger windows and windows by
// span commit their storage as the items arrive.
//
// The chart must outlive the feed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

#include "zuvado/customzuvado.h"

namespace kvr {

class TZUvadoFeed {
 public:
  explicit TZUvadoFeed(TCustomZUvado& Chart);
  TZUvadoFeed(const TZUvadoFeed&) = delete;
  TZUvadoFeed& operator=(const TZUvadoFeed&) = delete;

  // ---- Any thread ----
  void Add(double x, double y);
  // X and Y of unequal length raise EKvrZUvadoError and add nothing.
  void Add(std::span<const double> X, std::span<const double> Y);
  // Points added and not yet drained.
  std::size_t Pending() const;

  // ---- The chart's thread ----
  // Moves every pending point into the chart, applies rolling and paints; returns the
  // number of points moved.
  std::size_t Drain();
  // Points drained since construction.
  std::uint64_t Drained() const { return FDrained; }
  // The next drained point starts a new line instead of joining the last one.
  void BreakLine() { FBreak = true; }
  // 0 (default): a connected line; 1..: marks of this type (MarkAt).
  Byte Mark() const { return FMark; }
  void SetMark(Byte mk) { FMark = mk; }
  // Keep the newest N points (0: no limit); negative values count as 0. Reserves the
  // window's storage at once (see Memory above).
  Integer RollingPoints() const { return FRollPoints; }
  void SetRollingPoints(Integer N);
  // Keep the points whose x lies within Span of the newest x (0: no limit). Non-finite
  // or negative values count as 0.
  double RollingSpan() const { return FRollSpan; }
  void SetRollingSpan(double Span) { FRollSpan = Span > 0 && Span < 1e308 ? Span : 0; }
  bool Rolling() const { return FRollPoints > 0 || FRollSpan > 0; }

 private:
  struct TBlock {
    std::vector<double> X, Y;
  };
  // The one place where points enter the chart and old items leave it.
  void MoveToChart(std::span<const double> X, std::span<const double> Y, Integer RemoveFirst);
  // Items to remove from the front so that the rolling limit holds after NewX arrives.
  Integer ExcessItems(std::span<const double> NewX) const;
  void Scroll();
  // Storage for the window of RollingPoints, committed now rather than in the frames.
  void ReserveWindow();

  TCustomZUvado& FChart;
  mutable std::mutex FLock;
  TBlock FIn;   // filled by the producers, under FLock
  TBlock FOut;  // drained on the chart's thread
  std::uint64_t FDrained = 0;
  bool FBreak = false;
  Byte FMark = 0;
  Integer FRollPoints = 0;
  double FRollSpan = 0;
};

}  // namespace kvr
