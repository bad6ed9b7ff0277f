// A container that cannot grow stays full: after a failed allocation every further
// append fails too, instead of writing past the storage.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <fstream>
#include <new>

#include "zuvado/itemstore.h"

using namespace kvr;

namespace {

#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__)

// Address space in use now, in bytes.
rlim_t address_space() {
  std::ifstream statm("/proc/self/statm");
  rlim_t pages = 0;
  statm >> pages;
  return pages * rlim_t(sysconf(_SC_PAGESIZE));
}

TEST(ZuItemsOutOfMemory, AFullContainerStaysFullWhenItCannotGrow) {
  TRcItemContainer c;
  c.SetNumAlloc(40000);  // a page mapping of a few megabytes
  TrcChartItem it{};
  while (std::size_t(c.Count()) < c.Capacity()) {
    it.Tag = c.Count();
    c.Append(it, 1);
  }
  const Integer full = c.Count();
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_AS, &saved), 0);
  rlimit tight = saved;
  tight.rlim_cur = address_space() + (rlim_t(1) << 20);
  ASSERT_EQ(setrlimit(RLIMIT_AS, &tight), 0);
  bool first = false, second = false;
  try {
    c.Append(it, 1);
  } catch (const std::bad_alloc&) {
    first = true;
  }
  try {
    c.Append(it, 1000);
  } catch (const std::bad_alloc&) {
    second = true;
  }
  setrlimit(RLIMIT_AS, &saved);
  EXPECT_TRUE(first);
  EXPECT_TRUE(second);
  EXPECT_EQ(c.Count(), full);
  EXPECT_EQ(c.NumAlloc(), full);
  EXPECT_EQ(c[full - 1].Tag, full - 1);
  it.Tag = -7;
  c.Append(it, 1);  // grows again once memory is there
  EXPECT_EQ(c.Count(), full + 1);
  EXPECT_EQ(c[full].Tag, -7);
  EXPECT_EQ(c[full / 2].Tag, full / 2);
}

#endif

}  // namespace
