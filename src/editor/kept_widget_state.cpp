#include "editor/kept_widget_state.h"

#include "editor/screen_host.h"
#include "editor/widget_tree_panel.h"
#include "screen/screen_view.h"
#include "screen/widget.h"

#include <QTreeWidget>

#include <functional>

namespace editor {

namespace {

// Calls visit with every widget of view and its path of names.
void forEachWidget(const screen::ScreenView& view, const std::function<void(screen::Widget&, const std::string&)>& visit)
{
    std::function<void(screen::Widget&, std::string)> walk = [&](screen::Widget& widget, std::string path) {
        path += '\0';
        path += widget.name();
        visit(widget, path);
        for (screen::Widget* child : widget.children())
            walk(*child, path);
    };
    if (view.tooltipRoot())
        walk(*view.tooltipRoot(), "tooltips");
    if (view.widgetsRoot())
        walk(*view.widgetsRoot(), "widgets");
}

} // namespace

KeptWidgetState::Visibility KeptWidgetState::visibilityOf(const screen::ScreenView& view)
{
    Visibility result;
    forEachWidget(view, [&](screen::Widget& widget, const std::string& path) { result.emplace(path, widget.visible()); });
    return result;
}

void KeptWidgetState::capture(const ScreenHost& host, const Visibility& loaded)
{
    if (!host.loaded())
        return;
    selected_.reset();
    // A change to a widget the last load did not have waits for a later one.
    std::erase_if(changed_, [&](const auto& change) { return loaded.count(change.first) != 0; });
    forEachWidget(host.view(), [&](screen::Widget& widget, const std::string& path) {
        if (&widget == host.selectedWidget() && !selected_)
            selected_ = path;
        const auto asLoaded = loaded.find(path);
        if (asLoaded != loaded.end() && asLoaded->second != widget.visible())
            changed_[path] = widget.visible();
    });
}

void KeptWidgetState::apply(ScreenHost& host) const
{
    WidgetTreePanel* panel = host.panel();
    if (!host.loaded() || !panel)
        return;
    screen::Widget* selected = nullptr;
    forEachWidget(host.view(), [&](screen::Widget& widget, const std::string& path) {
        if (const auto change = changed_.find(path); change != changed_.end())
            panel->setWidgetVisible(widget, change->second);
        if (selected_ && *selected_ == path && !selected)
            selected = &widget;
    });
    if (QTreeWidgetItem* item = selected ? panel->itemOf(selected) : nullptr)
        panel->tree().setCurrentItem(item);
}

} // namespace editor
