// Live reload through the real window: a copy of the sample installation in
// a temporary folder, a screen of it shown, and its files saved the ways
// editors save them while the window runs.

#include "app/error_box.h"
#include "editor/main_window.h"
#include "editor/module_selector.h"
#include "editor/screen_host.h"
#include "editor/screen_inspection.h"
#include "editor/screen_selector.h"
#include "editor/widget_tree_panel.h"
#include "gfx/graphics_context.h"
#include "screen/screen_view.h"
#include "screen/widget.h"
#include "support/temp_dir.h"
#include "ui/folder_group.h"
#include "ui/selector_row.h"

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QMenu>
#include <QTest>
#include <QTreeWidget>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using TestSupport::TempDir;

constexpr int Patience = 10000; // ms: far beyond the half second a reload waits

struct Colour {
    int r, g, b;
    bool operator==(const Colour&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Colour& c) { return out << c.r << "," << c.g << "," << c.b; }

// A full-size box in colour, and a black marker in the top left corner.
// Every version has the same length, so rewriting in place leaves no tail.
std::string screenText(Colour colour)
{
    std::string text = "Screen = {\n"
                       "  Widgets = { name = 'Root', type = 'Group', Children = {\n"
                       "    { name = 'box', size = { 1, 1 }, Presentation = { Art = { { type = 'Rectangle', colour = { "
                       + std::to_string(colour.r) + ", " + std::to_string(colour.g) + ", " + std::to_string(colour.b)
                       + ", 255 }, states = { 'Normal' } } } } },\n"
                         "    { name = 'marker', size = { 0.2, 0.2 }, Presentation = { Art = { { type = 'Rectangle', "
                         "colour = { 0, 0, 0, 255 }, states = { 'Normal' } } } } },\n"
                         "  } },\n"
                         "}\n";
    text.resize(600, ' ');
    return text;
}

enum class Save { RenameOver, RewriteInPlace, TruncateThenWrite, DeleteThenCreate };
const char* nameOf(Save save)
{
    switch (save) {
    case Save::RenameOver: return "rename over";
    case Save::RewriteInPlace: return "rewrite in place";
    case Save::TruncateThenWrite: return "truncate then write";
    case Save::DeleteThenCreate: return "delete then create";
    }
    return "";
}

void save(const std::string& path, const std::string& bytes, Save how)
{
    auto writeTo = [&](const std::string& target, std::ios::openmode mode) {
        std::ofstream out(target, std::ios::binary | mode);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    };
    switch (how) {
    case Save::RenameOver:
        writeTo(path + ".swp", std::ios::trunc);
        std::filesystem::rename(path + ".swp", path);
        break;
    case Save::RewriteInPlace:
        writeTo(path, std::ios::in | std::ios::out);
        break;
    case Save::TruncateThenWrite: {
        std::filesystem::resize_file(path, 0);
        writeTo(path, std::ios::in | std::ios::out);
        break;
    }
    case Save::DeleteThenCreate:
        std::filesystem::remove(path);
        writeTo(path, std::ios::trunc);
        break;
    }
}

class LiveReloadTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::copy(TISE_SAMPLE_DIR, install.path(), std::filesystem::copy_options::recursive);
        screenFile = install / "Ironveil/Data/Art/UI/Screens/Reload.screen";
        save(screenFile, screenText(Red), Save::DeleteThenCreate);
        previous = app::setErrorBoxHandler([this](QWidget*, const std::string& text) { reports.push_back(text); });
        window = editor::MainWindow::open(graphics, environment, {install.path().string()});
        window->widget()->resize(800, 600);
    }
    void TearDown() override
    {
        delete window;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        app::setErrorBoxHandler(previous);
        EXPECT_TRUE(reports.empty()) << reports.front();
    }

    // Shows Reload.screen, selects the box, hides the marker and waits until
    // the window follows the screen file.
    void showScreen()
    {
        window->moduleSelector().choose(install / "Ironveil.module");
        window->screenSelector()->choose("Art\\UI\\Screens\\Reload.screen");
        editor::WidgetTreePanel& panel = *host().panel();
        panel.tree().setCurrentItem(panel.itemOf(widget("box")));
        panel.setWidgetVisible(*widget("marker"), false);
        ASSERT_EQ(shown(), Red);
        ASSERT_TRUE(QTest::qWaitFor([&] { return watching(screenFile); }, Patience));
    }

    bool watching(const std::string& path) const
    {
        const std::vector<std::string> paths = window->watchedPaths();
        return std::find(paths.begin(), paths.end(), path) != paths.end();
    }

    editor::ScreenHost& host() const { return *window->screenSelector()->host(); }
    screen::Widget* widget(const std::string& name) const { return host().view().findWidget(name); }

    // The colour the window shows at a point of the screen area, in
    // fractions of its size.
    Colour shownAt(float x, float y) const
    {
        const editor::ScreenHost& area = host();
        gfx::Matrix toWindow;
        for (const ui::Control* node = &area; node; node = node->parent())
            toWindow = toWindow * node->transform();
        const QImage shot = window->widget()->grab().toImage();
        const QRgb p = shot.pixel(int(toWindow.dx + area.width() * x), int(toWindow.dy + area.height() * y));
        return {qRed(p), qGreen(p), qBlue(p)};
    }
    Colour shown() const { return shownAt(0.5f, 0.5f); }

    // After a reload: the drawing shows colour where the box is and where
    // the hidden marker would be, and the panel holds the new tree with the
    // box selected and the marker hidden.
    void expectKept(Colour colour) const
    {
        ASSERT_TRUE(host().loaded()) << host().failure();
        EXPECT_EQ(shown(), colour);
        EXPECT_EQ(shownAt(0.1f, 0.1f), colour) << "the marker stays hidden";
        editor::WidgetTreePanel* panel = host().panel();
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(host().selectedWidget(), widget("box"));
        EXPECT_EQ(host().view().emphasizedWidget(), widget("box"));
        EXPECT_EQ(editor::WidgetTreePanel::widgetOf(panel->tree().currentItem()), widget("box"));
        EXPECT_FALSE(widget("marker")->visible());
        EXPECT_EQ(editor::WidgetTreePanel::iconIndexOf(panel->itemOf(widget("marker"))) & 16, 16)
            << "its icon is faded";
    }

    std::vector<std::string> screenRows() const
    {
        std::vector<std::string> rows;
        for (const ui::SelectorRow* row : window->screenSelector()->groups()[0]->rows())
            rows.push_back(row->path());
        return rows;
    }

    static constexpr Colour Red{255, 0, 0}, Green{0, 255, 0}, Blue{0, 0, 255}, White{255, 255, 255};
    TempDir install, home;
    const Mod::DiscoveryEnvironment environment{home.path().string(), "", home.path().string()};
    gfx::GraphicsContext graphics;
    std::string screenFile;
    app::ErrorBoxHandler previous;
    std::vector<std::string> reports;
    editor::MainWindow* window = nullptr;
};

} // namespace

