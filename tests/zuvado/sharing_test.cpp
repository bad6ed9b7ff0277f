// Charts sharing one data container, and joint layers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "zuvado/zuvado.h"
#include "tests/test_out.h"

namespace kvr {
namespace {

const char* const kSelf = "ZUvado: Cannot share data with myself";
const char* const kForeign =
    "ZUvado: Cannot use foreign data. Other ZUvados are using my own data.";
const char* const kTooMany = "ZUvado: Max. number of data shares exceeded";

class ZuSharing : public ::testing::Test {
 protected:
  void SetUp() override { ClearMessageDlgLog(); }
  std::vector<std::string> messages() const {
    std::vector<std::string> m;
    for (const TMessageDlgRecord& r : MessageDlgLog()) m.push_back(r.Msg);
    return m;
  }
  static void expect_same_content(const TZUvado& a, const TZUvado& b) {
    ASSERT_EQ(a.NumItems(), b.NumItems());
    for (Integer i = 0; i < a.NumItems(); ++i) {
      EXPECT_EQ(a.GetChartItem(i).x, b.GetChartItem(i).x) << i;
      EXPECT_EQ(a.GetChartItem(i).ItemKind, b.GetChartItem(i).ItemKind) << i;
    }
    for (int k = 0; k < kNumItemKinds; ++k)
      EXPECT_EQ(a.ItemCount(TrcItem(k)), b.ItemCount(TrcItem(k))) << k;
  }
  TZUvado a{nullptr}, b{nullptr}, c{nullptr}, d{nullptr};
};

TEST_F(ZuSharing, RefusalsShowTheirMessageAndChangeNothing) {
  a.SetUseDataOf(&a);
  EXPECT_EQ(a.UseDataOf(), nullptr);

  b.SetUseDataOf(&a);
  a.SetUseDataOf(&d);
  EXPECT_EQ(a.UseDataOf(), nullptr);
  EXPECT_EQ(d.DataUsersNum(), 0);

  TZUvado e{nullptr}, f{nullptr};
  c.SetUseDataOf(&a);
  d.SetUseDataOf(&a);
  e.SetUseDataOf(&a);
  f.SetUseDataOf(&b);  // a fifth user through a user
  EXPECT_EQ(a.DataUsersNum(), 4);
  EXPECT_EQ(f.UseDataOf(), nullptr);
  EXPECT_EQ(messages(), (std::vector<std::string>{kSelf, kForeign, kTooMany}));
  EXPECT_EQ(MessageDlgLog()[0].DlgType, mtInformation);
  EXPECT_TRUE(MessageDlgLog()[0].Buttons.Contains(mbOK));

  // Naming the owner again, or another of its users, is no new share.
  e.SetUseDataOf(&a);
  e.SetUseDataOf(&c);
  EXPECT_EQ(a.DataUsersNum(), 4);
  EXPECT_EQ(a.DataUsers(4), &e);
  EXPECT_EQ(messages().size(), 3u);
}

TEST_F(ZuSharing, ChainsEndAtTheRootOwnerAndChangesReachEveryPartner) {
  a.MarkAt(1.0, 1.0, 1);
  a.Line(0.0, 0.0, 1.0, 1.0);
  b.MarkAt(9.0, 9.0, 1);  // b's own data is dropped when it joins
  b.SetUseDataOf(&a);
  c.SetUseDataOf(&b);
  EXPECT_EQ(c.UseDataOf(), &a);
  EXPECT_EQ(a.DataUsersNum(), 2);
  EXPECT_EQ(a.DataUsers(1), &b);
  EXPECT_EQ(a.DataUsers(2), &c);
  expect_same_content(a, c);

  b.MarkAt(2.0, 2.0, 1);
  EXPECT_EQ(a.NumItems(), 3);
  EXPECT_EQ(c.NumItems(), 3);
  EXPECT_EQ(c.ItemCount(tkMarkAt), 2);
  c.RemoveItem(0);
  a.SetItemParams(0, b.GetChartItem(1));
  expect_same_content(a, b);
  expect_same_content(a, c);
  EXPECT_EQ(b.ItemCount(tkLine), 0);

  // Growth moves the array; every partner keeps seeing it.
  for (int i = 0; i < 5000; ++i) c.MarkAt(double(i), 0.0, 1);
  expect_same_content(a, b);
  expect_same_content(a, c);
  EXPECT_EQ(b.GetChartItem(5001).x, 4999.0);

  a.ClearGraf();
  EXPECT_EQ(b.NumItems(), 0);
  EXPECT_EQ(c.ItemCount(tkMarkAt), 0);
}

TEST_F(ZuSharing, LoadingThroughAnyPartnerReplacesTheSharedData) {
  d.MarkAt(1.0, 2.0, 3);
  d.Line(0.0, 0.0, 1.0, 1.0);
  d.Text(0.0, 0.0, 8, "a long text of the loaded file");
  const std::string file = test_out_file("sharing_load.dat");
  d.SaveData(file);

  a.MarkAt(5.0, 5.0, 1);
  b.SetUseDataOf(&a);
  c.SetUseDataOf(&a);
  ASSERT_EQ(b.LoadData(file, false), 3);
  expect_same_content(a, d);
  expect_same_content(c, d);
  EXPECT_EQ(b.DataLongText(2), "a long text of the loaded file");
  ASSERT_EQ(c.LoadData(file, true), 3);
  EXPECT_EQ(a.NumItems(), 6);
  EXPECT_EQ(b.ItemCount(tkLine), 2);
}

TEST_F(ZuSharing, LeavingKeepsAPrivateCopy) {
  a.MarkAt(1.0, 1.0, 1);
  b.SetUseDataOf(&a);
  c.SetUseDataOf(&a);
  b.SetUseDataOf(nullptr);
  EXPECT_EQ(b.UseDataOf(), nullptr);
  EXPECT_EQ(a.DataUsersNum(), 1);
  EXPECT_EQ(a.DataUsers(1), &c);
  EXPECT_EQ(a.DataUsers(2), nullptr);

  a.ClearGraf();
  EXPECT_EQ(b.NumItems(), 1);
  EXPECT_EQ(b.ItemCount(tkMarkAt), 1);
  b.MarkAt(2.0, 2.0, 1);
  EXPECT_EQ(a.NumItems(), 0);
  EXPECT_EQ(c.NumItems(), 0);

  // Moving to another owner leaves the first one's list.
  c.SetUseDataOf(&b);
  EXPECT_EQ(a.DataUsersNum(), 0);
  EXPECT_EQ(b.DataUsersNum(), 1);
  EXPECT_EQ(c.NumItems(), 2);
}

// Every order of destruction, with owners and users on the heap; the sanitizer build
// catches any pointer left behind.
TEST_F(ZuSharing, DestroyingEitherPartnerFirstLeavesNoDanglingPointer) {
  auto owner = std::make_unique<TZUvado>(nullptr);
  auto u1 = std::make_unique<TZUvado>(nullptr);
  auto u2 = std::make_unique<TZUvado>(nullptr);
  owner->MarkAt(1.0, 1.0, 1);
  u1->SetUseDataOf(owner.get());
  u2->SetUseDataOf(owner.get());

  u1.reset();
  EXPECT_EQ(owner->DataUsersNum(), 1);
  EXPECT_EQ(owner->DataUsers(1), u2.get());
  owner->MarkAt(2.0, 2.0, 1);
  EXPECT_EQ(u2->NumItems(), 2);

  auto u3 = std::make_unique<TZUvado>(nullptr);
  u3->SetUseDataOf(u2.get());
  owner.reset();
  for (TZUvado* u : {u2.get(), u3.get()}) {
    EXPECT_EQ(u->UseDataOf(), nullptr);
    EXPECT_EQ(u->NumItems(), 2);
    EXPECT_EQ(u->ItemCount(tkMarkAt), 2);
  }
  u2->MarkAt(3.0, 3.0, 1);
  EXPECT_EQ(u3->NumItems(), 2);
  u2.reset();
  u3->MarkAt(4.0, 4.0, 1);
  EXPECT_EQ(u3->NumItems(), 3);
}

TEST_F(ZuSharing, ChartsOwnedByOneFormMayGoInAnyOrder) {
  for (bool ownerFirst : {true, false}) {
    // A form deletes its components last first.
    auto form = std::make_unique<TComponent>(nullptr);
    auto* user = new TZUvado(form.get());
    auto* user2 = new TZUvado(form.get());
    auto* owner = new TZUvado(ownerFirst ? form.get() : nullptr);
    owner->MarkAt(1.0, 1.0, 1);
    user->SetUseDataOf(owner);
    user2->SetUseDataOf(user);
    if (!ownerFirst) {
      delete user;
      EXPECT_EQ(owner->DataUsersNum(), 1);
      form.reset();
      EXPECT_EQ(owner->DataUsersNum(), 0);
      delete owner;
    } else {
      form.reset();
    }
  }
}

class JoinProbe : public TZUvado {
 public:
  JoinProbe() : TZUvado(nullptr) {}
  std::vector<std::string> joins;
  int paints = 0;

