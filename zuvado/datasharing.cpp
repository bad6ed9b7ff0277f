// Charts that show one data container.
//
// The partners hold one TRcItemContainer through shared pointers, so items, count and
// allocated slots are shared by construction; the propagation hands on what each chart
// keeps for itself (the container pointer after a reload, the kind counters and the
// ShowGrafNewOnly mark). Sharing is one level deep: users always point at the root owner.
// Partners also watch each other through free notifications, so a chart destroyed in
// any order never leaves a pointer to itself behind.
#include "platform/dialogs.h"
#include "zuvado/customzuvado.h"

namespace kvr {

namespace {

constexpr Integer kMaxDataUsers = 4;

void refuse(const char* Msg) { MessageDlg(Msg, mtInformation, {mbOK}, 0); }

}  // namespace

TCustomZUvado* TCustomZUvado::DataUsers(Integer Index) const {
  return Index >= 1 && Index <= FDataUsersNum ? FDataUsers[size_t(Index - 1)] : nullptr;
}

void TCustomZUvado::SetUseDataOf(TCustomZUvado* Value) {
  if (Value == this) {
    refuse("ZUvado: Cannot share data with myself");
    return;
  }
  if (FDataUsersNum >= 1) {
    refuse("ZUvado: Cannot use foreign data. Other ZUvados are using my own data.");
    return;
  }
  if (Value == FUseDataOf) return;
  if (!Value) {
    LeaveDataOwner();
    StyleChanged(this);
    return;
  }
  TCustomZUvado* owner = Value->FUseDataOf ? Value->FUseDataOf : Value;
  // Naming another user of the current owner changes nothing (and must not count as a
  // fifth share).
  if (owner == FUseDataOf) return;
  if (owner->FDataUsersNum >= kMaxDataUsers) {
    refuse("ZUvado: Max. number of data shares exceeded");
    return;
  }
  if (FUseDataOf) FUseDataOf->RemoveDataUser(this);
  FUseDataOf = owner;
  TakeSharedState(*owner);
  owner->FDataUsers[size_t(owner->FDataUsersNum++)] = this;
  owner->FreeNotification(this);
  StyleChanged(this);
}

void TCustomZUvado::TakeSharedState(const TCustomZUvado& From) {
  if (FDataContainer != From.FDataContainer) FDataContainer = From.FDataContainer;
  FItemCount = From.FItemCount;
  FLastElemOnShow = From.FLastElemOnShow;
}

void TCustomZUvado::AdjustCanInfoOfSharedCharts() {
  TCustomZUvado* owner = FUseDataOf ? FUseDataOf : this;
  if (owner != this) owner->TakeSharedState(*this);
  for (Integer k = 0; k < owner->FDataUsersNum; ++k) {
    TCustomZUvado* user = owner->FDataUsers[size_t(k)];
    if (user != this) user->TakeSharedState(*this);
  }
}

void TCustomZUvado::RemoveDataUser(const TComponent* User) {
  for (Integer k = 0; k < FDataUsersNum; ++k) {
    if (FDataUsers[size_t(k)] != User) continue;
    for (Integer j = k + 1; j < FDataUsersNum; ++j)
      FDataUsers[size_t(j - 1)] = FDataUsers[size_t(j)];
    FDataUsers[size_t(--FDataUsersNum)] = nullptr;
    return;
  }
}

// The chart keeps what it showed, as a copy of its own, so later changes of the former
// partners no longer reach it. A reset asks for an empty container instead: copying items
// that are thrown away at once would only cost time.
void TCustomZUvado::LeaveDataOwner(bool KeepItems) {
  if (!FUseDataOf) return;
  FUseDataOf->RemoveDataUser(this);
  FUseDataOf = nullptr;
  FDataContainer = KeepItems ? std::make_shared<TRcItemContainer>(*FDataContainer)
                             : std::make_shared<TRcItemContainer>();
}

void TCustomZUvado::LeaveDataSharing(bool KeepItems) {
  LeaveDataOwner(KeepItems);
  const bool hadUsers = FDataUsersNum > 0;
  // The last user may keep the container itself: nobody else holds it afterwards.
  while (FDataUsersNum > 0) {
    TCustomZUvado* user = FDataUsers[size_t(--FDataUsersNum)];
    FDataUsers[size_t(FDataUsersNum)] = nullptr;
    user->FUseDataOf = nullptr;
    if (FDataUsersNum > 0)
      user->FDataContainer = std::make_shared<TRcItemContainer>(*user->FDataContainer);
  }
  // A chart that lives on must not empty the container its last user took over.
  if (hadUsers && !KeepItems) FDataContainer = std::make_shared<TRcItemContainer>();
}

// A partner that goes away is only compared, never called: it is partly destroyed.
void TCustomZUvado::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove || !AComponent) return;
  if (AComponent == FUseDataOf) {
    FUseDataOf = nullptr;
    if (FDataContainer.use_count() > 1)
      FDataContainer = std::make_shared<TRcItemContainer>(*FDataContainer);
  }
  RemoveDataUser(AComponent);
}

}  // namespace kvr
