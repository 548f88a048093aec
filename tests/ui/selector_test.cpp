#include "ui/selector.h"

#include "gfx/graphics_context.h"
#include "gfx/render_target.h"
#include "memory_source.h"
#include "test_controls.h"
#include "data/text_compare.h"
#include "ui/folder_group.h"
#include "ui/key_press.h"
#include "ui/scroll_bar.h"
#include "ui/scroll_view.h"
#include "ui/selection_band.h"
#include "ui/selector_row.h"

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <limits>
#include <map>
#include <set>
#include <stdexcept>

namespace {

using namespace UiTest;

// Two columns: the file name and a text given per path.
class TestSelector final : public ui::Selector {
public:
    TestSelector(const gfx::GraphicsContext& graphics, std::shared_ptr<MemorySource> source)
        : Selector(graphics, "module", std::move(source))
    {
        setColumnCount(2);
    }
    std::u16string cellText(std::size_t column, const std::string& path) override
    {
        if (column == 0)
            return Selector::cellText(column, path);
        const auto found = second.find(path);
        return found == second.end() ? u"x" : found->second;
    }
    bool marksRow(const std::string& path) override { return marked.count(path) != 0; }
    std::unique_ptr<ui::Control> createDetail(const std::string& path) override
    {
        if (path.find("broken") != std::string::npos)
            throw std::runtime_error("Cannot open module file " + path);
        chosen.push_back(path);
        return std::make_unique<Box>(gfx::Color{0, 0, 1, 1});
    }

    std::map<std::string, std::u16string> second;
    std::set<std::string> marked;
    std::vector<std::string> chosen;
};

class SelectorTest : public testing::Test {
protected:
    void SetUp() override
    {
        source->folders["C:\\Games\\A\\"] = {"b.module", "A.MODULE", "notes.txt", "x.modules", "c.Module"};
        source->folders["D:/Other"] = {"LongerName.module"};
        source->folders["Empty\\"] = {"readme.txt"};
        root.setBounds(0, 0, 400, 300);
        selector = add<TestSelector>(root, 0, 0, 400, 300, graphics, source);
    }

    // The text height of a one-off layout in a format.
    float textHeight(const std::u16string& text, const gfx::TextFormat& format)
    {
        const float none = std::numeric_limits<float>::infinity();
        return gfx::TextLayout(graphics, text, format, none, none).metrics().height;
    }

    QImage render() { return paintedImage(graphics, root, 400, 300); }

    // The centre of a row in root coordinates (the selector sits at the origin).
    gfx::Point centreOf(const ui::SelectorRow& row)
    {
        const auto* group = static_cast<const ui::FolderGroup*>(row.parent());
        const ui::ScrollView& view = selector->scrollView();
        return {view.transform().dx + group->transform().dx + 40,
                view.transform().dy + group->transform().dy + row.transform().dy + row.height() / 2};
    }

