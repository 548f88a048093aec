#include "base/finding.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using base::Finding;
using base::FindingLevel;
using base::FindingList;

Finding make(FindingLevel level, const char* code, std::optional<int> line = std::nullopt)
{
    Finding f;
    f.level = level;
    f.code = code;
    f.message = "m";
    f.file = "a.module";
    f.line = line;
    return f;
}

TEST(FindingList, KeepsOrderDropsExactRepeatsAndCountsLevels)
{
    FindingList list;
    list.add(make(FindingLevel::Warning, "unknown-key", 3));
    list.add(make(FindingLevel::Error, "load-error", 1));
    list.add(make(FindingLevel::Warning, "unknown-key", 3)); // the same again
    list.add(make(FindingLevel::Warning, "unknown-key", 4)); // another line
    list.add(make(FindingLevel::Warning, "unknown-key"));    // no line is not line 3
    list.add(make(FindingLevel::Note, "language-choice"));

    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(list.all()[0].line, 3);
    EXPECT_EQ(list.all()[1].code, "load-error");
    EXPECT_EQ(list.all()[2].line, 4);
    EXPECT_FALSE(list.all()[3].line);
    EXPECT_EQ(list.count(FindingLevel::Error), 1u);
    EXPECT_EQ(list.count(FindingLevel::Warning), 3u);
    EXPECT_EQ(list.count(FindingLevel::Note), 1u);

    FindingList more;
    more.add(make(FindingLevel::Error, "load-error", 1));
    more.add(make(FindingLevel::Warning, "style-missing", 9));
    list.append(more);
    EXPECT_EQ(list.size(), 6u);
    EXPECT_EQ(list.all().back().code, "style-missing");
}

TEST(FindingLevel, NamesAreThoseOfTheOutputFormats)
{
    EXPECT_EQ(base::levelName(FindingLevel::Error), "error");
    EXPECT_EQ(base::levelName(FindingLevel::Warning), "warning");
    EXPECT_EQ(base::levelName(FindingLevel::Note), "note");
}

TEST(FindingList, SortsByLineKeepingTheOrderWithinALineAndStillDropsRepeats)
{
    FindingList list;
    for (const auto& [code, line] : std::vector<std::pair<const char*, std::optional<int>>>{
             {"c", 7}, {"a", 2}, {"none", std::nullopt}, {"b", 7}, {"d", 2}})
        list.add(make(FindingLevel::Warning, code, line));
    list.sortByLine();
    std::vector<std::string> order;
    for (const Finding& f : list.all())
        order.push_back(f.code);
    EXPECT_EQ(order, (std::vector<std::string>{"none", "a", "d", "c", "b"}));
    list.add(make(FindingLevel::Warning, "b", 7)); // held already, after the sort too
    EXPECT_EQ(list.size(), 5u);
    list.clear();
    list.add(make(FindingLevel::Warning, "b", 7));
    EXPECT_EQ(list.size(), 1u);
}

} // namespace
