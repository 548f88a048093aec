#pragma once
// One file of a selector: a text per column, highlighted while hovered;
// a left click chooses the file.

#include "gfx/text_layout.h"
#include "ui/control.h"

#include <memory>
#include <string>
#include <vector>

namespace ui {

class Selector;

class SelectorRow final : public Control {
public:
    // path: the folder (with a "\" added unless it ends in a separator) and the name.
    SelectorRow(Selector& selector, std::string path);

    const std::string& path() const { return path_; }
    const std::vector<float>& textWidths() const { return textWidths_; }
    const std::vector<std::unique_ptr<gfx::TextLayout>>& layouts() const { return layouts_; }

    Control* hitTarget(float x, float y) override;
    bool wantsHandCursor(float x, float y) override;
    std::unique_ptr<DragHandler> press(float x, float y, int button) override;
    HitResult hitTest(float x, float y) override;
    void paint(gfx::RenderTarget& target) override;

private:
    Selector* selector_;
    std::vector<std::unique_ptr<gfx::TextLayout>> layouts_;
    std::vector<float> textWidths_;
    std::string path_;
};

} // namespace ui
