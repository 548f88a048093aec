#include "editor/screen_inspection.h"

#include "data/ansi_text.h"
#include "editor/main_window.h"
#include "editor/preview_size.h"
#include "editor/run_language.h"
#include "editor/screen_host.h"
#include "editor/screen_picture.h"
#include "editor/screen_selector.h"
#include "editor/widget_tree_panel.h"
#include "screen/widget.h"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QTreeWidget>

#include <algorithm>
#include <string>
#include <vector>

namespace editor {

namespace {

constexpr int FitChoice = -1;
constexpr int ReloadChoice = -2;
constexpr int PseudoChoice = -3;
constexpr int CopyChoice = -4;
constexpr int SaveChoice = -5;
constexpr int LanguageChoice = -6; // the language is the action's "language" property
constexpr int ProblemsChoice = -7;

const char* const LanguageProperty = "language";

QString shown(const std::string& game) { return QString::fromStdU16String(Mod::ansiToUtf16(game)); }

// The mounted module the host's screen comes from; null for a host that
// stands alone.
const Mod::ModContext* moduleOf(const ScreenHost& host)
{
    const auto* selector = dynamic_cast<const ScreenSelector*>(host.parent());
    return selector ? &selector->context() : nullptr;
}

// "Language": every language offered, the module's own choice marked as the
// default, the one mounted checked.
void addLanguageMenu(QMenu& menu, const Mod::ModContext& module)
{
    QMenu* languages = menu.addMenu(QStringLiteral("Language"));
    auto* group = new QActionGroup(languages);
    std::vector<std::string> names = module.offeredLanguages;
    for (const std::string* name : {&module.ownLanguage, &module.language})
        if (std::find(names.begin(), names.end(), *name) == names.end())
            names.push_back(*name);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        const QString label = shown(name) + (name == module.ownLanguage ? QStringLiteral(" (default)") : QString());
        QAction* action = languages->addAction(label);
        action->setData(LanguageChoice);
        action->setProperty(LanguageProperty, QString::fromStdString(name));
        action->setCheckable(true);
        action->setChecked(name == module.language);
        group->addAction(action);
    }
    QAction* pseudo = menu.addAction(QStringLiteral("Pseudo-localise"));
    pseudo->setData(PseudoChoice);
    pseudo->setCheckable(true);
    pseudo->setChecked(module.pseudoLocalise);
}

// An item that shows its key, as menus do. The window's own keys do the
// work; the item's key acts only while the menu is open.
QAction* addWithKey(QMenu& menu, const QString& text, int choice, const QKeySequence& keys)
{
    QAction* action = menu.addAction(text);
    action->setData(choice);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WidgetShortcut);
    action->setShortcutVisibleInContextMenu(true);
    return action;
}

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
    if (const Mod::ModContext* module = moduleOf(host)) {
        addLanguageMenu(*menu, *module);
        menu->addSeparator();
    }
    addWithKey(*menu, QStringLiteral("Copy Picture"), CopyChoice, QKeySequence(Qt::CTRL | Qt::Key_C));
    menu->addAction(QStringLiteral("Save Picture\u2026"))->setData(SaveChoice);
    menu->addSeparator();
    menu->addAction(QString("Problems (%1)").arg(host.problems().size()))->setData(ProblemsChoice);
    addWithKey(*menu, QStringLiteral("Reload"), ReloadChoice, QKeySequence(Qt::Key_F5));
    return menu;
}

void choose(ScreenHost& host, const QAction& action)
{
    const int choice = action.data().toInt();
    if (choice == ReloadChoice || choice == LanguageChoice || choice == PseudoChoice) {
        // The module is mounted again with the run's choice, as a reload does.
        if (choice == LanguageChoice) {
            const std::string language = action.property(LanguageProperty).toString().toStdString();
            const Mod::ModContext* module = moduleOf(host);
            setRunLanguage(module && language == module->ownLanguage ? std::string() : language);
        } else if (choice == PseudoChoice) {
            setRunPseudoLocalise(!runPseudoLocalise());
        }
        if (MainWindow* window = windowOf(host))
            window->reloadSoon();
    } else if (choice == ProblemsChoice) {
        if (MainWindow* window = windowOf(host))
            window->showProblems();
    } else if (choice == CopyChoice) {
        copyPicture(host);
    } else if (choice == SaveChoice) {
        const MainWindow* window = windowOf(host);
        savePictureAs(host, window ? window->widget() : nullptr);
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
