// The line each widget and art item of a screen keeps: the line of the `{`
// of the table it was built from, however the screen file writes or makes
// that table. Each row is a real screen file run by the real loader.

#include "screen/art_item.h"
#include "screen/constructor_lines.h"
#include "screen/screen_view.h"
#include "screen/widget.h"
#include "test_module.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// NAME for a widget, NAME.N for its art item N (Lua order) -> line.
std::map<std::string, int> linesOf(const screen::Widget* widget)
{
    std::map<std::string, int> lines;
    if (!widget)
        return lines;
    lines[widget->name()] = widget->line().value_or(-1);
    const auto& art = widget->artItems();
    for (std::size_t i = 0; i < art.size(); ++i)
        lines[widget->name() + "." + std::to_string(art.size() - i)] = art[i]->line().value_or(-1);
    for (const screen::Widget* child : widget->children())
        lines.merge(linesOf(child));
    return lines;
}

TEST(TableLines, WidgetsAndArtKeepTheLineOfTheirTablesBrace)
{
    struct Row {
        const char* layout;
        std::string lua;
        std::map<std::string, int> lines;
    };
    const std::vector<Row> rows{
        {"braces on lines of their own",
         "Screen = {\n"
         "\tWidgets = {\n"
         "\t\tname = 'Root',\n"
         "\t\tChildren = {\n"
         "\t\t\t-- a comment with a { in it\n"
         "\t\t\t{\n"
         "\t\t\t\tname = 'A',\n"
         "\t\t\t\tPresentation = {\n"
         "\t\t\t\t\tArt = {\n"
         "\t\t\t\t\t\t{\n"
         "\t\t\t\t\t\t\ttype = 'Rectangle',\n"
         "\t\t\t\t\t\t},\n"
         "\t\t\t\t\t},\n"
         "\t\t\t\t},\n"
         "\t\t\t},\n"
         "\t\t\t{\n"
         "\t\t\t\tname = 'B',\n"
         "\t\t\t},\n"
         "\t\t},\n"
         "\t},\n"
         "}\n",
         {{"Root", 2}, {"A", 6}, {"A.1", 10}, {"B", 16}}},
        {"several on one line", "Screen = { Widgets = { name = 'Root', Children = { { name = 'A' }, { name = 'B',\n"
                                "Presentation = { Art = { { type = 'Line' }, { type = 'Text' } } } } } } }",
         {{"Root", 1}, {"A", 1}, {"B", 1}, {"B.1", 2}, {"B.2", 2}}},
        {"made by a loop", "local kids = {}\n"
                           "for i = 1, 3 do\n"
                           "  kids[i] = {\n"
                           "    name = 'K' .. i }\n"
                           "end\n"
                           "Screen = { Widgets = { name = 'Root', Children = kids } }\n",
         {{"Root", 6}, {"K1", 3}, {"K2", 3}, {"K3", 3}}},
        {"made by a function",
         "local function button(name, y)\n"
         "  return { name = name, position = { 0, y },\n"
         "    Presentation = { Art = {\n"
         "      { type = 'Rectangle' } } } }\n"
         "end\n"
         "Screen = { Widgets = { name = 'Root', Children = {\n"
         "  button('A', 0),\n"
         "  button('B', 0.5),\n"
         "  {\n"
         "    name = 'C' },\n"
         "} } }\n",
         {{"Root", 6}, {"A", 2}, {"A.1", 4}, {"B", 2}, {"B.1", 4}, {"C", 9}}},
        {"called with a table", "local function W(t) return t end\n"
                                "Screen = { Widgets = W{ name = 'Root', Children = {\n"
                                "  W{ name = 'A' },\n"
                                "  W\n"
                                "  { name = 'B' } } } }\n",
         {{"Root", 2}, {"A", 3}, {"B", 5}}},
        {"strings and comments that hold braces and line ends",
         "Screen = { Widgets = { name = 'Root', text = '{ not a table', Children = {\n"
         "  { name = [[A\n{\n]] },\n"
         "  --[==[ a long comment {\n"
         "  with { braces } ]==]\n"
         "  { name = \"B\\\n\", tooltip_text = 'x\\z\n   y' },\n"
         "  { name = 'C' } } } }\n",
         {{"Root", 1}, {"A\n{\n", 2}, {"B\n", 7}, {"C", 10}}},
        {"CR LF and lone CR line ends", "Screen = {\r\n  Widgets = {\r\n    name = 'Root', Children = {\r\r"
                                        "      { name = 'A' } } } }\r\n",
         {{"Root", 2}, {"A", 5}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.layout);
        ScreenTest::TestModule module;
        const auto view = ScreenTest::loadScreen(module, row.lua);
        EXPECT_EQ(linesOf(view->widgetsRoot()), row.lines);
    }
}

TEST(TableLines, AScreenWithoutAnyTableOfItsChunkHasNoLines)
{
    ScreenTest::TestModule module;
    // The widgets of a non-table Children element are no tables at all.
    const auto view = ScreenTest::loadScreen(module, "Screen = { Widgets = { name = 'Root', Children = { 'x' } } }");
    ASSERT_EQ(view->widgetsRoot()->children().size(), 1u);
    EXPECT_EQ(view->widgetsRoot()->line(), 1);
    EXPECT_FALSE(view->widgetsRoot()->children().front()->line());
}

// Where Lua notes a table's creation: at the end of the token before its
// `{`; the scan must read tokens as Lua's lexer does to know that token.
TEST(ConstructorLines, BracesAreFoundUnderTheLineLuaNotesThemAt)
{
    struct Case {
        const char* what;
        std::string chunk;
        int notedAt;
        std::vector<int> braces;
    };
    const std::vector<Case> cases{
        {"a brace on the next line", "a = {\n{\n}}", 1, {1, 2}},
        {"a long string over lines", "s = [==[\n{ ]] {\n]==] {", 3, {3}},
        {"an escaped line end in a string", "s = 'a\\\nb' {", 2, {2}},
        {"a string with \\z over lines", "s = 'a\\z\n\n  b'\n{", 3, {4}},
        {"an unfinished string", "s = 'abc\n{", 1, {2}},
        {"LF CR is one line end", "a = {\n\r{", 1, {1, 2}},
        {"CR CR is two", "a = {\r\r{", 1, {1, 3}},
        {"a comment before the first token", "-- {\n{", 1, {2}},
        {"a long comment", "--[[ {\n]] a = {", 2, {2}},
        {"a name read ahead in a constructor", "t = { f\n{ } }", 2, {2}},
        {"a name in an expression list", "t = f,\ng\n{ }", 2, {3}},
        {"a number with an exponent sign", "x = 1e-\n5 {", 2, {2}},
        {"no brace at all", "x = 1", 1, {}},
    };
    for (const Case& c : cases) {
        const screen::ConstructorLines lines(c.chunk);
        const std::span<const int> found = lines.bracesNotedAt(c.notedAt);
        EXPECT_EQ(std::vector<int>(found.begin(), found.end()), c.braces) << c.what;
    }
}

} // namespace
