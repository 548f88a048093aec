#pragma once
// The list of a mounted module's screens (Art\UI\Screens\), one column with
// the file name. It owns the mounted module.

#include "data/mod_context.h"
#include "ui/selector.h"

#include <memory>

namespace editor {

class ScreenSelector final : public ui::Selector {
public:
    ScreenSelector(const gfx::GraphicsContext& graphics, std::unique_ptr<Mod::ModContext> context);
    ~ScreenSelector() override;

    Mod::ModContext& context() const { return *context_; }

    // A ScreenHost showing the screen at path; loading errors propagate.
    std::unique_ptr<ui::Control> createDetail(const std::string& path) override;
    // The path, and the preview size when one is chosen.
    std::u16string bandText(const std::string& path) override;

private:
    std::unique_ptr<Mod::ModContext> context_;
};

} // namespace editor
