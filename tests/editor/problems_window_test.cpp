// Where the viewer shows findings: the Problems window over the sample's
// main menu in the real window, with findings planted in the mount and the
// screen; the failure notice of a screen that failed again; the tooltips of
// the Widgets panel.

#include "../screen/test_module.h"
#include "app/error_box.h"
#include "editor/failure_notice.h"
#include "editor/main_window.h"
#include "editor/module_selector.h"
#include "editor/problems_window.h"
#include "editor/screen_host.h"
#include "editor/screen_inspection.h"
#include "editor/screen_selector.h"
#include "editor/widget_tooltip.h"
#include "editor/widget_tree_panel.h"
#include "gfx/graphics_context.h"
#include "screen/screen_view.h"
#include "screen/widget.h"
#include "support/temp_dir.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTreeWidget>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// QString in test messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace {

using base::Finding;
using base::FindingLevel;

Finding planted(FindingLevel level, const char* code, const char* message)
{
    Finding finding;
    finding.level = level;
    finding.code = code;
    finding.message = message;
    return finding;
}

class ProblemsWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        previous = app::setErrorBoxHandler([this](QWidget*, const std::string& text) { reports.push_back(text); });
        window = editor::MainWindow::open(graphics, environment, {TISE_SAMPLE_DIR});
        window->widget()->resize(900, 640);
        window->moduleSelector().choose(std::string(TISE_SAMPLE_DIR) + "/Ironveil.module");
        window->screenSelector()->choose("Art\\UI\\Screens\\mainmenu.screen");
        plant();
    }
    void TearDown() override
    {
        delete window;
        app::setErrorBoxHandler(previous);
        EXPECT_TRUE(reports.empty()) << reports.front();
    }

    editor::ScreenHost& host() const { return *window->screenSelector()->host(); }
    screen::Widget* widget(const char* name) const { return host().view().findWidget(name); }

    // A finding of the mount and three of the screen: one about a widget,
    // one about a widget that no widget is, one with a hint in an archive.
    void plant()
    {
        Finding module = planted(FindingLevel::Warning, "required-mod-missing", "RequiredMod.2 names no module");
        module.file = "Ironveil.module";
        module.line = 7;
        module.hint = "did you mean \"Ironveil\"?";
        window->screenSelector()->context().findings.add(module);
        Finding key = planted(FindingLevel::Warning, "unknown-key", "widget \"OptionsButton\": key \"positon\"");
        key.widget = "OptionsButton";
        key.file = "Ironveil/Archives/IronveilArt.sga";
        key.member = "art\\ui\\screens\\mainmenu.screen";
        key.line = 74;
        key.hint = "did you mean `position`?";
        Finding nobody = planted(FindingLevel::Warning, "tooltip-missing", "no tooltip widget \"Nobody\"");
        nobody.widget = "Nobody";
        Finding note = planted(FindingLevel::Note, "font-fallback", "a note");
        // After the view's own findings were read and put in file order, as
        // findings that drawing adds come.
        ASSERT_TRUE(host().view().findings().empty()) << "the sample's main menu has no mistakes";
        for (const Finding* finding : {&key, &nobody, &note})
            host().view().screenFindings().list().add(*finding);
    }

    std::vector<QString> row(int index) const
    {
        const QTreeWidgetItem* item = window->problems()->list().topLevelItem(index);
        std::vector<QString> texts;
        for (int column = 0; item && column < 5; ++column)
            texts.push_back(item->text(column));
        return texts;
    }

    gfx::GraphicsContext graphics;
    TestSupport::TempDir elsewhere;
    Mod::DiscoveryEnvironment environment{elsewhere.path().string(), "", elsewhere.path().string()};
    editor::MainWindow* window = nullptr;
    app::ErrorBoxHandler previous;
    std::vector<std::string> reports;
};

TEST_F(ProblemsWindowTest, ListsTheModulesAndTheScreensFindingsAndChoosingOneSelectsItsWidget)
{
    const std::unique_ptr<QMenu> menu = editor::makeViewMenu(host());
    const QAction* problems = menu->actions()[menu->actions().size() - 2];
    ASSERT_EQ(problems->text(), "Problems (4)");
    editor::choose(host(), *problems);
    ASSERT_NE(window->problems(), nullptr);
    QTreeWidget& list = window->problems()->list();
    EXPECT_TRUE(list.isVisible());
    EXPECT_EQ(window->problems()->widget()->windowTitle(), "Problems (4)");

    ASSERT_EQ(list.topLevelItemCount(), 4);
    const std::vector<std::vector<QString>> rows{
        {"warning", "RequiredMod.2 names no module", "did you mean \"Ironveil\"?", "Ironveil.module", "7"},
        {"warning", "widget \"OptionsButton\": key \"positon\"", "did you mean `position`?",
         "Ironveil/Archives/IronveilArt.sga[art\\ui\\screens\\mainmenu.screen]", "74"},
        {"warning", "no tooltip widget \"Nobody\"", "", "", ""},
        {"note", "a note", "", "", ""},
    };
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(row(i), rows[static_cast<std::size_t>(i)]) << "row " << i;

    // Choosing rows: the one about a widget selects it in the panel, as
    // ctrl+click would; the others leave the selection alone.
    editor::WidgetTreePanel& panel = *host().panel();
    struct Choice {
        int row;
        const char* selected; // nullptr: nothing selected
    };
    for (const Choice& c : {Choice{0, nullptr}, Choice{1, "OptionsButton"}, Choice{2, "OptionsButton"}}) {
        list.setCurrentItem(list.topLevelItem(c.row));
        screen::Widget* expected = c.selected ? widget(c.selected) : nullptr;
        EXPECT_EQ(host().selectedWidget(), expected) << "row " << c.row;
        if (expected) {
            EXPECT_EQ(editor::WidgetTreePanel::widgetOf(panel.tree().currentItem()), expected) << "row " << c.row;
            EXPECT_EQ(host().view().emphasizedWidget(), expected);
        }
    }
}

