#include "Containers.h"

#include <gtest/gtest.h>

TEST(PtrList, InsertsClampedDeletesAndEmptiesInReverse)
{
  static std::vector<int> destroyed;
  struct Tracked
  {
    int id;
    ~Tracked() { destroyed.push_back(id); }
  };
  destroyed.clear();
  WDL_PtrList<Tracked> list;
  list.Add(new Tracked{1});
  list.Insert(99, new Tracked{3}); // past the end appends
  list.Insert(1, new Tracked{2});
  ASSERT_EQ(list.GetSize(), 3);
  EXPECT_EQ(list.Get(1)->id, 2);
  EXPECT_EQ(list.Get(2)->id, 3);
  EXPECT_EQ(list.Get(3), nullptr);
  EXPECT_EQ(list.Get(-1), nullptr);

  list.Delete(0, true);
  EXPECT_EQ(destroyed, std::vector<int>{1});
  EXPECT_EQ(list.Get(0)->id, 2);
  list.Empty(true);
  EXPECT_EQ(destroyed, (std::vector<int>{1, 3, 2}));
  EXPECT_EQ(list.GetSize(), 0);
}
