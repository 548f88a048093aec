// Inspecting a shown screen: ctrl+click picks the widget under the pointer
// in the widget tree panel, the panel's tooltips say what each widget
// resolved to, the view menu previews the game's resolutions letterboxed. On the sample installation through the real
// window, and on screens written here.

#include "../screen/test_module.h"
#include "app/error_box.h"
#include "editor/main_window.h"
#include "editor/module_selector.h"
#include "editor/preview_frame.h"
#include "editor/preview_size.h"
#include "editor/screen_host.h"
#include "editor/screen_inspection.h"
#include "editor/screen_selector.h"
#include "editor/widget_tooltip.h"
#include "editor/widget_tree_panel.h"
#include "gfx/bitmap_render_target.h"
#include "gfx/graphics_context.h"
#include "screen/screen_view.h"
#include "screen/text_art.h"
#include "screen/widget.h"
#include "screen/widget_report.h"
#include "support/temp_dir.h"
#include "ui/selection_band.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

using TestSupport::TempDir;

// The preview size is the run's: each test leaves it as it found it.
struct FitAgain {
    ~FitAgain() { editor::setRunPreviewSize({}); }
};

// A screen written here, shown by a host of its own of the given size.
struct HostedScreen {
    HostedScreen(const char* lua, float width, float height)
    {
        rewrite(lua);
        host = std::make_unique<editor::ScreenHost>(module.graphics, module.context(),
                                                    ScreenTest::TestModule::screenPath("shown.screen"));
        host->setBounds(0, 0, width, height);
    }
    void rewrite(const char* lua) { module.writeScreen("shown.screen", lua); }

    const FitAgain fit;
    ScreenTest::TestModule module;
    std::unique_ptr<editor::ScreenHost> host;
};

// Where a point of the host's view (in the view's DIPs) is in the window.
QPoint windowPointOf(const editor::ScreenHost& host, float viewX, float viewY)
{
    gfx::Matrix toWindow;
    for (const ui::Control* node = &host; node; node = node->parent())
        toWindow = toWindow * node->transform();
    const editor::PreviewPlacement& at = host.frame().placement();
    const gfx::Point p = toWindow.transformPoint({at.x + viewX * at.scale, at.y + viewY * at.scale});
    return {static_cast<int>(std::floor(p.x)), static_cast<int>(std::floor(p.y))};
}

