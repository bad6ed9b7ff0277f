#include "platform/classes.h"

#include <algorithm>
#include <cctype>

#include "platform/kvrerror.h"

namespace kvr {

namespace {

bool is_ident(const std::string& s) {
  if (s.empty()) return false;
  auto alpha = [](unsigned char c) { return std::isalpha(c) || c == '_'; };
  if (!alpha(static_cast<unsigned char>(s[0]))) return false;
  return std::all_of(s.begin() + 1, s.end(), [&](char c) {
    return alpha(static_cast<unsigned char>(c)) || std::isdigit(static_cast<unsigned char>(c));
  });
}

bool same_text(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

void erase_one(std::vector<TComponent*>& v, TComponent* c) {
  auto it = std::find(v.begin(), v.end(), c);
  if (it != v.end()) v.erase(it);
}

}  // namespace

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
}

// The derived parts are gone by now, so every notification sent from here carries a
// pointer that receivers may only compare.
TComponent::~TComponent() {
  Destroying();
  SendFreeNotifications();
  DestroyComponents();
  if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::Destroying() {
  if (FComponentState.Contains(csDestroying)) return;
  FComponentState.Include(csDestroying);
  for (TComponent* c : FComponents) c->Destroying();
}

void TComponent::SendFreeNotifications() {
  // Each receiver drops its link back to us inside Notification (or we drop it here),
  // so the list shrinks on every round.
  while (!FFreeNotifies.empty()) {
    TComponent* other = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    erase_one(other->FFreeNotifies, this);
    other->Notification(this, opRemove);
  }
}

TComponent* TComponent::Components(Integer Index) const {
  if (Index < 0 || Index >= ComponentCount()) return nullptr;
  return FComponents[static_cast<size_t>(Index)];
}

Integer TComponent::ComponentIndex() const {
  if (!FOwner) return -1;
  auto& list = FOwner->FComponents;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<Integer>(it - list.begin());
}

TComponent* TComponent::FindComponent(const std::string& AName) const {
  if (AName.empty()) return nullptr;
  for (TComponent* c : FComponents)
    if (same_text(c->FName, AName)) return c;
  return nullptr;
}

bool TComponent::NameInUse(const std::string& AName, const TComponent* Except) const {
  TComponent* found = FindComponent(AName);
  return found && found != Except;
}

void TComponent::SetName(const std::string& NewName) {
  if (NewName == FName) return;
  if (!NewName.empty() && !is_ident(NewName))
    RaiseKvrError<EComponentError>("'" + NewName + "' is not a valid component name");
  if (!NewName.empty() && FOwner && FOwner->NameInUse(NewName, this))
    RaiseKvrError<EComponentError>("A component named " + NewName + " already exists");
  FName = NewName;
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->FOwner == this) return;
  if (!AComponent->FName.empty() && NameInUse(AComponent->FName, AComponent))
    RaiseKvrError<EComponentError>("A component named " + AComponent->FName + " already exists");
  if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
  InsertIntern(AComponent);
  if (FComponentState.Contains(csDesigning)) AComponent->SetDesigning(true);
  Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->FOwner != this) return;
  Notification(AComponent, opRemove);
  RemoveIntern(AComponent);
}

void TComponent::InsertIntern(TComponent* AComponent) {
  FComponents.push_back(AComponent);
  AComponent->FOwner = this;
}

void TComponent::RemoveIntern(TComponent* AComponent) {
  erase_one(FComponents, AComponent);
  AComponent->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
  while (!FComponents.empty()) {
    TComponent* c = FComponents.back();
    // Unlinked first so that its destructor does not come back to this list.
    RemoveIntern(c);
    delete c;
  }
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (!AComponent || AComponent == this) return;
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
    FFreeNotifies.push_back(AComponent);
    AComponent->FreeNotification(this);
  }
  FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (!AComponent) return;
  erase_one(FFreeNotifies, AComponent);
  erase_one(AComponent->FFreeNotifies, this);
  if (FFreeNotifies.empty()) FComponentState.Exclude(csFreeNotification);
  if (AComponent->FFreeNotifies.empty()) AComponent->FComponentState.Exclude(csFreeNotification);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent) RemoveFreeNotification(AComponent);
  // Receivers may delete siblings, so the index is re-checked on every step.
  for (size_t i = FComponents.size(); i-- > 0;) {
    if (i >= FComponents.size()) {
      if (FComponents.empty()) break;
      i = FComponents.size() - 1;
    }
    TComponent* c = FComponents[i];
    if (c != AComponent) c->Notification(AComponent, Operation);
  }
}

void TComponent::BeginLoading() { FComponentState.Include(csLoading); }

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

void TComponent::SetDesigning(bool Value, bool SetChildren) {
  if (Value)
    FComponentState.Include(csDesigning);
  else
    FComponentState.Exclude(csDesigning);
  if (SetChildren)
    for (TComponent* c : FComponents) c->SetDesigning(Value, true);
}

}  // namespace kvr