TEST_F(ProblemsWindowTest, CopiesTheSelectedFindingsWithFileAndLine)
{
    window->showProblems();
    QTreeWidget& list = window->problems()->list();
    ASSERT_EQ(list.topLevelItemCount(), 4);
    list.topLevelItem(1)->setSelected(true);
    list.topLevelItem(2)->setSelected(true);
    const QString expected = "Ironveil/Archives/IronveilArt.sga[art\\ui\\screens\\mainmenu.screen]:74: warning: "
                             "widget \"OptionsButton\": key \"positon\"\n"
                             "Ironveil/Archives/IronveilArt.sga[art\\ui\\screens\\mainmenu.screen]:74: note: "
                             "did you mean `position`?\n"
                             "warning: no tooltip widget \"Nobody\"";
    EXPECT_EQ(window->problems()->copiedText(), expected);

    QApplication::clipboard()->clear();
    QApplication::setActiveWindow(window->problems()->widget());
    list.setFocus();
    QTest::keyClick(&list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), expected) << "Ctrl+C";
    QApplication::clipboard()->clear();
    ASSERT_EQ(list.actions().size(), 1);
    EXPECT_EQ(list.actions()[0]->text(), "Copy") << "the context menu's item";
    EXPECT_EQ(list.contextMenuPolicy(), Qt::ActionsContextMenu);
    list.actions()[0]->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), expected);
}

TEST_F(ProblemsWindowTest, FollowsReloadsAndStaysOpen)
{
    window->showProblems();
    ASSERT_EQ(window->problems()->list().topLevelItemCount(), 4);
    window->reload();
    ASSERT_NE(window->problems(), nullptr) << "still open";
    EXPECT_TRUE(window->problems()->widget()->isVisible());
    EXPECT_EQ(window->problems()->findings(), host().problems().all()) << "the new mount's and screen's";
    EXPECT_EQ(window->problems()->list().topLevelItemCount(), static_cast<int>(host().problems().size()));

    // Findings that come later (the screen's first paint) show without asking.
    Finding late = planted(FindingLevel::Warning, "text-overflow", "text of \"Title\" does not fit");
    late.widget = "Title";
    host().view().screenFindings().list().add(late);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->problems()->findings() == host().problems().all(); }, 5000));
    EXPECT_EQ(window->problems()->findings().back(), late);

    // Going back to the module list leaves the module's findings; a closed window goes.
    window->screenSelector()->goBack();
    window->problems()->refresh();
    EXPECT_EQ(window->problems()->findings(), window->screenSelector()->context().findings.all());
    window->problems()->widget()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window->problems(), nullptr);
}

TEST_F(ProblemsWindowTest, WidgetTooltipsListTheirFindings)
{
    const QString options = editor::widgetTooltip(*widget("OptionsButton"));
    EXPECT_TRUE(options.endsWith("\nwarning: widget \"OptionsButton\": key \"positon\" (line 74)\n"
                                 "  did you mean `position`?"))
        << options.toStdString();
    const QString quit = editor::widgetTooltip(*widget("QuitButton"));
    EXPECT_FALSE(quit.contains("warning:")) << quit.toStdString();
}

// A screen that failed to load again: its notice says where, and the text
// can be selected and copied.
TEST(FailureNotice, NamesWhereTheErrorIsInSelectableText)
{
    ScreenTest::TestModule module;
    module.writeScreen("shown.screen", "Screen = {}");
    QWidget area;
    area.resize(600, 400);
    struct Case {
        std::optional<Finding> where;
        QString text;
    };
    Finding inFile = planted(FindingLevel::Error, "load-error", "");
    inFile.file = "Mod/Data/art/ui/screens/shown.screen";
    inFile.line = 3;
    Finding inArchive = inFile;
    inArchive.file = "Mod/Packed.sga";
    inArchive.member = "art\\ui\\screens\\shown.screen";
    const std::string message = "Cannot load screen file art/ui/screens/shown.screen: slice:3: '}' expected";
    const QString shown = QString::fromStdString(message);
    const Case cases[] = {
        {std::nullopt, shown},
        {inFile, shown + "\n\nMod/Data/art/ui/screens/shown.screen:3"},
        {inArchive, shown + "\n\nMod/Packed.sga[art\\ui\\screens\\shown.screen]:3"},
    };
    for (const Case& c : cases) {
        editor::ScreenHost host(module.graphics, module.context(), "art/ui/screens/shown.screen", message, c.where,
                                &area);
        host.setBounds(0, 0, 600, 400);
        const auto labels = area.findChildren<QLabel*>();
        ASSERT_EQ(labels.size(), 1);
        QLabel& label = *labels[0];
        EXPECT_EQ(label.text(), c.text);
        EXPECT_TRUE(label.isVisibleTo(&area));
        EXPECT_EQ(label.geometry(), QRect(0, 0, 600, 400)) << "over the screen area";
        EXPECT_TRUE(label.textInteractionFlags() & Qt::TextSelectableByMouse);
        EXPECT_TRUE(label.textInteractionFlags() & Qt::TextSelectableByKeyboard);
        label.setSelection(0, static_cast<int>(label.text().size()));
        EXPECT_EQ(label.selectedText().replace(QChar::ParagraphSeparator, '\n'), c.text);
        EXPECT_EQ(host.problems().size(), c.where ? 1u : 0u) << "the load error is its problem";
    }
    EXPECT_TRUE(area.findChildren<QLabel*>().isEmpty()) << "the notice goes with its host";
}

} // namespace