TEST_F(LiveReloadTest, EachWayOfSavingIsDrawnWithTheSelectionKept)
{
    ASSERT_NO_FATAL_FAILURE(showScreen());
    Colour colour = Red;
    for (const Save how : {Save::RenameOver, Save::RewriteInPlace, Save::TruncateThenWrite, Save::DeleteThenCreate}) {
        SCOPED_TRACE(nameOf(how));
        colour = colour == Green ? Blue : Green;
        save(screenFile, screenText(colour), how);
        ASSERT_TRUE(QTest::qWaitFor([&] { return host().loaded() && shown() == colour; }, Patience))
            << "shows " << shown();
        expectKept(colour);
    }
}

TEST_F(LiveReloadTest, ABurstOfSavesGivesOneReload)
{
    ASSERT_NO_FATAL_FAILURE(showScreen());
    const std::size_t before = window->reloadCount();
    for (int i = 0; i < 200; ++i) {
        save(screenFile, screenText(i % 2 ? Blue : Green), Save::TruncateThenWrite);
        QCoreApplication::processEvents();
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->reloadCount() > before; }, Patience));
    QTest::qWait(800); // a second reload would come within this
    EXPECT_EQ(window->reloadCount(), before + 1);
    expectKept(Blue);
}

TEST_F(LiveReloadTest, ABrokenSaveShowsItsErrorUntilTheNextGoodOne)
{
    ASSERT_NO_FATAL_FAILURE(showScreen());
    std::string broken = screenText(Green);
    broken.replace(broken.find("Screen = {"), 10, "Screen = {{");
    save(screenFile, broken, Save::RenameOver);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !host().loaded(); }, Patience));
    EXPECT_NE(host().failure().find("slice:"), std::string::npos) << host().failure();
    EXPECT_EQ(reports.size(), 0u) << "no message box";
    EXPECT_EQ(shown(), White) << "the error in place of the drawing";
    ASSERT_NE(host().panel(), nullptr);
    ASSERT_EQ(host().panel()->tree().topLevelItemCount(), 1);
    EXPECT_EQ(host().panel()->tree().topLevelItem(0)->childCount(), 0) << "the panel is emptied";

    save(screenFile, screenText(Green), Save::RenameOver);
    ASSERT_TRUE(QTest::qWaitFor([&] { return host().loaded(); }, Patience));
    expectKept(Green);
}

