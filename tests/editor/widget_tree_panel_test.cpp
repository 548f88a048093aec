// The widget tree panel beside a shown screen: its items, icons and order,
// selection and emphasis as drawn, the check box and what carries over to
// the next screen, double clicks, the pointer's effect on opacity, and the
// ends of panel and host in either order.

#include "editor/widget_tree_panel.h"

#include "../screen/test_module.h"
#include "editor/main_window.h"
#include "editor/module_selector.h"
#include "editor/screen_host.h"
#include "editor/screen_selector.h"
#include "gfx/bitmap_render_target.h"
#include "gfx/icon_strip.h"
#include "screen/screen_view.h"
#include "screen/widget.h"
#include "support/temp_dir.h"
#include "app/error_box.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>
#include <QTreeWidget>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using ScreenTest::near;
using ScreenTest::pixel;
using ScreenTest::Rgb;
using ScreenTest::White;
constexpr Rgb Red{255, 0, 0}, Blue{0, 0, 255}, Green{0, 255, 0}, Black{0, 0, 0};

// Left half: a hidden button with a child in its lower left; right half: a
// blue widget; a hidden leaf in the blue half's top right corner.
const char* const Halves = R"(
    Screen = {
        Widgets = { name = 'Root', type = 'Group', Children = {
            { name = 'left', type = 'Button', visible = false, size = { 0.5, 1 },
              Presentation = { Art = { { type = 'Rectangle', colour = 'red', states = { 'Normal' } } } },
              Children = { { name = 'inner', type = 'TextLabel', position = { 0, 0.75 }, size = { 0.5, 0.25 },
                             Presentation = { Art = { { type = 'Rectangle', colour = { 0, 255, 0, 255 }, states = { 'Normal' } } } } } } },
            { name = 'right', position = { 0.5, 0 }, size = { 0.5, 1 },
              Presentation = { Art = { { type = 'Rectangle', colour = 'blue', states = { 'Normal' } } } } },
            { name = 'gone', type = 'CheckButton', visible = false, position = { 0.75, 0 }, size = { 0.25, 0.25 },
              Presentation = { Art = { { type = 'Rectangle', colour = { 0, 255, 0, 255 }, states = { 'Normal' } } } } },
        } },
        TooltipWidgets = { name = 'Tips', type = 'TextListBox' },
    })";

class WidgetTreePanelTest : public testing::Test {
protected:
    void SetUp() override
    {
        module.writeScreen("halves.screen", Halves);
        previous = app::setErrorBoxHandler([this](QWidget*, const std::string& text) { reports.push_back(text); });
    }
    void TearDown() override
    {
        app::setErrorBoxHandler(previous);
        EXPECT_TRUE(reports.empty()) << reports.front();
    }

    std::unique_ptr<editor::ScreenHost> open(const std::string& name = "halves.screen")
    {
        auto host = std::make_unique<editor::ScreenHost>(module.graphics, module.context(),
                                                         ScreenTest::TestModule::screenPath(name));
        host->setBounds(0, 0, 100, 100);
        return host;
    }

    // One frame of the host as the window draws it.
    gfx::BitmapPtr render(editor::ScreenHost& host)
    {
        gfx::BitmapRenderTarget target(module.graphics, 100, 100);
        target.beginDraw();
        target.setTransform(gfx::Matrix::identity());
        host.paint(target);
        target.endDraw();
        return target.bitmap();
    }

    static QTreeWidgetItem* item(editor::WidgetTreePanel& panel, const std::string& name)
    {
        return panel.itemOf(panel.tree().topLevelItem(0) ? findNamed(*panel.tree().topLevelItem(0), name) : nullptr);
    }
    static const screen::Widget* findNamed(QTreeWidgetItem& from, const std::string& name)
    {
        if (const screen::Widget* w = editor::WidgetTreePanel::widgetOf(&from); w && w->name() == name)
            return w;
        for (int i = 0; i < from.childCount(); ++i)
            if (const screen::Widget* w = findNamed(*from.child(i), name))
                return w;
        return nullptr;
    }