QPoint centreOf(const editor::ScreenHost& host, const screen::Widget& widget)
{
    const gfx::Rect r = screen::reportWidget(widget).pixelBounds;
    return windowPointOf(host, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// The widget that holds a control (a widget or an art item).
const screen::Widget* widgetHolding(const ui::Control* control)
{
    for (; control; control = control->parent())
        if (const auto* widget = dynamic_cast<const screen::Widget*>(control))
            return widget;
    return nullptr;
}

class InspectionTest : public testing::Test {
protected:
    void SetUp() override
    {
        previous = app::setErrorBoxHandler([this](QWidget*, const std::string& text) { reports.push_back(text); });
    }
    void TearDown() override
    {
        delete window;
        editor::setRunPreviewSize({});
        app::setErrorBoxHandler(previous);
        EXPECT_TRUE(reports.empty()) << reports.front();
    }

    // The sample's screen in the viewer's window, 900 × 640.
    editor::ScreenHost& openSample(const std::string& screenFile)
    {
        window = editor::MainWindow::open(graphics, environment, {TISE_SAMPLE_DIR});
        window->widget()->resize(900, 640);
        QApplication::processEvents();
        editor::ModuleSelector& modules = window->moduleSelector();
        modules.choose(std::string(TISE_SAMPLE_DIR) + "/Ironveil.module");
        screens = &dynamic_cast<editor::ScreenSelector&>(*modules.detail());
        screens->choose(std::string("Art\\UI\\Screens\\") + screenFile);
        return dynamic_cast<editor::ScreenHost&>(*screens->detail());
    }

    void click(QPoint at, Qt::KeyboardModifiers modifiers)
    {
        QWidget& widget = *window->widget();
        QMouseEvent move(QEvent::MouseMove, at, widget.mapToGlobal(at), Qt::NoButton, Qt::NoButton, modifiers);
        QApplication::sendEvent(&widget, &move);
        QTest::mousePress(&widget, Qt::LeftButton, modifiers, at);
        QTest::mouseRelease(&widget, Qt::LeftButton, modifiers, at);
    }

    gfx::GraphicsContext graphics;
    TempDir elsewhere;
    Mod::DiscoveryEnvironment environment{elsewhere.path().string(), "", elsewhere.path().string()};
    editor::MainWindow* window = nullptr;
    editor::ScreenSelector* screens = nullptr;
    app::ErrorBoxHandler previous;
    std::vector<std::string> reports;
};

TEST_F(InspectionTest, CtrlClickSelectsTheWidgetThatHoveringFindsTheUpperOneOfOverlappingWidgets)
{
    editor::ScreenHost& host = openSample("lobby.screen");
    editor::WidgetTreePanel* panel = host.panel();
    ASSERT_NE(panel, nullptr);
    panel->tree().collapseAll();
    screen::ScreenView& view = host.view();
    screen::Widget* tile = view.findWidget("TileMissing");
    ASSERT_NE(tile, nullptr);

    // The tile lies over the backdrop: hovering finds the tile, and so does ctrl+click.
    const QPoint onTile = centreOf(host, *tile);
    click(onTile, Qt::ControlModifier);
    EXPECT_EQ(widgetHolding(window->hoverTarget()), tile);
    QTreeWidgetItem* item = panel->itemOf(tile);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(panel->tree().currentItem(), item);
    EXPECT_TRUE(item->isSelected());
    for (QTreeWidgetItem* above = item->parent(); above; above = above->parent())
        EXPECT_TRUE(above->isExpanded()) << above->text(0).toStdString();
    EXPECT_EQ(host.selectedWidget(), tile);
    EXPECT_EQ(view.emphasizedWidget(), tile);
    EXPECT_FALSE(panel->tree().visualItemRect(item).isEmpty()) << "scrolled into view";

    // Where only the backdrop is: its group is a target only where its art
    // is solidly hit, which a texture never is, so the screen's root widget.
    const QPoint onBackdrop = windowPointOf(host, host.view().width() * 0.5f, host.view().height() * 0.9f);
    click(onBackdrop, Qt::ControlModifier);
    EXPECT_EQ(widgetHolding(window->hoverTarget()), view.widgetsRoot());
    EXPECT_EQ(panel->tree().currentItem(), panel->itemOf(view.widgetsRoot()));
    EXPECT_EQ(view.emphasizedWidget(), view.widgetsRoot());

    // A click without ctrl selects nothing.
    click(onTile, Qt::NoModifier);
    EXPECT_EQ(panel->tree().currentItem(), panel->itemOf(view.widgetsRoot()));

    // Off the view, on the letterbox of a wide preview: the screen item.
    host.setPreviewSize({2560, 1080});
    ASSERT_GT(host.frame().placement().y, 10.0f);
    click(windowPointOf(host, 100.0f, -20.0f / host.frame().placement().scale), Qt::ControlModifier);
    EXPECT_EQ(panel->tree().currentItem(), panel->tree().topLevelItem(0));
    EXPECT_EQ(host.selectedWidget(), nullptr);
    EXPECT_EQ(view.emphasizedWidget(), nullptr);
}

TEST_F(InspectionTest, TooltipsListWhatTheWidgetResolvedToIncludingAMissingTextureAndAFallbackFont)
{
    editor::ScreenHost& host = openSample("lobby.screen");
    host.setPreviewSize({1024, 768});
    const screen::Widget* tile = host.view().findWidget("TileMissing");
    ASSERT_NE(tile, nullptr);
    const QString text = editor::widgetTooltip(*tile);
    const QStringList lines = text.split('\n');
    ASSERT_GE(lines.size(), 7) << text.toStdString();
    EXPECT_EQ(lines[0], "type \"Button\" (PlainWidget), name \"TileMissing\"");
    EXPECT_EQ(lines[1], "bounds 0.3, 0.58, 0.12 \u00d7 0.13 of the parent; 307.2, 445.4, 122.9 \u00d7 99.84 px in the view");
    EXPECT_EQ(lines[2], "style: Lobby.Tile (found)");
    EXPECT_EQ(lines[3], "visible: yes");
    EXPECT_EQ(lines[4], "text: none");
    EXPECT_TRUE(text.contains("art 1: TextureArt \"Graphic\", states 1 2, bounds 0, 0, 1 \u00d7 1\n"
                              "  texture \"Art/UI/Textures/nothing_here\": missing (no file "
                              "Art/UI/Textures/nothing_here.dds or Art/UI/Textures/nothing_here.tga), "
                              "drawn as the magenta placeholder"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("art 2: RectangleArt \"Rectangle\", states 1,") || text.contains("art 2: RectangleArt"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("  colour 77 96 130 255 from \"steel\"")) << text.toStdString();

    const screen::Widget* invalid = host.view().findWidget("TileInvalid");
    ASSERT_NE(invalid, nullptr);
    EXPECT_TRUE(editor::widgetTooltip(*invalid).contains(": invalid (")) << editor::widgetTooltip(*invalid).toStdString();

    // What the list shows when the pointer rests on the item.
    QTreeWidgetItem* item = host.panel()->itemOf(tile);
    ASSERT_NE(item, nullptr);
    const QString shown = item->data(0, Qt::ToolTipRole).toString();
    EXPECT_TRUE(shown.contains("nothing_here.dds or Art/UI/Textures/nothing_here.tga), drawn as the magenta placeholder"))
        << shown.toStdString();

    // A font whose description file is missing falls back.
    screens->goBack();
    screens->choose("Art\\UI\\Screens\\Credits.screen");
    auto& credits = dynamic_cast<editor::ScreenHost&>(*screens->detail());
    const screen::Widget* fallback = credits.view().findWidget("FontMissing");
    ASSERT_NE(fallback, nullptr);
    const QString fontText = editor::widgetTooltip(*fallback);
    EXPECT_TRUE(fontText.contains("text \"trajan_18: the standard face\" \u2192 \"trajan_18: the standard face\""))
        << fontText.toStdString();
    EXPECT_TRUE(fontText.contains("  font \"trajan_18\": fell back to Microsoft Sans Serif, 16 DIPs"))
        << fontText.toStdString();
    EXPECT_TRUE(fontText.contains("  textColourTop ") && fontText.contains(" from \"ember\""))
        << fontText.toStdString();
    EXPECT_TRUE(fontText.contains("  horzAlign 0 (leading), vertAlign 2 (centre)")) << fontText.toStdString();
    const screen::Widget* found = credits.view().findWidget("FontSerif");
    ASSERT_NE(found, nullptr);
    EXPECT_TRUE(editor::widgetTooltip(*found).contains("  font \"serif_12\": DejaVu Serif, "))
        << editor::widgetTooltip(*found).toStdString();
}

TEST_F(InspectionTest, ThePreviewSizeHoldsForTheRunAndTheBandNamesIt)
{
    editor::ScreenHost& host = openSample("lobby.screen");
    EXPECT_EQ(screens->band()->textLayout().text(), u"Art\\UI\\Screens\\lobby.screen");
    host.setPreviewSize({1280, 720});
    EXPECT_EQ(screens->band()->textLayout().text(), u"Art\\UI\\Screens\\lobby.screen  at 1280 \u00d7 720");

    screens->goBack();
    screens->choose("Art\\UI\\Screens\\mainmenu.screen");
    auto& next = dynamic_cast<editor::ScreenHost&>(*screens->detail());
    EXPECT_EQ(next.view().width(), 1280);
    EXPECT_EQ(next.view().height(), 720);
    EXPECT_EQ(screens->band()->textLayout().text(), u"Art\\UI\\Screens\\mainmenu.screen  at 1280 \u00d7 720");

    // The window shows the view letterboxed on grey; a look at it is left in the build folder.
    next.setPreviewSize({2560, 1080});
    QApplication::processEvents();
    const QImage shot = window->widget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    shot.save(QString::fromStdString(std::string(TISE_BIN_DIR) + "/../preview-2560x1080.png"));
    const QPoint top = windowPointOf(next, 1280.0f, -5.0f / next.frame().placement().scale);
    const QPoint inside = windowPointOf(next, 1280.0f, 540.0f);
    EXPECT_EQ(QColor(shot.pixel(top)), QColor(128, 128, 128));
    EXPECT_NE(QColor(shot.pixel(inside)), QColor(128, 128, 128));

    next.setPreviewSize({});
    EXPECT_EQ(screens->band()->textLayout().text(), u"Art\\UI\\Screens\\mainmenu.screen");
    EXPECT_EQ(next.view().width(), next.width());
    EXPECT_EQ(next.view().height(), next.height());
}

// A text across the left half of the view in the font "body" (12 DIPs at a
// reference width of 1024, 9 at 800).
const char* const Caption = R"(
    Screen = { Widgets = { name = 'Root', Children = {
        { name = 'Caption', size = { 0.5, 0.2 }, text = 'Preview',
          Presentation = { Art = { { type = 'Text', fontname = 'body', states = { 'Normal' } } } } },
    } } })";

TEST(PreviewSizes, EachGivesAViewOfExactlyThatAspectAndThatSizesFontScale)
{
    HostedScreen shown(Caption, 900, 600);
    editor::ScreenHost& host = *shown.host;
    const screen::Widget& caption = *host.view().findWidget("Caption");

    ASSERT_EQ(editor::previewSizes().size(), 8u);
    for (const editor::PreviewSize size : editor::previewSizes()) {
        const std::string what = std::to_string(size.width) + "x" + std::to_string(size.height);
        host.setPreviewSize(size);
        EXPECT_EQ(host.view().width(), size.width) << what;
        EXPECT_EQ(host.view().height(), size.height) << what;
        const editor::PreviewPlacement& at = host.frame().placement();
        const float shownWidth = size.width * at.scale, shownHeight = size.height * at.scale;
        EXPECT_NEAR(shownWidth / shownHeight, float(size.width) / size.height, 1e-5) << what;
        EXPECT_LE(at.scale, 1.0f) << what;
        EXPECT_TRUE(std::abs(shownWidth - 900) < 0.01f || std::abs(shownHeight - 600) < 0.01f) << what;
        EXPECT_NEAR(at.x * 2 + shownWidth, 900, 0.01) << what << ": centred";
        EXPECT_NEAR(at.y * 2 + shownHeight, 600, 0.01) << what;

        // The font's size table read at that size's reference width: 12 DIPs
        // at 1024, 9 at 800, on the line through both beyond them.
        const float reference = std::sqrt(size.width * size.height * 4.0f / 3.0f);
        const float expected = 9.0f + (reference - 800.0f) * (3.0f / 224.0f);
        const screen::WidgetReport report = screen::reportWidget(caption);
        ASSERT_EQ(report.art.size(), 1u);
        EXPECT_NEAR(report.art[0].fontSize, expected, 1e-3) << what;

        // Drawn, the text is laid out across half of the chosen width, not of the shown one.
        gfx::BitmapRenderTarget target(shown.module.graphics, 900, 600);
        target.beginDraw();
        target.setTransform(gfx::Matrix::identity());
        host.paint(target);
        target.endDraw();
        const auto& text = dynamic_cast<const screen::TextArt&>(*caption.artItems()[0]);
        ASSERT_NE(text.layout(), nullptr) << what;
        EXPECT_NEAR(text.layout()->maxWidth() * (expected / 12.0f), size.width / 2.0f, 0.01) << what;
    }
}

const char* const OneWidget = "Screen = { Widgets = { name = 'Root', Children = { { name = 'first' } } } }";

std::vector<QString> actionTexts(const QMenu& menu)
{
    std::vector<QString> texts;
    for (const QAction* action : menu.actions())
        texts.push_back(action->text());
    return texts;
}

const QAction* actionNamed(const QMenu& menu, const QString& text)
{
    for (const QAction* action : menu.actions())
        if (action->text() == text)
            return action;
    ADD_FAILURE() << "no action " << text.toStdString();
    return nullptr;
}

TEST(ViewMenu, OffersFitTheSizesThePictureAndReloadAndCarriesThemOut)
{
    HostedScreen shown(OneWidget, 640, 480);
    editor::ScreenHost& host = *shown.host;

    std::unique_ptr<QMenu> menu = editor::makeViewMenu(host);
    EXPECT_EQ(actionTexts(*menu), (std::vector<QString>{"Fit window", "800 \u00d7 600", "1024 \u00d7 768",
                                                        "1280 \u00d7 720", "1366 \u00d7 768", "1600 \u00d7 900",
                                                        "1920 \u00d7 1080", "2560 \u00d7 1080", "2560 \u00d7 1440", "",
                                                        "Copy Picture", "Save Picture\u2026", "", "Problems (0)",
                                                        "Reload"}));
    EXPECT_EQ(menu->defaultAction(), menu->actions()[0]);
    EXPECT_TRUE(menu->actions()[0]->isChecked());

    editor::choose(host, *actionNamed(*menu, "1366 \u00d7 768"));
    EXPECT_EQ(editor::runPreviewSize(), (editor::PreviewSize{1366, 768}));
    EXPECT_EQ(host.view().width(), 1366);
    menu = editor::makeViewMenu(host);
    EXPECT_TRUE(actionNamed(*menu, "1366 \u00d7 768")->isChecked());
    EXPECT_FALSE(menu->actions()[0]->isChecked());

    editor::choose(host, *actionNamed(*menu, "Fit window"));
    EXPECT_TRUE(editor::runPreviewSize().fitsWindow());
    EXPECT_EQ(host.view().width(), 640);

    // The right button opens the menu.
    int seen = 0;
    QTimer::singleShot(0, [&] {
        if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            seen = static_cast<int>(popup->actions().size());
            popup->close();
        }
    });
    host.press(10, 10, ui::RightButton);
    EXPECT_EQ(seen, 15);
}

} // namespace

namespace {

// Two siblings over the same square, the later one in front; a child over
// the left half of the front one.
const char* const Stacked = R"(
    Screen = { Widgets = { name = 'Root', Children = {
        { name = 'under', position = { 0.25, 0.25 }, size = { 0.5, 0.5 },
          Presentation = { Art = { { type = 'Rectangle', colour = 'red', states = { 'Normal' } } } } },
        { name = 'over', position = { 0.25, 0.25 }, size = { 0.5, 0.5 },
          Presentation = { Art = { { type = 'Rectangle', colour = 'blue', states = { 'Normal' } } } },
          Children = { { name = 'child', size = { 0.25, 0.5 },
                         Presentation = { Art = { { type = 'Rectangle', colour = 'red', states = { 'Normal' } } } } } } },
    } } })";

TEST(Picking, FindsTheUpperWidgetAsHoveringDoesAndTheScreenItemOnNone)
{
    HostedScreen shown(Stacked, 400, 400);
    editor::ScreenHost& host = *shown.host;
    screen::ScreenView& view = host.view();
    struct Case {
        float x, y;
        const char* widget; // null: none
    };
    const auto check = [&](const std::vector<Case>& cases, const std::string& when) {
        for (const Case& c : cases) {
            const screen::Widget* picked = editor::pickWidget(host, c.x, c.y);
            EXPECT_EQ(picked, c.widget ? view.findWidget(c.widget) : nullptr)
                << when << " at " << c.x << ", " << c.y << ": " << (picked ? picked->name() : "none");
        }
    };
    check({{250, 200, "over"}, {150, 200, "child"}, {50, 50, nullptr}}, "all shown");
    view.findWidget("over")->setVisible(false);
    check({{250, 200, "under"}, {150, 200, "under"}}, "the upper one hidden");

    // Selecting in the panel: the item, its ancestors open; none: the screen item.
    editor::WidgetTreePanel& panel = *host.panel();
    panel.tree().collapseAll();
    editor::selectInPanel(host, view.findWidget("child"));
    EXPECT_EQ(panel.tree().currentItem(), panel.itemOf(view.findWidget("child")));
    EXPECT_TRUE(panel.itemOf(view.findWidget("over"))->isExpanded());
    EXPECT_EQ(view.emphasizedWidget(), view.findWidget("child"));
    editor::selectInPanel(host, nullptr);
    EXPECT_EQ(panel.tree().currentItem(), panel.tree().topLevelItem(0));
    EXPECT_EQ(view.emphasizedWidget(), nullptr);

    // In a letterboxed preview the point is mapped through the scale.
    host.setPreviewSize({800, 600});
    const editor::PreviewPlacement& at = host.frame().placement();
    check({{at.x + 500 * at.scale, at.y + 300 * at.scale, "under"}, {at.x + 10 * at.scale, at.y - 5, nullptr}},
          "at 800 x 600");
}

} // namespace