TEST_F(LiveReloadTest, TheScreenAndModuleListsFollowFilesAddedAndRemoved)
{
    ASSERT_NO_FATAL_FAILURE(showScreen());
    const std::string screens = install / "Ironveil/Data/Art/UI/Screens/";
    save(screens + "Added.screen", screenText(Blue), Save::DeleteThenCreate);
    std::filesystem::rename(screens + "Options.screen", screens + "Renamed.screen");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const std::vector<std::string> rows = screenRows();
            return std::count(rows.begin(), rows.end(), "Art\\UI\\Screens\\Added.screen")
                   && std::count(rows.begin(), rows.end(), "Art\\UI\\Screens\\Renamed.screen")
                   && !std::count(rows.begin(), rows.end(), "Art\\UI\\Screens\\Options.screen");
        },
        Patience));
    expectKept(Red);

    window->moduleSelector().goBack();
    auto modules = [&] {
        std::vector<std::string> rows;
        for (const ui::FolderGroup* group : window->moduleSelector().groups())
            for (const ui::SelectorRow* row : group->rows())
                rows.push_back(row->path());
        return rows;
    };
    const std::string added = install / "Added.module";
    save(added, "ModFolder = Ironveil\nDataFolder.1 = Data\n", Save::DeleteThenCreate);
    auto listed = [&] {
        const std::vector<std::string> rows = modules();
        return std::count(rows.begin(), rows.end(), added);
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return listed() == 1; }, Patience));
    std::filesystem::remove(added);
    ASSERT_TRUE(QTest::qWaitFor([&] { return listed() == 0; }, Patience));
}

TEST_F(LiveReloadTest, F5ReloadsAtOnce)
{
    ASSERT_NO_FATAL_FAILURE(showScreen());
    window->widget()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window->widget()));
    save(screenFile, screenText(Blue), Save::RewriteInPlace);
    QTest::keyClick(window->widget(), Qt::Key_F5);
    expectKept(Blue);
}

TEST_F(LiveReloadTest, TheViewMenusReloadReloadsAsF5Does)
{
    ASSERT_NO_FATAL_FAILURE(showScreen());
    // Nothing changes on disk, so the watcher has nothing to reload for: the
    // reload comes from the menu, as soon as the choice is handled.
    const std::size_t before = window->reloadCount();
    const std::unique_ptr<QMenu> menu = editor::makeViewMenu(host());
    const QAction* reload = menu->actions().back();
    ASSERT_EQ(reload->text(), "Reload");
    editor::choose(host(), *reload);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->reloadCount(), before + 1);
    expectKept(Red);
}
