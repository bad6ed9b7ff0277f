// TComponent: named objects with an owner, a component state and free notifications.
//
// Ownership: an owner deletes the components it owns when it is destroyed, so owned
// components must be created with new. A component destroyed first (a stack object, or
// one deleted by hand) removes itself from its owner.
//
// References between components: a component that keeps a raw pointer to another calls
// Other->FreeNotification(this). When either of the two is destroyed, the survivor's
// Notification(Dying, opRemove) runs, where it clears its pointer. The owner of a dying
// component also passes the notification on to everything it owns. The dying object is
// already partly destroyed when the notification arrives: compare the pointer, do not
// call it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"

namespace kvr {

enum TComponentStateValue : Byte {
  csLoading, csReading, csWriting, csDestroying, csDesigning, csAncestor, csUpdating,
  csFixups, csFreeNotification, csInline, csDesignInstance
};
using TComponentState = TSet<TComponentStateValue>;

enum TOperation : Byte { opInsert, opRemove };

class EComponentError : public Exception {
 public:
  using Exception::Exception;
};

class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;

  // Properties
  const std::string& Name() const { return FName; }
  // An identifier (letter or '_' first, then letters, digits, '_') or empty; unique
  // among the owner's components, ignoring case. Raises EComponentError otherwise.
  void SetName(const std::string& NewName);
  TComponent* Owner() const { return FOwner; }
  TComponentState ComponentState() const { return FComponentState; }
  intptr_t Tag() const { return FTag; }
  void SetTag(intptr_t v) { FTag = v; }

  Integer ComponentCount() const { return static_cast<Integer>(FComponents.size()); }
  // nullptr for an index out of range.
  TComponent* Components(Integer Index) const;
  Integer ComponentIndex() const;
  // Case-insensitive search among the owned components; nullptr when absent.
  TComponent* FindComponent(const std::string& AName) const;

  // Moves AComponent under this owner (from any previous owner).
  void InsertComponent(TComponent* AComponent);
  // Releases AComponent from this owner without deleting it.
  void RemoveComponent(TComponent* AComponent);
  // Deletes every owned component, last first.
  void DestroyComponents();

  // Ask to be told when AComponent goes away (and tell it when this one does).
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

  // Streaming: the reader sets csLoading, assigns the stored properties, and then calls
  // Loaded, which clears the flag. BeginLoading marks the start for readers of our own.
  void BeginLoading();
  virtual void Loaded();
  // Design-time state (the component sits on a form designer).
  void SetDesigning(bool Value, bool SetChildren = true);

 protected:
  // Runs for every insertion into and removal from this owner, and for every component
  // registered with FreeNotification that goes away. The base passes it on to the owned
  // components; overrides must call it.
  virtual void Notification(TComponent* AComponent, TOperation Operation);

 private:
  void Destroying();
  void SendFreeNotifications();
  void InsertIntern(TComponent* AComponent);
  void RemoveIntern(TComponent* AComponent);
  bool NameInUse(const std::string& AName, const TComponent* Except) const;

  std::string FName;
  TComponent* FOwner = nullptr;
  TComponentState FComponentState;
  intptr_t FTag = 0;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
};

}  // namespace kvr
