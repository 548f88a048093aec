#pragma once
// What stands where a chosen screen will be drawn: the screen's file name and
// a note that screens cannot be shown yet.

#include "gfx/text_layout.h"
#include "ui/control.h"

#include <memory>
#include <string>

namespace ui {
class SelectorLook;
}

namespace editor {

class ScreenPlaceholder final : public ui::Control {
public:
    // look must outlive the placeholder.
    ScreenPlaceholder(ui::SelectorLook& look, const std::string& path);

    // The screen's file name (after the last separator).
    const std::u16string& screenName() const { return name_; }

    void paint(gfx::RenderTarget& target) override;
    void layout() override;

private:
    ui::SelectorLook* look_;
    std::u16string name_;
    std::unique_ptr<gfx::TextLayout> layout_;
};

} // namespace editor
