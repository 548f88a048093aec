#pragma once
// A screen view drawn without a window, as tise-cli and the tests draw it:
// the view fills a root control of the chosen size in DIPs (one pixel each,
// 96 DPI), which keeps hover state as a window's root does and paints a white
// background under the view.

#include "gfx/bitmap.h"
#include "ui/root_control.h"

#include <memory>

namespace gfx {
class BitmapRenderTarget;
class RenderTarget;
} // namespace gfx

namespace screen {

class ScreenView;
class Widget;

class OffscreenScreen {
public:
    // Takes the view; width and height are at least 1.
    OffscreenScreen(std::unique_ptr<ScreenView> view, int width, int height);
    ~OffscreenScreen();
    OffscreenScreen(const OffscreenScreen&) = delete;
    OffscreenScreen& operator=(const OffscreenScreen&) = delete;

    ScreenView& view() const { return *view_; }
    ui::RootControl& root() { return root_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // The view keeps filling the root.
    void resize(int width, int height);

    // The pointer rests over the widget: it is the hover target and its
    // ancestors (and the view) contain the pointer. Null: the pointer is over
    // none of the screen.
    void setHover(Widget* widget);

    // A paint may change what its own frame shows: a hovered widget hands
    // its tooltip text to a tooltip widget that was painted before it. The
    // window then paints again; so does paint, until a frame asks for no
    // other, at most this many frames.
    static constexpr int MaxFramesToSettle = 4;

    // Draws the frames onto the target (beginDraw, paint, endDraw) that the
    // window draws until its picture settles; the target holds the last.
    // Throws what endDraw throws.
    void paint(gfx::RenderTarget& target);
    // A frame on a bitmap target of the root's size, kept between calls (the
    // target is made again after a resize).
    const gfx::BitmapRenderTarget& render();
    // The kept frame brought up to date, as a window would: only what
    // changed since it was drawn is painted again (the pixels that a hover
    // change or a tooltip's text changes, or everything after other
    // changes); the first frame is drawn whole. Painting may ask for more
    // (a hovered widget hands its tooltip over): needsUpdate() says so.
    const gfx::BitmapRenderTarget& update();
    bool needsUpdate() const;
    // The picture of a new frame.
    gfx::BitmapPtr renderBitmap();

private:
    // Draws one frame within clip (device pixels), or whole.
    void paintWithin(gfx::RenderTarget& target, const gfx::Rect* clip);

    ui::RootControl root_;
    ScreenView* view_;
    int width_;
    int height_;
    std::unique_ptr<gfx::BitmapRenderTarget> target_;
};

} // namespace screen
