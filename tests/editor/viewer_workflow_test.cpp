// A modder's day in the real window, on the sample installation: the screen
// area's language and pseudo-localisation, the screen list's mark of the
// module's own screens, the lists from the keyboard, and the picture copied
// and saved as tise-cli renders it.

#include "app/error_box.h"
#include "data/ansi_text.h"
#include "data/text_compare.h"
#include "editor/main_window.h"
#include "editor/module_selector.h"
#include "editor/preview_size.h"
#include "editor/run_language.h"
#include "editor/screen_host.h"
#include "editor/screen_inspection.h"
#include "editor/screen_picture.h"
#include "editor/screen_selector.h"
#include "editor/widget_tooltip.h"
#include "editor/widget_tree_panel.h"
#include "gfx/graphics_context.h"
#include "screen/screen_view.h"
#include "screen/widget.h"
#include "screen/widget_report.h"
#include "support/png_pixels.h"
#include "support/process.h"
#include "support/temp_dir.h"
#include "ui/folder_group.h"
#include "ui/selection_band.h"
#include "ui/selector_row.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTest>
#include <QTreeWidget>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using TestSupport::TempDir;

constexpr int Patience = 10000; // ms
const std::string Sample = std::string(TISE_SAMPLE_DIR) + "/";

class ViewerWorkflowTest : public testing::Test {
protected:
    void SetUp() override
    {
        previous = app::setErrorBoxHandler([this](QWidget*, const std::string& text) { reports.push_back(text); });
        window = editor::MainWindow::open(graphics, environment, {TISE_SAMPLE_DIR});
        window->widget()->resize(900, 640);
        QApplication::processEvents();
    }
    void TearDown() override
    {
        delete window;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        app::setErrorBoxHandler(previous);
        // The run's choices are the process's: leave them as a new run has them.
        editor::setRunLanguage("");
        editor::setRunPseudoLocalise(false);
        editor::setRunPreviewSize({});
        EXPECT_TRUE(reports.empty()) << reports.front();
    }

    void show(const std::string& module, const std::string& screen)
    {
        window->moduleSelector().choose(Sample + module);
        window->screenSelector()->choose("Art\\UI\\Screens\\" + screen);
    }
    editor::ScreenHost& host() const { return *window->screenSelector()->host(); }
    std::u16string moduleBand() const { return window->moduleSelector().band()->textLayout().text(); }
    // The text the widget draws.
    std::string shownText(const std::string& widget) const
    {
        const screen::Widget* found = host().view().findWidget(widget);
        return found ? Mod::utf16ToUtf8(*screen::reportWidget(*found).localisedText) : "<no widget>";
    }
    // Chooses the menu item (in a submenu too) and waits for the reload it asks for.
    void chooseAndReload(const QString& text)
    {
        const std::unique_ptr<QMenu> menu = editor::makeViewMenu(host());
        const QAction* item = find(*menu, text);
        ASSERT_NE(item, nullptr) << text.toStdString();
        const std::size_t before = window->reloadCount();
        editor::choose(host(), *item);
        ASSERT_TRUE(QTest::qWaitFor([&] { return window->reloadCount() > before; }, Patience));
    }
    static const QAction* find(const QMenu& menu, const QString& text)
    {
        for (const QAction* action : menu.actions()) {
            if (action->text() == text)
                return action;
            if (action->menu())
                if (const QAction* inside = find(*action->menu(), text))
                    return inside;
        }
        return nullptr;
    }

    TempDir home;
    const Mod::DiscoveryEnvironment environment{home.path().string(), "", home.path().string()};
    gfx::GraphicsContext graphics;
    app::ErrorBoxHandler previous;
    std::vector<std::string> reports;
    editor::MainWindow* window = nullptr;
};

} // namespace

