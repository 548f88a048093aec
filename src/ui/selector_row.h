#pragma once
// One file of a selector: a text per column, highlighted while hovered;
// a left click chooses the file. The keyboard's focus row has a dotted
// outline; a marked row a small dot before its first column.

#include "gfx/text_layout.h"
#include "ui/clickable_control.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ui {

class SelectorLook;

class SelectorRow final : public ClickableControl {
public:
    // path: the folder (with a "\" added unless it ends in a separator) and
    // the name; cells: the text of each column. Columns are painted at the
    // widths in columnWidths (the widest text of each column over all rows),
    // read at each paint. look and columnWidths must outlive the row.
    SelectorRow(SelectorLook& look, std::string path, const std::vector<std::u16string>& cells,
                const std::vector<float>& columnWidths, std::function<void()> onChoose);

    const std::string& path() const { return path_; }
    const std::vector<float>& textWidths() const { return textWidths_; }
    const std::vector<std::unique_ptr<gfx::TextLayout>>& layouts() const { return layouts_; }

    bool focused() const { return focused_; }
    void setFocused(bool focused);
    bool marked() const { return marked_; }
    void setMarked(bool marked);

    void paint(gfx::RenderTarget& target) override;

private:
    SelectorLook* look_;
    const std::vector<float>* columnWidths_;
    std::vector<std::unique_ptr<gfx::TextLayout>> layouts_;
    std::vector<float> textWidths_;
    std::string path_;
    bool focused_ = false;
    bool marked_ = false;
};

} // namespace ui