    // Double-clicks the item where the list shows it: press, release, the
    // second press as the platform reports a double click, release.
    static void doubleClick(editor::WidgetTreePanel& panel, QTreeWidgetItem* target)
    {
        ASSERT_NE(target, nullptr);
        const QRect where = panel.tree().visualItemRect(target);
        ASSERT_FALSE(where.isEmpty());
        QWidget* viewport = panel.tree().viewport();
        const QPointF at = where.center();
        const QPointF global = viewport->mapToGlobal(at);
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                        QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
            const bool down = type != QEvent::MouseButtonRelease;
            QMouseEvent event(type, at, global, Qt::LeftButton, down ? Qt::LeftButton : Qt::NoButton,
                              Qt::NoModifier);
            QApplication::sendEvent(viewport, &event);
        }
    }

    static void ensureEmphasizeChecked(editor::WidgetTreePanel& panel, bool checked)
    {
        if (panel.emphasizeBox().isChecked() != checked)
            panel.emphasizeBox().click();
        ASSERT_EQ(editor::WidgetTreePanel::runState().emphasize, checked);
    }

    ScreenTest::TestModule module;
    app::ErrorBoxHandler previous;
    std::vector<std::string> reports;
};

std::vector<std::string> childTexts(const QTreeWidgetItem& item)
{
    std::vector<std::string> texts;
    for (int i = 0; i < item.childCount(); ++i)
        texts.push_back(item.child(i)->text(0).toStdString());
    return texts;
}

TEST_F(WidgetTreePanelTest, ListsTheScreenItsTooltipsAndItsWidgetsTopmostFirstWithTypeIcons)
{
    const auto host = open();
    editor::WidgetTreePanel* panel = host->panel();
    ASSERT_NE(panel, nullptr);
    QWidget& window = *panel->widget();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Widgets"));
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(panel->emphasizeBox().text(), QStringLiteral("Emphasize Selection"));

    QTreeWidget& tree = panel->tree();
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    const QTreeWidgetItem& top = *tree.topLevelItem(0);
    EXPECT_EQ(top.text(0), QStringLiteral("halves.screen"));
    EXPECT_EQ(editor::WidgetTreePanel::widgetOf(&top), nullptr);
    EXPECT_EQ(editor::WidgetTreePanel::iconIndexOf(&top), 14);
    EXPECT_TRUE(top.isExpanded());
    EXPECT_EQ(childTexts(top), (std::vector<std::string>{"Tips", "Root"})) << "tooltips above widgets";
    const QTreeWidgetItem& root = *top.child(1);
    EXPECT_EQ(childTexts(root), (std::vector<std::string>{"gone", "right", "left"}))
        << "the widget painted on top first";

    struct Row {
        const char* name;
        int icon;
        bool expanded;
    };
    for (const Row& row : {Row{"Tips", 9, true}, Row{"Root", 0, true}, Row{"left", 6 + 16, false},
                           Row{"inner", 1, true}, Row{"right", 13, true}, Row{"gone", 2 + 16, false}}) {
        const QTreeWidgetItem* it = item(*panel, row.name);
        ASSERT_NE(it, nullptr) << row.name;
        EXPECT_EQ(editor::WidgetTreePanel::iconIndexOf(it), row.icon) << row.name;
        EXPECT_EQ(it->isExpanded(), row.expanded) << row.name;
    }

    // The pictures themselves: the faded icon is the normal one at half alpha.
    const QImage strip = [] {
        const gfx::IconStrip icons = gfx::loadIconResource("WIDGET_TYPES");
        return QImage(icons.pixels.data(), icons.width, icons.height, icons.width * 4, QImage::Format_ARGB32).copy();
    }();
    const QImage shown = item(*panel, "Root")->icon(0).pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage faded = item(*panel, "left")->icon(0).pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage button = strip.copy(6 * 16, 0, 16, 16);
    EXPECT_EQ(shown, strip.copy(0, 0, 16, 16)) << "the group icon";
    int opaque = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const int alpha = qAlpha(button.pixel(x, y));
            EXPECT_NEAR(qAlpha(faded.pixel(x, y)), alpha / 2, 1) << x << ", " << y;
            opaque += alpha == 255;
        }
    EXPECT_GT(opaque, 0) << "the button icon has solid pixels to fade";
}

