// What check prints, on findings made here with every field a finding can
// have, and which files --own keeps, on a real installation mounted here.

#include "cli/check_report.h"
#include "cli/finding_bytes.h"
#include "cli/own_files.h"
#include "data/mount_module.h"
#include "data/sga_writer.h"
#include "fixtures/ucs_builder.h"
#include "support/process.h"
#include "support/temp_dir.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using base::Finding;
using base::FindingLevel;
using Json = nlohmann::ordered_json;

Finding finding(FindingLevel level, std::string code, std::string message)
{
    Finding f;
    f.level = level;
    f.code = std::move(code);
    f.message = std::move(message);
    return f;
}

// A mount's findings and two screens', one of each kind of location.
cli::CheckResult sampleResult()
{
    cli::CheckResult result;
    result.module = "mods/Mod.module";
    result.screens = 2;
    Finding folder = finding(FindingLevel::Warning, "data-folder-missing", "DataFolder.2 names no folder");
    folder.hint = "create the folder or remove the key";
    folder.file = "mods/Mod.module";
    folder.line = 4;
    Finding language = finding(FindingLevel::Note, "language-choice", "the language is French");
    language.file = "mods/Mod.module";
    language.line = 1;
    Finding bom = finding(FindingLevel::Warning, "string-table-no-bom", "strings.ucs has no byte order mark");
    bom.hint = "save it as UTF-16 LE with a byte order mark";
    bom.file = "mods/Mod/Locale/English/strings.ucs";
    Finding load = finding(FindingLevel::Error, "load-error", "Cannot load screen file a.screen: slice:3: boom");
    load.screen = "a.screen";
    load.file = "mods/Mod/Art.sga";
    load.member = "art\\ui\\screens\\a.screen";
    load.line = 3;
    // Windows-1252 game text, a TAB, and a path with a space.
    Finding key = finding(FindingLevel::Warning, "unknown-key", "widget \"Caf\xE9\": key \"positon\"\tis never read");
    key.hint = "did you mean `position`?";
    key.screen = "b.screen";
    key.widget = "Caf\xE9";
    key.file = "mods/Mod/Data/b screen.screen";
    key.line = 12;
    Finding font = finding(FindingLevel::Warning, "font-fallback", "font \"x\" fell back");
    font.screen = "b.screen";
    for (Finding* f : {&folder, &language, &bom, &load, &key, &font})
        result.findings.add(*f);
    return result;
}

std::string written(cli::CheckFormat format)
{
    std::ostringstream out;
    cli::writeCheckResult(sampleResult(), format, out);
    return out.str();
}

TEST(CheckReport, LineFormatsForPeopleAndEditors)
{
    struct Case {
        cli::CheckFormat format;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {cli::CheckFormat::Text,
         {
             "Mod.module: warning: DataFolder.2 names no folder",
             "strings.ucs: warning: strings.ucs has no byte order mark",
             "a.screen: error: Cannot load screen file a.screen: slice:3: boom",
             "b.screen: warning: widget \"Caf\u00e9\": key \"positon\"\\tis never read",
             "b.screen: warning: font \"x\" fell back",
             "2 screens, 1 errors, 4 warnings",
         }},
        {cli::CheckFormat::Gnu,
         {
             "mods/Mod.module:4: warning: DataFolder.2 names no folder",
             "mods/Mod.module:4: note: create the folder or remove the key",
             "mods/Mod.module:1: note: the language is French",
             "mods/Mod/Locale/English/strings.ucs: warning: strings.ucs has no byte order mark",
             "mods/Mod/Locale/English/strings.ucs: note: save it as UTF-16 LE with a byte order mark",
             "mods/Mod/Art.sga[art\\ui\\screens\\a.screen]:3: error: Cannot load screen file a.screen: slice:3: boom",
             "mods/Mod/Data/b screen.screen:12: warning: widget \"Caf\u00e9\": key \"positon\"\\tis never read",
             "mods/Mod/Data/b screen.screen:12: note: did you mean `position`?",
             "b.screen: warning: font \"x\" fell back",
             "2 screens, 1 errors, 4 warnings",
         }},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TestSupport::lines(written(c.format)), c.lines);
}

