// Drawing kept between frames gives, to the bit, what drawing afresh gives.
// Every screen of the sample installation (both modules) at three sizes, as
// it shows, with a widget under the pointer (its hover art and tooltip) and
// with one emphasized (drawn through the dimming layer), is drawn three
// times on one target (afresh, then making the pictures, then laying them
// down) and each frame compared with a target that keeps nothing, which
// draws every call as it always has.

#include "data/folder_entries.h"
#include "data/mount_module.h"
#include "gfx/bitmap_render_target.h"
#include "gfx/graphics_context.h"
#include "screen/offscreen_screen.h"
#include "screen/screen_view.h"
#include "screen/widget.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

enum class Look { Plain, Hovered, Emphasized };
const char* nameOf(Look look)
{
    switch (look) {
    case Look::Plain: return "plain";
    case Look::Hovered: return "hovered";
    case Look::Emphasized: return "emphasized";
    }
    return "";
}

// The first widget of the tree, depth first, that has a tooltip, else the
// first with art: the one to hover or emphasize.
screen::Widget* interesting(screen::Widget* widget, bool wantTooltip)
{
    if (!widget)
        return nullptr;
    if (wantTooltip ? widget->tooltipWidget() != nullptr : !widget->artItems().empty())
        return widget;
    for (screen::Widget* child : widget->children())
        if (screen::Widget* found = interesting(child, wantTooltip))
            return found;
    return nullptr;
}

// The number of pixels in which two pictures of one size differ.
int differingPixels(const gfx::Bitmap& a, const gfx::Bitmap& b)
{
    int count = 0;
    for (std::size_t i = 0; i < a.pixels.size(); i += 4)
        count += std::memcmp(&a.pixels[i], &b.pixels[i], 4) != 0;
    return count;
}

class RetainedDrawingTest : public testing::TestWithParam<Look> {};

TEST_P(RetainedDrawingTest, EverySampleScreenKeptIsDrawnAsAfresh)
{
    const Look look = GetParam();
    const gfx::GraphicsContext graphics;
    int compared = 0;
    for (const auto& [width, height] : {std::pair{800, 600}, {1280, 720}, {1917, 1083}}) {
        // One pair of targets per size, as a window keeps its own.
        gfx::BitmapRenderTarget kept(graphics, width, height), afresh(graphics, width, height), warmUp(graphics, width, height);
        afresh.setRetainedDrawing(false);
        warmUp.setRetainedDrawing(false);
        for (const char* moduleFile : {"Ironveil.module", "Emberwake.module"}) {
            Mod::ModContext module;
            Mod::MountModule(module, std::string(TISE_SAMPLE_DIR) + "/" + moduleFile);
            for (const std::string& name :
                 Mod::folderEntries(*module.source, std::string(Mod::ScreensFolder), ".screen")) {
                SCOPED_TRACE(std::string(moduleFile) + " " + name + " " + std::to_string(width) + "x" +
                             std::to_string(height));
                std::unique_ptr<screen::ScreenView> view;
                try {
                    view = std::make_unique<screen::ScreenView>(graphics, module, std::string(Mod::ScreensFolder) + name);
                } catch (const std::exception&) {
                    continue; // the sample's broken screens
                }
                screen::OffscreenScreen shown(std::move(view), width, height);
                if (look == Look::Hovered)
                    shown.setHover(interesting(shown.view().widgetsRoot(), true));
                if (look == Look::Emphasized) {
                    shown.view().setEmphasizedWidget(interesting(shown.view().widgetsRoot(), false));
                    shown.view().setEmphasisFade(0.25f);
                }
                // The text system draws a glyph at a new size slightly
                // differently the first time (it fills its caches): both
                // targets compare the drawing that follows.
                shown.paint(warmUp);
                // Frame 1 draws afresh on both; frame 2 makes the pictures,
                // frame 3 lays them down.
                shown.paint(kept);
                for (int frame = 2; frame <= 3; ++frame) {
                    shown.paint(afresh);
                    shown.paint(kept);
                    ASSERT_EQ(differingPixels(*afresh.bitmap(), *kept.bitmap()), 0) << "frame " << frame;
                }
                ++compared;
            }
        }
    }
    EXPECT_EQ(compared, 2 * 6 * 3) << "both modules' six good screens at three sizes";
}

INSTANTIATE_TEST_SUITE_P(Looks, RetainedDrawingTest, testing::Values(Look::Plain, Look::Hovered, Look::Emphasized),
                         [](const testing::TestParamInfo<Look>& info) { return std::string(nameOf(info.param)); });

} // namespace
