// The data table's life token and its text export on a full disk.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "platform/datatable.h"

using namespace kvr;

TEST(DataTableLife, TokenExpiresWithTheTable) {
  auto t = std::make_unique<TDataTable>(2, 2);
  const std::weak_ptr<const void> a = t->LifeToken();
  const std::weak_ptr<const void> b = t->LifeToken();
  TDataTable other;
  EXPECT_FALSE(a.expired());
  EXPECT_FALSE(a.owner_before(b) || b.owner_before(a));  // one token per table
  EXPECT_TRUE(a.owner_before(other.LifeToken()) || other.LifeToken().owner_before(a));
  other.Assign(t.get());  // copying the cells does not share the token
  t.reset();
  EXPECT_TRUE(a.expired());
  EXPECT_FALSE(other.LifeToken().expired());
}

TEST(DataTableLife, ExportOnAFullDiskRaises) {
  std::ifstream probe("/dev/full");
  if (!probe) GTEST_SKIP() << "no /dev/full";
  TDataTable t(1, 3);
  t.SetElem(1, 1, 1.0);
  // A few hundred bytes stay in the stream's buffer until the file is closed.
  EXPECT_THROW(t.ExportAsASC("/dev/full", 2), Exception);
}
