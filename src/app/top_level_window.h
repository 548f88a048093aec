#pragma once
// A window that is the root of a control tree: it paints the tree through a
// render target on its widget, keeps the tree's size equal to its client
// size, and turns mouse and key events into the tree's input routing (the
// wheel in units of 120 per notch; a key the tree does not act on gets Qt's
// default handling). The program's event loop ends when the last
// created top-level window is gone.

#include "app/native_window.h"
#include "ui/root_control.h"

#include <memory>

namespace gfx {
class GraphicsContext;
class RenderTarget;
}

namespace app {

class TopLevelWindow : public ui::RootControl, public NativeWindow {
public:
    explicit TopLevelWindow(const gfx::GraphicsContext& graphics);
    ~TopLevelWindow() override;

    // Makes and shows the window with a client size in DIPs; counts it open.
    void create(const QString& title, float width, float height);

    // Resizes the window's client area; the position is ignored.
    void setBounds(float x, float y, float width, float height) override;

    const gfx::GraphicsContext& graphics() const { return *graphics_; }

    // Created top-level windows that still exist.
    static int openWindowCount();

protected:
    bool handleEvent(QEvent& event) override;
    void repaint() override;
    // Only that part of the window is painted again.
    void repaintRect(const gfx::Rect& rect) override;

private:
    void paintWindow();
    void resized();
    void setHandCursor(bool hand);

    const gfx::GraphicsContext* graphics_;
    std::unique_ptr<gfx::RenderTarget> renderTarget_;
    bool counted_ = false;
};

} // namespace app
