#pragma once
// One folder of a selector: a header with the folder's name and a rule, then
// one row per matching file, or a line saying there are none.

#include "gfx/text_layout.h"
#include "ui/container_control.h"

#include <memory>
#include <string>
#include <vector>

namespace ui {

class Selector;
class SelectorRow;

class FolderGroup final : public ContainerControl {
public:
    // Lists the folder through the selector's source and makes the rows.
    FolderGroup(Selector& selector, const std::string& folder);

    const std::string& folder() const { return folder_; }
    const std::vector<SelectorRow*>& rows() const { return rows_; }
    float headerHeight() const { return headerHeight_; }
    float ruleStart() const { return ruleStart_; }
    // The empty-folder line, or null when the folder has rows.
    const gfx::TextLayout* emptyLayout() const { return emptyLayout_.get(); }
    const gfx::TextLayout& headerLayout() const { return *headerLayout_; }
    // Header plus rows (or the empty line).
    float contentHeight() const { return contentHeight_; }

    void layout() override;
    // Paints only the rows that can be seen on the target.
    void paint(gfx::RenderTarget& target) override;

private:
    Selector* selector_;
    std::string folder_;
    std::vector<SelectorRow*> rows_;
    std::unique_ptr<gfx::TextLayout> headerLayout_;
    std::unique_ptr<gfx::TextLayout> emptyLayout_;
    float ruleStart_ = 0;
    float headerHeight_ = 0;
    float contentHeight_ = 0;
};

} // namespace ui
