#include "ui/hit_result.h"

#include <gtest/gtest.h>

namespace {

using ui::HitResult;
constexpr HitResult M = HitResult::Miss, H = HitResult::Hit, I = HitResult::Indeterminate;

struct BinaryCase {
    HitResult a, b, andResult, orResult, equalsResult;
};

// Kleene's three-valued tables over all nine pairs.
const BinaryCase binaryCases[] = {
    {M, M, M, M, H}, {M, H, M, H, M}, {M, I, M, I, I},
    {H, M, M, H, M}, {H, H, H, H, H}, {H, I, I, H, I},
    {I, M, M, I, I}, {I, H, I, H, I}, {I, I, I, I, I},
};

TEST(HitResultTest, AndOrEqualsFollowKleeneLogic)
{
    for (const BinaryCase& c : binaryCases) {
        SCOPED_TRACE(testing::Message() << c.a.value() << " with " << c.b.value());
        EXPECT_EQ((c.a & c.b).value(), c.andResult.value());
        EXPECT_EQ((c.a | c.b).value(), c.orResult.value());
        EXPECT_EQ(equals(c.a, c.b).value(), c.equalsResult.value());
    }
}

TEST(HitResultTest, NotSwapsMissAndHitAndOnlyHitIsTrue)
{
    EXPECT_EQ((!M).value(), HitResult::Hit);
    EXPECT_EQ((!H).value(), HitResult::Miss);
    EXPECT_EQ((!I).value(), HitResult::Indeterminate);
    EXPECT_TRUE(static_cast<bool>(H));
    EXPECT_FALSE(static_cast<bool>(M));
    EXPECT_FALSE(static_cast<bool>(I));
    EXPECT_EQ(HitResult().value(), HitResult::Miss);
    EXPECT_EQ(HitResult::fromBool(true).value(), HitResult::Hit);
}

} // namespace
