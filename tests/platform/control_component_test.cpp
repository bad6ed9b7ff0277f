#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/classes.h"

using namespace kvr;

namespace {

// Keeps a raw pointer to another component and clears it on removal, as the charts do
// with the chart whose data they share.
class Referrer : public TComponent {
 public:
  using TComponent::TComponent;
  ~Referrer() override {
    if (alive) *alive = false;
  }

  void SetPeer(TComponent* p) {
    if (peer) peer->RemoveFreeNotification(this);
    peer = p;
    if (peer) peer->FreeNotification(this);
  }

  TComponent* peer = nullptr;
  std::vector<std::string> seen;
  bool* alive = nullptr;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    seen.push_back(std::string(Operation == opInsert ? "insert " : "remove ") +
                   (AComponent == peer ? "peer" : "other"));
    if (Operation == opRemove && AComponent == peer) peer = nullptr;
  }
};

}  // namespace

TEST(ControlComponent, OwnerDeletesOwnedComponentsAndEarlyDeathUnlinks) {
  bool a_alive = true, b_alive = true;
  auto* owner = new TComponent(nullptr);
  auto* a = new Referrer(owner);
  auto* b = new Referrer(owner);
  a->alive = &a_alive;
  b->alive = &b_alive;
  ASSERT_EQ(owner->ComponentCount(), 2);
  EXPECT_EQ(owner->Components(0), a);
  EXPECT_EQ(b->ComponentIndex(), 1);
  EXPECT_EQ(owner->Components(2), nullptr);

  delete a;  // dies first: must leave the owner's list
  EXPECT_FALSE(a_alive);
  ASSERT_EQ(owner->ComponentCount(), 1);
  EXPECT_EQ(owner->Components(0), b);

  delete owner;
  EXPECT_FALSE(b_alive);
}

TEST(ControlComponent, StackComponentWithOwnerRemovesItself) {
  TComponent owner(nullptr);
  {
    TComponent child(&owner);
    EXPECT_EQ(child.Owner(), &owner);
    EXPECT_EQ(owner.ComponentCount(), 1);
  }
  EXPECT_EQ(owner.ComponentCount(), 0);
}

TEST(ControlComponent, FreeNotificationClearsPointerWhicheverDiesFirst) {
  {
    auto* target = new TComponent(nullptr);
    Referrer user(nullptr);
    user.SetPeer(target);
    EXPECT_TRUE(target->ComponentState().Contains(csFreeNotification));
    delete target;
    EXPECT_EQ(user.peer, nullptr);
    ASSERT_EQ(user.seen.size(), 1u);
    EXPECT_EQ(user.seen[0], "remove peer");
  }
  {
    // The referrer dies first; the target must not notify a dead object later.
    TComponent target(nullptr);
    auto* user = new Referrer(nullptr);
    user->SetPeer(&target);
    delete user;
    target.SetName("StillFine");
  }
  {
    // Two components referring to each other.
    auto* a = new Referrer(nullptr);
    Referrer b(nullptr);
    a->SetPeer(&b);
    b.SetPeer(a);
    delete a;
    EXPECT_EQ(b.peer, nullptr);
  }
}

TEST(ControlComponent, RemovedFreeNotificationIsNotSent) {
  auto* target = new TComponent(nullptr);
  Referrer user(nullptr);
  user.SetPeer(target);
  user.SetPeer(nullptr);
  delete target;
  EXPECT_TRUE(user.seen.empty());
}

TEST(ControlComponent, OwnerPassesInsertAndRemoveToSiblings) {
  TComponent owner(nullptr);
  auto* watcher = new Referrer(&owner);
  auto* other = new TComponent(&owner);
  watcher->peer = other;  // no FreeNotification: the shared owner tells it
  delete other;
  EXPECT_EQ(watcher->peer, nullptr);
  EXPECT_EQ((std::vector<std::string>{"insert other", "remove peer"}), watcher->seen);
}

TEST(ControlComponent, NamesAreIdentifiersUniqueWithinOwner) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  a->SetName("Chart1");
  EXPECT_THROW(b->SetName("chart1"), EComponentError);  // case-insensitive clash
  EXPECT_THROW(b->SetName("1Chart"), EComponentError);
  EXPECT_THROW(b->SetName("Chart-2"), EComponentError);
  EXPECT_EQ(b->Name(), "");
  b->SetName("_Chart2");
  EXPECT_EQ(owner.FindComponent("CHART1"), a);
  EXPECT_EQ(owner.FindComponent("_chart2"), b);
  EXPECT_EQ(owner.FindComponent(""), nullptr);
  a->SetName("Chart1");  // renaming to its own name is allowed

  // Moving into an owner that already has the name is refused and leaves things as they were.
  TComponent other_owner(nullptr);
  auto* c = new TComponent(&other_owner);
  c->SetName("Chart1");
  EXPECT_THROW(owner.InsertComponent(c), EComponentError);
  EXPECT_EQ(c->Owner(), &other_owner);
  c->SetName("Chart3");
  owner.InsertComponent(c);
  EXPECT_EQ(c->Owner(), &owner);
  EXPECT_EQ(other_owner.ComponentCount(), 0);
  EXPECT_EQ(owner.ComponentCount(), 3);
}

TEST(ControlComponent, LoadingAndDesigningStates) {
  TComponent owner(nullptr);
  auto* child = new TComponent(&owner);
  owner.SetDesigning(true);
  EXPECT_TRUE(child->ComponentState().Contains(csDesigning));
  auto* late = new TComponent(&owner);  // inherits the designer state on insertion
  EXPECT_TRUE(late->ComponentState().Contains(csDesigning));
  owner.SetDesigning(false);
  EXPECT_FALSE(child->ComponentState().Contains(csDesigning));

  owner.BeginLoading();
  EXPECT_TRUE(owner.ComponentState().Contains(csLoading));
  owner.Loaded();
  EXPECT_FALSE(owner.ComponentState().Contains(csLoading));
}
