// The selector's keyboard: the focus row, choosing it, typing to find a
// row, and going back.

#include "ui/folder_group.h"
#include "ui/key_press.h"
#include "ui/scroll_view.h"
#include "ui/selector.h"
#include "ui/selector_row.h"

#include <algorithm>

namespace ui {

namespace {

// Keys typed less than this apart make one prefix.
constexpr std::uint64_t TypingPause = 1000; // ms

char16_t foldCase(char16_t c)
{
    // A to Z and the Latin-1 capitals (not the multiplication sign).
    if ((c >= u'A' && c <= u'Z') || (c >= u'\u00C0' && c <= u'\u00DE' && c != u'\u00D7'))
        return static_cast<char16_t>(c + 0x20);
    return c;
}

bool startsWithNoCase(std::u16string_view text, std::u16string_view prefix)
{
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char16_t a, char16_t b) { return foldCase(a) == foldCase(b); });
}

bool typesText(const KeyPress& press)
{
    return !press.control && !press.alt && !press.text.empty() &&
           std::all_of(press.text.begin(), press.text.end(), [](char16_t c) { return c >= u' ' && c != 0x7F; });
}

} // namespace

std::vector<SelectorRow*> Selector::rows() const
{
    std::vector<SelectorRow*> all;
    for (const FolderGroup* group : groups_)
        all.insert(all.end(), group->rows().begin(), group->rows().end());
    return all;
}

SelectorRow* Selector::focusRow() const { return focusRow_; }

bool Selector::keyPress(const KeyPress& press)
{
    if (!detail_)
        return listKeyPress(press);
    if (detail_->keyPress(press))
        return true;
    if (!press.goesBack())
        return false;
    goBack();
    return true;
}

bool Selector::listKeyPress(const KeyPress& press)
{
    const std::vector<SelectorRow*> all = rows();
    if (all.empty() || press.control || press.alt)
        return false;
    const auto at = std::find(all.begin(), all.end(), focusRow_);
    const std::optional<std::size_t> current =
        at == all.end() ? std::nullopt : std::optional<std::size_t>(static_cast<std::size_t>(at - all.begin()));
    const std::size_t last = all.size() - 1;
    switch (press.key) {
    case Key::Down: focus(current ? std::min(*current + 1, last) : 0); return true;
    case Key::Up: focus(current ? (*current == 0 ? 0 : *current - 1) : last); return true;
    case Key::Home: focus(0); return true;
    case Key::End: focus(last); return true;
    case Key::Enter:
        if (!focusRow_)
            return false;
        choose(focusRow_->path()); // may throw, as a click's choice does
        return true;
    default: break;
    }
    if (!typesText(press))
        return false;
    typed_ = typed_.empty() || press.time - typedAt_ > TypingPause ? press.text : typed_ + press.text;
    typedAt_ = press.time;
    if (const std::optional<std::size_t> found = typedRow(typed_))
        focus(*found);
    return true;
}

std::optional<std::size_t> Selector::typedRow(const std::u16string& text) const
{
    const std::vector<SelectorRow*> all = rows();
    const auto at = std::find(all.begin(), all.end(), focusRow_);
    // One letter (or the same letter again and again) goes on past the
    // focus row; a longer prefix may still be the focus row's.
    const bool oneLetter = std::all_of(text.begin(), text.end(),
                                       [&](char16_t c) { return foldCase(c) == foldCase(text.front()); });
    const std::u16string prefix = oneLetter ? text.substr(0, 1) : text;
    std::size_t start = 0;
    if (at != all.end())
        start = static_cast<std::size_t>(at - all.begin()) + (oneLetter ? 1 : 0);
    for (std::size_t k = 0; k < all.size(); ++k) {
        const std::size_t i = (start + k) % all.size();
        const auto& layouts = all[i]->layouts();
        if (!layouts.empty() && startsWithNoCase(layouts.front()->text(), prefix))
            return i;
    }
    return std::nullopt;
}

void Selector::focus(std::size_t index)
{
    const std::vector<SelectorRow*> all = rows();
    if (focusRow_)
        focusRow_->setFocused(false);
    focusRow_ = all.at(index);
    focusRow_->setFocused(true);
    const auto* group = static_cast<const FolderGroup*>(focusRow_->parent());
    const float top = group->transform().dy + focusRow_->transform().dy;
    // A group's first row brings its header along, the first group the margin above it.
    const bool first = group->rows().front() == focusRow_;
    const float shownTop = !first ? top : group == groups_.front() ? 0.0f : group->transform().dy;
    scrollView_->scrollIntoView(shownTop, top + focusRow_->height());
    invalidate();
}

} // namespace ui
