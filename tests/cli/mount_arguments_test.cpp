// tise-cli's options of every mounting command (--language, --pseudo), and
// `which` and `tree --resolved` telling which file won, on an installation
// made here: a mod that requires a base mod, string tables in English,
// French and German, a data folder, archives from our own writer, and the
// engine's.

#include "data/sga_writer.h"
#include "fixtures/ucs_builder.h"
#include "support/png_pixels.h"
#include "support/process.h"
#include "support/temp_dir.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using TestSupport::lines;
using TestSupport::TempDir;

// Main requires Base. Main offers English, French and German, Base English
// and French: the mount's own choice is English. "art/ui/screens/menu.screen"
// is in Main's data folder, Main's archive, Base's data folder and the
// engine's archive.
class Installation {
public:
    Installation()
    {
        dir_.write("Main.module",
                   "ModFolder = Main\nDataFolder.1 = Data\nArchiveFile.1 = Main\nRequiredMod.1 = Base\n");
        dir_.write("Base.module", "ModFolder = Base\nDataFolder.1 = Data\n");
        dir_.write("Main/Locale/English/main.ucs", Fixtures::ucsFile({{1, "Start"}, {3, "Only English"}}));
        dir_.write("Main/Locale/French/main.ucs", Fixtures::ucsFile({{1, "Commencer"}}));
        dir_.write("Main/Locale/German/main.ucs", Fixtures::ucsFile({{1, "Anfangen"}}));
        dir_.write("Base/Locale/English/base.ucs", Fixtures::ucsFile({{2, "Back"}}));
        dir_.write("Base/Locale/French/base.ucs", Fixtures::ucsFile({{2, "Retour"}}));
        dir_.write("Base/Data/Font/DejaVuSans.ttf",
                   TestSupport::readFile("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"));
        dir_.write("Base/Data/Font/plain.fnt", "font = { name = 'DejaVu Sans Book', sizeDefault = 16 }");
        dir_.write("Base/Data/Font/gillsans_16.fnt", "font = { name = 'DejaVu Sans Book', sizeDefault = 16 }");

        const std::string screen = "Screen = { Widgets = { name = 'Root' } }";
        dir_.write("Main/Data/art/ui/screens/menu.screen", texts("$1", "Literal"));
        dir_.write("Main/Main.sga", Mod::writeSga({{"art/ui/screens/menu.screen", screen},
                                                   {"art/ui/screens/packed.screen", screen},
                                                   {"art/ui/textures/plate.dds", "not decoded here"}}));
        dir_.write("Base/Data/art/ui/screens/menu.screen", screen);
        dir_.write("Base/Data/art/ui/screens/base.screen", screen);
        dir_.write("Base/Data/art/ui/textures/plate.tga", "shadowed");
        dir_.write("Base/Data/art/ui/textures/logo.tga", "not a TGA");
        dir_.write("Main/Data/art/ui/screens/textures.screen",
                   "Screen = { Widgets = { name = 'Root', Presentation = { Art = { "
                   "{ type = 'Graphic', texture = 'art/ui/textures/plate', states = { 'Normal' } }, "
                   "{ type = 'Graphic', texture = 'art/ui/textures/logo', states = { 'Normal' } }, "
                   "{ type = 'Graphic', texture = 'art/ui/textures/none', states = { 'Normal' } }, "
                   "{ type = 'Rectangle', states = { 'Normal' } } } } } }");
        dir_.write("Engine/Engine.sga", Mod::writeSga({{"art/ui/screens/menu.screen", screen}}));
    }

    // A screen of two text widgets, one above the other, in black on white.
    static std::string texts(const std::string& top, const std::string& bottom)
    {
        const auto widget = [](const std::string& name, const std::string& text, const char* y) {
            return "{ name = '" + name + "', text = '" + text + "', position = { 0, " + y +
                   " }, size = { 1, 0.5 }, Presentation = { Art = { { type = 'Text', fontname = 'plain', "
                   "states = { 'Normal' }, textColourTop = { 0, 0, 0, 255 }, textColourBottom = { 0, 0, 0, 255 },"
                   " horzAlign = 'Left', vertAlign = 'Centre' } } } }";
        };
        return "Screen = { Widgets = { name = 'Root', Presentation = { Art = { { type = 'Rectangle', "
               "colour = { 255, 255, 255, 255 }, states = { 'Normal' } } } }, Children = { " +
               widget("Top", top, "0") + ", " + widget("Bottom", bottom, "0.5") + " } } }";
    }

    // tise-cli COMMAND Main.module ARGS..., in the installation folder.
    TestSupport::ProcessResult run(const std::string& command, std::vector<std::string> args) const
    {
        args.insert(args.begin(), {command, "Main.module"});
        return TestSupport::runProgram("tise-cli", args, dir_.path().string());
    }

