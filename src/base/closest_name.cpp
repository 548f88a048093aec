#include "base/closest_name.h"

#include <algorithm>
#include <numeric>

namespace base {

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Edits from a to b (optimal string alignment), letter case ignored.
std::size_t distance(std::string_view a, std::string_view b)
{
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i)
        d[i][0] = i;
    std::iota(d[0].begin(), d[0].end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t cost = lower(a[i - 1]) == lower(b[j - 1]) ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && lower(a[i - 1]) == lower(b[j - 2]) && lower(a[i - 2]) == lower(b[j - 1]))
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[a.size()][b.size()];
}

} // namespace

std::vector<std::string> closestNames(std::string_view typed, const std::vector<std::string_view>& known,
                                      std::size_t limit)
{
    // Names far longer than anything known are no typing mistakes; they are
    // not compared at all (the table would be large).
    constexpr std::size_t LongestCompared = 256;
    if (typed.size() > LongestCompared)
        return {};
    const std::size_t allowed = std::max<std::size_t>(1, typed.size() / 3);
    std::vector<std::pair<std::size_t, std::string_view>> near;
    for (const std::string_view name : known) {
        if (name == typed || name.size() > LongestCompared)
            continue;
        if (std::max(name.size(), typed.size()) - std::min(name.size(), typed.size()) > allowed)
            continue;
        if (const std::size_t d = distance(typed, name); d <= allowed)
            near.emplace_back(d, name);
    }
    std::stable_sort(near.begin(), near.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> names;
    for (const auto& [d, name] : near) {
        if (names.size() == limit)
            break;
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.emplace_back(name);
    }
    return names;
}

std::optional<std::string> closestName(std::string_view typed, const std::vector<std::string_view>& known)
{
    std::vector<std::string> names = closestNames(typed, known, 1);
    if (names.empty())
        return std::nullopt;
    return std::move(names.front());
}

std::optional<std::string> didYouMean(const std::vector<std::string>& names)
{
    if (names.empty())
        return std::nullopt;
    std::string text = "did you mean ";
    for (std::size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + ("`" + names[i] + "`");
    return text + "?";
}

} // namespace base
