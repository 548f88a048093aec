#include "ui/container_control.h"
#include "ui/control.h"
#include "ui/root_control.h"

#include "gfx/render_target.h"
#include "gfx/graphics_context.h"
#include "test_controls.h"

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>

namespace {

using namespace UiTest;
using ui::HitResult;

TEST(ControlTest, StartsDetachedAt64By64AndSetBoundsPlacesIt)
{
    Box box;
    EXPECT_EQ(box.parent(), nullptr);
    EXPECT_EQ(box.width(), 64);
    EXPECT_EQ(box.height(), 64);
    EXPECT_TRUE(box.transform().isIdentity());
    box.setBounds(5, 7, 20, 30);
    EXPECT_EQ(box.transform().dx, 5);
    EXPECT_EQ(box.transform().dy, 7);
    EXPECT_EQ(box.width(), 20);
    EXPECT_EQ(box.height(), 30);
}

TEST(ControlTest, MapsPointsThroughTheInverseOfTheChildTransform)
{
    struct Turned : Box {
        gfx::Matrix m;
        const gfx::Matrix& transform() const override { return m; }
    };
    Turned child;
    child.m = {0, -1, 1, 0, 10, 110}; // a quarter turn standing at x 10, bottom 110
    const gfx::Point p = ui::mapToChild(child, 15, 100);
    EXPECT_FLOAT_EQ(p.x, 10); // 10 up from the bottom
    EXPECT_FLOAT_EQ(p.y, 5);  // 5 right of the left edge
    child.m = {2, 0, 0, 2, 4, 6};
    const gfx::Point q = ui::mapToChild(child, 24, 46);
    EXPECT_FLOAT_EQ(q.x, 10);
    EXPECT_FLOAT_EQ(q.y, 20);
    child.m = {0, 0, 0, 0, 0, 0}; // singular: never hit
    const gfx::Point r = ui::mapToChild(child, 1, 1);
    EXPECT_FALSE(std::isfinite(r.x) && std::isfinite(r.y));
    EXPECT_FALSE(static_cast<bool>(child.hitTest(r.x, r.y)));
}

TEST(ContainerControlTest, AddRemoveAndClearKeepOwnershipStraight)
{
    ui::ContainerControl first, second;
    Box* a = add(first, 0, 0, 10, 10);
    Box* b = add(first, 0, 0, 10, 10);
    Box* c = add(first, 0, 0, 10, 10);
    EXPECT_EQ(a->parent(), &first);

    std::unique_ptr<ui::Control> removed = first.removeChild(b);
    ASSERT_EQ(removed.get(), b);
    EXPECT_EQ(b->parent(), &first); // still named, though no longer owned
    ASSERT_EQ(first.children().size(), 2u);
    EXPECT_EQ(first.children()[0].get(), a);
    EXPECT_EQ(first.children()[1].get(), c);
    EXPECT_EQ(first.removeChild(b), nullptr);

    second.addChild(std::move(removed));
    EXPECT_EQ(b->parent(), &second);

    // Destroying a child takes it out of its parent.
    second.clearChildren();
    EXPECT_TRUE(second.children().empty());
    first.removeChild(a).reset();
    ASSERT_EQ(first.children().size(), 1u);
    EXPECT_EQ(first.children()[0].get(), c);
}

TEST(ContainerControlTest, IsHitOnlyWhereAChildIs)
{
    ui::ContainerControl container;
    container.setBounds(0, 0, 100, 100);
    add(container, 10, 10, 20, 20);
    EXPECT_EQ(container.hitTest(15, 15).value(), HitResult::Hit);
    EXPECT_EQ(container.hitTest(50, 50).value(), HitResult::Miss);
    EXPECT_EQ(container.hitTest(150, 15).value(), HitResult::Miss);
    EXPECT_EQ(container.hitTarget(50, 50), nullptr);
}

class RootTest : public testing::Test {
protected:
    void SetUp() override { root.setBounds(0, 0, 200, 200); }
    bool move(float x, float y, unsigned held = 0) { return root.pointerMove({x, y}, held); }
    void press(float x, float y, ui::MouseButton button = ui::LeftButton) { root.buttonPress({x, y}, button); }