TEST(CheckReport, JsonHasEveryFieldOfEveryFindingInOrder)
{
    const Json json = Json::parse(written(cli::CheckFormat::Json));
    std::vector<std::string> keys;
    for (const auto& item : json.items())
        keys.push_back(item.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"module", "screens", "errors", "warnings", "findings"}));
    EXPECT_EQ(json["module"], "mods/Mod.module");
    EXPECT_EQ(json["screens"], 2);
    EXPECT_EQ(json["errors"], 1);
    EXPECT_EQ(json["warnings"], 4);
    ASSERT_EQ(json["findings"].size(), 6u) << "notes too";

    const Json& key = json["findings"][4];
    keys.clear();
    for (const auto& item : key.items())
        keys.push_back(item.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"level", "code", "message", "hint", "screen", "widget", "file",
                                              "member", "line"}));
    EXPECT_EQ(key, Json::parse(R"({"level": "warning", "code": "unknown-key",
        "message": "widget \"Café\": key \"positon\"\tis never read", "hint": "did you mean `position`?",
        "screen": "b.screen", "widget": "Café", "file": "mods/Mod/Data/b screen.screen", "member": null,
        "line": 12})"));
    EXPECT_EQ(json["findings"][3]["member"], "art\\ui\\screens\\a.screen");
    const Json& font = json["findings"][5];
    for (const char* absent : {"hint", "widget", "file", "member", "line"})
        EXPECT_TRUE(font[absent].is_null()) << absent;
    EXPECT_EQ(json["findings"][1]["level"], "note");
}

// What a SARIF 2.1.0 log must hold (no schema of it is packaged for the
// machine, so its required properties are checked here), and where each
// finding went.
TEST(CheckReport, SarifHasTheRequiredPropertiesAndOneRulePerCode)
{
    const Json log = Json::parse(written(cli::CheckFormat::Sarif));
    EXPECT_EQ(log["version"], "2.1.0");
    ASSERT_TRUE(log["runs"].is_array());
    ASSERT_EQ(log["runs"].size(), 1u);
    const Json& run = log["runs"][0];
    const Json& driver = run["tool"]["driver"];
    EXPECT_EQ(driver["name"], "tise-cli");
    ASSERT_TRUE(driver["version"].is_string());
    EXPECT_EQ(driver["version"], std::string(cli::toolVersion()));
    std::vector<std::string> rules;
    for (const Json& rule : driver["rules"]) {
        rules.push_back(rule["id"]);
        EXPECT_FALSE(rule["shortDescription"]["text"].get<std::string>().empty());
    }
    EXPECT_EQ(rules, (std::vector<std::string>{"data-folder-missing", "language-choice", "string-table-no-bom",
                                               "load-error", "unknown-key", "font-fallback"}));

    const Json& results = run["results"];
    ASSERT_EQ(results.size(), 6u);
    const std::set<std::string> levels{"none", "note", "warning", "error"};
    for (const Json& result : results) {
        EXPECT_EQ(rules.at(result["ruleIndex"]), result["ruleId"]);
        EXPECT_TRUE(levels.count(result["level"])) << result["level"];
        EXPECT_TRUE(result["message"]["text"].is_string());
        for (const Json& location : result.value("locations", Json::array()))
            EXPECT_GE(location["physicalLocation"].value("region", Json{{"startLine", 1}})["startLine"], 1);
    }
    const auto uriOf = [&](int i) { return results[i]["locations"][0]["physicalLocation"]["artifactLocation"]["uri"]; };
    EXPECT_EQ(uriOf(0), "mods/Mod.module");
    EXPECT_EQ(results[0]["locations"][0]["physicalLocation"]["region"]["startLine"], 4);
    EXPECT_FALSE(results[2]["locations"][0]["physicalLocation"].contains("region")) << "no line";
    EXPECT_EQ(uriOf(3), "mods/Mod/Art.sga");
    EXPECT_EQ(results[3]["properties"]["member"], "art\\ui\\screens\\a.screen");
    EXPECT_EQ(results[3]["level"], "error");
    EXPECT_EQ(uriOf(4), "mods/Mod/Data/b%20screen.screen") << "a URI reference";
    EXPECT_EQ(results[4]["message"]["text"], "widget \"Caf\u00e9\": key \"positon\"\tis never read");
    EXPECT_EQ(results[4]["properties"]["hint"], "did you mean `position`?");
    EXPECT_FALSE(results[5].contains("locations")) << "located in no file";
}

