#pragma once
// What a reload of a shown screen carries over from the old load to the new
// one: the selected widget, and the widgets the user hid or showed in the
// panel. Widgets are matched by their path of names from their root (the
// tooltip tree and the widget tree apart); a hidden or shown widget that
// has no match in a load is kept for later loads.

#include <map>
#include <optional>
#include <string>

namespace screen {
class ScreenView;
}

namespace editor {

class ScreenHost;

class KeptWidgetState {
public:
    // Each widget's path and whether it is visible.
    using Visibility = std::map<std::string, bool>;
    static Visibility visibilityOf(const screen::ScreenView& view);

    // Remembers host's selected widget and where its visibility differs
    // from loaded, the visibility its view had as it was loaded. A host
    // without a view leaves what was remembered.
    void capture(const ScreenHost& host, const Visibility& loaded);
    // Hides and shows the widgets of host's view as remembered, and selects
    // the remembered widget in its panel.
    void apply(ScreenHost& host) const;

private:
    std::optional<std::string> selected_;
    Visibility changed_;
};

} // namespace editor
