// A resizable vector of doubles indexed from 1. Reads outside 1..NrOfElem give 0, writes
// there are ignored; resizing keeps the leading values and zeroes new elements.
// Percentile uses the estimator described in math1.h, with Prob a fraction 0..1.
#pragma once

#include <vector>

#include "platform/math1.h"
#include "platform/types.h"

namespace kvr {

class TVector : public TPersistent {
 public:
  explicit TVector(Integer NrElem = 0);

  // properties
  Integer NrOfElem() const { return static_cast<Integer>(FData.size()); }
  Integer VecSize() const { return NrOfElem(); }

  // events
  TNotifyEvent OnChange;

  // public methods
  void Resize(Integer NrElem);
  void SetVecSize(Integer NrElem) { Resize(NrElem); }
  void Fill(double Value);
  double GetVal(Integer Index) const;
  void SetVal(Integer Index, double Value);
  double Elem(Integer Index) const { return GetVal(Index); }
  // Extremes of elements LowIdx..HighIdx (all when omitted), NaN skipped; returns the
  // number of elements looked at (Min = Max = 0 when none).
  Integer MinMax(double& Min, double& Max) const;
  Integer MinMax(Integer LowIdx, Integer HighIdx, double& Min, double& Max) const;
  double Percentile(double Prob) const;
  double Percentile(double Prob, Integer LowIdx, Integer HighIdx) const;
  void Assign(const TPersistent* Source) override;

 private:
  std::vector<double> range(Integer lo, Integer hi) const;
  void Changed();
  std::vector<double> FData;
};

}  // namespace kvr
