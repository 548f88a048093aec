#include "ui/scroll_view.h"

#include "gfx/graphics_context.h"
#include "gfx/render_target.h"
#include "test_controls.h"
#include "ui/scroll_bar.h"

#include <gtest/gtest.h>

#include <QImage>

namespace {

using namespace UiTest;

// A 100 × 100 view at the root's top left over 100 × 400 of content.
class ScrollViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        root.setBounds(0, 0, 200, 200);
        view = add<ui::ScrollView>(root, 0, 0, 100, 100);
        content = add(*view, 0, 0, 100, 400, gfx::Color{0, 1, 0, 1});
        content->passScrollOn = true;
        view->setContentSize(100, 400);
    }
    ui::ScrollBar& bar() { return view->verticalBar(); }
    // The root drawn into a 200 × 200 image.
    QImage render()
    {
        const gfx::GraphicsContext graphics;
        return paintedImage(graphics, root, 200, 200);
    }

    CountingRoot root;
    ui::ScrollView* view = nullptr;
    Box* content = nullptr;
};

TEST_F(ScrollViewTest, BarsComeFirstAndContentComesAfterThem)
{
    ASSERT_EQ(view->children().size(), 3u);
    EXPECT_EQ(view->children()[0].get(), &view->horizontalBar());
    EXPECT_EQ(view->children()[1].get(), &view->verticalBar());
    EXPECT_EQ(bar().transform().dx, 94);
    EXPECT_EQ(view->horizontalBar().transform().dy, 94);
}

TEST_F(ScrollViewTest, ThumbGeometryFollowsTheOffset)
{
    EXPECT_TRUE(bar().visible());
    EXPECT_FALSE(view->horizontalBar().visible()); // content exactly as wide as the view
    EXPECT_FLOAT_EQ(bar().ratio(), 400.0f / 92.0f);
    EXPECT_FLOAT_EQ(bar().halfLength(), 11.5f);
    EXPECT_FLOAT_EQ(bar().thumbCentre().x, 0);
    EXPECT_FLOAT_EQ(bar().thumbCentre().y, 15.5f);

    EXPECT_FLOAT_EQ(bar().scrollBy(100), 0);
    EXPECT_FLOAT_EQ(bar().offset(), 100);
    // In the view the thumb starts at 4 + 100 × 92 / 400 = 27.
    EXPECT_FLOAT_EQ(bar().thumbCentre().y - bar().offset(), 27 + 11.5f);
}

TEST_F(ScrollViewTest, OffsetsAreClampedAndTheLeftoverGoesToTheParent)
{
    struct Case {
        float delta, offset, toParent;
    };
    const Case cases[] = {
        {250, 250, 0},     // fits
        {100, 300, 50},    // stops at content − viewport
        {100, 300, 100},   // at the bottom: all of it
        {-1000, 0, -700},  // back to the top
        {-5, 0, -5},       // at the top
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.delta);
        root.scrolls.clear();
        view->scroll(0, c.delta);
        EXPECT_FLOAT_EQ(bar().offset(), c.offset);
        if (c.toParent == 0) {
            EXPECT_TRUE(root.scrolls.empty());
        } else {
            ASSERT_EQ(root.scrolls.size(), 1u);
            EXPECT_FLOAT_EQ(root.scrolls[0].x, 0);
            EXPECT_FLOAT_EQ(root.scrolls[0].y, c.toParent);
        }
    }
}

TEST_F(ScrollViewTest, ContentMovesByWholeDips)
{
    view->setBounds(3, 5, 100, 100);
    bar().scrollBy(10.7f);
    EXPECT_FLOAT_EQ(view->transform().dx, 3);
    EXPECT_FLOAT_EQ(view->transform().dy, 5 - 10);
}

TEST_F(ScrollViewTest, WheelOverTheContentScrollsTheView)
{
    root.pointerMove({50, 50}, 0);
    ASSERT_EQ(root.hoverTarget(), content);
    root.wheel(0, -120);
    EXPECT_FLOAT_EQ(bar().offset(), 60);
    EXPECT_TRUE(root.scrolls.empty());
    // The content has moved up under the pointer.
    root.pointerMove({50, 50}, 0);
    EXPECT_EQ(root.hoverTarget(), content);
}

