#include "ui/folder_group.h"

#include "data/ansi_text.h"
#include "gfx/render_target.h"
#include "ui/selector_look.h"
#include "ui/selector_row.h"

#include <algorithm>
#include <cmath>

namespace ui {

FolderGroup::FolderGroup(SelectorLook& look, const std::string& folder,
                         std::vector<std::unique_ptr<SelectorRow>> rows, const std::u16string& emptyText)
    : look_(&look), folder_(folder)
{
    headerLayout_ = std::make_unique<gfx::TextLayout>(look.graphics(), Mod::ansiToUtf16(folder), look.headerFormat(),
                                                      gfx::TextLayout::NoLimit, gfx::TextLayout::NoLimit);
    const gfx::TextMetrics header = headerLayout_->metrics();
    ruleStart_ = header.width + 4.0f;
    headerHeight_ = std::floor(2.0f * header.height);
    headerLayout_->setMaxHeight(headerHeight_);

    contentHeight_ = headerHeight_;
    for (std::unique_ptr<SelectorRow>& row : rows) {
        contentHeight_ += row->height();
        rows_.push_back(static_cast<SelectorRow*>(addChild(std::move(row))));
    }
    if (rows_.empty()) {
        emptyLayout_ = std::make_unique<gfx::TextLayout>(look.graphics(), emptyText, look.itemFormat(),
                                                         gfx::TextLayout::NoLimit, gfx::TextLayout::NoLimit);
        const float lineHeight = 1.3f * emptyLayout_->metrics().height;
        emptyLayout_->setMaxHeight(lineHeight);
        contentHeight_ += lineHeight;
    }
    setBounds(0, 0, 100, contentHeight_);
}

void FolderGroup::layout()
{
    float y = headerHeight_;
    for (SelectorRow* row : rows_) {
        row->setBounds(0, y, width(), row->height());
        y += row->height();
    }
    invalidate();
}

void FolderGroup::paint(gfx::RenderTarget& target)
{
    const gfx::Matrix base = target.transform();
    if (base.m12 == 0 && base.m21 == 0 && base.m22 > 0) {
        // Rows are stacked top to bottom: paint those that meet the target.
        const float top = -base.dy / base.m22;
        const float bottom = (target.size().height - base.dy) / base.m22;
        auto row = std::partition_point(rows_.begin(), rows_.end(), [&](const SelectorRow* r) {
            return r->transform().dy + r->height() <= top;
        });
        for (; row != rows_.end() && (*row)->transform().dy < bottom; ++row) {
            target.setTransform((*row)->transform() * base);
            (*row)->paint(target);
        }
        target.setTransform(base);
    } else {
        paintChildren(target);
    }
    SelectorBrushes& brushes = look_->brushes();
    target.drawTextLayout({0, 0}, *headerLayout_, brushes.headerText);
    const float ruleY = std::floor(headerHeight_ * 0.5f) + 0.5f;
    target.drawLine({ruleStart_, ruleY}, {width(), ruleY}, brushes.rule, 1.0f);
    if (emptyLayout_)
        target.drawTextLayout({16, headerHeight_}, *emptyLayout_, brushes.headerText);
}

} // namespace ui