TEST_F(WidgetTreePanelTest, EveryLevelListsTheTopmostChildFirstAndDownReachesItFirst)
{
    module.writeScreen("nested.screen", R"(
        Screen = { Widgets = { name = 'Root', Children = {
            { name = 'A', Children = { { name = 'A1' }, { name = 'A2' } } },
            { name = 'B', Children = { { name = 'B1' }, { name = 'B2', Children = { { name = 'B2a' }, { name = 'B2b' } } },
                                       { name = 'B3' } } },
        } } })");
    const auto host = open("nested.screen");
    const QTreeWidgetItem& root = *host->panel()->tree().topLevelItem(0)->child(0);
    ASSERT_EQ(root.text(0), QStringLiteral("Root"));
    EXPECT_EQ(childTexts(root), (std::vector<std::string>{"B", "A"}));
    EXPECT_EQ(childTexts(*root.child(0)), (std::vector<std::string>{"B3", "B2", "B1"}));
    EXPECT_EQ(childTexts(*root.child(0)->child(1)), (std::vector<std::string>{"B2b", "B2a"}));
    EXPECT_EQ(childTexts(*root.child(1)), (std::vector<std::string>{"A2", "A1"}));

    // The keyboard walks the same order: from the screen item, Down reaches
    // the root, then its topmost child and that child's topmost child.
    QTreeWidget& tree = host->panel()->tree();
    tree.setCurrentItem(tree.topLevelItem(0));
    std::vector<std::string> reached;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(&tree, Qt::Key_Down);
        reached.push_back(tree.currentItem()->text(0).toStdString());
    }
    EXPECT_EQ(reached, (std::vector<std::string>{"Root", "B", "B3", "B2"}));
    EXPECT_EQ(host->selectedWidget(), host->view().findWidget("B2")) << "the selection follows the keys";
}

TEST_F(WidgetTreePanelTest, TypesAreRecognisedByLengthAndHash)
{
    module.writeScreen("types.screen", R"(
        Screen = { Widgets = { name = 'all', Children = {
            { name = 'Group', type = 'Group' }, { name = 'TextLabel', type = 'TextLabel' },
            { name = 'CheckButton', type = 'CheckButton' }, { name = 'ComboBox', type = 'ComboBox' },
            { name = 'ProgressBar', type = 'ProgressBar' }, { name = 'EditText', type = 'EditText' },
            { name = 'Button', type = 'Button' }, { name = 'Custom', type = 'Custom' },
            { name = 'RadioButton', type = 'RadioButton' }, { name = 'TextListBox', type = 'TextListBox' },
            { name = 'Swf', type = 'Swf' }, { name = 'near miss', type = 'Buttom' }, { name = 'lower', type = 'button' },
            { name = 'number', type = 5 },
        } } })");
    const auto host = open("types.screen");
    struct Row {
        const char* name;
        int icon;
    };
    for (const Row& row : {Row{"Group", 0}, Row{"TextLabel", 1}, Row{"CheckButton", 2}, Row{"ComboBox", 3},
                           Row{"ProgressBar", 4}, Row{"EditText", 5}, Row{"Button", 6}, Row{"Custom", 7},
                           Row{"RadioButton", 8}, Row{"TextListBox", 9}, Row{"Swf", 12}, Row{"near miss", 13},
                           Row{"lower", 13}, Row{"number", 13}, Row{"all", 13}}) {
        const QTreeWidgetItem* it = item(*host->panel(), row.name);
        ASSERT_NE(it, nullptr) << row.name;
        EXPECT_EQ(editor::WidgetTreePanel::iconIndexOf(it), row.icon) << row.name;
    }
    EXPECT_EQ(childTexts(*host->panel()->tree().topLevelItem(0)), (std::vector<std::string>{"all"}))
        << "a screen without tooltips has one child";
}

TEST_F(WidgetTreePanelTest, SelectingAWidgetOutlinesItAndDimsTheRestAndTheScreenItemClearsIt)
{
    const auto host = open();
    editor::WidgetTreePanel& panel = *host->panel();
    ensureEmphasizeChecked(panel, true);
    EXPECT_TRUE(near(pixel(*render(*host), 25, 50), White)) << "left is hidden";

    panel.tree().setCurrentItem(item(panel, "left"));
    screen::Widget* left = host->view().findWidget("left");
    EXPECT_EQ(host->selectedWidget(), left);
    EXPECT_EQ(host->view().emphasizedWidget(), left);
    EXPECT_FLOAT_EQ(host->view().emphasisFade(), 0.25f);
    gfx::BitmapPtr picture = render(*host);
    EXPECT_TRUE(near(pixel(*picture, 25, 50), Red)) << "a selected hidden widget is drawn";
    EXPECT_TRUE(near(pixel(*picture, 10, 90), Green)) << "with its child";
    EXPECT_TRUE(near(pixel(*picture, 49, 50), Black)) << "outlined";
    EXPECT_TRUE(near(pixel(*picture, 60, 50), {191, 191, 255})) << "the rest at a quarter";
    const Rgb corner = pixel(*picture, 90, 10);
    EXPECT_TRUE(near(corner, {191, 191, 255}) || near(corner, {167, 167, 231})) << "gone stays hidden: " << corner;

    panel.tree().setCurrentItem(item(panel, "right"));
    picture = render(*host);
    EXPECT_TRUE(near(pixel(*picture, 25, 50), White)) << "left hidden again";
    EXPECT_TRUE(near(pixel(*picture, 60, 50), Blue));
    EXPECT_TRUE(near(pixel(*picture, 50, 50), Black));

    panel.tree().setCurrentItem(panel.tree().topLevelItem(0));
    EXPECT_EQ(host->selectedWidget(), nullptr);
    EXPECT_EQ(host->view().emphasizedWidget(), nullptr);
    picture = render(*host);
    EXPECT_TRUE(near(pixel(*picture, 60, 50), Blue)) << "nothing dimmed";
    EXPECT_FALSE(near(pixel(*picture, 50, 50), Black)) << "nothing outlined";
    for (const char* name : {"Root", "left", "inner", "right"})
        EXPECT_FALSE(host->view().findWidget(name)->shownForSelection()) << name;
}