    CountingRoot root;
};

TEST_F(RootTest, FrontChildGetsHoverPressCursorAndIsPaintedOnTop)
{
    gfx::GraphicsContext graphics;
    Box* front = add(root, 0, 0, 50, 50, gfx::Color{1, 0, 0, 1});
    Box* back = add(root, 25, 25, 50, 50, gfx::Color{0, 0, 1, 1});

    EXPECT_TRUE(move(30, 30));
    EXPECT_EQ(root.hoverTarget(), front);
    press(30, 30);
    move(30, 30, 0);
    EXPECT_EQ(front->clicks, 1);
    EXPECT_EQ(back->clicks, 0);
    EXPECT_TRUE(back->presses.empty());

    QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
    gfx::RenderTarget target(graphics, image);
    target.beginDraw();
    root.paint(target);
    target.endDraw();
    EXPECT_EQ(image.pixelColor(30, 30), QColor(255, 0, 0));   // overlap: the front one
    EXPECT_EQ(image.pixelColor(70, 70), QColor(0, 0, 255));   // only the back one
    EXPECT_EQ(image.pixelColor(90, 10), QColor(255, 255, 255)); // the root's white
    EXPECT_TRUE(target.transform().isIdentity());
}

TEST_F(RootTest, HoverMarksTargetAndAncestorsAndClearsThePrevious)
{
    Box* outer = add(root, 0, 0, 100, 100);
    Box* inner = add(*outer, 10, 10, 20, 20);
    Box* other = add(root, 120, 0, 50, 50);

    root.repaints = 0;
    move(15, 15);
    EXPECT_EQ(root.hoverTarget(), inner);
    EXPECT_EQ(inner->hoverState(), 3u);
    EXPECT_EQ(outer->hoverState(), 2u);
    EXPECT_EQ(root.hoverState(), 2u);
    EXPECT_EQ(root.repaints, 1);

    move(16, 16); // same target: nothing to repaint
    EXPECT_EQ(root.repaints, 1);

    move(130, 10);
    EXPECT_EQ(root.hoverTarget(), other);
    EXPECT_EQ(inner->hoverState(), 0u);
    EXPECT_EQ(outer->hoverState(), 0u);
    EXPECT_EQ(other->hoverState(), 3u);
    EXPECT_EQ(root.repaints, 2);

    EXPECT_FALSE(move(190, 190)); // nothing there: the root itself, arrow cursor
    EXPECT_EQ(root.hoverTarget(), &root);
    EXPECT_EQ(root.hoverState(), 3u);
    EXPECT_EQ(other->hoverState(), 0u);
}

TEST_F(RootTest, ClickFiresOnlyWhenReleasedOverTheOwner)
{
    Box* row = add(root, 0, 0, 100, 20);

    press(10, 10);
    EXPECT_TRUE(root.isDragging());
    EXPECT_TRUE(move(12, 12, ui::HeldLeft)); // still over it: hand
    move(12, 12, 0);
    EXPECT_EQ(row->clicks, 1);
    EXPECT_FALSE(root.isDragging());

    press(10, 10);
    EXPECT_FALSE(move(10, 100, ui::HeldLeft)); // off the row: the drag says arrow
    move(10, 100, 0);                          // released off the row
    EXPECT_EQ(row->clicks, 1);

    press(10, 10);
    move(10, 100, ui::HeldLeft);
    move(50, 15, ui::HeldLeft); // back on before releasing
    move(50, 15, 0);
    EXPECT_EQ(row->clicks, 2);
}

TEST_F(RootTest, OutsideTheRootADragKeepsTheHoverOnItsControlAndAReleaseThereIsNoClick)
{
    Box* row = add(root, 0, 0, 100, 20);
    Box* other = add(root, 0, 50, 100, 20);

    struct Case {
        const char* what;
        std::vector<gfx::Point> path; // moves with the button held, after a press at (10, 10)
        gfx::Point release;
        ui::Control* hoverBeforeRelease;
        int clicks;
    };
    const std::vector<Case> cases{
        {"left the window and released there", {{10, -5}, {250, 300}}, {250, 300}, row, 0},
        {"left the window over the row's width, released there", {{10, 400}}, {10, 400}, row, 0},
        {"left the window and came back over another control", {{-1, 10}, {50, 60}}, {50, 60}, other, 0},
        {"left the window and came back to release on the row", {{200, 10}, {50, 15}}, {50, 15}, row, 1},
    };
    for (const Case& c : cases) {
        row->clicks = 0;
        press(10, 10);
        for (const gfx::Point p : c.path) {
            move(p.x, p.y, ui::HeldLeft);
            EXPECT_TRUE(root.isDragging()) << c.what;
        }
        EXPECT_EQ(root.hoverTarget(), c.hoverBeforeRelease) << c.what;
        EXPECT_EQ(row->isHovered(), c.hoverBeforeRelease == row) << c.what;
        move(c.release.x, c.release.y, 0);
        EXPECT_FALSE(root.isDragging()) << c.what;
        EXPECT_EQ(row->clicks, c.clicks) << c.what;
        EXPECT_EQ(root.hoverTarget(), root.hitTarget(c.release.x, c.release.y)) << c.what << ": hover follows the pointer again";
    }
    move(250, 10);
    EXPECT_EQ(root.hoverTarget(), &root) << "without a drag, a move outside hovers nothing";
}

TEST_F(RootTest, RightPressMakesNoHandlerButMovesTheFocus)
{
    Box* row = add(root, 0, 0, 100, 20);
    press(10, 10, ui::RightButton);
    EXPECT_FALSE(root.isDragging());
    EXPECT_EQ(root.focusTarget(), row);
    EXPECT_EQ(row->focusState(), 3u);
    EXPECT_EQ(root.focusState(), 2u);
}

TEST_F(RootTest, APressDuringADragStartsNoSecondDragButMovesTheFocus)
{
    Box* first = add(root, 0, 0, 100, 20);
    Box* second = add(root, 0, 50, 100, 20);
    press(10, 10, ui::MiddleButton);
    ASSERT_TRUE(root.isDragging());
    press(10, 60, ui::LeftButton);
    EXPECT_TRUE(second->presses.empty());
    EXPECT_EQ(root.focusTarget(), second);
    EXPECT_EQ(first->focusState(), 0u);
    // Still the middle button's drag: releasing the left one does not end it.
    move(10, 60, ui::HeldMiddle);
    EXPECT_TRUE(root.isDragging());
    move(10, 60, 0);
    EXPECT_FALSE(root.isDragging());
    EXPECT_EQ(first->releases, 1);
}

TEST_F(RootTest, DragReportsDisplacementInTheOwnersSpace)
{
    struct Scaled : ui::ContainerControl {
        gfx::Matrix m;
        const gfx::Matrix& transform() const override { return m; }
        ui::HitResult hitTest(float x, float y) override { return solidHitTest(x, y); }
    };
    auto* scaled = add<Scaled>(root, 0, 0, 100, 100);
    scaled->m = {2, 0, 0, 2, 20, 10}; // twice as large, at (20, 10)
    Box* owner = add(*scaled, 10, 10, 30, 30);

    press(60, 50, ui::MiddleButton); // local (10, 10) of the owner
    ASSERT_TRUE(root.isDragging());
    ASSERT_EQ(owner->drags.size(), 1u);
    EXPECT_FLOAT_EQ(owner->drags[0].x, 0);
    EXPECT_FLOAT_EQ(owner->drags[0].y, 0);
    move(80, 40, ui::HeldMiddle);
    ASSERT_EQ(owner->drags.size(), 2u);
    EXPECT_FLOAT_EQ(owner->drags[1].x, 10);
    EXPECT_FLOAT_EQ(owner->drags[1].y, -5);
    // The button was let go outside the window: the next move ends the drag.
    move(80, 40, 0);
    EXPECT_EQ(owner->releases, 1);
    EXPECT_FALSE(root.isDragging());
    EXPECT_EQ(owner->drags.size(), 2u);
}

TEST_F(RootTest, WheelGoesToTheHoverTargetAtMinusHalfAUnit)
{
    Box* list = add(root, 0, 0, 100, 100);
    Box* row = add(*list, 0, 0, 100, 20);
    row->passScrollOn = true;
    add(root, 100, 0, 50, 50)->passScrollOn = true;

    move(10, 10);
    root.wheel(0, 120); // one notch away from the user
    ASSERT_EQ(row->scrolls.size(), 1u);
    EXPECT_FLOAT_EQ(row->scrolls[0].x, 0);
    EXPECT_FLOAT_EQ(row->scrolls[0].y, -60);
    ASSERT_EQ(list->scrolls.size(), 1u); // passed on by the row
    EXPECT_FLOAT_EQ(list->scrolls[0].y, -60);
    EXPECT_TRUE(root.scrolls.empty());   // the list keeps it

    root.wheel(-240, 0);
    ASSERT_EQ(row->scrolls.size(), 2u);
    EXPECT_FLOAT_EQ(row->scrolls[1].x, 120);
    EXPECT_FLOAT_EQ(row->scrolls[1].y, 0);
}

TEST_F(RootTest, DestroyingTheHoveredAndFocusedControlMovesBothToItsParent)
{
    Box* list = add(root, 0, 0, 100, 100);
    Box* row = add(*list, 0, 0, 100, 20);
    press(10, 10, ui::RightButton);
    ASSERT_EQ(root.hoverTarget(), row);
    ASSERT_EQ(root.focusTarget(), row);

    root.repaints = 0;
    list->removeChild(row).reset();
    EXPECT_EQ(root.hoverTarget(), list);
    EXPECT_EQ(root.focusTarget(), list);
    EXPECT_EQ(list->hoverState(), 3u);
    EXPECT_EQ(list->focusState(), 3u);
    EXPECT_TRUE(list->children().empty());
    EXPECT_GE(root.repaints, 1);

    // A container going away hands them on again.
    root.clearChildren();
    EXPECT_EQ(root.hoverTarget(), &root);
    EXPECT_EQ(root.focusTarget(), &root);
}

TEST_F(RootTest, AClickMayDestroyItsOwnOwner)
{
    struct SelfDestroying : Box {
        std::unique_ptr<ui::DragHandler> press(float x, float y, ui::MouseButton) override
        {
            return ui::makeClickHandler(*this, {x, y}, [this] { parent()->removeChild(this).reset(); });
        }
    };
    add<SelfDestroying>(root, 0, 0, 50, 50);
    press(10, 10);
    move(10, 10, 0);
    EXPECT_TRUE(root.children().empty());
    EXPECT_EQ(root.hoverTarget(), &root);
    EXPECT_FALSE(root.isDragging());
}

} // namespace
