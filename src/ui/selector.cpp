#include "ui/selector.h"

#include "data/ansi_text.h"
#include "data/text_compare.h"
#include "data/folder_entries.h"
#include "gfx/render_target.h"
#include "ui/folder_group.h"
#include "ui/scroll_view.h"
#include "ui/selection_band.h"
#include "ui/selector_row.h"

#include <algorithm>
#include <stdexcept>

namespace ui {

Selector::Selector(const gfx::GraphicsContext& graphics, const std::string& extension,
                   std::shared_ptr<Mod::FileSource> source)
    : look_(graphics), source_(std::move(source)), extension_("." + extension), columnWidths_(1, 0.0f)
{
    scrollView_ = static_cast<ScrollView*>(addChild(std::make_unique<ScrollView>()));
}

Selector::~Selector()
{
    clearChildren();
    ownedScrollView_.reset();
}

void Selector::setColumnCount(std::size_t count)
{
    if (count != columnWidths_.size() && !groups_.empty())
        throw std::runtime_error("Column count can only be changed while the selector is empty");
    columnWidths_.resize(count, 0.0f);
}

void Selector::addFolder(const std::string& folder)
{
    for (const FolderGroup* group : groups_) {
        if (Mod::equalNoCase(group->folder(), folder))
            return;
    }
    std::string prefix = folder;
    if (!prefix.empty() && prefix.back() != '\\' && prefix.back() != '/')
        prefix += '\\';
    std::vector<std::unique_ptr<SelectorRow>> rows;
    for (const std::string& name : Mod::folderEntries(*source_, folder, extension_)) {
        std::string path = prefix + name;
        std::vector<std::u16string> cells;
        for (std::size_t column = 0; column < columnCount(); ++column)
            cells.push_back(cellText(column, path));
        auto row = std::make_unique<SelectorRow>(look_, path, cells, columnWidths_, [this, path] { choose(path); });
        row->setMarked(marksRow(path));
        rows.push_back(std::move(row));
    }
    const std::u16string emptyText = u"No " + Mod::ansiToUtf16(extension_.substr(1)) + u" files found.";
    auto group = std::make_unique<FolderGroup>(look_, folder, std::move(rows), emptyText);
    groups_.push_back(static_cast<FolderGroup*>(scrollView_->addChild(std::move(group))));
    recomputeColumnWidths();
    layout();
}

void Selector::recomputeColumnWidths()
{
    std::fill(columnWidths_.begin(), columnWidths_.end(), 0.0f);
    for (const FolderGroup* group : groups_) {
        for (const SelectorRow* row : group->rows()) {
            const std::vector<float>& widths = row->textWidths();
            for (std::size_t i = 0; i < widths.size() && i < columnWidths_.size(); ++i)
                columnWidths_[i] = std::max(columnWidths_[i], widths[i]);
        }
    }
}

void Selector::choose(const std::string& path)
{
    // The detail first: what the band says may depend on it.
    std::unique_ptr<Control> detail = createDetail(path);
    auto band = std::make_unique<SelectionBand>(look_, bandText(path), [this] { goBack(); });
    std::unique_ptr<Control> list = removeChild(scrollView_);
    ownedScrollView_.reset(static_cast<ScrollView*>(list.release()));
    band_ = static_cast<SelectionBand*>(addChild(std::move(band)));
    detail_ = addChild(std::move(detail));
    chosenPath_ = path;
    layout();
}

std::u16string Selector::bandText(const std::string& path) { return Mod::ansiToUtf16(path); }

void Selector::refreshBand()
{
    if (!band_)
        return;
    band_->setText(bandText(chosenPath_));
    layout();
}

void Selector::goBack()
{
    clearChildren();
    band_ = nullptr;
    detail_ = nullptr;
    chosenPath_.clear();
    if (ownedScrollView_)
        addChild(std::move(ownedScrollView_));
    layout();
}

std::u16string Selector::cellText(std::size_t, const std::string& path)
{
    return Mod::ansiToUtf16(Mod::fileNameOf(path));
}

bool Selector::marksRow(const std::string&) { return false; }

void Selector::paint(gfx::RenderTarget& target)
{
    if (!detail_) {
        SelectorBrushes& b = look_.brushes();
        stretchVertically(b.backgroundGradient, height());
        target.fillRectangle({0, 0, width(), height()}, b.backgroundGradient);
    }
    paintChildren(target);
}

void Selector::layout()
{
    if (detail_) {
        const float thickness = band_->thickness();
        band_->setBounds(0, 0, height(), thickness);
        detail_->setBounds(thickness, 0, width() - thickness, height());
    } else {
        float y = 10.0f;
        for (FolderGroup* group : groups_) {
            const float height = group->contentHeight();
            group->setBounds(16, y, width() - 16 - 4, height);
            y += height;
        }
        scrollView_->setBounds(0, 0, width(), height());
        scrollView_->setContentSize(width(), y);
    }
    invalidate();
}

} // namespace ui
