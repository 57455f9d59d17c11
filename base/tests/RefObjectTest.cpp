#include "base/RefObject.h"
#include <gtest/gtest.h>

namespace {

struct Tracked : CRefObject {
  explicit Tracked(bool* alive) : alive(alive) { *alive = true; }
  ~Tracked() override { *alive = false; }
  bool* alive;
};

TEST(RefObject, CountedObjectDiesWithItsLastReference) {
  bool alive = false;
  auto* obj = new Tracked(&alive);
  obj->CRefObjectCounted();
  EXPECT_EQ(obj->AddRef(), 2);
  EXPECT_EQ(obj->Release(), 1);
  EXPECT_TRUE(alive);
  EXPECT_EQ(obj->Release(), 0);
  EXPECT_FALSE(alive);
}

TEST(RefObject, UncountedObjectIsNeverFreedByReleasing) {
  bool alive = false;
  {
    Tracked member(&alive);
    EXPECT_EQ(member.AddRef(), 0);
    for (int i = 0; i < 3; i++) EXPECT_EQ(member.Release(), 0);
    EXPECT_TRUE(alive);
    EXPECT_EQ(member.GetRefCount(), -1);
  }
  EXPECT_FALSE(alive);
}

}  // namespace
