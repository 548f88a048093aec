#include "editor/finding_target.h"

#include "screen/screen_view.h"
#include "screen/widget.h"

#include <optional>

namespace editor {

namespace {

// The line of the table the widget was built from, where widgets know it.
template <typename W>
std::optional<int> lineOf(const W& widget)
{
    if constexpr (requires { widget.line(); })
        return std::optional<int>(widget.line());
    else
        return std::nullopt;
}

// Depth first in Lua order (children are kept last element first).
screen::Widget* builtAt(screen::Widget* widget, const std::string& name, int line)
{
    if (!widget)
        return nullptr;
    if (widget->name() == name && lineOf(*widget) == line)
        return widget;
    const std::vector<screen::Widget*>& children = widget->children();
    for (auto child = children.rbegin(); child != children.rend(); ++child)
        if (screen::Widget* found = builtAt(*child, name, line))
            return found;
    return nullptr;
}

} // namespace

screen::Widget* targetOf(const screen::ScreenView& view, const base::Finding& finding)
{
    if (!finding.widget)
        return nullptr;
    if (finding.line) {
        if (screen::Widget* found = builtAt(view.widgetsRoot(), *finding.widget, *finding.line))
            return found;
        if (screen::Widget* found = builtAt(view.tooltipRoot(), *finding.widget, *finding.line))
            return found;
    }
    return view.findWidget(*finding.widget);
}

std::vector<base::Finding> findingsOf(const screen::ScreenView& view, const screen::Widget& widget,
                                      const base::FindingList& list)
{
    std::vector<base::Finding> found;
    for (const base::Finding& finding : list.all())
        if (finding.widget && *finding.widget == widget.name() && targetOf(view, finding) == &widget)
            found.push_back(finding);
    return found;
}

} // namespace editor
