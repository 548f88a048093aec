#include "editor/module_selector.h"

#include "editor/main_window.h"
#include "editor/screen_host.h"
#include "editor/screen_selector.h"
#include "app/error_box.h"
#include "data/ansi_text.h"
#include "gfx/graphics_context.h"
#include "screen/widget.h"
#include "screen/screen_view.h"
#include "support/png_pixels.h"
#include "support/process.h"
#include "support/temp_dir.h"
#include "ui/folder_group.h"
#include "ui/scroll_view.h"
#include "ui/selection_band.h"
#include "ui/selector_row.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>

namespace {

using TestSupport::TempDir;

const ui::FolderGroup* groupOf(const ui::Selector& selector, const std::string& folder)
{
    for (const ui::FolderGroup* group : selector.groups())
        if (group->folder() == folder)
            return group;
    return nullptr;
}

std::vector<std::string> rowNames(const ui::FolderGroup& group)
{
    std::vector<std::string> names;
    for (const ui::SelectorRow* row : group.rows())
        names.push_back(Mod::utf16ToUtf8(row->layouts()[0]->text()));
    return names;
}

class ModuleSelectorTest : public testing::Test {
protected:
    gfx::GraphicsContext graphics;
    TempDir dir;
    // No Wine prefix; the current directory is an empty folder of its own.
    TempDir elsewhere;
    Mod::DiscoveryEnvironment environment{elsewhere.path().string(), "", elsewhere.path().string()};
};

TEST_F(ModuleSelectorTest, ListsModulesWithTheirDescriptionsAfterTheDiscoveredFolders)
{
    dir.write("b.module", "[global]\nDescription = Bravo: the second\n");
    dir.write("A.MODULE", "Name = A\n");
    dir.write("Empty.module", "");
    dir.write("x.modules", "Description = not a module\n");
    const std::string folder = dir.path().string() + "/";

    editor::ModuleSelector selector(graphics, environment, {dir.path().string()});
    EXPECT_EQ(selector.columnCount(), 2u);
    ASSERT_EQ(selector.groups().size(), 2u);
    EXPECT_EQ(selector.groups()[0]->folder(), elsewhere.path().string() + "/"); // the current directory
    EXPECT_EQ(selector.groups()[1]->folder(), folder);                         // named folders come last
    const ui::FolderGroup* group = groupOf(selector, folder);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(rowNames(*group), (std::vector<std::string>{"A.MODULE", "b.module", "Empty.module"}));
    const auto description = [&](std::size_t i) { return group->rows()[i]->layouts()[1]->text(); };
    EXPECT_EQ(description(0), u"");                  // no Description key
    EXPECT_EQ(description(1), u"Bravo: the second"); // inside a section
    EXPECT_EQ(description(2), u"");                  // opens to no data
}

TEST_F(ModuleSelectorTest, AFolderWithoutModulesSaysSo)
{
    dir.write("readme.txt", "nothing here\n");
    editor::ModuleSelector selector(graphics, environment, {dir.path().string()});
    const ui::FolderGroup* group = groupOf(selector, dir.path().string() + "/");
    ASSERT_NE(group, nullptr);
    ASSERT_NE(group->emptyLayout(), nullptr);
    EXPECT_EQ(group->emptyLayout()->text(), u"No module files found.");
}

TEST_F(ModuleSelectorTest, ChoosingAModuleListsItsScreensAndAScreenNamesIt)
{
    const std::string sample = std::string(TISE_SAMPLE_DIR) + "/";
    editor::ModuleSelector selector(graphics, environment, {TISE_SAMPLE_DIR});
    selector.setBounds(0, 0, 800, 600);
    selector.choose(sample + "Emberwake.module");

    auto* screens = dynamic_cast<editor::ScreenSelector*>(selector.detail());
    ASSERT_NE(screens, nullptr);
    EXPECT_EQ(screens->columnCount(), 1u);
    ASSERT_EQ(screens->groups().size(), 1u);
    const ui::FolderGroup& group = *screens->groups()[0];
    EXPECT_EQ(group.folder(), "Art\\UI\\Screens\\");
    const std::vector<std::string> names = rowNames(group);
    ASSERT_FALSE(names.empty());
    EXPECT_NE(std::find(names.begin(), names.end(), "MainMenu.screen"), names.end());
    EXPECT_EQ(group.rows()[0]->path(), "Art\\UI\\Screens\\" + names[0]);
    EXPECT_EQ(selector.band()->textLayout().text(), Mod::ansiToUtf16(sample + "Emberwake.module"));

    screens->choose("Art\\UI\\Screens\\MainMenu.screen");
    auto* host = dynamic_cast<editor::ScreenHost*>(screens->detail());
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(host->view().path(), "Art\\UI\\Screens\\MainMenu.screen");
    EXPECT_EQ(host->view().width(), host->width()) << "the view fills the host";
    EXPECT_EQ(host->view().height(), host->height());

    screens->goBack();
    EXPECT_EQ(screens->detail(), nullptr);
    selector.goBack();
    EXPECT_EQ(selector.detail(), nullptr);
    EXPECT_NE(groupOf(selector, sample), nullptr);
}

TEST_F(ModuleSelectorTest, ChoosingAScreenAgainReadsItAfreshAndAFailureChangesNothing)
{
    dir.write("Own.module", "ModFolder = Own\nDataFolder.1 = Data\n");
    const std::string screens = "Own/Data/Art/UI/Screens/";
    dir.write(screens + "a.screen", "Screen = { Widgets = { name = 'First' } }");
    dir.write(screens + "broken.screen", "Screen = {\n  Widgets = {\n    name = = 'x' } }");
    editor::ModuleSelector selector(graphics, environment, {dir.path().string()});
    selector.setBounds(0, 0, 800, 600);
    selector.choose(dir.path().string() + "/Own.module");
    auto& list = dynamic_cast<editor::ScreenSelector&>(*selector.detail());

    const auto rootName = [&] {
        auto* host = dynamic_cast<editor::ScreenHost*>(list.detail());
        return host && host->view().widgetsRoot() ? host->view().widgetsRoot()->name() : std::string("<none>");
    };
    list.choose("Art\\UI\\Screens\\a.screen");
    EXPECT_EQ(rootName(), "First");
    list.goBack();
    dir.write(screens + "a.screen", "Screen = { Widgets = { name = 'Second' } }");
    list.choose("Art\\UI\\Screens\\a.screen");
    EXPECT_EQ(rootName(), "Second");
    list.goBack();

    try {
        list.choose("Art\\UI\\Screens\\broken.screen");
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()).rfind("Cannot load screen file Art\\UI\\Screens\\broken.screen: slice:3: ", 0),
                  0u)
            << error.what();
    }
    EXPECT_EQ(list.detail(), nullptr) << "the list stays";
    EXPECT_EQ(list.band(), nullptr);
    list.choose("Art\\UI\\Screens\\a.screen");
    EXPECT_EQ(rootName(), "Second") << "and can be used";
}

