#include "editor/screen_inspection.h"

#include "editor/main_window.h"
#include "editor/preview_size.h"
#include "editor/screen_host.h"
#include "editor/widget_tree_panel.h"
#include "screen/widget.h"

#include <QAction>
#include <QActionGroup>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QTreeWidget>

namespace editor {

namespace {

constexpr int FitChoice = -1;
constexpr int ReloadChoice = -2;
constexpr int ProblemsChoice = -3;

MainWindow* windowOf(ui::Control& control)
{
    ui::Control* root = &control;
    while (root->parent())
        root = root->parent();
    return dynamic_cast<MainWindow*>(root);
}

} // namespace

screen::Widget* pickWidget(ScreenHost& host, float x, float y)
{
    for (ui::Control* node = host.hitTarget(x, y); node && node != &host; node = node->parent())
        if (auto* widget = dynamic_cast<screen::Widget*>(node))
            return widget;
    return nullptr;
}

void selectInPanel(ScreenHost& host, screen::Widget* widget)
{
    WidgetTreePanel* panel = host.panel();
    if (!panel)
        return;
    QTreeWidgetItem* item = panel->itemOf(widget);
    if (!item)
        return;
    for (QTreeWidgetItem* above = item->parent(); above; above = above->parent())
        above->setExpanded(true);
    panel->tree().setCurrentItem(item);
    panel->tree().scrollToItem(item);
}

std::unique_ptr<QMenu> makeViewMenu(const ScreenHost& host)
{
    auto menu = std::make_unique<QMenu>();
    auto* group = new QActionGroup(menu.get());
    const PreviewSize current = runPreviewSize();
    const auto add = [&](PreviewSize size, int choice) {
        QAction* action = menu->addAction(QString::fromStdU16String(previewLabel(size)));
        action->setData(choice);
        action->setCheckable(true);
        action->setChecked(size == current);
        group->addAction(action);
    };
    add({}, FitChoice);
    menu->setDefaultAction(menu->actions().front());
    const std::vector<PreviewSize>& sizes = previewSizes();
    for (std::size_t i = 0; i < sizes.size(); ++i)
        add(sizes[i], static_cast<int>(i));
    menu->addSeparator();
    menu->addAction(QString("Problems (%1)").arg(host.problems().size()))->setData(ProblemsChoice);
    menu->addAction(QStringLiteral("Reload"))->setData(ReloadChoice);
    return menu;
}

void choose(ScreenHost& host, const QAction& action)
{
    const int choice = action.data().toInt();
    if (choice == ReloadChoice) {
        if (MainWindow* window = windowOf(host))
            window->reloadSoon();
    } else if (choice == ProblemsChoice) {
        if (MainWindow* window = windowOf(host))
            window->showProblems();
    } else if (choice == FitChoice) {
        host.setPreviewSize({});
    } else if (choice >= 0 && static_cast<std::size_t>(choice) < previewSizes().size()) {
        host.setPreviewSize(previewSizes()[static_cast<std::size_t>(choice)]);
    }
    host.invalidate();
}

bool handleInspectionPress(ScreenHost& host, float x, float y, ui::MouseButton button)
{
    if (button == ui::LeftButton && (QGuiApplication::keyboardModifiers() & Qt::ControlModifier)) {
        selectInPanel(host, pickWidget(host, x, y));
        return true;
    }
    if (button == ui::RightButton) {
        const std::unique_ptr<QMenu> menu = makeViewMenu(host);
        if (const QAction* chosen = menu->exec(QCursor::pos()))
            choose(host, *chosen);
        return true;
    }
    return false;
}

} // namespace editor
