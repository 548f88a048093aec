#pragma once
// Which widget of a shown screen a finding concerns, for the viewer's lists:
// the finding names it by `widget` and `line`. With both, the widget of that
// name built at that line (the line of the table it was built from, where
// the widget knows it); otherwise, or when no widget of the name was built
// at the line, the first widget of that name (ScreenView::findWidget). A
// finding without a widget name, or whose name no widget has, concerns none.

#include "base/finding.h"

#include <vector>

namespace screen {
class ScreenView;
class Widget;
} // namespace screen

namespace editor {

screen::Widget* targetOf(const screen::ScreenView& view, const base::Finding& finding);

// The findings of list that concern widget of view, in list order.
std::vector<base::Finding> findingsOf(const screen::ScreenView& view, const screen::Widget& widget,
                                      const base::FindingList& list);

} // namespace editor