TEST_F(ModuleSelectorTest, AModuleWithoutScreensShowsTheEmptyLine)
{
    dir.write("Bare.module", "ModFolder = Bare\nDataFolder.1 = Data\n");
    dir.write("Bare/Data/readme.txt", "x");
    editor::ModuleSelector selector(graphics, environment, {dir.path().string()});
    selector.choose(dir.path().string() + "/Bare.module");
    auto* screens = dynamic_cast<editor::ScreenSelector*>(selector.detail());
    ASSERT_NE(screens, nullptr);
    ASSERT_NE(screens->groups()[0]->emptyLayout(), nullptr);
    EXPECT_EQ(screens->groups()[0]->emptyLayout()->text(), u"No screen files found.");
}

TEST_F(ModuleSelectorTest, AModuleThatCannotBeMountedChangesNothing)
{
    dir.write("Gone.module", "ModFolder = Gone\n");
    editor::ModuleSelector selector(graphics, environment, {dir.path().string()});
    const std::string path = dir.path().string() + "/Gone.module";
    std::filesystem::remove(path);
    try {
        selector.choose(path);
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot open module file " + path);
    }
    EXPECT_EQ(selector.detail(), nullptr);
    EXPECT_EQ(selector.children().size(), 1u);
}

class MainWindowTest : public ModuleSelectorTest {
protected:
    void SetUp() override
    {
        previous = app::setErrorBoxHandler([this](QWidget*, const std::string& text) { reports.push_back(text); });
    }
    void TearDown() override { app::setErrorBoxHandler(previous); }

