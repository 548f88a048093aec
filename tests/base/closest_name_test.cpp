#include "base/closest_name.h"

#include <gtest/gtest.h>

namespace {

TEST(ClosestName, OffersTheNearNamesNearestFirst)
{
    const std::vector<std::string_view> keys{"position", "size", "text", "texture", "name", "Children", "tooltip_name"};
    struct Case {
        std::string typed;
        std::vector<std::string> near;
    };
    const std::vector<Case> cases{
        {"positon", {"position"}},        // a letter left out
        {"txt", {"text"}},                // short: one edit allowed
        {"textur", {"texture", "text"}},
        {"NAME", {"name"}},               // letter case alone
        {"childern", {"Children"}},       // two letters swapped
        {"tex", {"text"}},
        {"tooltipname", {"tooltip_name"}},
        {"colour", {}},                   // nothing near
        {"position", {}},                 // a known name is no mistake
        {"", {}},
        {std::string(300, 'a'), {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(base::closestNames(c.typed, keys), c.near) << c.typed;
    // At most three, nearest first, each once.
    EXPECT_EQ(base::closestNames("Tile", {"Tile1", "Tile", "Tiles", "Tile1", "File", "Tilde", "Mile"}),
              (std::vector<std::string>{"Tile1", "Tiles", "File"}));
}

TEST(ClosestName, SaysDidYouMeanForOneOrMoreNames)
{
    EXPECT_FALSE(base::didYouMean({}));
    EXPECT_EQ(base::didYouMean({"position"}), "did you mean `position`?");
    EXPECT_EQ(base::didYouMean({"a", "b", "c"}), "did you mean `a`, `b` or `c`?");
}

} // namespace
