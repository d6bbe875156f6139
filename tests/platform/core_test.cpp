// Components: an owner destroys what it owns.
#include "platform/core.h"

#include <gtest/gtest.h>

namespace {

struct Counted : TComponent {
    explicit Counted(TComponent* owner, int& alive) : TComponent(owner), alive_(alive) { ++alive_; }
    ~Counted() override { --alive_; }
    int& alive_;
};

TEST(Components, AnOwnerDestroysWhatItOwnsAndForgetsWhatIsDestroyedBeforeIt)
{
    int alive = 0;
    auto* owner = new TComponent;
    auto* first = new Counted(owner, alive);
    new Counted(first, alive);  // owned by an owned one
    auto* gone = new Counted(owner, alive);
    new Counted(owner, alive);
    ASSERT_EQ(alive, 4);

    delete gone;  // leaves its owner's list
    EXPECT_EQ(owner->ComponentCount(), 2);
    delete owner;
    EXPECT_EQ(alive, 0);
}

}  // namespace