    gfx::GraphicsContext graphics;
    std::shared_ptr<MemorySource> source = std::make_shared<MemorySource>();
    CountingRoot root;
    TestSelector* selector = nullptr;
};

TEST_F(SelectorTest, ListsMatchingFilesSortedWithPathsUnderTheFolder)
{
    selector->addFolder("C:\\Games\\A\\");
    selector->addFolder("D:/Other");
    ASSERT_EQ(selector->groups().size(), 2u);
    std::vector<std::string> paths;
    for (const ui::SelectorRow* row : selector->groups()[0]->rows())
        paths.push_back(row->path());
    EXPECT_EQ(paths, (std::vector<std::string>{"C:\\Games\\A\\A.MODULE", "C:\\Games\\A\\b.module",
                                                "C:\\Games\\A\\c.Module"}));
    // A folder without a trailing separator gets a backslash.
    EXPECT_EQ(selector->groups()[1]->rows().at(0)->path(), "D:/Other\\LongerName.module");
    EXPECT_EQ(selector->groups()[0]->rows()[1]->layouts()[0]->text(), u"b.module");
}

TEST_F(SelectorTest, TheSameFolderInAnyLetterCaseIsListedOnce)
{
    selector->addFolder("C:\\Games\\A\\");
    const int listings = source->listings;
    selector->addFolder("c:\\GAMES\\a\\");
    selector->addFolder("C:\\Games\\A\\");
    EXPECT_EQ(selector->groups().size(), 1u);
    EXPECT_EQ(source->listings, listings);
}

TEST_F(SelectorTest, GroupsAndRowsAreLaidOutTopToBottom)
{
    selector->addFolder("C:\\Games\\A\\");
    selector->addFolder("D:/Other");
    const ui::FolderGroup& first = *selector->groups()[0];
    const ui::FolderGroup& second = *selector->groups()[1];
    EXPECT_EQ(first.transform().dx, 16);
    EXPECT_EQ(first.transform().dy, 10);
    EXPECT_EQ(first.width(), 400 - 16 - 4);
    EXPECT_EQ(second.transform().dy, 10 + first.height());

    const float header = std::floor(2 * textHeight(u"C:\\Games\\A\\", selector->look().headerFormat()));
    EXPECT_EQ(first.headerHeight(), header);
    float y = header;
    for (const ui::SelectorRow* row : first.rows()) {
        EXPECT_EQ(row->transform().dx, 0);
        EXPECT_EQ(row->transform().dy, y);
        EXPECT_EQ(row->width(), first.width());
        y += row->height();
    }
    EXPECT_EQ(first.height(), y);
    EXPECT_EQ(selector->scrollView().verticalBar().content(), 10 + first.height() + second.height());
    EXPECT_EQ(selector->scrollView().horizontalBar().content(), 400);
}

TEST_F(SelectorTest, CellsAreOneAndAHalfOrOneAndAQuarterTextHeightsTall)
{
    selector->second["C:\\Games\\A\\A.MODULE"] = u"first line\nsecond line";
    selector->addFolder("C:\\Games\\A\\");
    const ui::SelectorRow& twoLines = *selector->groups()[0]->rows()[0];
    const ui::SelectorRow& oneLine = *selector->groups()[0]->rows()[1];

    const float one = textHeight(u"b.module", selector->look().itemFormat());
    const float two = textHeight(u"first line\nsecond line", selector->look().itemFormat());
    ASSERT_GT(two, 1.8f * one);
    EXPECT_EQ(oneLine.height(), std::ceil(1.5f * one));
    EXPECT_EQ(twoLines.height(), std::ceil(1.25f * two));
    // Every cell of a row is as tall as the row.
    for (const auto& layout : twoLines.layouts())
        EXPECT_EQ(layout->maxHeight(), twoLines.height());
}

TEST_F(SelectorTest, AnEmptyFolderSaysSoBelowItsHeader)
{
    selector->addFolder("Empty\\");
    const ui::FolderGroup& group = *selector->groups()[0];
    EXPECT_TRUE(group.rows().empty());
    ASSERT_NE(group.emptyLayout(), nullptr);
    EXPECT_EQ(group.emptyLayout()->text(), u"No module files found.");
    const float line = textHeight(u"No module files found.", selector->look().itemFormat());
    EXPECT_FLOAT_EQ(group.height(), group.headerHeight() + 1.3f * line);

    // The line is drawn indented 16 under the header, in the header colour.
    const QImage image = render();
    bool inked = false;
    for (int x = 16 + 16; x < 16 + 16 + 40 && !inked; ++x)
        for (int y = 10 + int(group.headerHeight()); y < 10 + int(group.height()); ++y)
            inked = inked || image.pixelColor(x, y).red() < 180;
    EXPECT_TRUE(inked);
    for (int y = 10 + int(group.headerHeight()); y < 10 + int(group.height()); ++y)
        EXPECT_GT(image.pixelColor(16 + 10, y).red(), 200) << y; // nothing left of the indent
}

TEST_F(SelectorTest, ColumnsLineUpAcrossAllGroups)
{
    selector->addFolder("C:\\Games\\A\\");
    const float before = selector->columnWidths()[0];
    const float aWidths = selector->groups()[0]->rows()[0]->textWidths()[0];
    EXPECT_GE(before, aWidths);
    selector->addFolder("D:/Other"); // a wider first column
    const float wider = selector->groups()[1]->rows()[0]->textWidths()[0];
    ASSERT_GT(wider, before);
    EXPECT_EQ(selector->columnWidths()[0], wider);
    EXPECT_EQ(selector->columnWidths().size(), 2u);
}

TEST_F(SelectorTest, AWiderFirstColumnElsewhereMovesTheSecondColumnOfEveryRow)
{
    selector->addFolder("C:\\Games\\A\\");
    const ui::SelectorRow& row = *selector->groups()[0]->rows()[0];
    const float before = selector->columnWidths()[0];
    const int y0 = int(centreOf(row).y - row.height() / 2);
    // The left edge of the first ink right of the first column's widest text.
    const auto secondColumnX = [&](const QImage& image) {
        for (int x = int(16 + 16 + before + 4); x < 400; ++x)
            for (int y = y0; y < y0 + int(row.height()); ++y)
                if (image.pixelColor(x, y).red() < 150)
                    return x;
        return -1;
    };
    const int x1 = secondColumnX(render());
    ASSERT_GT(x1, 0);
    selector->addFolder("D:/Other");
    const float wider = selector->columnWidths()[0];
    const int x2 = secondColumnX(render());
    EXPECT_NEAR(x2 - x1, wider - before, 1.0);
}

TEST_F(SelectorTest, ColumnCountChangesOnlyWhileEmpty)
{
    selector->setColumnCount(3);
    selector->setColumnCount(2);
    selector->addFolder("Empty\\");
    selector->setColumnCount(2); // the same count is fine
    try {
        selector->setColumnCount(1);
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Column count can only be changed while the selector is empty");
    }
    EXPECT_EQ(selector->columnCount(), 2u);
}

TEST_F(SelectorTest, HoveringARowHighlightsItWithoutNewTextLayouts)
{
    selector->addFolder("C:\\Games\\A\\");
    const ui::SelectorRow& row = *selector->groups()[0]->rows()[1];
    const gfx::TextLayout* layout = row.layouts()[0].get();
    const gfx::Point at = centreOf(row);

    const QImage plain = render();
    root.pointerMove(at, 0);
    EXPECT_EQ(root.hoverTarget(), &row);
    EXPECT_TRUE(root.pointerMove(at, 0)); // the hand
    const QImage hovered = render();
    EXPECT_EQ(row.layouts()[0].get(), layout);

    // Near the bottom of the row the highlight is the gradient's gold.
    const int x = 300, y = int(at.y + row.height() / 2 - 3);
    const QColor gold = hovered.pixelColor(x, y);
    EXPECT_EQ(gold.red(), 255);
    EXPECT_NEAR(gold.green(), 236, 3);
    EXPECT_NEAR(gold.blue(), 181, 3);
    EXPECT_NE(plain.pixelColor(x, y), gold);
}

TEST_F(SelectorTest, ReleasingOffTheRowDoesNotChooseIt)
{
    selector->addFolder("C:\\Games\\A\\");
    const gfx::Point at = centreOf(*selector->groups()[0]->rows()[0]);
    root.buttonPress(at, ui::LeftButton);
    root.pointerMove({at.x, 290}, ui::HeldLeft);
    root.pointerMove({at.x, 290}, 0);
    EXPECT_TRUE(selector->chosen.empty());
    EXPECT_EQ(selector->detail(), nullptr);
}

TEST_F(SelectorTest, ChoosingShowsTheBandAndTheDetailAndTheBandGoesBack)
{
    source->folders["Many\\"] = {};
    for (int i = 0; i < 60; ++i)
        source->folders["Many\\"].push_back("file" + std::to_string(100 + i) + ".module");
    selector->addFolder("Many\\");
    ui::ScrollView& view = selector->scrollView();
    root.pointerMove({100, 100}, 0);
    root.wheel(0, -360); // three notches down
    ASSERT_EQ(view.verticalBar().offset(), 180);

    const ui::SelectorRow* row = selector->groups()[0]->rows()[10];
    const std::string path = row->path();
    const gfx::Point at = centreOf(*row);
    root.buttonPress(at, ui::LeftButton);
    root.pointerMove(at, 0);
    ASSERT_EQ(selector->chosen, std::vector<std::string>{path});

    ui::SelectionBand* band = selector->band();
    ASSERT_NE(band, nullptr);
    ASSERT_EQ(selector->children().size(), 2u);
    EXPECT_EQ(selector->children()[0].get(), band);
    EXPECT_EQ(selector->children()[1].get(), selector->detail());
    const float thickness = std::ceil(1.5f * textHeight(u"Many\\file110.module", selector->look().headerFormat()));
    EXPECT_EQ(band->thickness(), thickness);
    EXPECT_EQ(band->width(), 300);
    EXPECT_EQ(band->height(), thickness);
    EXPECT_EQ(band->transform(), (gfx::Matrix{0, -1, 1, 0, 0, 300}));
    EXPECT_EQ(band->textLayout().text(), u"Many\\file110.module");
    EXPECT_EQ(selector->detail()->transform().dx, thickness);
    EXPECT_EQ(selector->detail()->width(), 400 - thickness);

    // The band is at the left edge: it gets the hover and the hand, and its
    // white text on the dark gradient reads upward.
    EXPECT_TRUE(root.pointerMove({thickness / 2, 150}, 0));
    EXPECT_EQ(root.hoverTarget(), band);
    root.pointerMove({200, 150}, 0);
    const QImage image = render();
    EXPECT_LT(image.pixelColor(1, 5).blue(), 140); // band gradient, not the hover one
    EXPECT_EQ(image.pixelColor(200, 150), QColor(0, 0, 255)); // the detail

    root.buttonPress({thickness / 2, 150}, ui::LeftButton);
    root.pointerMove({thickness / 2, 150}, 0);
    EXPECT_EQ(selector->band(), nullptr);
    EXPECT_EQ(selector->detail(), nullptr);
    ASSERT_EQ(selector->children().size(), 1u);
    EXPECT_EQ(selector->children()[0].get(), &view);
    EXPECT_EQ(view.verticalBar().offset(), 180);
    EXPECT_EQ(selector->groups()[0]->rows()[10], row);
    EXPECT_EQ(root.hoverTarget(), selector); // the band went away under the pointer
}

TEST_F(SelectorTest, AFailingDetailChangesNothing)
{
    source->folders["Bad\\"] = {"broken.module"};
    selector->addFolder("Bad\\");
    EXPECT_THROW(selector->choose("Bad\\broken.module"), std::runtime_error);
    EXPECT_EQ(selector->band(), nullptr);
    EXPECT_EQ(selector->detail(), nullptr);
    ASSERT_EQ(selector->children().size(), 1u);
    EXPECT_EQ(selector->children()[0].get(), &selector->scrollView());
}

// Rows outside the target are skipped; those scrolled into view must not be.
TEST_F(SelectorTest, RowsScrolledIntoViewArePainted)
{
    source->folders["Many\\"] = {};
    for (int i = 0; i < 500; ++i)
        source->folders["Many\\"].push_back("file" + std::to_string(1000 + i) + ".module");
    selector->addFolder("Many\\");
    root.pointerMove({100, 100}, 0);
    root.wheel(0, -1200); // ten notches: 600 down
    const QImage image = render();
    // The row now at the middle of the view is drawn where it belongs.
    const ui::SelectorRow* shown = nullptr;
    for (const ui::SelectorRow* row : selector->groups()[0]->rows())
        if (centreOf(*row).y > 150 && !shown)
            shown = row;
    ASSERT_NE(shown, nullptr);
    bool blueText = false;
    const int y0 = int(centreOf(*shown).y - shown->height() / 2);
    for (int x = 32; x < 120; ++x)
        for (int y = y0; y < y0 + int(shown->height()); ++y) {
            const QColor c = image.pixelColor(x, y);
            blueText = blueText || (c.blue() > 150 && c.red() < 100);
        }
    EXPECT_TRUE(blueText);
}

// ---------------------------------------------------------------- keyboard

ui::KeyPress key(ui::Key k, std::uint64_t time = 0)
{
    ui::KeyPress press;
    press.key = k;
    press.time = time;
    return press;
}

ui::KeyPress typed(char16_t c, std::uint64_t time)
{
    ui::KeyPress press;
    press.text = std::u16string(1, c);
    press.time = time;
    return press;
}

std::string focusName(const ui::Selector& selector)
{
    const ui::SelectorRow* row = selector.focusRow();
    return row ? std::string(Mod::fileNameOf(row->path())) : "none";
}

TEST_F(SelectorTest, KeysMoveAFocusRowAcrossGroupsAndEnterChoosesIt)
{
    selector->addFolder("C:\\Games\\A\\");
    selector->addFolder("D:/Other");
    // The pointer over a row does not move the focus.
    root.pointerMove(centreOf(*selector->groups()[0]->rows()[2]), 0);
    EXPECT_EQ(focusName(*selector), "none");
    EXPECT_FALSE(root.keyPress(key(ui::Key::Enter))) << "nothing to choose yet";

    struct Step {
        ui::Key key;
        std::string focus;
    };
    const std::vector<Step> steps{
        {ui::Key::Down, "A.MODULE"}, {ui::Key::Down, "b.module"}, {ui::Key::Up, "A.MODULE"},
        {ui::Key::Up, "A.MODULE"},   {ui::Key::End, "LongerName.module"}, {ui::Key::Down, "LongerName.module"},
        {ui::Key::Up, "c.Module"},   {ui::Key::Home, "A.MODULE"},
    };
    for (const Step& step : steps) {
        EXPECT_TRUE(root.keyPress(key(step.key)));
        EXPECT_EQ(focusName(*selector), step.focus);
    }
    int focused = 0;
    for (const ui::SelectorRow* row : selector->rows())
        focused += row->focused() ? 1 : 0;
    EXPECT_EQ(focused, 1);
    EXPECT_FALSE(root.keyPress(key(ui::Key::Right))) << "keys the list does not use go on";

    root.keyPress(key(ui::Key::Down));
    EXPECT_TRUE(root.keyPress(key(ui::Key::Enter)));
    EXPECT_EQ(selector->chosen, std::vector<std::string>{"C:\\Games\\A\\b.module"});
    EXPECT_EQ(selector->chosenPath(), "C:\\Games\\A\\b.module");
}

TEST_F(SelectorTest, TypingFocusesTheNextRowStartingWithWhatWasTyped)
{
    source->folders["Named\\"] = {"alpha.module", "beta.module", "bravo.module", "Brine.module", "charlie.module"};
    selector->addFolder("Named\\");
    struct Step {
        char16_t c;
        std::uint64_t time;
        std::string focus;
    };
    const std::vector<Step> steps{
        {u'b', 0, "beta.module"},      {u'b', 100, "bravo.module"},  // the same letter again: the next one
        {u'B', 200, "Brine.module"},   {u'b', 300, "beta.module"},   // any case; around from the end
        {u'c', 2000, "charlie.module"},                                // after a pause a new start
        {u'b', 4000, "beta.module"},   {u'r', 4100, "bravo.module"}, {u'i', 4200, "Brine.module"},
        {u'x', 4300, "Brine.module"},                                  // "brix": no row, the focus stays
    };
    for (const Step& step : steps) {
        EXPECT_TRUE(root.keyPress(typed(step.c, step.time)));
        EXPECT_EQ(focusName(*selector), step.focus) << char(step.c) << " at " << step.time;
    }
}

TEST_F(SelectorTest, TheFocusRowIsScrolledIntoView)
{
    source->folders["Many\\"] = {};
    for (int i = 0; i < 60; ++i)
        source->folders["Many\\"].push_back("file" + std::to_string(100 + i) + ".module");
    selector->addFolder("Many\\");
    const ui::ScrollBar& bar = selector->scrollView().verticalBar();
    const auto shown = [&] {
        const ui::SelectorRow* row = selector->focusRow();
        const float top = row->parent()->transform().dy + row->transform().dy;
        return top >= bar.offset() && top + row->height() <= bar.offset() + 300;
    };
    root.keyPress(key(ui::Key::End));
    EXPECT_EQ(bar.offset(), bar.content() - 300) << "the last row at the bottom";
    EXPECT_TRUE(shown());
    for (int i = 0; i < 30; ++i)
        root.keyPress(key(ui::Key::Up));
    EXPECT_TRUE(shown());
    EXPECT_LT(bar.offset(), bar.content() - 300);
    root.keyPress(key(ui::Key::Home));
    EXPECT_TRUE(shown());
    EXPECT_EQ(bar.offset(), 0);
}

TEST_F(SelectorTest, BackspaceEscapeAndAltLeftLeaveTheDetail)
{
    selector->addFolder("C:\\Games\\A\\");
    ui::KeyPress altLeft = key(ui::Key::Left);
    altLeft.alt = true;
    ui::KeyPress controlEscape = key(ui::Key::Escape);
    controlEscape.control = true;
    for (const ui::KeyPress& back : {key(ui::Key::Backspace), key(ui::Key::Escape), altLeft}) {
        root.keyPress(key(ui::Key::Home));
        root.keyPress(key(ui::Key::Enter));
        ASSERT_NE(selector->detail(), nullptr);
        EXPECT_FALSE(root.keyPress(key(ui::Key::Left))) << "Left alone is no way back";
        EXPECT_FALSE(root.keyPress(controlEscape));
        EXPECT_FALSE(root.keyPress(key(ui::Key::Down))) << "the list's keys wait for the list";
        EXPECT_TRUE(root.keyPress(back));
        EXPECT_EQ(selector->detail(), nullptr);
        EXPECT_EQ(focusName(*selector), "A.MODULE") << "the focus row stays where it was";
    }
    EXPECT_FALSE(root.keyPress(key(ui::Key::Escape))) << "the list is the top level";
}

TEST_F(SelectorTest, TheFocusRowIsOutlinedAndAMarkedRowHasADot)
{
    selector->marked = {"C:\\Games\\A\\b.module"};
    selector->addFolder("C:\\Games\\A\\");
    const auto& rows = selector->groups()[0]->rows();
    ASSERT_TRUE(rows[1]->marked());
    EXPECT_FALSE(rows[0]->marked());
    const auto blueIn = [](const QImage& image, int x0, int x1, int y0, int y1) {
        int count = 0;
        for (int x = x0; x < x1; ++x)
            for (int y = y0; y < y1; ++y) {
                const QColor c = image.pixelColor(x, y);
                count += c.blue() > c.red() + 60 ? 1 : 0;
            }
        return count;
    };
    // The group stands at x 16; the dot sits in the row's indent, its text starts at 32.
    const auto rowBand = [&](const ui::SelectorRow& row) {
        const int top = int(centreOf(row).y - row.height() / 2);
        return std::pair<int, int>{top, top + int(row.height())};
    };
    const QImage plain = render();
    const auto [top0, bottom0] = rowBand(*rows[0]);
    const auto [top1, bottom1] = rowBand(*rows[1]);
    EXPECT_EQ(blueIn(plain, 16, 30, top0, bottom0), 0) << "no dot, no outline";
    EXPECT_GT(blueIn(plain, 20, 30, top1, bottom1), 4) << "the dot";

    root.keyPress(key(ui::Key::Down));
    const QImage focused = render();
    EXPECT_GT(blueIn(focused, 16, 18, top0, bottom0), 2) << "the outline's left side";
    EXPECT_GT(blueIn(focused, 300, 390, top0, top0 + 2), 10) << "its top";
    EXPECT_EQ(plain.copy(0, bottom0 + 1, 400, 300 - bottom0 - 1), focused.copy(0, bottom0 + 1, 400, 300 - bottom0 - 1))
        << "the rest as it was";
}

} // namespace
