#include "zuvado/jointlayers.h"

#include <string>

#include "zuvado/customzuvado.h"

namespace kvr {

namespace {

bool valid_layer(Integer Layer) { return Layer >= 1 && Layer <= TJointLayers::kNumLayers; }

}  // namespace

TJointLayers::TJointLayers(TCustomZUvado* AOwner) : FOwnerChart(AOwner) { Reset(); }

void TJointLayers::Reset() {
  for (Integer k = 1; k <= kNumLayers; ++k) {
    FControlledX[size_t(k - 1)] = k;
    FControlledY[size_t(k - 1)] = k;
  }
}

void TJointLayers::Assign(const TPersistent* Source) {
  if (const auto* src = dynamic_cast<const TJointLayers*>(Source)) {
    FControlledX = src->FControlledX;
    FControlledY = src->FControlledY;
    return;
  }
  TPersistent::Assign(Source);
}

Integer TJointLayers::GetControlledLayerX(Integer Index) const {
  return valid_layer(Index) ? FControlledX[size_t(Index - 1)] : 0;
}

Integer TJointLayers::GetControlledLayerY(Integer Index) const {
  return valid_layer(Index) ? FControlledY[size_t(Index - 1)] : 0;
}

bool TJointLayers::Controlled(const TLinks& Links, Integer Index) {
  return valid_layer(Index) && Links[size_t(Index - 1)] != Index;
}

unsigned TJointLayers::Followers(const TLinks& Links, Integer Layer) {
  unsigned set = 0;
  for (Integer k = 1; k <= kNumLayers; ++k)
    if (k != Layer && Links[size_t(k - 1)] == Layer) set |= 1u << (k - 1);
  return set;
}

void TJointLayers::SetControlledLayerX(Integer Index, Integer Value) {
  Join(FControlledX, Index, Value, true);
}

void TJointLayers::SetControlledLayerY(Integer Index, Integer Value) {
  Join(FControlledY, Index, Value, false);
}

// Every check runs before anything is recorded, so a refused join leaves all links as
// they were. Joins stay one level deep: the range operations follow a single link.
void TJointLayers::Join(TLinks& Links, Integer Index, Integer Value, bool InX) {
  if (!valid_layer(Value))
    RaiseKvrError<EKvrZUvadoError>("Destination layer " + std::to_string(Value) +
                                   " is out of range");
  if (!valid_layer(Index)) return;
  if (Value == Index) {
    Links[size_t(Index - 1)] = Index;
    return;
  }
  if (Links[size_t(Value - 1)] != Value)
    RaiseKvrError<EKvrZUvadoError>("Destination layer " + std::to_string(Value) +
                                   " is already joined");
  if (const unsigned followers = Followers(Links, Index)) {
    std::string list;
    for (Integer k = 1; k <= kNumLayers; ++k) {
      if (!(followers & (1u << (k - 1)))) continue;
      if (!list.empty()) list += ", ";
      list += std::to_string(k);
    }
    RaiseKvrError<EKvrZUvadoError>("Layer " + std::to_string(Index) +
                                   " is joined by other layers (" + list + ")");
  }
  Links[size_t(Index - 1)] = Value;
  if (FOwnerChart) FOwnerChart->ApplyJointRange(Index, Value, InX);
  if (OnChange) OnChange(this);
}

std::unique_ptr<TJointLayers> TCustomZUvado::MakeJointLayers() {
  auto joints = std::make_unique<TJointLayers>(this);
  joints->OnChange = [this](TObject* Sender) { StyleChanged(Sender); };
  return joints;
}

void TCustomZUvado::SetJointLayers(const TJointLayers* Value) {
  if (!Value || Value == FJointLayers.get()) return;
  FJointLayers->Assign(Value);
  StyleChanged(this);
}

}  // namespace kvr
