// tise-cli render --all on the sample installation, which holds screens that
// load and screens that fail, and tree --resolved on its lobby, whose map
// gallery has a missing and an invalid texture.

#include "support/png_pixels.h"
#include "support/process.h"
#include "support/temp_dir.h"

#include <QByteArray>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using TestSupport::lines;
using TestSupport::TempDir;

TestSupport::ProcessResult cli(const std::vector<std::string>& args)
{
    return TestSupport::runProgram("tise-cli", args, TISE_SAMPLE_DIR);
}

std::vector<std::string> screensOf(const std::string& module)
{
    const auto result = cli({"screens", module});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return lines(result.out);
}

std::set<std::string> pngsIn(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.is_regular_file())
            names.insert(entry.path().filename().string());
    return names;
}

bool isBroken(const std::string& screen) { return screen.rfind("broken_", 0) == 0; }


TEST(RenderAllCommand, WritesOnePngPerScreenAndReportsTheBrokenOnesWithExitOne)
{
    const std::vector<std::string> screens = screensOf("Ironveil.module");
    ASSERT_GE(screens.size(), 4u);
    const TempDir out;
    const auto result = cli({"render", "Ironveil.module", "--all", "-o", out / "shots"});
    EXPECT_EQ(result.exitCode, 1) << result.err;
    // Not a terminal: no progress line.
    EXPECT_EQ(result.err.find("rendering"), std::string::npos) << result.err;

    const std::vector<std::string> printed = lines(result.out);
    ASSERT_EQ(printed.size(), screens.size() + 1) << result.out;
    std::set<std::string> expected;
    std::size_t broken = 0;
    for (std::size_t i = 0; i < screens.size(); ++i) {
        if (isBroken(screens[i])) {
            ++broken;
            EXPECT_EQ(printed[i].rfind(screens[i] + ": error: Cannot ", 0), 0u) << printed[i];
        } else {
            EXPECT_EQ(printed[i], screens[i] + ": ok");
            expected.insert(screens[i] + ".png");
        }
    }
    ASSERT_EQ(broken, 3u) << "the sample's broken_*.screen";
    EXPECT_EQ(printed.back(), std::to_string(screens.size()) + " screens, 3 errors");
    EXPECT_EQ(pngsIn(std::filesystem::path(out / "shots")), expected);

    // Each picture is the one render draws for that screen alone.
    const auto single = cli({"render", "Ironveil.module", "lobby.screen", "-o", out / "lobby.png"});
    ASSERT_EQ(single.exitCode, 0) << single.err;
    const QImage all = TestSupport::readPng(out / "shots/lobby.screen.png");
    const QImage one = TestSupport::readPng(out / "lobby.png");
    EXPECT_EQ(all.size(), QSize(1024, 768));
    EXPECT_TRUE(all == one) << "render --all draws as render does";
}