    app::ErrorBoxHandler previous;
    std::vector<std::string> reports;
};

TEST_F(MainWindowTest, ShowsTheModuleListAndReportsAModuleThatCannotBeMounted)
{
    dir.write("Gone.module", "Description = about to go\n");
    editor::MainWindow* window = editor::MainWindow::open(graphics, environment, {dir.path().string()});
    QWidget& widget = *window->widget();
    EXPECT_EQ(widget.windowTitle(), QStringLiteral("Tavrel Ironveil Screen Editor"));
    EXPECT_EQ(window->width(), 800);
    EXPECT_EQ(window->height(), 600);
    editor::ModuleSelector& selector = window->moduleSelector();
    EXPECT_EQ(selector.width(), 800);
    EXPECT_EQ(selector.height(), 600);

    const ui::FolderGroup* group = groupOf(selector, dir.path().string() + "/");
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(group->rows().size(), 1u);
    std::filesystem::remove(dir / "Gone.module");

    // Click the row where it is drawn.
    const ui::SelectorRow& row = *group->rows()[0];
    const QPoint at(int(selector.scrollView().transform().dx + group->transform().dx + 30),
                    int(selector.scrollView().transform().dy + group->transform().dy + row.transform().dy
                        + row.height() / 2));
    QMouseEvent moveEvent(QEvent::MouseMove, at, widget.mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                          Qt::NoModifier);
    QApplication::sendEvent(&widget, &moveEvent);
    EXPECT_EQ(window->hoverTarget(), &row);
    QTest::mousePress(&widget, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(&widget, Qt::LeftButton, Qt::NoModifier, at);

    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], "TISE has encountered an exception.\nThe cause is: Cannot open module file "
                              + dir.path().string() + "/Gone.module.");
    EXPECT_EQ(selector.detail(), nullptr);
    EXPECT_EQ(&selector.scrollView(), selector.children()[0].get());
    delete window;
}

// The window and tise-cli render share one drawing path: the screen area of
// the window shows the very pixels that the tool writes for that size.
TEST_F(MainWindowTest, TheWindowDrawsAScreenAsTiseCliRendersIt)
{
    const std::string sample = std::string(TISE_SAMPLE_DIR) + "/";
    editor::MainWindow* window = editor::MainWindow::open(graphics, environment, {TISE_SAMPLE_DIR});
    window->widget()->resize(900, 640);
    QApplication::processEvents();
    editor::ModuleSelector& modules = window->moduleSelector();
    modules.choose(sample + "Ironveil.module");
    auto& screens = dynamic_cast<editor::ScreenSelector&>(*modules.detail());
    screens.choose("Art\\UI\\Screens\\lobby.screen");
    auto& host = dynamic_cast<editor::ScreenHost&>(*screens.detail());
    ASSERT_TRUE(reports.empty()) << reports.front();

    gfx::Matrix toWindow;
    for (const ui::Control* node = &host; node; node = node->parent())
        toWindow = toWindow * node->transform();
    const int left = static_cast<int>(toWindow.dx), top = static_cast<int>(toWindow.dy);
    ASSERT_EQ(toWindow.dx, left) << "the screen area starts on a whole pixel";
    const int width = static_cast<int>(host.width()), height = static_cast<int>(host.height());
    ASSERT_GT(left, 0) << "beside the two bands";
    ASSERT_EQ(left + width, 900);
    ASSERT_EQ(height, 640);

    const QImage shot = window->widget()->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(shot.width(), 900);
    const TempDir out;
    const auto result = TestSupport::runProgram(
        "tise-cli",
        {"render", "Ironveil.module", "lobby.screen", "--size", std::to_string(width) + "x" + std::to_string(height),
         "-o", out / "lobby.png"},
        TISE_SAMPLE_DIR);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const QImage rendered = TestSupport::readPng(out / "lobby.png");
    ASSERT_EQ(rendered.width(), width);
    ASSERT_EQ(rendered.height(), height);
    int different = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            different += shot.pixel(left + x, top + y) != rendered.pixel(x, y);
    EXPECT_EQ(different, 0) << "of " << width * height << " pixels";
    if (different) // for a look at the two pictures
        shot.copy(left, top, width, height).save(QString::fromStdString(std::string(TISE_BIN_DIR) + "/../window-area.png"));
    delete window;
}