TEST_F(ViewerWorkflowTest, TheLanguageMenuMountsAgainKeepingTheSelection)
{
    show("Emberwake.module", "MainMenu.screen");
    editor::WidgetTreePanel& panel = *host().panel();
    panel.tree().setCurrentItem(panel.itemOf(host().view().findWidget("OptionsButton")));
    EXPECT_EQ(shownText("Title"), "The Ember Crown");

    std::unique_ptr<QMenu> menu = editor::makeViewMenu(host());
    const QAction* languages = find(*menu, "Language");
    ASSERT_NE(languages, nullptr);
    ASSERT_NE(languages->menu(), nullptr);
    std::vector<QString> offered;
    for (const QAction* action : languages->menu()->actions())
        offered.push_back(action->text() + (action->isChecked() ? " *" : ""));
    EXPECT_EQ(offered, (std::vector<QString>{"English (default) *", "French"}));
    EXPECT_FALSE(find(*menu, "Pseudo-localise")->isChecked());
    EXPECT_EQ(find(*menu, "Reload")->shortcut(), QKeySequence(Qt::Key_F5)) << "the menu shows the keys";
    EXPECT_EQ(find(*menu, "Copy Picture")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));

    ASSERT_NO_FATAL_FAILURE(chooseAndReload("French"));
    EXPECT_EQ(window->screenSelector()->context().language, "French");
    EXPECT_EQ(shownText("Title"), "La Couronne de braise");
    EXPECT_EQ(host().selectedWidget(), host().view().findWidget("OptionsButton")) << "the selection is kept";
    EXPECT_EQ(moduleBand(), Mod::ansiToUtf16(Sample) + u"Emberwake.module  in French");

    ASSERT_NO_FATAL_FAILURE(chooseAndReload("Pseudo-localise"));
    EXPECT_EQ(shownText("Title"), "[Ĺá Çöüŕöññé ďé bŕáîšé~~~~~ ~~~]");
    EXPECT_EQ(moduleBand(), Mod::ansiToUtf16(Sample) + u"Emberwake.module  in French  pseudo-localised");
    menu = editor::makeViewMenu(host());
    EXPECT_TRUE(find(*menu, "French")->isChecked());
    EXPECT_TRUE(find(*menu, "Pseudo-localise")->isChecked());

    // The default again: each module mounts in its own choice, and the band says nothing.
    ASSERT_NO_FATAL_FAILURE(chooseAndReload("English (default)"));
    ASSERT_NO_FATAL_FAILURE(chooseAndReload("Pseudo-localise"));
    EXPECT_EQ(editor::runLanguage(), "");
    EXPECT_EQ(shownText("Title"), "The Ember Crown");
    EXPECT_EQ(moduleBand(), Mod::ansiToUtf16(Sample) + u"Emberwake.module");
}

TEST_F(ViewerWorkflowTest, TheScreenListMarksTheScreensTheModuleItselfServes)
{
    const auto marked = [&](const std::string& module) {
        window->moduleSelector().choose(Sample + module);
        std::vector<std::string> names;
        for (const ui::SelectorRow* row : window->screenSelector()->rows())
            if (row->marked())
                names.push_back(std::string(Mod::fileNameOf(row->path())));
        window->moduleSelector().goBack();
        return names;
    };
    EXPECT_EQ(marked("Emberwake.module"), std::vector<std::string>{"MainMenu.screen"})
        << "the others come from Ironveil and the engine";
    EXPECT_EQ(marked("Ironveil.module"),
              (std::vector<std::string>{"briefing.screen", "broken_call.screen", "broken_size.screen",
                                        "broken_syntax.screen", "Credits.screen", "lobby.screen", "mainmenu.screen",
                                        "Options.screen"}))
        << "all but the engine's loading.screen";
}

