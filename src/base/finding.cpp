#include "base/finding.h"

#include <algorithm>
#include <functional>
#include <tuple>

namespace base {

std::string_view levelName(FindingLevel level)
{
    switch (level) {
    case FindingLevel::Error: return "error";
    case FindingLevel::Note: return "note";
    case FindingLevel::Warning: break;
    }
    return "warning";
}

bool operator==(const Finding& a, const Finding& b)
{
    const auto fields = [](const Finding& f) {
        return std::tie(f.level, f.code, f.message, f.hint, f.screen, f.widget, f.file, f.member, f.line);
    };
    return fields(a) == fields(b);
}

namespace {

std::size_t hashOf(const Finding& f)
{
    std::size_t h = std::hash<std::string>()(f.code);
    const auto mix = [&h](std::size_t v) { h ^= v + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2); };
    mix(std::hash<std::string>()(f.message));
    mix(static_cast<std::size_t>(f.level));
    mix(f.line ? static_cast<std::size_t>(*f.line) + 1 : 0);
    mix(f.widget ? std::hash<std::string>()(*f.widget) : 0);
    return h;
}

} // namespace

void FindingList::add(Finding finding)
{
    const std::size_t hash = hashOf(finding);
    const auto [first, last] = index_.equal_range(hash);
    for (auto held = first; held != last; ++held)
        if (findings_[held->second] == finding)
            return;
    index_.emplace(hash, findings_.size());
    findings_.push_back(std::move(finding));
}

void FindingList::sortByLine()
{
    std::stable_sort(findings_.begin(), findings_.end(),
                     [](const Finding& a, const Finding& b) { return a.line.value_or(0) < b.line.value_or(0); });
    index_.clear();
    for (std::size_t i = 0; i < findings_.size(); ++i)
        index_.emplace(hashOf(findings_[i]), i);
}

void FindingList::clear()
{
    findings_.clear();
    index_.clear();
}

void FindingList::append(const FindingList& other)
{
    for (const Finding& finding : other.all())
        add(finding);
}

std::size_t FindingList::count(FindingLevel level) const
{
    return static_cast<std::size_t>(
        std::count_if(findings_.begin(), findings_.end(), [&](const Finding& f) { return f.level == level; }));
}

} // namespace base