 protected:
  void ApplyJointRange(Integer Layer, Integer Source, bool InX) override {
    joins.push_back(std::to_string(Layer) + (InX ? "x" : "y") + std::to_string(Source));
  }
  void Paint() override { ++paints; }
};

std::string message_of(const std::function<void()>& f) {
  try {
    f();
  } catch (const EKvrZUvadoError& e) {
    return e.what();
  }
  return "no error";
}

TEST(ZuSharingJointLayers, JoinsAreCheckedRecordedAndCoupled) {
  JoinProbe chart;
  TJointLayers* j = chart.JointLayers();
  EXPECT_EQ(j->L01xControlledBy(), 1);
  EXPECT_EQ(j->L02yControlledBy(), 2);
  EXPECT_EQ(j->OwnerChart(), &chart);

  EXPECT_EQ(message_of([&] { j->SetL02xControlledBy(3); }), "Destination layer 3 is out of range");
  EXPECT_EQ(message_of([&] { j->SetL01yControlledBy(0); }), "Destination layer 0 is out of range");
  EXPECT_TRUE(chart.joins.empty());

  const int paints = chart.paints;
  j->SetL02xControlledBy(1);
  EXPECT_EQ(chart.joins, std::vector<std::string>{"2x1"});
  EXPECT_EQ(chart.paints, paints + 1);
  EXPECT_EQ(j->L02xControlledBy(), 1);
  EXPECT_TRUE(j->IsControlledX(2));
  EXPECT_FALSE(j->IsControlledY(2));
  EXPECT_EQ(j->FollowersX(1), 0b10u);
  EXPECT_EQ(j->FollowersY(1), 0u);

  EXPECT_EQ(message_of([&] { j->SetL01xControlledBy(2); }),
            "Destination layer 2 is already joined");
  EXPECT_EQ(j->L01xControlledBy(), 1);
  // The y direction is joined independently, the other way round.
  j->SetL01yControlledBy(2);
  EXPECT_EQ(chart.joins, (std::vector<std::string>{"2x1", "1y2"}));

  j->SetL02xControlledBy(2);
  EXPECT_FALSE(j->IsControlledX(2));
  EXPECT_EQ(chart.joins.size(), 2u);
  j->SetL01xControlledBy(2);
  EXPECT_EQ(chart.joins.back(), "1x2");
}

TEST(ZuSharingJointLayers, JoiningTakesTheControllingLayersRangeInOneDirection) {
  TZUvado chart(nullptr);
  chart.SetRange(1, 0.0L, -1.0L, 10.0L, 1.0L);
  chart.SetRange(2, 100.0L, 50.0L, 200.0L, 60.0L);
  chart.JointLayers()->SetL02xControlledBy(1);
  EXPECT_EQ(chart.Scale2X()->RangeLow(), 0.0);
  EXPECT_EQ(chart.Scale2X()->RangeHigh(), 10.0);
  EXPECT_EQ(chart.Scale2Y()->RangeLow(), 50.0);
  EXPECT_EQ(chart.Scale2Y()->RangeHigh(), 60.0);
}

TEST(ZuSharingJointLayers, AssignCopiesTheJoinsOnly) {
  JoinProbe source, chart;
  source.JointLayers()->SetL02yControlledBy(1);
  const int paints = chart.paints;
  chart.SetJointLayers(source.JointLayers());
  EXPECT_EQ(chart.JointLayers()->L02yControlledBy(), 1);
  EXPECT_EQ(chart.JointLayers()->OwnerChart(), &chart);
  EXPECT_NE(chart.JointLayers(), source.JointLayers());
  EXPECT_TRUE(chart.joins.empty());
  EXPECT_EQ(chart.paints, paints + 1);
  chart.JointLayers()->Reset();
  EXPECT_EQ(chart.JointLayers()->L02yControlledBy(), 2);
  EXPECT_EQ(source.JointLayers()->L02yControlledBy(), 1);
}

}  // namespace
}  // namespace kvr