TEST_F(ViewerWorkflowTest, TheListsWorkFromTheKeyboardAndEachBackKeyGoesUpOneLevel)
{
    QWidget* widget = window->widget();
    const auto focused = [&](const ui::Selector& selector) {
        return selector.focusRow() ? std::string(Mod::fileNameOf(selector.focusRow()->path())) : "none";
    };
    QTest::keyClicks(widget, "emb");
    EXPECT_EQ(focused(window->moduleSelector()), "Emberwake.module");
    QTest::keyClick(widget, Qt::Key_Down);
    EXPECT_EQ(focused(window->moduleSelector()), "Firstlight.module");
    QTest::keyClick(widget, Qt::Key_Up);
    QTest::keyClick(widget, Qt::Key_Return);
    ASSERT_NE(window->screenSelector(), nullptr);
    EXPECT_EQ(window->moduleSelector().chosenPath(), Sample + "Emberwake.module");

    QTest::keyClick(widget, Qt::Key_End);
    EXPECT_EQ(focused(*window->screenSelector()), "Options.screen");
    QTest::keyClicks(widget, "main");
    QTest::keyClick(widget, Qt::Key_Enter);
    ASSERT_NE(window->screenSelector()->host(), nullptr);
    EXPECT_EQ(host().view().path(), "Art\\UI\\Screens\\MainMenu.screen");

    QTest::keyClick(widget, Qt::Key_Escape);
    EXPECT_EQ(window->screenSelector()->host(), nullptr) << "back to the screen list";
    EXPECT_EQ(focused(*window->screenSelector()), "MainMenu.screen");
    QTest::keyClick(widget, Qt::Key_Return);
    ASSERT_NE(window->screenSelector()->host(), nullptr);
    QTest::keyClick(widget, Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(window->screenSelector()->host(), nullptr);
    QTest::keyClick(widget, Qt::Key_Backspace);
    EXPECT_EQ(window->screenSelector(), nullptr) << "back to the module list";
    EXPECT_EQ(focused(window->moduleSelector()), "Emberwake.module");
}

TEST_F(ViewerWorkflowTest, CopyAndSaveGiveThePixelsThatRenderWritesAtTheViewsSize)
{
    show("Emberwake.module", "MainMenu.screen");
    const TempDir out;
    for (const editor::PreviewSize size : {editor::PreviewSize{}, editor::PreviewSize{800, 600}}) {
        host().setPreviewSize(size);
        const int width = size.fitsWindow() ? int(host().width()) : size.width;
        const int height = size.fitsWindow() ? int(host().height()) : size.height;
        const std::string what = std::to_string(width) + "x" + std::to_string(height);
        const auto result = TestSupport::runProgram(
            "tise-cli", {"render", "Emberwake.module", "MainMenu.screen", "--size", what, "-o", out / "render.png"},
            TISE_SAMPLE_DIR);
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const QImage rendered = TestSupport::readPng(out / "render.png");

        QGuiApplication::clipboard()->clear();
        QTest::keyClick(window->widget(), Qt::Key_C, Qt::ControlModifier);
        const QImage copied = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(copied, rendered) << what;

        editor::savePicture(host(), out / "saved.png");
        EXPECT_EQ(TestSupport::readPng(out / "saved.png"), rendered) << what;
    }
    const std::unique_ptr<QMenu> menu = editor::makeViewMenu(host());
    QGuiApplication::clipboard()->clear();
    editor::choose(host(), *find(*menu, "Copy Picture"));
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(800, 600)) << "the menu's copy";
    EXPECT_NE(find(*menu, "Save Picture\u2026"), nullptr);
}

TEST_F(ViewerWorkflowTest, TheWidgetsTooltipNamesWhereEachTextureCameFrom)
{
    const auto textureLine = [&](const std::string& widget) {
        for (const QString& line : editor::widgetTooltip(*host().view().findWidget(widget)).split('\n'))
            if (line.startsWith("  texture "))
                return line.toStdString();
        return std::string("<no texture line>");
    };
    show("Emberwake.module", "MainMenu.screen");
    EXPECT_EQ(textureLine("Backdrop"),
              "  texture \"Art/UI/Textures/menu_backdrop\": resolved, from ironveil/Archives/IronveilArt.sga");
    window->screenSelector()->goBack();
    window->moduleSelector().goBack();
    show("Ironveil.module", "lobby.screen");
    EXPECT_TRUE(textureLine("TileInvalid").ends_with("drawn as the magenta placeholder, from ironveil/Data"))
        << textureLine("TileInvalid");
    EXPECT_TRUE(textureLine("TileMissing").ends_with("drawn as the magenta placeholder")) << "no file, no source";
}