// A tooltip painted before the widget that hands it its text (its parent):
// the window paints again, and settles on the picture that tise-cli render
// --hover writes.
TEST_F(MainWindowTest, TheWindowSettlesOnTheHoverPictureTiseCliRenders)
{
    const TempDir install;
    std::filesystem::copy(TISE_SAMPLE_DIR, install.path(), std::filesystem::copy_options::recursive);
    install.write("Ironveil/Data/Art/UI/Screens/tipfirst.screen", R"(
        Screen = { Widgets = { name = 'Tip', Presentation = { Art = {
            { type = 'Text', fontname = 'gillsans_16', size = { 1, 0.5 }, states = { 'Hover' } } } },
            Children = { { name = 'Hot', position = { 0, 0.5 }, size = { 1, 0.5 }, tooltip_name = 'Tip',
                           tooltip_text = 'Words from below',
                           -- Solid for the pointer, never drawn.
                           Presentation = { Art = { { type = 'Rectangle', colour = { 0, 0, 0, 255 } } } } } } } })");
    editor::MainWindow* window = editor::MainWindow::open(graphics, environment, {install.path().string()});
    window->widget()->resize(900, 640);
    QApplication::processEvents();
    editor::ModuleSelector& modules = window->moduleSelector();
    modules.choose(install.path().string() + "/Ironveil.module");
    auto& screens = dynamic_cast<editor::ScreenSelector&>(*modules.detail());
    screens.choose("Art\\UI\\Screens\\tipfirst.screen");
    auto& host = dynamic_cast<editor::ScreenHost&>(*screens.detail());
    ASSERT_TRUE(reports.empty()) << reports.front();

    gfx::Matrix toWindow;
    for (const ui::Control* node = &host; node; node = node->parent())
        toWindow = toWindow * node->transform();
    const int left = static_cast<int>(toWindow.dx), top = static_cast<int>(toWindow.dy);
    const int width = static_cast<int>(host.width()), height = static_cast<int>(host.height());
    QWidget& widget = *window->widget();
    const QPoint at(left + width / 2, top + 3 * height / 4);
    QMouseEvent move(QEvent::MouseMove, at, widget.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &move);
    // Each grab is one paint of the window; it paints again until a paint
    // leaves the picture as it was.
    QImage shot = widget.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    for (int paints = 1; paints < 4; ++paints) {
        QApplication::processEvents();
        QImage again = widget.grab().toImage().convertToFormat(QImage::Format_ARGB32);
        if (again == shot)
            break;
        shot = again;
    }

    const auto result = TestSupport::runProgram(
        "tise-cli",
        {"render", "Ironveil.module", "tipfirst.screen", "--hover", "Hot", "--size",
         std::to_string(width) + "x" + std::to_string(height), "-o", install / "tipfirst.png"},
        install.path().string());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const QImage rendered = TestSupport::readPng(install / "tipfirst.png");
    ASSERT_EQ(rendered.size(), QSize(width, height));
    int different = 0, ink = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            different += shot.pixel(left + x, top + y) != rendered.pixel(x, y);
            ink += y < height / 2 && qGray(rendered.pixel(x, y)) < 100;
        }
    EXPECT_GT(ink, 50) << "the tooltip's text is in the picture";
    EXPECT_EQ(different, 0) << "of " << width * height << " pixels";
    if (different) { // for a look at the two pictures
        shot.copy(left, top, width, height).save(QString::fromStdString(std::string(TISE_BIN_DIR) + "/../hover-window.png"));
        rendered.save(QString::fromStdString(std::string(TISE_BIN_DIR) + "/../hover-render.png"));
    }
    delete window;
}

} // namespace