TEST_F(WidgetTreePanelTest, UncheckingKeepsTheOutlineWithoutDimmingAndCarriesOverWithThePlacement)
{
    {
        const auto host = open();
        editor::WidgetTreePanel& panel = *host->panel();
        ensureEmphasizeChecked(panel, true);
        panel.tree().setCurrentItem(item(panel, "right"));

        QTest::mouseClick(&panel.emphasizeBox(), Qt::LeftButton);
        EXPECT_FALSE(editor::WidgetTreePanel::runState().emphasize);
        EXPECT_FLOAT_EQ(host->view().emphasisFade(), 1.0f);
        EXPECT_EQ(host->view().emphasizedWidget(), host->view().findWidget("right"));
        gfx::BitmapPtr picture = render(*host);
        EXPECT_TRUE(near(pixel(*picture, 50, 50), Black)) << "still outlined";
        EXPECT_TRUE(near(pixel(*picture, 25, 50), White));
        EXPECT_TRUE(near(pixel(*picture, 75, 50), Blue));

        panel.widget()->setGeometry(320, 140, 230, 310);
        QApplication::processEvents();
        EXPECT_EQ(panel.tree().geometry(), QRect(0, 0, 230, 310 - panel.emphasizeBox().height()));
        EXPECT_EQ(panel.emphasizeBox().geometry().bottom(), 309);
    }
    const editor::WidgetTreePanel::RunState& state = editor::WidgetTreePanel::runState();
    EXPECT_EQ(state.width, 230);
    EXPECT_EQ(state.height, 310);

    const auto next = open();
    editor::WidgetTreePanel& panel = *next->panel();
    EXPECT_FALSE(panel.emphasizeBox().isChecked()) << "the next screen keeps the choice";
    EXPECT_EQ(panel.widget()->size(), QSize(230, 310));
    EXPECT_EQ(panel.widget()->pos(), QPoint(state.x, state.y));
    panel.tree().setCurrentItem(item(panel, "left"));
    EXPECT_FLOAT_EQ(next->view().emphasisFade(), 1.0f);
    gfx::BitmapPtr picture = render(*next);
    EXPECT_TRUE(near(pixel(*picture, 75, 50), Blue)) << "not dimmed";
    EXPECT_TRUE(near(pixel(*picture, 25, 50), Red));

    panel.emphasizeBox().click();
    EXPECT_TRUE(editor::WidgetTreePanel::runState().emphasize);
    EXPECT_FLOAT_EQ(next->view().emphasisFade(), 0.25f);
    picture = render(*next);
    EXPECT_TRUE(near(pixel(*picture, 75, 50), {191, 191, 255})) << "dimmed again";
}

