// A kept frame brought up to date after the pointer moves (only what the
// move changed painted again) is, to the bit, the frame a full repaint
// draws. The pointer visits every widget of a screen in turn and leaves, on
// the sample installation's screens and on one made to be hard: art that
// shows only under the pointer and reaches outside its widget, text larger
// than its box, tooltips in both trees, a custom widget, a hidden widget,
// with and without a widget emphasized.

#include "test_module.h"

#include "data/folder_entries.h"
#include "data/mount_module.h"
#include "gfx/bitmap_render_target.h"
#include "screen/offscreen_screen.h"
#include "screen/widget.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// Every widget, depth first in Lua order, widgets then tooltips.
std::vector<screen::Widget*> widgetsOf(const screen::ScreenView& view)
{
    std::vector<screen::Widget*> all;
    std::function<void(screen::Widget*)> visit = [&](screen::Widget* widget) {
        if (!widget)
            return;
        all.push_back(widget);
        for (auto child = widget->children().rbegin(); child != widget->children().rend(); ++child)
            visit(*child);
    };
    visit(view.widgetsRoot());
    visit(view.tooltipRoot());
    return all;
}

struct Compared {
    int moves = 0;
    int partial = 0; // moves after which only part of the frame was painted again
};

// Moves the pointer over each widget in turn, then back over the first few
// and off the screen; after each move the kept frame must be what a full
// repaint draws.
Compared compareAfterEachMove(screen::OffscreenScreen& shown, const gfx::GraphicsContext& graphics)
{
    gfx::BitmapRenderTarget fresh(graphics, shown.width(), shown.height());
    fresh.setRetainedDrawing(false);
    shown.update();
    std::vector<screen::Widget*> moves = widgetsOf(shown.view());
    for (std::size_t i = 0; i < 3 && i < moves.size(); ++i)
        moves.push_back(moves[moves.size() - 1 - 2 * i]);
    moves.push_back(nullptr);
    Compared compared;
    for (screen::Widget* widget : moves) {
        SCOPED_TRACE(widget ? "over " + widget->name() : std::string("off the screen"));
        shown.setHover(widget);
        compared.partial += !shown.root().damage().all && shown.needsUpdate();
        for (int pass = 0; pass < 4 && shown.needsUpdate(); ++pass)
            shown.update();
        EXPECT_FALSE(shown.needsUpdate()) << "the frame settles";
        const gfx::BitmapPtr kept = shown.update().bitmap();
        shown.paint(fresh);
        const gfx::BitmapPtr full = fresh.bitmap();
        int differing = 0;
        for (std::size_t p = 0; p < kept->pixels.size(); p += 4)
            differing += std::memcmp(&kept->pixels[p], &full->pixels[p], 4) != 0;
        if (differing) {
            ADD_FAILURE() << differing << " pixels differ from a full repaint";
            return compared;
        }
        ++compared.moves;
    }
    return compared;
}

