#include "ui/selector.h"

#include "gfx/graphics_context.h"
#include "gfx/render_target.h"
#include "memory_source.h"
#include "test_controls.h"
#include "ui/folder_group.h"
#include "ui/scroll_bar.h"
#include "ui/scroll_view.h"
#include "ui/selection_band.h"
#include "ui/selector_row.h"

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <limits>
#include <map>
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
    std::unique_ptr<ui::Control> createDetail(const std::string& path) override
    {
        if (path.find("broken") != std::string::npos)
            throw std::runtime_error("Cannot open module file " + path);
        chosen.push_back(path);
        return std::make_unique<Box>(gfx::Color{0, 0, 1, 1});
    }

    std::map<std::string, std::u16string> second;
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

} // namespace
