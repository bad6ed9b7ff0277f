#include "platform/kvrvector.h"

#include <algorithm>

namespace kvr {

TVector::TVector(Integer NrElem) { FData.resize(static_cast<size_t>(std::max(NrElem, 0))); }

void TVector::Changed() {
  if (OnChange) OnChange(this);
}

void TVector::Resize(Integer NrElem) {
  FData.resize(static_cast<size_t>(std::max(NrElem, 0)), 0.0);
  Changed();
}

void TVector::Fill(double Value) {
  std::fill(FData.begin(), FData.end(), Value);
  Changed();
}

double TVector::GetVal(Integer Index) const {
  if (Index < 1 || Index > NrOfElem()) return 0.0;
  return FData[static_cast<size_t>(Index - 1)];
}

void TVector::SetVal(Integer Index, double Value) {
  if (Index < 1 || Index > NrOfElem()) return;
  FData[static_cast<size_t>(Index - 1)] = Value;
  Changed();
}

std::vector<double> TVector::range(Integer lo, Integer hi) const {
  if (lo > hi) std::swap(lo, hi);
  lo = std::max(lo, 1);
  hi = std::min(hi, NrOfElem());
  if (lo > hi) return {};
  return std::vector<double>(FData.begin() + (lo - 1), FData.begin() + hi);
}

Integer TVector::MinMax(double& Min, double& Max) const {
  return MinMax(1, NrOfElem(), Min, Max);
}

Integer TVector::MinMax(Integer LowIdx, Integer HighIdx, double& Min, double& Max) const {
  Min = Max = 0.0;
  Integer n = 0;
  for (double v : range(LowIdx, HighIdx)) {
    if (std::isnan(v)) continue;
    if (n == 0 || v < Min) Min = v;
    if (n == 0 || v > Max) Max = v;
    ++n;
  }
  return n;
}

double TVector::Percentile(double Prob) const { return detail::percentile_of(FData, Prob); }

double TVector::Percentile(double Prob, Integer LowIdx, Integer HighIdx) const {
  return detail::percentile_of(range(LowIdx, HighIdx), Prob);
}

void TVector::Assign(const TPersistent* Source) {
  if (auto* v = dynamic_cast<const TVector*>(Source)) {
    if (v == this) return;
    FData = v->FData;
    Changed();
  }
}

}  // namespace kvr
