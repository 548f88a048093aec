#pragma once
// The widget factory: turns the widget tables of a screen file into widgets
// (recursively through `Children`) and gives each its art items (from
// `Presentation.Art`), during the instantiate stage of a screen view.
//
// Per widget table, in this order: kind from `type`; layout (`position`,
// `size`); `type` and `name` (the name is registered in the screen state's
// registry, a later widget of the same name replacing the entry); the style
// named by `style` = {sheet, name}, looked up once; `Children` (elements n
// down to 1); `Presentation.Art` (n down to 1, built in the state that held
// `Presentation`); `visible`, `text`, `tooltip_text`; `tooltip_name`, the
// widget registered under that name so far (the tooltip tree is built first,
// so main widgets can name tooltip widgets, not the reverse). Each property
// but `type`, `name` and `Children` falls back on the style when the
// widget's own value is missing or of the wrong kind. A value in a `Children`
// list that is not a table becomes a default PlainWidget (64 × 64 at 0, 0).
// Art tables are read the same way (layout with their own style fallback,
// `ID`, `states`, then their kind's properties from the table itself); a
// value in an `Art` list that is not a table becomes a default base art item.
//
// Hostile screens: a table that contains itself, or nests very deep, or
// shares tables (or strings) so that a small file describes millions of
// widgets (or gigabytes of text), fails the stage instead of exhausting the
// native stack or memory, or handing the text layout megabytes to lay out:
//   deeper than MaxNestingDepth: "stack overflow (Widget recursion too deep)"
//   more than MaxWidgetsAndArtItems: "too many widgets and art items (more than 100000)"
//   a string longer than MaxStringBytes: "a string of more than 65536 bytes in a widget or art table"
//   more text than MaxTextBytes: "more than 16777216 bytes of text in widget and art tables"
// Real screens nest about ten deep, hold hundreds of items and a few
// kilobytes of text.
//
// Errors raised (as Lua errors of the screen state, which the instantiate
// stage reports): those two, Lua's argument error for a `size` element that
// is neither a number nor nil ("bad argument #1 to '?' (number expected, got
// string)"), and running out of Lua memory or stack. Nothing else a table
// holds is an error.
//
// Findings (the view's ScreenFindings): what the game absorbs in the tables
// of the screen file, each at the line of the table that holds it: values
// of a kind or keyword that is ignored (table_watch.h; keys that are never
// read are looked for later, key_check.h),
// colour keys the colour table lacks, style sheets and styles that are not
// there, `$` texts that no string table has, widgets of an unknown type and
// art that never draws (no `states`, or an unknown type), a Graphic without a
// texture name, two widgets of one name, and, once both trees are built, a
// `tooltip_name` that found no widget. Art that a style sheet supplies is
// not looked at, but for its type. Each widget and art item keeps the line
// of its table.

#include "screen/property_reader.h"
#include "ui/container_control.h"

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

struct lua_State;

namespace screen {

class ArtItem;
class ScreenView;
class TableWatch;
class Widget;

// Widget tables nest at most this deep; the root is at depth 1.
inline constexpr int MaxNestingDepth = 200;
// The most widgets and art items one screen may build, both trees together.
inline constexpr int MaxWidgetsAndArtItems = 100000;
// The longest string (name, text, texture name, ...) a widget or art table
// may give, and the most bytes of such strings one screen may give in all.
inline constexpr std::size_t MaxStringBytes = 64 * 1024;
inline constexpr std::size_t MaxTextBytes = 16 * 1024 * 1024;

class WidgetFactory {
public:
    // state is the screen's state, inside the protected instantiate call.
    // building, when given, holds the table being built (after a build that
    // fails: the innermost one), for the line of the failure.
    WidgetFactory(ScreenView& view, lua_State* state, const void** building = nullptr);

    // Builds the widget for the value on top of the screen state's stack
    // (left there). The widget joins parent as soon as it exists, before its
    // children and art items are built, so that a build that fails part way
    // leaves everything made to the view's ordinary teardown.
    Widget& build(ui::ContainerControl& parent);

    // Once every root is built: adds the findings, widget by widget in the
    // order of the screen file's lists (the build goes from the last element
    // to the first), and those about `tooltip_name` that found no widget
    // (widgets named later are known by then, for the hint).
    void finish();

private:
    Widget& buildWidget(ui::ContainerControl& parent, int depth, int element);
    // fromScreen: the list is in the screen's state (not a style sheet's).
    void buildArtList(Widget& widget, const TableRef& list, bool fromScreen);
    // Builds the art item for the value on top of the state's stack (taken).
    void buildArtItem(Widget& widget, lua_State* state, int element, bool fromScreen);
    void count();
    // The watch's notes as findings about widget, or about its art item,
    // held until finish.
    void say(TableWatch& watch, const Widget& widget);
    void say(TableWatch& watch, const ArtItem& art, int element);
    void addSaid(const Widget& widget);
    // The style that `style` names, noting on watch (when given) what is wrong with it.
    TableRef lookupStyle(const TableRef& own, StyleReference& record, TableWatch* watch);

    ScreenView* view_;
    lua_State* lua_;
    const void** building_;
    int built_ = 0;
    TextAllowance text_;
    struct Unresolved {
        Widget* widget;
        std::string tooltipName;
    };
    std::vector<Unresolved> unresolved_;
    struct Said {
        const char* code;
        std::string message;
        std::optional<std::string> hint;
    };
    std::unordered_map<const ui::Control*, std::vector<Said>> said_;
};

} // namespace screen