    std::string operator/(const std::string& relative) const { return dir_ / relative; }
    void write(const std::string& relative, const std::string& bytes) const { dir_.write(relative, bytes); }

private:
    TempDir dir_;
};

QJsonObject jsonOf(const std::string& text)
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
}

// The columns, in the rows of [y0, y1), that hold dark ink: their leftmost
// and rightmost x, or {-1, -1}.
std::pair<int, int> inkColumns(const QImage& image, int y0, int y1)
{
    int left = -1, right = -1;
    for (int y = y0; y < y1; ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                left = left < 0 ? x : std::min(left, x);
                right = std::max(right, x);
            }
    return {left, right};
}

} // namespace

TEST(LanguageOption, ChangesTheStringsAndWhatInfoSays)
{
    const Installation install;
    struct Case {
        std::vector<std::string> options;
        std::string language;
        std::vector<std::string> tables;
        std::vector<std::string> strings; // $1, $2, $3
        std::string err;
    };
    const std::string noGerman = "tise-cli: warning: no Locale folder offers Klingon\n";
    const std::vector<Case> cases{
        {{}, "English", {"Main\\Locale\\English\\main.ucs", "Base\\Locale\\English\\base.ucs"},
         {"Start", "Back", "Only English"}, ""},
        {{"--language", "French"}, "French", {"Main\\Locale\\French\\main.ucs", "Base\\Locale\\French\\base.ucs"},
         {"Commencer", "Retour", "$3 No String!"}, ""},
        {{"--language=German"}, "German", {"Main\\Locale\\German\\main.ucs"},
         {"Anfangen", "$2 No String!", "$3 No String!"}, ""},
        {{"--language", "Klingon"}, "Klingon", {}, {"$1 No String!", "$2 No String!", "$3 No String!"}, noGerman},
    };
    for (const Case& c : cases) {
        const std::string what = testing::PrintToString(c.options);
        std::vector<std::string> args = c.options;
        const auto info = install.run("info", args);
        ASSERT_EQ(info.exitCode, 0) << what << info.err;
        EXPECT_EQ(info.err, c.err) << what;
        const QJsonObject json = jsonOf(info.out);
        EXPECT_EQ(json["language"].toString().toStdString(), c.language) << what;
        std::vector<std::string> tables;
        for (const QJsonValue table : json["stringTables"].toArray())
            tables.push_back(table.toString().toStdString());
        EXPECT_EQ(tables, c.tables) << what;

        args.insert(args.begin(), {"$1", "$2", "$3"});
        const auto localise = install.run("localise", args);
        ASSERT_EQ(localise.exitCode, 0) << what << localise.err;
        EXPECT_EQ(lines(localise.out), c.strings) << what;
    }

    const auto empty = install.run("screens", {"--language="});
    EXPECT_EQ(empty.exitCode, 2);
    EXPECT_EQ(lines(empty.err).at(0), "tise-cli: --language takes a language name");
}

TEST(PseudoOption, PseudoLocalisesStringTableTextsAndLeavesLiteralTexts)
{
    const Installation install;
    const auto localise = install.run("localise", {"$1", "Literal", "$9", "--pseudo"});
    ASSERT_EQ(localise.exitCode, 0) << localise.err;
    EXPECT_EQ(lines(localise.out), (std::vector<std::string>{"[Šţáŕţ~~]", "Literal", "$9 No String!"}));

    const auto tree = install.run("tree", {"menu.screen", "--resolved", "--pseudo", "--language", "French"});
    ASSERT_EQ(tree.exitCode, 0) << tree.err;
    const QJsonArray children = jsonOf(tree.out)["widgetsRoot"].toObject()["children"].toArray();
    ASSERT_EQ(children.size(), 2);
    EXPECT_EQ(children[0].toObject()["localisedText"].toString(), QString::fromUtf8("[Çömméñçéŕ~~~~]"));
    EXPECT_EQ(children[1].toObject()["localisedText"].toString(), "Literal");

    // Drawn: the string table's text grows, the literal one is the same picture.
    const std::string plain = install / "plain.png", pseudo = install / "pseudo.png";
    ASSERT_EQ(install.run("render", {"menu.screen", "-o", plain, "--size", "640x200"}).exitCode, 0);
    const auto rendered = install.run("render", {"menu.screen", "-o", pseudo, "--size=640x200", "--pseudo"});
    ASSERT_EQ(rendered.exitCode, 0) << rendered.err;
    const QImage before = TestSupport::readPng(plain), after = TestSupport::readPng(pseudo);
    const auto [left, right] = inkColumns(before, 0, 100);
    const auto [pseudoLeft, pseudoRight] = inkColumns(after, 0, 100);
    ASSERT_GE(left, 0);
    EXPECT_EQ(pseudoLeft, left) << "left aligned";
    EXPECT_GT(pseudoRight - pseudoLeft, (right - left) * 3 / 2) << "\"Start\" against \"[Šţáŕţ~~]\"";
    EXPECT_EQ(before.copy(0, 100, 640, 100), after.copy(0, 100, 640, 100)) << "the literal text is unchanged";

    // check --pseudo: what fits in English but not once translated, and
    // never a literal text, which no translation reaches.
    const auto tight = [](const char* name, const char* text, const char* y) {
        return std::string("{ name = '") + name + "', text = '" + text + "', position = { 0, " + y +
               " }, size = { 0.05, 0.05 }, Presentation = { Art = { { type = 'Text', fontname = 'plain', "
               "multiline = false, states = { 'Normal' } } } } }";
    };
    install.write("Main/Data/art/ui/screens/tight.screen", "Screen = { Widgets = { name = 'Root', Children = { " +
                                                               tight("Start", "$1", "0") + ", " +
                                                               tight("Literal", "Literal", "0.5") + " } } }");
    const auto overflows = [&](std::vector<std::string> options) {
        options.insert(options.begin(), {"tight.screen", "--format", "gnu"});
        std::vector<std::string> widgets;
        for (const std::string& line : lines(install.run("check", options).out)) {
            const std::size_t name = line.find("widget \"") + 8;
            if (line.find("does not fit") != std::string::npos)
                widgets.push_back(line.substr(name, line.find('"', name) - name));
        }
        return widgets;
    };
    EXPECT_EQ(overflows({}), std::vector<std::string>{}) << "\"Start\" and \"Literal\" fit";
    EXPECT_EQ(overflows({"--pseudo"}), std::vector<std::string>{"Start"});
}

