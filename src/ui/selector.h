#pragma once
// The file browser control: lists, grouped by folder, the files of a source
// whose names end in one extension, one text column per configured column,
// in a scroll view. Clicking a row chooses its file: the list gives way to a
// detail control that the concrete selector makes, beside a band naming the
// file; clicking the band destroys the detail and shows the list again as it
// was, scroll position included.
//
// The keyboard works the list too (keyPress), beside the mouse and without
// changing what it does: a focus row, outlined, moves with the keys and is
// chosen with Enter.

#include "data/file_source.h"
#include "ui/container_control.h"
#include "ui/selector_look.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace gfx {
class GraphicsContext;
}

namespace ui {

class FolderGroup;
class ScrollView;
class SelectionBand;
class SelectorRow;

class Selector : public ContainerControl {
public:
    // extension without its dot ("module").
    Selector(const gfx::GraphicsContext& graphics, const std::string& extension,
             std::shared_ptr<Mod::FileSource> source);
    ~Selector() override;

    // Throws std::runtime_error "Column count can only be changed while the
    // selector is empty" for a different count once a folder was added.
    void setColumnCount(std::size_t count);
    std::size_t columnCount() const { return columnWidths_.size(); }
    // The widest text of each column over all rows of all groups.
    const std::vector<float>& columnWidths() const { return columnWidths_; }

    // Lists the folder as a new group, unless a group of the same folder
    // (ignoring letter case) exists.
    void addFolder(const std::string& folder);

    // Shows the detail of the file at path beside the band. If createDetail
    // throws, nothing has changed.
    void choose(const std::string& path);
    // Destroys the band and the detail and shows the list again.
    void goBack();

    // The text of a cell; by default the file name of the path.
    virtual std::u16string cellText(std::size_t column, const std::string& path);
    // Whether the row of path gets the small mark before its first column;
    // none by default.
    virtual bool marksRow(const std::string& path);
    // The control shown when the file at path is chosen.
    virtual std::unique_ptr<Control> createDetail(const std::string& path) = 0;
    // What the band says for the chosen file; by default its path. Asked
    // once the detail was made.
    virtual std::u16string bandText(const std::string& path);
    // Lays out the band's text again, after what bandText says changed.
    void refreshBand();

    void paint(gfx::RenderTarget& target) override;
    void layout() override;

    // In list mode: Up and Down move the focus row (the first press puts it
    // on the first or the last row), Home and End put it on the first and
    // the last row, Enter chooses it, and typing focuses the next row whose
    // first column starts with what was typed (keys less than a second apart
    // make one prefix; one letter typed again goes on to the next row with
    // it). The focus row is scrolled into view. In detail mode the detail is
    // offered the key first; then Backspace, Escape and Alt+Left go back.
    bool keyPress(const KeyPress& press) override;
    // Every row, group after group; the keyboard's focus row, or null until
    // the keyboard moved it.
    std::vector<SelectorRow*> rows() const;
    SelectorRow* focusRow() const;

    const gfx::GraphicsContext& graphics() const { return look_.graphics(); }
    Mod::FileSource& fileSource() const { return *source_; }
    const std::string& extension() const { return extension_; }
    SelectorLook& look() { return look_; }

    ScrollView& scrollView() const { return *scrollView_; }
    const std::vector<FolderGroup*>& groups() const { return groups_; }
    Control* detail() const { return detail_; }
    // The path of the file whose detail is shown; empty while the list is.
    const std::string& chosenPath() const { return chosenPath_; }
    SelectionBand* band() const { return band_; }

private:
    void recomputeColumnWidths();
    bool listKeyPress(const KeyPress& press);
    void focus(std::size_t index);
    // The row that typing text from the focus row leads to.
    std::optional<std::size_t> typedRow(const std::u16string& text) const;

    SelectorLook look_;
    std::shared_ptr<Mod::FileSource> source_;
    std::string extension_;
    std::vector<float> columnWidths_;
    Control* detail_ = nullptr;
    std::string chosenPath_;
    std::unique_ptr<ScrollView> ownedScrollView_; // while the list is hidden
    ScrollView* scrollView_;
    SelectionBand* band_ = nullptr;
    std::vector<FolderGroup*> groups_;
    SelectorRow* focusRow_ = nullptr;
    std::u16string typed_;
    std::uint64_t typedAt_ = 0;
};

} // namespace ui