TEST_F(ScrollViewTest, HitTestIsTheVisibleWindowOnlyWhileABarShows)
{
    content->setBounds(0, 0, 50, 400);
    EXPECT_EQ(view->hitTest(80, 50).value(), ui::HitResult::Hit); // beside the content, but in view
    bar().scrollBy(200);
    EXPECT_EQ(view->hitTest(80, 250).value(), ui::HitResult::Hit);
    EXPECT_EQ(view->hitTest(80, 50).value(), ui::HitResult::Miss); // scrolled out of the window

    view->setContentSize(100, 80); // fits: the container's rule
    EXPECT_FALSE(bar().visible());
    EXPECT_FLOAT_EQ(bar().offset(), 0);
    EXPECT_EQ(view->hitTest(80, 50).value(), ui::HitResult::Miss);
    EXPECT_EQ(view->hitTest(20, 50).value(), ui::HitResult::Hit);
}

TEST_F(ScrollViewTest, DraggingTheThumbCarriesWhatOvershootsAnEnd)
{
    const float x = 94, y = 15.5f; // the thumb's centre in the window
    EXPECT_TRUE(root.pointerMove({x, y}, 0)); // hand over the thumb
    EXPECT_EQ(root.hoverTarget(), &bar());
    root.buttonPress({x, y}, ui::LeftButton);
    ASSERT_TRUE(root.isDragging());

    EXPECT_TRUE(root.pointerMove({x, y + 46}, ui::HeldLeft));
    EXPECT_NEAR(bar().offset(), 200, 0.01);
    root.pointerMove({x, y + 200}, ui::HeldLeft); // far past the end
    EXPECT_FLOAT_EQ(bar().offset(), 300);
    root.pointerMove({x, y + 100}, ui::HeldLeft); // back, but not yet to where the thumb stopped
    EXPECT_FLOAT_EQ(bar().offset(), 300);
    root.pointerMove({x, y + 60}, ui::HeldLeft); // 9 past that point
    EXPECT_NEAR(bar().offset(), 300 - 9 * 400.0f / 92.0f, 0.01);
    root.pointerMove({x, y + 60}, 0);
    EXPECT_FALSE(root.isDragging());
}

TEST_F(ScrollViewTest, OtherButtonsDoNotDragTheThumb)
{
    root.buttonPress({94, 15.5f}, ui::RightButton);
    EXPECT_FALSE(root.isDragging());
    EXPECT_EQ(root.focusTarget(), &bar());
}

TEST_F(ScrollViewTest, BarsAreDrawnOnlyWhileThePointerIsOverTheView)
{
    root.pointerMove({50, 50}, 0);
    const QImage hovered = render();
    const QColor thumb = hovered.pixelColor(94, 15);
    EXPECT_NEAR(thumb.green(), 128, 3); // half-transparent black over green
    EXPECT_EQ(thumb.red(), 0);
    EXPECT_EQ(hovered.pixelColor(94, 60), QColor(0, 255, 0)); // below the thumb

    root.pointerMove({150, 50}, 0); // off the view
    const QImage away = render();
    EXPECT_EQ(away.pixelColor(94, 15), QColor(0, 255, 0));
    EXPECT_EQ(away.pixelColor(150, 50), QColor(255, 255, 255));
}

TEST_F(ScrollViewTest, ADraggedThumbStaysDrawnAndFollowsThePointerOutsideTheWindow)
{
    const float x = 94, y = 15.5f; // the thumb's centre
    root.pointerMove({x, y}, 0);
    root.buttonPress({x, y}, ui::LeftButton);
    root.pointerMove({x + 150, y + 46}, ui::HeldLeft); // right of the 200 × 200 window
    EXPECT_NEAR(bar().offset(), 200, 0.01) << "the thumb follows the pointer along its axis";
    EXPECT_TRUE(view->isHovered());
    const QImage dragged = render();
    EXPECT_NEAR(dragged.pixelColor(94, 15 + 46).green(), 128, 3) << "the thumb is drawn where it went";
    EXPECT_EQ(dragged.pixelColor(94, 15), QColor(0, 255, 0));

    root.pointerMove({x + 150, y + 46}, 0); // released outside
    EXPECT_FALSE(root.isDragging());
    EXPECT_FALSE(view->isHovered());
    EXPECT_EQ(render().pixelColor(94, 15 + 46), QColor(0, 255, 0)) << "after the release the pointer is away";
}

TEST_F(ScrollViewTest, PaintingIsClippedToTheView)
{
    gfx::GraphicsContext graphics;
    QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
    gfx::RenderTarget target(graphics, image);
    bar().scrollBy(50);
    target.beginDraw();
    root.paint(target);
    target.endDraw();
    EXPECT_EQ(image.pixelColor(20, 99), QColor(0, 255, 0));
    EXPECT_EQ(image.pixelColor(20, 101), QColor(255, 255, 255)); // content goes on, but not here
}

} // namespace
