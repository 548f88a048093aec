#include "app/top_level_window.h"

#include "app/error_box.h"
#include "gfx/graphics_context.h"
#include "gfx/render_target.h"
#include "ui/drag_handler.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A solid box that counts clicks (or throws from its click) and wheel moves.
class Box final : public ui::Control {
public:
    explicit Box(gfx::Color color) : brush_(color) {}
    ui::HitResult hitTest(float x, float y) override { return solidHitTest(x, y); }
    ui::Control* hitTarget(float, float) override { return this; }
    bool wantsHandCursor(float, float) override { return true; }
    std::unique_ptr<ui::DragHandler> press(float x, float y, ui::MouseButton button) override
    {
        if (button != ui::LeftButton)
            return nullptr;
        return ui::makeClickHandler(*this, {x, y}, [this] {
            ++clicks;
            if (throwOnClick)
                throw std::runtime_error("Cannot open module file X");
        });
    }
    void scroll(float dx, float dy) override { scrolls.push_back({dx, dy}); }
    void paint(gfx::RenderTarget& target) override
    {
        if (throwOnPaint)
            throw std::runtime_error("Paint failed.");
        target.fillRectangle({0, 0, width(), height()}, brush_);
    }

    int clicks = 0;
    bool throwOnClick = false;
    bool throwOnPaint = false;
    std::vector<gfx::Point> scrolls;

private:
    gfx::SolidColorBrush brush_;
};

class TestWindow final : public app::TopLevelWindow {
public:
    TestWindow(const gfx::GraphicsContext& graphics, bool* destroyed)
        : TopLevelWindow(graphics), destroyed_(destroyed)
    {
        red = static_cast<Box*>(addChild(std::make_unique<Box>(gfx::Color{1, 0, 0, 1})));
        red->setBounds(10, 10, 100, 50);
        blue = static_cast<Box*>(addChild(std::make_unique<Box>(gfx::Color{0, 0, 1, 1})));
    }
    ~TestWindow() override
    {
        if (destroyed_)
            *destroyed_ = true;
    }
    // The blue box fills the lower half, whatever the size.
    void layout() override
    {
        blue->setBounds(0, height() / 2, width(), height() / 2);
        ++layouts;
    }

    Box* red;
    Box* blue;
    int layouts = 0;

private:
    bool* destroyed_;
};

class WindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        previous = app::setErrorBoxHandler([this](QWidget* owner, const std::string& text) {
            reports.push_back({owner, text});
        });
        window = new TestWindow(graphics, &destroyed);
        window->create(QStringLiteral("Test window"), 300, 200);
    }
    void TearDown() override
    {
        if (!destroyed)
            delete window;
        app::setErrorBoxHandler(previous);
    }

    QWidget& widget() { return *window->widget(); }
    void move(QPoint at, Qt::MouseButtons held = Qt::NoButton)
    {
        QMouseEvent event(QEvent::MouseMove, at, widget().mapToGlobal(at), Qt::NoButton, held, Qt::NoModifier);
        QApplication::sendEvent(&widget(), &event);
    }
    void click(QPoint at)
    {
        move(at);
        QTest::mousePress(&widget(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseRelease(&widget(), Qt::LeftButton, Qt::NoModifier, at);
    }

    struct Report {
        QWidget* owner;
        std::string text;
    };
    gfx::GraphicsContext graphics;
    app::ErrorBoxHandler previous;
    std::vector<Report> reports;
    bool destroyed = false;
    TestWindow* window = nullptr;
};

TEST_F(WindowTest, CreateShowsTheWindowWithItsTitleAndSizeAndCountsIt)
{
    ASSERT_NE(window->widget(), nullptr);
    EXPECT_TRUE(widget().isVisible());
    EXPECT_EQ(widget().windowTitle(), QStringLiteral("Test window"));
    EXPECT_EQ(widget().width(), 300);
    EXPECT_EQ(widget().height(), 200);
    EXPECT_EQ(window->width(), 300);
    EXPECT_EQ(window->height(), 200);
    const int open = app::TopLevelWindow::openWindowCount();
    EXPECT_GE(open, 1);
    delete window;
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(app::TopLevelWindow::openWindowCount(), open - 1);
}

TEST_F(WindowTest, ResizingLaysTheTreeOutAgain)
{
    window->setBounds(0, 0, 500, 400);
    EXPECT_EQ(widget().width(), 500);
    EXPECT_EQ(window->width(), 500);
    EXPECT_EQ(window->height(), 400);
    EXPECT_EQ(window->blue->transform().dy, 200);
    EXPECT_EQ(window->blue->width(), 500);
}

TEST_F(WindowTest, MouseEventsReachTheTree)
{
    move({20, 20});
    EXPECT_EQ(window->hoverTarget(), window->red);
    EXPECT_EQ(widget().cursor().shape(), Qt::PointingHandCursor);
    move({200, 30});
    EXPECT_EQ(window->hoverTarget(), window);
    EXPECT_EQ(widget().cursor().shape(), Qt::ArrowCursor);

    click({20, 20});
    EXPECT_EQ(window->red->clicks, 1);
    EXPECT_EQ(window->focusTarget(), window->red);
    EXPECT_FALSE(window->isDragging());

    // Pressed on the red box, released over the blue one: no click.
    move({20, 20});
    QTest::mousePress(&widget(), Qt::LeftButton, Qt::NoModifier, {20, 20});
    move({20, 150}, Qt::LeftButton);
    QTest::mouseRelease(&widget(), Qt::LeftButton, Qt::NoModifier, {20, 150});
    EXPECT_EQ(window->red->clicks, 1);
    EXPECT_EQ(window->blue->clicks, 0);
}

TEST_F(WindowTest, AQuickSecondPressCountsAsAPress)
{
    click({20, 20});
    QMouseEvent again(QEvent::MouseButtonDblClick, QPointF(20, 20), widget().mapToGlobal(QPointF(20, 20)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&widget(), &again);
    EXPECT_TRUE(window->isDragging());
    QTest::mouseRelease(&widget(), Qt::LeftButton, Qt::NoModifier, {20, 20});
    EXPECT_EQ(window->red->clicks, 2);
}

TEST_F(WindowTest, TheWheelScrollsTheControlUnderThePointer)
{
    click({20, 20}); // focus on red
    move({50, 150}); // hover on blue
    // Qt's angle delta: up is positive, a tilt to the right negative. The
    // control scrolls by half a wheel unit the other way of the system's
    // sense (up and right positive).
    struct Case {
        QPoint angleDelta;
        gfx::Point scroll;
    };
    const std::vector<Case> cases{
        {{0, 120}, {0, -60}},  // up
        {{0, -240}, {0, 120}}, // two notches down
        {{-120, 0}, {-60, 0}}, // tilted right
        {{120, 0}, {60, 0}},   // tilted left
    };
    for (const Case& c : cases) {
        QWheelEvent wheel(QPointF(50, 150), widget().mapToGlobal(QPointF(50, 150)), QPoint(), c.angleDelta,
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&widget(), &wheel);
        ASSERT_FALSE(window->blue->scrolls.empty());
        EXPECT_FLOAT_EQ(window->blue->scrolls.back().x, c.scroll.x) << c.angleDelta.x() << "," << c.angleDelta.y();
        EXPECT_FLOAT_EQ(window->blue->scrolls.back().y, c.scroll.y) << c.angleDelta.x() << "," << c.angleDelta.y();
    }
    EXPECT_EQ(window->blue->scrolls.size(), cases.size());
    EXPECT_TRUE(window->red->scrolls.empty());
}

TEST_F(WindowTest, PaintsTheTreeOnWhite)
{
    const QImage image = widget().grab().toImage();
    EXPECT_EQ(image.pixelColor(20, 20), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(200, 20), QColor(255, 255, 255));
    EXPECT_EQ(image.pixelColor(150, 150), QColor(0, 0, 255));
    EXPECT_TRUE(reports.empty());
}

TEST_F(WindowTest, AnExceptionInAHandlerIsReportedAndTheProgramGoesOn)
{
    window->red->throwOnClick = true;
    click({20, 20});
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].owner, &widget());
    EXPECT_EQ(reports[0].text, "TISE has encountered an exception.\nThe cause is: Cannot open module file X.");
    EXPECT_FALSE(window->isDragging());

    // The window still works.
    click({50, 150});
    EXPECT_EQ(window->blue->clicks, 1);
    EXPECT_EQ(reports.size(), 1u);
}

TEST_F(WindowTest, AFailedPaintIsReportedAndTheNextOneWorks)
{
    window->red->throwOnPaint = true;
    (void)widget().grab();
    EXPECT_TRUE(reports.empty()); // not from inside the paint
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].owner, &widget());
    EXPECT_EQ(reports[0].text, "TISE has encountered an exception.\nThe cause is: Paint failed.");
    window->red->throwOnPaint = false;
    const QImage image = widget().grab().toImage();
    EXPECT_EQ(image.pixelColor(20, 20), QColor(255, 0, 0));
    EXPECT_EQ(reports.size(), 1u);
}

TEST_F(WindowTest, AControlThatInvalidatesWhilePaintingKeepsTheWindowRepainting)
{
    struct Restless final : ui::Control {
        int paints = 0;
        void paint(gfx::RenderTarget&) override
        {
            if (++paints < 5)
                invalidate();
        }
    };
    auto* restless = static_cast<Restless*>(window->addChild(std::make_unique<Restless>()));
    widget().update();
    EXPECT_TRUE(QTest::qWaitFor([&] { return restless->paints >= 5; }, 10000));
}

TEST_F(WindowTest, ClosingTheLastWindowDestroysItAndEndsTheLoop)
{
    ASSERT_EQ(app::TopLevelWindow::openWindowCount(), 1);
    QTimer::singleShot(0, &widget(), [this] { widget().close(); });
    QTimer::singleShot(20000, [] { QApplication::exit(99); }); // only if the loop never ends
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(app::TopLevelWindow::openWindowCount(), 0);
}

} // namespace
