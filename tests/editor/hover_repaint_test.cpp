// The viewer's window repaints only what a hover change changes, and shows
// what a full repaint shows. The pointer moves over the widgets of the
// sample's main menu and lobby in the real window; what the window holds
// (its backing store, as the screen shows it) is compared with the window
// painted again whole.

#include "app/error_box.h"
#include "editor/main_window.h"
#include "editor/module_selector.h"
#include "editor/screen_host.h"
#include "editor/screen_selector.h"
#include "gfx/graphics_context.h"
#include "screen/screen_view.h"
#include "screen/widget.h"
#include "support/temp_dir.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QRegion>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

// The regions of the paint events a widget gets.
class PaintWatch : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
    QRegion painted;
};

class HoverRepaintTest : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        std::filesystem::copy(TISE_SAMPLE_DIR, install.path(), std::filesystem::copy_options::recursive);
        previous = app::setErrorBoxHandler([this](QWidget*, const std::string& text) { reports.push_back(text); });
        window = editor::MainWindow::open(graphics, environment, {install.path().string()});
        window->widget()->resize(900, 640);
        window->moduleSelector().choose(install / "Ironveil.module");
        window->screenSelector()->choose(std::string("Art\\UI\\Screens\\") + GetParam());
        settle();
    }
    void TearDown() override
    {
        delete window;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        app::setErrorBoxHandler(previous);
        EXPECT_TRUE(reports.empty()) << reports.front();
    }

    editor::ScreenHost& host() const { return *window->screenSelector()->host(); }

    // Lets the window handle what is pending, paints included.
    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }

    // What the window shows now.
    QImage shown() const
    {
        return window->widget()->screen()->grabWindow(window->widget()->winId()).toImage().convertToFormat(
            QImage::Format_RGB32);
    }

    // What the window shows once painted again whole.
    QImage repaintedWhole()
    {
        host().invalidate();
        window->widget()->repaint();
        return shown();
    }

    // The window point at the middle of the widget.
    QPoint middleOf(const screen::Widget& widget) const
    {
        gfx::Matrix toWindow;
        for (const ui::Control* node = &widget; node; node = node->parent())
            toWindow = toWindow * node->transform();
        const gfx::Point p = toWindow.transformPoint({widget.width() / 2, widget.height() / 2});
        return {static_cast<int>(p.x), static_cast<int>(p.y)};
    }

    void moveTo(QPoint at)
    {
        QWidget& widget = *window->widget();
        QMouseEvent move(QEvent::MouseMove, at, widget.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&widget, &move);
        settle();
    }

    // The widgets of the shown screen that are shown, depth first.
    std::vector<const screen::Widget*> widgets() const
    {
        std::vector<const screen::Widget*> all;
        std::function<void(const screen::Widget*)> visit = [&](const screen::Widget* widget) {
            if (!widget || !widget->visible())
                return;
            all.push_back(widget);
            for (auto child = widget->children().rbegin(); child != widget->children().rend(); ++child)
                visit(*child);
        };
        visit(host().view().widgetsRoot());
        return all;
    }

    TestSupport::TempDir install, home;
    const Mod::DiscoveryEnvironment environment{home.path().string(), "", home.path().string()};
    gfx::GraphicsContext graphics;
    app::ErrorBoxHandler previous;
    std::vector<std::string> reports;
    editor::MainWindow* window = nullptr;
};

TEST_P(HoverRepaintTest, TheWindowShowsAFullRepaintAfterEveryMove)
{
    const std::vector<const screen::Widget*> path = widgets();
    ASSERT_GT(path.size(), 3u);
    std::vector<QPoint> points;
    for (const screen::Widget* widget : path)
        points.push_back(middleOf(*widget));

    // Each move on its own.
    PaintWatch watch;
    window->widget()->installEventFilter(&watch);
    const QRect everything = window->widget()->rect();
    int partial = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        SCOPED_TRACE("over " + path[i]->name());
        repaintedWhole();
        watch.painted = QRegion();
        moveTo(points[i]);
        const QImage afterMove = shown();
        partial += !watch.painted.isEmpty() && watch.painted.boundingRect() != everything;
        const QImage whole = repaintedWhole();
        ASSERT_EQ(afterMove, whole);
    }
    EXPECT_GE(partial, 2) << "moves between widgets paint part of the window";
    window->widget()->removeEventFilter(&watch);
    // All of them, one after the other, and back.
    for (std::size_t i = 0; i < points.size(); ++i)
        moveTo(points[i]);
    for (std::size_t i = points.size(); i-- > 0;)
        moveTo(points[i]);
    const QImage afterMoves = shown();
    EXPECT_EQ(afterMoves, repaintedWhole());
}

INSTANTIATE_TEST_SUITE_P(SampleScreens, HoverRepaintTest, testing::Values("mainmenu.screen", "lobby.screen"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param).substr(0, std::string(info.param).find('.'));
                         });

} // namespace
