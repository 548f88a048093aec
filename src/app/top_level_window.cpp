#include "app/top_level_window.h"

#include "gfx/render_target.h"
#include "ui/key_press.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

#include <atomic>
#include <cmath>
#include <optional>

namespace app {

namespace {

std::atomic<int> openWindows{0};

unsigned heldButtons(Qt::MouseButtons buttons)
{
    unsigned held = 0;
    if (buttons & Qt::LeftButton)
        held |= ui::HeldLeft;
    if (buttons & Qt::RightButton)
        held |= ui::HeldRight;
    if (buttons & Qt::MiddleButton)
        held |= ui::HeldMiddle;
    return held;
}

// The tree's button for a Qt button; nothing for the ones it does not know.
std::optional<ui::MouseButton> pressedButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return ui::LeftButton;
    case Qt::MiddleButton: return ui::MiddleButton;
    case Qt::RightButton: return ui::RightButton;
    default: return std::nullopt;
    }
}

ui::KeyPress keyPressOf(const QKeyEvent& event)
{
    ui::KeyPress press;
    const int key = event.key();
    switch (key) {
    case Qt::Key_Up: press.key = ui::Key::Up; break;
    case Qt::Key_Down: press.key = ui::Key::Down; break;
    case Qt::Key_Home: press.key = ui::Key::Home; break;
    case Qt::Key_End: press.key = ui::Key::End; break;
    case Qt::Key_Return:
    case Qt::Key_Enter: press.key = ui::Key::Enter; break;
    case Qt::Key_Escape: press.key = ui::Key::Escape; break;
    case Qt::Key_Backspace: press.key = ui::Key::Backspace; break;
    case Qt::Key_Left: press.key = ui::Key::Left; break;
    case Qt::Key_Right: press.key = ui::Key::Right; break;
    default:
        if (key >= Qt::Key_A && key <= Qt::Key_Z) {
            press.key = ui::Key::Letter;
            press.letter = static_cast<char16_t>(u'A' + (key - Qt::Key_A));
        }
    }
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    press.control = modifiers.testFlag(Qt::ControlModifier);
    press.alt = modifiers.testFlag(Qt::AltModifier);
    press.shift = modifiers.testFlag(Qt::ShiftModifier);
    if (!press.control && !press.alt)
        press.text = event.text().toStdU16String();
    press.time = event.timestamp();
    return press;
}

gfx::Point pointOf(const QSinglePointEvent& event)
{
    const QPointF p = event.position();
    return {static_cast<float>(p.x()), static_cast<float>(p.y())};
}

} // namespace

TopLevelWindow::TopLevelWindow(const gfx::GraphicsContext& graphics) : graphics_(&graphics) {}

TopLevelWindow::~TopLevelWindow()
{
    renderTarget_.reset();
    abandonDrag();
    if (counted_ && --openWindows == 0)
        QCoreApplication::quit();
}

int TopLevelWindow::openWindowCount() { return openWindows.load(); }

void TopLevelWindow::create(const QString& title, float width, float height)
{
    // Qt sizes widgets in DIPs and applies the screen's scale itself.
    createNative(title, static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height)));
    ++openWindows;
    counted_ = true;
    Control::setBounds(0, 0, width, height);
    widget()->show();
}

void TopLevelWindow::setBounds(float, float, float width, float height)
{
    if (QWidget* w = widget())
        w->resize(static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height)));
}

void TopLevelWindow::repaint()
{
    if (QWidget* w = widget())
        w->update();
}

namespace {

// The window pixels that show the rectangle, and one more all round.
QRect windowPixels(const gfx::Rect& rect)
{
    const gfx::Rect whole = ui::wholePixels(rect);
    return QRect(QPoint(static_cast<int>(whole.left) - 1, static_cast<int>(whole.top) - 1),
                 QPoint(static_cast<int>(whole.right), static_cast<int>(whole.bottom)));
}

} // namespace

void TopLevelWindow::repaintRect(const gfx::Rect& rect)
{
    if (QWidget* w = widget())
        w->update(windowPixels(rect));
}

void TopLevelWindow::setHandCursor(bool hand)
{
    if (QWidget* w = widget())
        w->setCursor(hand ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

bool TopLevelWindow::handleEvent(QEvent& event)
{
    switch (event.type()) {
    case QEvent::Paint:
        paintWindow();
        return true;
    case QEvent::Resize:
        resized();
        return false;
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease: {
        const auto& mouse = static_cast<const QMouseEvent&>(event);
        setHandCursor(pointerMove(pointOf(mouse), heldButtons(mouse.buttons())));
        return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto& mouse = static_cast<const QMouseEvent&>(event);
        const std::optional<ui::MouseButton> button = pressedButton(mouse.button());
        if (!button)
            return false;
        if (const std::optional<bool> hand = buttonPress(pointOf(mouse), *button))
            setHandCursor(*hand);
        return true;
    }
    case QEvent::KeyPress:
        return keyPress(keyPressOf(static_cast<const QKeyEvent&>(event)));
    case QEvent::Wheel: {
        const auto& wheelEvent = static_cast<const QWheelEvent&>(event);
        const QPoint delta = wheelEvent.angleDelta();
        // The tree takes the system's wheel units, where a wheel tilted right
        // is positive; Qt counts a tilt to the right as negative.
        wheel(static_cast<float>(-delta.x()), static_cast<float>(delta.y()));
        return true;
    }
    default:
        return false;
    }
}

void TopLevelWindow::paintWindow()
{
    QWidget* w = widget();
    if (!w)
        return;
    if (!renderTarget_)
        renderTarget_ = std::make_unique<gfx::RenderTarget>(*graphics_, *w);
    setValidateAfterPaint(true);
    takeDamage(); // this paint covers what was asked for so far
    renderTarget_->beginDraw();
    try {
        renderTarget_->setTransform(gfx::Matrix::identity());
        paint(*renderTarget_);
    } catch (...) {
        try {
            renderTarget_->endDraw();
        } catch (...) {
            // The paint's own failure is the one to report.
        }
        throw;
    }
    renderTarget_->endDraw();
    // Something asked for a repaint while the tree was painting: paint that
    // again.
    if (!validateAfterPaint()) {
        const ui::Damage again = takeDamage();
        if (again.all)
            w->update();
        for (const gfx::Rect& rect : again.rects)
            w->update(windowPixels(rect));
    }
}

void TopLevelWindow::resized()
{
    QWidget* w = widget();
    renderTarget_.reset();
    Control::setBounds(0, 0, static_cast<float>(w->width()), static_cast<float>(w->height()));
}

} // namespace app