TEST_F(WidgetTreePanelTest, DoubleClicksShowAndHideWidgets)
{
    const auto host = open();
    editor::WidgetTreePanel& panel = *host->panel();
    screen::Widget& gone = *host->view().findWidget("gone");
    QTreeWidgetItem* goneItem = item(panel, "gone");

    doubleClick(panel, goneItem);
    EXPECT_TRUE(gone.visible()) << "a hidden leaf is shown";
    EXPECT_EQ(editor::WidgetTreePanel::iconIndexOf(goneItem), 2);
    panel.tree().setCurrentItem(panel.tree().topLevelItem(0));
    EXPECT_TRUE(near(pixel(*render(*host), 90, 10), Green));
    doubleClick(panel, goneItem);
    EXPECT_FALSE(gone.visible()) << "and hidden again";
    EXPECT_EQ(editor::WidgetTreePanel::iconIndexOf(goneItem), 2 + 16);
    panel.tree().setCurrentItem(panel.tree().topLevelItem(0));
    EXPECT_TRUE(near(pixel(*render(*host), 90, 10), Blue));

    // A widget with children follows its item: opened shows, closed hides.
    screen::Widget& left = *host->view().findWidget("left");
    QTreeWidgetItem* leftItem = item(panel, "left");
    ASSERT_FALSE(leftItem->isExpanded());
    doubleClick(panel, leftItem);
    EXPECT_TRUE(leftItem->isExpanded());
    EXPECT_TRUE(left.visible());
    EXPECT_EQ(editor::WidgetTreePanel::iconIndexOf(leftItem), 6);
    doubleClick(panel, leftItem);
    EXPECT_FALSE(leftItem->isExpanded());
    EXPECT_FALSE(left.visible());
    EXPECT_EQ(editor::WidgetTreePanel::iconIndexOf(leftItem), 6 + 16);

    doubleClick(panel, panel.tree().topLevelItem(0));
    for (const char* name : {"Root", "right", "inner"})
        EXPECT_TRUE(host->view().findWidget(name)->visible()) << "the screen item changes nothing: " << name;
}

TEST_F(WidgetTreePanelTest, IsHalfTransparentUntilThePointerIsOverIt)
{
    const auto host = open();
    QWidget& window = *host->panel()->widget();
    EXPECT_NEAR(window.windowOpacity(), 128 / 255.0, 0.003);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(&window, &enter);
    EXPECT_NEAR(window.windowOpacity(), 240 / 255.0, 0.003);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&window, &leave);
    EXPECT_NEAR(window.windowOpacity(), 128 / 255.0, 0.003);
}

TEST_F(WidgetTreePanelTest, ClosingThePanelFirstLeavesTheScreenUsable)
{
    const auto host = open();
    QPointer<QWidget> window = host->panel()->widget();
    host->panel()->tree().setCurrentItem(item(*host->panel(), "left"));
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(host->panel(), nullptr);
    EXPECT_TRUE(near(pixel(*render(*host), 25, 50), Red)) << "the selection stays drawn";
}

// Through the real window: the panel floats above the main window, and going
// back closes it; closing it first and then going back is as safe.
TEST_F(WidgetTreePanelTest, LeavingTheScreenClosesThePanelOnceInEitherOrder)
{
    TestSupport::TempDir dir, elsewhere;
    dir.write("Own.module", "ModFolder = Own\nDataFolder.1 = Data\n");
    dir.write("Own/Data/Art/UI/Screens/halves.screen", Halves);
    const Mod::DiscoveryEnvironment environment{elsewhere.path().string(), "", elsewhere.path().string()};
    editor::MainWindow* window = editor::MainWindow::open(module.graphics, environment, {dir.path().string()});
    window->moduleSelector().choose(dir.path().string() + "/Own.module");
    auto& screens = dynamic_cast<editor::ScreenSelector&>(*window->moduleSelector().detail());

    for (const bool closeFirst : {false, true}) {
        screens.choose("Art\\UI\\Screens\\halves.screen");
        auto& host = dynamic_cast<editor::ScreenHost&>(*screens.detail());
        ASSERT_NE(host.panel(), nullptr);
        QPointer<QWidget> panel = host.panel()->widget();
        EXPECT_EQ(panel->parentWidget(), window->widget()) << "it floats above the main window";
        EXPECT_EQ(host.panel()->tree().topLevelItem(0)->text(0), QStringLiteral("halves.screen"));
        if (closeFirst) {
            panel->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            EXPECT_TRUE(panel.isNull());
        }
        screens.goBack();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(panel.isNull()) << "closed first: " << closeFirst;
    }
    screens.choose("Art\\UI\\Screens\\halves.screen");
    QPointer<QWidget> panel = dynamic_cast<editor::ScreenHost&>(*screens.detail()).panel()->widget();
    delete window;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(panel.isNull()) << "and closing the main window closes it";
}

TEST(WidgetTypesTest, TheProgramCarriesSixteenIconsOfSixteenPixels)
{
    const gfx::IconStrip strip = gfx::loadIconResource("WIDGET_TYPES");
    ASSERT_EQ(strip.width, 256);
    ASSERT_EQ(strip.height, 16);
    for (int icon = 0; icon < 16; ++icon) {
        int ink = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                ink += strip.row(y)[4 * (icon * 16 + x) + 3] != 0;
        if (icon == 15)
            EXPECT_EQ(ink, 0) << "the last icon is empty";
        else
            EXPECT_GT(ink, 20) << "icon " << icon;
    }
}

} // namespace