// What a screen's check found, handed from process to process, keeps every
// field and diagnostic, whatever bytes they hold.
TEST(FindingBytes, EveryFieldComesBackExactly)
{
    const base::FindingList all = sampleResult().findings;
    Finding raw = finding(FindingLevel::Note, std::string("a\0b", 3), "\xFF\xFE not text\n");
    raw.file = "";
    raw.line = -1;
    base::FindingList one, rawOnly;
    one.add(all.all().front());
    rawOnly.add(raw);
    const cli::Found cases[] = {
        {{}, {}},
        {one, {}},
        {all, {"Art/UI/Textures/x.tga: Unrecognised image format", ""}},
        {rawOnly, {std::string("\0\xFF", 2)}},
    };
    for (const cli::Found& found : cases) {
        const std::string bytes = cli::findingBytes(found);
        const cli::Found back = cli::findingsFromBytes(bytes);
        EXPECT_EQ(back.findings.all(), found.findings.all()) << found.findings.size();
        EXPECT_EQ(back.diagnostics, found.diagnostics);
        EXPECT_THROW(cli::findingsFromBytes(std::string_view(bytes).substr(0, bytes.size() - 1)), std::runtime_error);
    }
}

// Main requires Base; both have data folders, Main an archive too, and
// the engine an archive of its own.
TEST(OwnFiles, TheChosenModulesScreensAndFilesAreItsOwn)
{
    TestSupport::TempDir dir;
    const std::string root = dir.path().string() + "/";
    dir.write("Main.module", "ModFolder = Main\nDataFolder.1 = Data\nArchiveFile.1 = Arch\nRequiredMod.1 = Base\n");
    dir.write("Base.module", "ModFolder = Base\nDataFolder.1 = Data\n");
    dir.write("Main/Data/Art/UI/Screens/mine.screen", "x");
    dir.write("Main/Data/Art/UI/Screens/shared.screen", "x");
    dir.write("Main/Arch.sga", Mod::writeSga({{"art/ui/screens/packed.screen", "x"}}));
    dir.write("Main/Locale/English/main.ucs", Fixtures::ucsFile({{1, "one"}}));
    dir.write("Base/Data/Art/UI/Screens/shared.screen", "x");
    dir.write("Base/Data/Art/UI/Screens/base.screen", "x");
    dir.write("Base/Locale/English/base.ucs", Fixtures::ucsFile({{1, "one"}}));
    dir.write("Engine/Engine.sga", Mod::writeSga({{"art/ui/screens/engine.screen", "x"}}));
    Mod::ModContext module;
    Mod::MountModule(module, root + "Main.module");
    const cli::OwnFiles own(module, root + "Main.module");

    const std::pair<const char*, bool> screens[] = {
        {"Art\\UI\\Screens\\mine.screen", true},   {"art/ui/screens/SHARED.screen", true},
        {"Art\\UI\\Screens\\packed.screen", true}, {"Art\\UI\\Screens\\base.screen", false},
        {"Art\\UI\\Screens\\engine.screen", false}, {"Art\\UI\\Screens\\gone.screen", true},
    };
    for (const auto& [path, expected] : screens)
        EXPECT_EQ(own.screen(path), expected) << path;

    const std::pair<std::optional<std::string>, bool> files[] = {
        {root + "Main.module", true},
        {root + "MAIN.module", true},
        {root + "Base.module", false},
        {root + "Main\\Locale\\English\\main.ucs", true},
        {root + "Main/Arch.sga", true},
        {root + "Base/Locale/English/base.ucs", false},
        {root + "Engine/Engine.sga", false},
        {root + "Main/Locale/English/gone.ucs", false},
        {std::nullopt, true},
    };
    for (const auto& [file, expected] : files) {
        Finding f = finding(FindingLevel::Warning, "x", "y");
        f.file = file;
        EXPECT_EQ(own.finding(f), expected) << file.value_or("no file");
    }
}

} // namespace
