// TJointLayers: which layer of a 2-D chart follows which other layer's range.
//
// Each layer has a controlled-by number per direction: itself when independent, or the
// layer whose x (or y) range it follows. A join is one level deep: a layer that follows
// another cannot be followed itself. Joining copies the controlling layer's range once
// (through the chart's ApplyJointRange); keeping the ranges in step afterwards is the
// range operations' job, which ask ControllerX/Y and FollowersX/Y.
#pragma once

#include <array>

#include "platform/kvrbase.h"
#include "platform/types.h"

namespace kvr {

class TCustomZUvado;

class TJointLayers : public TPersistent {
 public:
  static constexpr Integer kNumLayers = 2;

  explicit TJointLayers(TCustomZUvado* AOwner);

  // ---- Properties ----
  Integer L01xControlledBy() const { return GetControlledLayerX(1); }
  void SetL01xControlledBy(Integer v) { SetControlledLayerX(1, v); }
  Integer L01yControlledBy() const { return GetControlledLayerY(1); }
  void SetL01yControlledBy(Integer v) { SetControlledLayerY(1, v); }
  Integer L02xControlledBy() const { return GetControlledLayerX(2); }
  void SetL02xControlledBy(Integer v) { SetControlledLayerX(2, v); }
  Integer L02yControlledBy() const { return GetControlledLayerY(2); }
  void SetL02yControlledBy(Integer v) { SetControlledLayerY(2, v); }

  // The layer whose range layer Index follows (Index itself when independent); 0 for a
  // layer outside 1..2.
  Integer GetControlledLayerX(Integer Index) const;
  Integer GetControlledLayerY(Integer Index) const;
  // Layer Index follows layer Value; Value = Index releases the join. Raises
  // EKvrZUvadoError for a layer outside 1..2, a destination that follows another layer,
  // or a layer that others follow; the joins stay unchanged then.
  void SetControlledLayerX(Integer Index, Integer Value);
  void SetControlledLayerY(Integer Index, Integer Value);

  TCustomZUvado* OwnerChart() const { return FOwnerChart; }

  // ---- Events ----
  TNotifyEvent OnChange;

  // ---- Public methods ----
  // Copies the four controlled-by numbers of another TJointLayers (nothing else).
  void Assign(const TPersistent* Source) override;
  // Every layer independent again.
  void Reset();
  // Queries of the range operations: whether Index follows another layer, and the
  // layers (other than Layer) that follow Layer, as a bit set (bit k-1 for layer k).
  bool IsControlledX(Integer Index) const { return Controlled(FControlledX, Index); }
  bool IsControlledY(Integer Index) const { return Controlled(FControlledY, Index); }
  unsigned FollowersX(Integer Layer) const { return Followers(FControlledX, Layer); }
  unsigned FollowersY(Integer Layer) const { return Followers(FControlledY, Layer); }

 private:
  using TLinks = std::array<Integer, kNumLayers>;
  static bool Controlled(const TLinks& Links, Integer Index);
  static unsigned Followers(const TLinks& Links, Integer Layer);
  void Join(TLinks& Links, Integer Index, Integer Value, bool InX);

  TCustomZUvado* FOwnerChart;
  TLinks FControlledX{1, 2};
  TLinks FControlledY{1, 2};
};

}  // namespace kvr