TEST(RenderAllCommand, EverySizeGoesIntoAFolderOfItsOwnAndAModuleWithoutFailuresExitsZero)
{
    const std::vector<std::string> screens = screensOf("Emberwake.module");
    ASSERT_FALSE(screens.empty());
    const TempDir out;
    const auto result = cli({"render", "Emberwake.module", "--all", "-o", out.path().string(), "--size", "800x600",
                             "--size", "1920x1080"});
    const bool anyBroken = std::any_of(screens.begin(), screens.end(), isBroken);
    EXPECT_EQ(result.exitCode, anyBroken ? 1 : 0) << result.out << result.err;
    EXPECT_EQ(lines(result.out).back(), std::to_string(screens.size()) + " screens, " +
                                            std::to_string(std::count_if(screens.begin(), screens.end(), isBroken)) +
                                            " errors");
    for (const auto& [folder, size] : {std::pair{"800x600", QSize(800, 600)}, std::pair{"1920x1080", QSize(1920, 1080)}}) {
        for (const std::string& screen : screens) {
            if (isBroken(screen))
                continue;
            const QImage picture = TestSupport::readPng(out / (std::string(folder) + "/" + screen + ".png"));
            EXPECT_EQ(picture.size(), size) << folder << "/" << screen;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(out / (screens.front() + ".png"))) << "nothing at the top";
}

// The bytes of every file under folder, by path relative to it.
std::map<std::string, std::string> filesUnder(const std::filesystem::path& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[std::filesystem::relative(entry.path(), folder).string()] = TestSupport::readFile(entry.path());
    return files;
}

TEST(RenderAllCommand, ManyJobsPrintAndWriteWhatOneJobDoes)
{
    const TempDir out;
    auto run = [&](const std::string& jobs) {
        return cli({"render", "Ironveil.module", "--all", "-o", out / jobs, "--size", "800x600", "--size",
                    "1280x720", "-j", jobs});
    };
    const auto one = run("1");
    ASSERT_EQ(lines(one.out).size(), screensOf("Ironveil.module").size() + 1) << one.err;
    EXPECT_NE(one.err, "") << "the sample's invalid texture is reported";
    const std::map<std::string, std::string> pictures = filesUnder(out / "1");
    EXPECT_EQ(pictures.size(), 2 * (screensOf("Ironveil.module").size() - 3)) << "two sizes, broken screens aside";
    for (const std::string jobs : {"2", "3", "16"}) {
        SCOPED_TRACE("-j " + jobs);
        const auto many = run(jobs);
        EXPECT_EQ(many.exitCode, one.exitCode);
        EXPECT_EQ(many.out, one.out);
        EXPECT_EQ(many.err, one.err) << "diagnostics in the same order";
        EXPECT_TRUE(filesUnder(out / jobs) == pictures) << "the same pictures, byte for byte";
    }
}

TEST(RenderAllCommand, BadUsage)
{
    const TempDir out;
    const std::string folder = out / "x";
    const std::vector<std::vector<std::string>> cases = {
        {"render", "Ironveil.module", "lobby.screen", "--all", "-o", folder},
        {"render", "Ironveil.module", "--all"},
        {"render", "Ironveil.module", "--all", "-o", folder, "--hover", "Title"},
        {"render", "Ironveil.module", "--all", "-o", folder, "--watch"},
        {"render", "Ironveil.module", "--all", "-o", folder, "--size", "800x600", "--size", "0x1"},
        {"render", "Ironveil.module", "--all", "-o", folder, "-j", "0"},
        {"render", "Ironveil.module", "--all", "-o", folder, "-j", "two"},
        {"render", "Ironveil.module", "--all", "-o", folder, "-j"},
        {"render", "Ironveil.module", "lobby.screen", "-o", folder, "-j", "2"},
    };
    for (const auto& args : cases) {
        const auto result = cli(args);
        EXPECT_EQ(result.exitCode, 2) << testing::PrintToString(args) << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_FALSE(std::filesystem::exists(folder)) << testing::PrintToString(args);
    }
}

QJsonObject findWidget(const QJsonValue& widget, const QString& name)
{
    if (!widget.isObject())
        return {};
    const QJsonObject object = widget.toObject();
    if (object["name"].toString() == name)
        return object;
    for (const QJsonValue child : object["children"].toArray())
        if (const QJsonObject found = findWidget(child, name); !found.isEmpty())
            return found;
    return {};
}

QJsonObject treeOf(const std::vector<std::string>& extra)
{
    std::vector<std::string> args = {"tree", "Ironveil.module", "lobby.screen"};
    args.insert(args.end(), extra.begin(), extra.end());
    const auto result = cli(args);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return QJsonDocument::fromJson(QByteArray::fromStdString(result.out)).object();
}

TEST(TreeResolved, SaysWhatStylesTexturesColoursAndFontsResolvedTo)
{
    const QJsonObject plain = treeOf({});
    const QJsonObject resolved = treeOf({"--resolved"});
    ASSERT_FALSE(resolved.isEmpty());

    const QJsonObject missing = findWidget(resolved["widgetsRoot"], "TileMissing");
    ASSERT_FALSE(missing.isEmpty());
    EXPECT_EQ(missing["style"].toArray(), (QJsonArray{"Lobby", "Tile"}));
    EXPECT_TRUE(missing["styleFound"].toBool());
    EXPECT_TRUE(missing["localisedText"].isNull());
    const QJsonObject texture = missing["art"].toArray()[0].toObject();
    EXPECT_EQ(texture["textureStatus"].toString(), "missing");
    EXPECT_EQ(texture["textureReason"].toString(),
              "no file Art/UI/Textures/nothing_here.dds or Art/UI/Textures/nothing_here.tga");
    const QJsonObject frame = missing["art"].toArray()[1].toObject();
    EXPECT_EQ(frame["colourKey"].toString(), "steel");
    // The lines of the tables they were built from, a shared one where it was made.
    EXPECT_EQ(missing["line"].toInt(), 81);
    EXPECT_EQ(texture["line"].toInt(), 82);
    EXPECT_EQ(frame["line"].toInt(), 13);

    const QJsonObject invalid = findWidget(resolved["widgetsRoot"], "TileInvalid");
    ASSERT_FALSE(invalid.isEmpty());
    const QJsonObject bad = invalid["art"].toArray()[0].toObject();
    EXPECT_EQ(bad["textureStatus"].toString(), "invalid");
    EXPECT_NE(bad["textureReason"].toString().indexOf("Only 24bpp and 32bpp TGA files are supported"), -1)
        << bad["textureReason"].toString().toStdString();

    // Localised text, and the typeface and size of the title's font at 1024 × 768.
    const QJsonObject title = findWidget(resolved["widgetsRoot"], "Title");
    ASSERT_FALSE(title.isEmpty());
    EXPECT_EQ(title["text"].toString(), "$50");
    EXPECT_NE(title["localisedText"].toString(), "$50");
    EXPECT_FALSE(title["localisedText"].toString().isEmpty());
    const QJsonObject text = title["art"].toArray()[0].toObject();
    EXPECT_EQ(text["kind"].toString(), "TextArt");
    // serif_title_64: "DejaVu Serif Book", sizeDefault 64 (48 DIPs), factor 1 at width 1024.
    EXPECT_EQ(text["fontname"].toString(), "serif_title_64");
    EXPECT_EQ(text["typeface"].toString(), "DejaVu Serif");
    EXPECT_DOUBLE_EQ(text["fontSize"].toDouble(), 48.0);

    // Without --resolved, the documented fields alone.
    const QJsonObject before = findWidget(plain["widgetsRoot"], "TileMissing");
    for (const char* field : {"style", "styleFound", "localisedText", "line"})
        EXPECT_FALSE(before.contains(field)) << field;
    EXPECT_FALSE(before["art"].toArray()[0].toObject().contains("textureStatus"));
    EXPECT_FALSE(before["art"].toArray()[0].toObject().contains("line"));
    // Every documented field keeps its value.
    for (const QString& key : before.keys()) {
        if (key != "art" && key != "children") {
            EXPECT_EQ(before[key], missing[key]) << key.toStdString();
        }
    }
}

} // namespace