const char* const HardScreen = R"(
Screen = {
    TooltipWidgets = { name = 'tips', Children = {
        { name = 'tip', position = { 0.55, 0.05 }, size = { 0.4, 0.1 }, Presentation = { Art = {
            { type = 'Rectangle', colour = 'blue', states = { 'Normal', 'Hover' } },
            { type = 'Text', fontname = 'body', dropShadow = true, multiline = false, states = { 'Normal' } } } } },
    } },
    Widgets = { name = 'root', Children = {
        -- A tooltip painted before the widgets that name it.
        { name = 'early tip', position = { 0.05, 0.85 }, size = { 0.3, 0.05 }, Presentation = { Art = {
            { type = 'Text', fontname = 'plain', textColourTop = 'red', states = { 'Normal', 'Hover' } } } } },
        { name = 'a', text = 'Alpha', tooltip_name = 'tip', tooltip_text = 'Tooltip of a, long enough to overflow',
          position = { 0.1, 0.2 }, size = { 0.2, 0.05 }, Presentation = { Art = {
            { type = 'Rectangle', colour = 'half_green', position = { -0.5, -1 }, size = { 2, 3 }, states = { 'Hover' } },
            { type = 'Text', fontname = 'body', dropShadow = true, states = { 'Normal', 'Hover' } } } } },
        { name = 'b', text = 'Beta is a text far wider than its little box', tooltip_name = 'early tip',
          tooltip_text = 'early', position = { 0.15, 0.22 }, size = { 0.05, 0.02 }, Presentation = { Art = {
            { type = 'Text', fontname = 'plain', multiline = false, textColourTop = 'blue', states = { 'Hover' } },
            { type = 'Line', colour = 'red', p1 = { 0, 0 }, p2 = { 3, 2 }, states = { 'Normal' } } } } },
        { name = 'c', type = 'Custom', position = { 0.6, 0.5 }, size = { 0.3, 0.3 } },
        { name = 'd', text = 'Hidden', visible = false, tooltip_name = 'tip', tooltip_text = 'never',
          position = { 0.4, 0.6 }, size = { 0.1, 0.1 }, Presentation = { Art = {
            { type = 'Rectangle', colour = 'red', states = { 'Hover' } } } } },
        { name = 'e', tooltip_name = 'tip', tooltip_text = 'from e', position = { 0.3, 0.4 }, size = { 0.2, 0.2 },
          Children = {
            { name = 'f', text = 'Inner', position = { 0.25, 0.25 }, size = { 0.5, 0.5 }, Presentation = { Art = {
                { type = 'Rectangle', rectangleType = 'Border', colour = 'red', states = { 'Hover' } },
                { type = 'Text', fontname = 'body', states = { 'Normal', 'Hover' } } } } },
          }, Presentation = { Art = {
            { type = 'Rectangle', colour = 'blue', states = { 'Hover' } } } } },
    } },
}
)";

TEST(PartialRepaint, TheHardScreenEqualsAFullRepaintAfterEveryMove)
{
    for (const bool emphasized : {false, true}) {
        SCOPED_TRACE(emphasized ? "with a widget emphasized" : "plain");
        ScreenTest::TestModule module;
        screen::OffscreenScreen shown(ScreenTest::loadScreen(module, HardScreen), 640, 480);
        if (emphasized) {
            shown.view().setEmphasizedWidget(shown.view().findWidget("e"));
            shown.view().setEmphasisFade(0.25f);
        }
        const Compared compared = compareAfterEachMove(shown, module.graphics);
        EXPECT_EQ(compared.moves, 14) << "ten widgets, three back, and off";
        EXPECT_GE(compared.partial, 6) << "moves between widgets repaint part of the frame";
    }
}

TEST(PartialRepaint, EverySampleScreenEqualsAFullRepaintAfterEveryMove)
{
    const gfx::GraphicsContext graphics;
    Compared compared;
    for (const char* moduleFile : {"Ironveil.module", "Emberwake.module"}) {
        Mod::ModContext module;
        Mod::MountModule(module, std::string(TISE_SAMPLE_DIR) + "/" + moduleFile);
        for (const std::string& name :
             Mod::folderEntries(*module.source, std::string(Mod::ScreensFolder), ".screen")) {
            SCOPED_TRACE(std::string(moduleFile) + " " + name);
            std::unique_ptr<screen::ScreenView> view;
            try {
                view = std::make_unique<screen::ScreenView>(graphics, module, std::string(Mod::ScreensFolder) + name);
            } catch (const std::exception&) {
                continue; // the sample's broken screens
            }
            screen::OffscreenScreen shown(std::move(view), 1024, 768);
            const Compared one = compareAfterEachMove(shown, graphics);
            compared.moves += one.moves;
            compared.partial += one.partial;
        }
    }
    EXPECT_GT(compared.moves, 100);
    EXPECT_GT(compared.partial, 50) << "moves between widgets repaint part of the frame";
}

} // namespace
