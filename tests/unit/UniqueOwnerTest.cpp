// The handle owner, with a fake closer that counts its calls.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "framework/UniqueOwner.h"

namespace {

std::vector<int> closed;

struct FakeTraits {
    using Handle = int;
    static Handle Empty() noexcept { return -1; }
    static void Close(Handle handle) noexcept { closed.push_back(handle); }
};
using Owner = framework::UniqueOwner<FakeTraits>;

class UniqueOwnerTest : public ::testing::Test {
protected:
    void SetUp() override { closed.clear(); }
};

TEST_F(UniqueOwnerTest, ClosesOnceAtEndOfScope) {
    {
        Owner owner(7);
        EXPECT_TRUE(owner);
        EXPECT_EQ(owner.get(), 7);
    }
    EXPECT_EQ(closed, std::vector<int>{7});
}

TEST_F(UniqueOwnerTest, EmptyOwnerClosesNothing) {
    {
        Owner owner;
        EXPECT_FALSE(owner);
    }
    { Owner owner(-1); }
    EXPECT_TRUE(closed.empty());
}

TEST_F(UniqueOwnerTest, MoveTransfersOwnership) {
    {
        Owner first(3);
        Owner second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_EQ(second.get(), 3);
        Owner third(4);
        third = std::move(second);
        EXPECT_EQ(closed, std::vector<int>{4}) << "the old handle of the target is closed";
    }
    EXPECT_EQ(closed, (std::vector<int>{4, 3}));
}

TEST_F(UniqueOwnerTest, PutClosesTheOldHandleFirst) {
    Owner owner(5);
    int* slot = owner.put();
    EXPECT_EQ(closed, std::vector<int>{5});
    EXPECT_EQ(*slot, -1);
    *slot = 6;
    EXPECT_EQ(owner.get(), 6);
}

TEST_F(UniqueOwnerTest, ReleaseGivesUpWithoutClosing) {
    Owner owner(8);
    EXPECT_EQ(owner.release(), 8);
    EXPECT_FALSE(owner);
    owner.reset(9);
    owner.reset();
    EXPECT_EQ(closed, std::vector<int>{9});
}

TEST_F(UniqueOwnerTest, SelfMoveKeepsTheHandle) {
    Owner owner(10);
    Owner& alias = owner;
    owner = std::move(alias);
    EXPECT_EQ(owner.get(), 10);
    EXPECT_TRUE(closed.empty());
}

} // namespace
