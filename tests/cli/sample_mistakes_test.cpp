// The sample installation's Firstlight mod makes one of each mistake a
// newcomer makes; check --own must name each, where it is, and fail on
// none of them (they are all absorbed by the game).

#include "support/process.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

// Until the mount, the string tables and the screen tables report their
// mistakes with files, lines and widgets, only the rows marked `today` are
// found, and by code and screen alone. Set once they all are.
constexpr bool EveryMistakeLocated = true;

struct Mistake {
    const char* code;
    const char* file; // relative to the installation, '/' separated
    std::optional<int> line; // nothing: not compared
    const char* widget;      // nullptr: none
    bool today;
};

const char* const Module = "Firstlight.module";
const char* const Screen = "Firstlight/Data/Art/UI/Screens/Firstlight.screen";

const std::vector<Mistake> mistakes{
    {"data-folder-missing", Module, 10, nullptr, false},
    {"required-mod-missing", Module, 12, nullptr, false},
    {"string-table-no-bom", "Firstlight/Locale/English/NoBom.ucs", std::nullopt, nullptr, false},
    {"string-table-encoding", "Firstlight/Locale/English/Utf8.ucs", std::nullopt, nullptr, false},
    {"string-bad-id", "Firstlight/Locale/English/Spaces.ucs", 2, nullptr, false},
    {"string-last-line", "Firstlight/Locale/English/NoEnd.ucs", 1, nullptr, false},
    {"string-duplicate-id", "Firstlight/Locale/English/Twice.ucs", 2, nullptr, false},
    {"texture-invalid", Screen, 10, "Backdrop", true}, // TGA 1.0
    {"texture-invalid", Screen, 13, "Banner", true},   // run-length coded
    {"texture-invalid", Screen, 16, "Emblem", true},   // PNG
    {"style-missing", Screen, 18, "PlayButton", false},
    {"unknown-key", Screen, 21, "Caption", false}, // positon
    {"unknown-key", Screen, 21, "Caption", false}, // txt
    {"unknown-key", Screen, 25, "Seal", false},    // textur
    {"texture-no-name", Screen, 25, "Seal", false},
    {"colour-key-missing", Screen, 28, "Panel", false},
    {"bad-value", Screen, 30, "Footer", false},
    {"tooltip-missing", Screen, 33, "HelpButton", false},
    {"duplicate-name", Screen, 21, "Caption", false}, // built after the one on line 38
    {"text-overflow", Screen, std::nullopt, "Motto", false},
    {"unknown-type", Screen, 43, "Volume", true}, // Slider
    {"string-missing", Screen, 43, "Volume", true},
    {"unknown-type", Screen, 44, "Volume", true}, // Sprite
    {"font-fallback", Screen, 44, "Volume", true},
};

std::string slashes(std::string path)
{
    for (char& c : path)
        c = c == '\\' ? '/' : c;
    return path;
}

bool matches(const nlohmann::json& finding, const Mistake& mistake, bool located)
{
    if (finding["code"] != mistake.code)
        return false;
    const bool onScreen = std::string(mistake.file) == Screen;
    if (!located)
        return !onScreen || finding["screen"] == "Firstlight.screen";
    if (!finding["file"].is_string() || slashes(finding["file"]) != mistake.file)
        return false;
    if (mistake.line && finding["line"] != *mistake.line)
        return false;
    return mistake.widget ? finding["widget"] == mistake.widget : finding["widget"].is_null();
}

TEST(SampleMistakes, CheckOwnNamesEachMistakeOfTheFirstlightMod)
{
    const auto result = TestSupport::runProgram("tise-cli", {"check", "Firstlight.module", "--own", "--format", "json"},
                                                TISE_SAMPLE_DIR);
    EXPECT_EQ(result.exitCode, 0) << "mistakes the game absorbs are warnings\n" << result.err;
    const nlohmann::json report = nlohmann::json::parse(result.out);
    EXPECT_EQ(report["screens"], 1) << "the mod's own screen alone";
    EXPECT_EQ(report["errors"], 0);
    std::vector<nlohmann::json> left(report["findings"].begin(), report["findings"].end());
    for (const Mistake& mistake : mistakes) {
        if (!mistake.today && !EveryMistakeLocated)
            continue;
        const auto found = std::find_if(left.begin(), left.end(), [&](const nlohmann::json& finding) {
            return matches(finding, mistake, EveryMistakeLocated);
        });
        if (found == left.end()) {
            ADD_FAILURE() << "no " << mistake.code << " at " << mistake.file << ":" << mistake.line.value_or(0) << " ("
                          << (mistake.widget ? mistake.widget : "") << ") in\n" << report.dump(2);
            continue;
        }
        left.erase(found);
    }
    // The Seal's Graphic has no texture name, which resolves to no file.
    std::erase_if(left, [](const nlohmann::json& finding) {
        return finding["code"] == "texture-missing" || finding["level"] == "note";
    });
    if (EveryMistakeLocated) {
        EXPECT_TRUE(left.empty()) << "no other findings:\n" << nlohmann::json(left).dump(2);
    }
}

TEST(SampleMistakes, TheBaseGamesBrokenScreensFailTheModsCheckWithoutOwn)
{
    const auto all = TestSupport::runProgram("tise-cli", {"check", "Firstlight.module"}, TISE_SAMPLE_DIR);
    EXPECT_EQ(all.exitCode, 1);
    const std::vector<std::string> lines = TestSupport::lines(all.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().rfind("10 screens, 3 errors, ", 0), 0u) << lines.back();
}

} // namespace
