#pragma once
// One folder of a selector: a header with the folder's name and a rule, then
// one row per matching file, or a line saying there are none.

#include "gfx/text_layout.h"
#include "ui/container_control.h"

#include <memory>
#include <string>
#include <vector>

namespace ui {

class SelectorLook;
class SelectorRow;

class FolderGroup final : public ContainerControl {
public:
    // The group of folder with its rows; with no rows it shows emptyText.
    // look must outlive the group.
    FolderGroup(SelectorLook& look, const std::string& folder, std::vector<std::unique_ptr<SelectorRow>> rows,
                const std::u16string& emptyText);

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
    SelectorLook* look_;
    std::string folder_;
    std::vector<SelectorRow*> rows_;
    std::unique_ptr<gfx::TextLayout> headerLayout_;
    std::unique_ptr<gfx::TextLayout> emptyLayout_;
    float ruleStart_ = 0;
    float headerHeight_ = 0;
    float contentHeight_ = 0;
};

} // namespace ui
