#include "base/finding.h"

#include <algorithm>
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

void FindingList::add(Finding finding)
{
    if (std::find(findings_.begin(), findings_.end(), finding) == findings_.end())
        findings_.push_back(std::move(finding));
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