TEST(WhichCommand, ListsEverySourceThatHoldsThePathTheServingOneFirst)
{
    const Installation install;
    struct Case {
        std::string path;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases{
        {"Art\\UI\\Screens\\MENU.screen",
         {"folder\tMain\\Data\\\tMain/Data/art/ui/screens/menu.screen",
          "archive\tMain\\Main.sga\tart\\ui\\screens\\menu.screen",
          "folder\tBase\\Data\\\tBase/Data/art/ui/screens/menu.screen",
          "archive\tEngine\\Engine.sga\tart\\ui\\screens\\menu.screen"}},
        {"art/ui/screens/base.screen", {"folder\tBase\\Data\\\tBase/Data/art/ui/screens/base.screen"}},
        {"art/ui/screens/packed.screen", {"archive\tMain\\Main.sga\tart\\ui\\screens\\packed.screen"}},
    };
    for (const Case& c : cases) {
        const auto result = install.run("which", {c.path});
        ASSERT_EQ(result.exitCode, 0) << c.path << result.err;
        // A folder's file is where the mount reached it: relative to the current directory here.
        EXPECT_EQ(lines(result.out), c.lines) << c.path;
    }
    const auto none = install.run("which", {"art/ui/screens/none.screen"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, "tise-cli: no source has art/ui/screens/none.screen\n");
}

TEST(TreeResolved, NamesTheSourcesOfTheScreenAndOfEachTexture)
{
    const Installation install;
    const auto tree = [&](const std::string& screen) {
        const auto result = install.run("tree", {screen, "--resolved"});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return jsonOf(result.out);
    };
    EXPECT_EQ(tree("menu.screen")["source"].toObject(),
              (QJsonObject{{"kind", "folder"}, {"path", "Main\\Data\\"}}));
    EXPECT_EQ(tree("base.screen")["source"].toObject(), (QJsonObject{{"kind", "folder"}, {"path", "Base\\Data\\"}}));
    EXPECT_EQ(tree("packed.screen")["source"].toObject(),
              (QJsonObject{{"kind", "archive"}, {"path", "Main\\Main.sga"}}));
    EXPECT_FALSE(jsonOf(install.run("tree", {"menu.screen"}).out).contains("source")) << "only with --resolved";

    // The .dds variant comes first, so the archive's is decoded (and fails), not the data folder's .tga.
    const QJsonArray art = tree("textures.screen")["widgetsRoot"].toObject()["art"].toArray();
    ASSERT_EQ(art.size(), 4);
    EXPECT_EQ(art[0].toObject()["textureSource"].toObject(),
              (QJsonObject{{"kind", "archive"}, {"path", "Main\\Main.sga"}}));
    EXPECT_EQ(art[1].toObject()["textureSource"].toObject(),
              (QJsonObject{{"kind", "folder"}, {"path", "Base\\Data\\"}}));
    EXPECT_TRUE(art[2].toObject()["textureSource"].isNull()) << "missing";
    EXPECT_EQ(art[2].toObject()["textureStatus"].toString(), "missing");
    EXPECT_FALSE(art[3].toObject().contains("textureSource")) << "no texture art";
}
