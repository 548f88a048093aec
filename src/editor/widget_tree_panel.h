#pragma once
// The "Widgets" tool window beside a shown screen: the screen's widget trees
// in a tree list with one icon per widget type (faded for hidden widgets) and
// an "Emphasize Selection" check box underneath.
//
// - The top item stands for the screen (monitor icon, the screen file's
//   name); under it the tooltip root, then the widget root, each with its
//   children in the reverse of the screen file's order, as they paint from
//   the top down: the last child of a `Children` list comes first. A widget
//   that is neither visible nor shown for the selection gets the faded icon
//   and starts collapsed.
// - Selecting an item makes the host's selected widget that widget (none for
//   the top item) and moves the view's emphasis to it: an outline, and with
//   the box checked everything else dimmed to a quarter.
// - Double-clicking a widget without children flips its visibility; for a
//   widget with children the list expands or collapses it, and the widget
//   becomes visible when it opens and hidden when it closes. Its icon
//   follows.
// - The window is half transparent (128/255) until the pointer enters it and
//   nearly opaque (240/255) while it is there.
// - Its position, its size and the check box state are kept for the rest of
//   the run: the next panel opens as the last one was left. At first it
//   stands to the right of its owner, 200 × 300, with the box checked.
//
// Ownership: the ScreenHost makes the panel and destroys it with itself.
// When the user closes the window first the panel goes with it and tells the
// host, which then no longer holds it.
//
// Errors: the icon strip's failures (gfx/icon_strip.h) leave the constructor;
// then no window remains. Exceptions while the user works the list are
// reported by the window's event catcher.

#include "app/native_window.h"

#include <QIcon>

#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QObject;
class QTreeWidget;
class QTreeWidgetItem;

namespace screen {
class Widget;
}

namespace editor {

class ScreenHost;

class WidgetTreePanel final : public app::NativeWindow {
public:
    // Builds, fills and shows the panel for host's view; owner (may be null)
    // is the window it floats above.
    WidgetTreePanel(ScreenHost& host, const std::string& screenName, QWidget* owner);
    ~WidgetTreePanel() override;

    QTreeWidget& tree() const { return *tree_; }
    QCheckBox& emphasizeBox() const { return *button_; }
    // The item standing for widget, or null.
    QTreeWidgetItem* itemOf(const screen::Widget* widget) const;
    // The widget an item stands for; null for the top item.
    static screen::Widget* widgetOf(const QTreeWidgetItem* item);
    // The icon index an item shows: 0-15, plus 16 when faded.
    static int iconIndexOf(const QTreeWidgetItem* item);

    // Shows or hides widget as double-clicking its item does, or as it does
    // twice when the widget is already so.
    void setWidgetVisible(screen::Widget& widget, bool visible);

    // The icon index of a widget type (0-13).
    static int typeIcon(const screen::Widget& widget);

    // The run's placement and check box state.
    struct RunState {
        bool placed = false; // whether x and y were taken from a panel
        int x = 0;
        int y = 0;
        int width = 200;
        int height = 300;
        bool emphasize = true;
    };
    static const RunState& runState();

protected:
    bool handleEvent(QEvent& event) override;

private:
    void loadIcons();
    void fill(const std::string& screenName);
    void insert(screen::Widget& widget, QTreeWidgetItem& parent);
    void setIcon(QTreeWidgetItem& item, int index);
    void resize(int width, int height);
    void selectionChanged(QTreeWidgetItem* current);
    void doubleClicked(QTreeWidgetItem* item);
    void boxClicked();
    void setOpacity(int alpha);

    RunState* placement_;
    QTreeWidget* tree_ = nullptr; // children of the window's widget
    QCheckBox* button_ = nullptr;
    int buttonWidth_ = 0;
    int buttonHeight_ = 0;
    ScreenHost* host_;
    std::vector<QIcon> icons_; // the 16 icons, then the same faded
    // Receiver of the list's and the box's signals: gone first, so no signal
    // reaches a panel being destroyed.
    std::unique_ptr<QObject> signalContext_;
};

} // namespace editor
