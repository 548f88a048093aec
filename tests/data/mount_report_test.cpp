// What a mount says about a module it absorbs silently: each row is a small
// installation on disk with one mistake in its .module file (or beside it),
// mounted by the real mounter; the findings must name the code, the file and
// the key's line.

#include "base/diagnostic_log.h"
#include "data/mount_module.h"
#include "data/sga_writer.h"
#include "fixtures/ucs_builder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

namespace {

struct Expected {
    const char* code;
    const char* file; // relative to the installation
    std::optional<int> line;
    const char* hint = nullptr; // a part of the hint, when it must have one
};

struct Row {
    const char* mistake;
    std::string module; // Mod.module
    std::vector<std::pair<std::string, std::string>> files;
    std::vector<Expected> expected;
};

// Every row's installation has a base mod, a data folder and an engine archive that are right.
void writeInstallation(const TestSupport::TempDir& dir, const Row& row)
{
    dir.write("Base.module", "ModFolder = Base\nDataFolder.1 = Data\n");
    dir.write("Base/Data/base.txt", "base");
    dir.write("Mod/Data/mod.txt", "mod");
    dir.write("Engine/Engine.sga", Mod::writeSga({{"art/engine.txt", "engine"}}));
    dir.write("Mod.module", row.module);
    for (const auto& [path, bytes] : row.files) {
        if (path.back() == '/')
            std::filesystem::create_directories(dir / path);
        else
            dir.write(path, bytes);
    }
}

TEST(MountReport, EachMistakeOfAModuleIsAFindingAtItsKeysLine)
{
    const std::string good = "ModFolder = Mod\nDataFolder.1 = Data\nRequiredMod.1 = Base\n";
    const std::vector<Row> rows{
        {"nothing wrong", good, {}, {}},
        {"a misspelt required mod", "ModFolder = Mod\nDataFolder.1 = Data\nRequiredMod.1 = Bsae\n", {},
         {{"required-mod-missing", "Mod.module", 3, "did you mean `Base`?"}}},
        {"a misspelt mod folder: its data folders follow silently",
         "[global]\nModFolder = Mdo ; the mod\nDataFolder.1 = Data\n", {},
         {{"mod-folder-missing", "Mod.module", 2, "did you mean `Mod`?"}}},
        {"an empty mod folder", "ModFolder = Hollow\nDataFolder.1 = Data\n", {{"Hollow/", ""}},
         {{"mod-folder-missing", "Mod.module", 1}}},
        {"a misspelt data folder", "ModFolder = Mod\r\nDataFolder.1 = Dta\r\n", {},
         {{"data-folder-missing", "Mod.module", 2, "did you mean `Data`?"}}},
        {"an empty data folder", good + "DataFolder.2 = Empty\n", {{"Mod/Empty/", ""}},
         {{"data-folder-missing", "Mod.module", 4}}},
        {"an archive that is no SGA", good + "ArchiveFile.1 = Packed\n", {{"Mod/Packed.sga", std::string(300, 'x')}},
         {{"archive-unreadable", "Mod.module", 4, "version 2"}}},
        {"an archive named with its extension", good + "ArchiveFile.1 = Packed.sga\n",
         {{"Mod/Packed.sga", Mod::writeSga({{"a.txt", "a"}})}},
         {{"archive-unreadable", "Mod.module", 4, "ArchiveFile.1 = Packed"}}},
        {"a broken engine archive", good, {{"Engine/Broken.sga", "_ARCHIVE"}},
         {{"archive-unreadable", "Engine/Broken.sga", std::nullopt}}},
        {"a gap in the numbers", good + "DataFolder.3 = Data\n", {},
         {{"numbered-key-gap", "Mod.module", 4, "without a gap"}}},
        {"numbers from 0", good + "ArchiveFile.0 = Packed\n", {}, {{"numbered-key-gap", "Mod.module", 4}}},
        {"a misspelt variable", good + "DataFolder.2 = %LOCAL%\n", {{"Mod/%LOCAL%/x.txt", "x"}},
         {{"unknown-variable", "Mod.module", 4, "`%LOCALE%`"}}},
        {"mods that offer different languages", good,
         {{"Mod/Locale/English/mod.ucs", Fixtures::ucsFile({{1, "one"}})},
          {"Mod/Locale/French/mod.ucs", Fixtures::ucsFile({{1, "un"}})},
          {"Base/Locale/French/base.ucs", Fixtures::ucsFile({{1, "un"}})}},
         {{"language-choice", "Mod.module", std::nullopt}}},
        {"a string table with an id twice", good,
         {{"Mod/Locale/English/mod.ucs", Fixtures::ucsFile({{1, "one"}, {2, "two"}, {1, "again"}})}},
         {{"string-duplicate-id", "Mod/Locale/English/mod.ucs", 3}}},
        {"a string table too short to read", good, {{"Mod/Locale/English/mod.ucs", "1"}},
         {{"string-table-unreadable", "Mod/Locale/English/mod.ucs", std::nullopt}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mistake);
        TestSupport::TempDir dir;
        writeInstallation(dir, row);
        Mod::ModContext context;
        base::DiagnosticCapture quiet;
        Mod::MountModule(context, dir / "Mod.module");
        const std::vector<base::Finding>& found = context.findings.all();
        std::string all;
        for (const base::Finding& f : found)
            all += f.code + ": " + f.message + "\n";
        ASSERT_EQ(found.size(), row.expected.size()) << all;
        for (std::size_t i = 0; i < found.size(); ++i) {
            const Expected& want = row.expected[i];
            EXPECT_EQ(found[i].code, want.code);
            EXPECT_EQ(found[i].file, dir / want.file);
            EXPECT_EQ(found[i].line, want.line);
            EXPECT_EQ(found[i].level, found[i].code == "language-choice" ? base::FindingLevel::Note
                                                                        : base::FindingLevel::Warning);
            EXPECT_FALSE(found[i].screen || found[i].widget || found[i].member);
            if (want.hint) {
                EXPECT_NE(found[i].hint.value_or("").find(want.hint), std::string::npos) << found[i].hint.value_or("");
            }
        }
    }
}

TEST(MountReport, MessagesKeepTheSystemsOwnAndTheDiagnosticLogIsUnchanged)
{
    TestSupport::TempDir dir;
    writeInstallation(dir, {"", "ModFolder = Mod\nArchiveFile.1 = Packed\n", {{"Mod/Packed.sga", "tiny"}}, {}});
    dir.write("Mod/Locale/English/odd.ucs", "\xFF\xFE\x31");
    Mod::ModContext context;
    base::DiagnosticCapture log;
    Mod::MountModule(context, dir / "Mod.module");
    const std::string archive = "Could not open archive " + (dir / "") + "Mod\\Packed.sga (file is too small)";
    const std::string table = dir / "Mod/Locale/English/odd.ucs";
    EXPECT_EQ(log.messages(), (std::vector<std::string>{archive, table + ": UCS file has odd number of bytes"}));
    ASSERT_EQ(context.findings.size(), 2u);
    EXPECT_EQ(context.findings.all()[0].message, archive);
    EXPECT_EQ(context.findings.all()[1].message, "UCS file has odd number of bytes");
}

TEST(MountReport, LanguageNoteSaysWhichLanguageEachModOffers)
{
    TestSupport::TempDir dir;
    const std::string module = "ModFolder = Mod\nRequiredMod.1 = Base\n";
    writeInstallation(dir, {"", module, {{"Mod/Locale/English/", ""}, {"Mod/Locale/French/", ""},
                                         {"Base/Locale/French/", ""}, {"Base/Locale/German/", ""}}, {}});
    Mod::ModContext context;
    Mod::MountModule(context, dir / "Mod.module");
    ASSERT_EQ(context.findings.size(), 1u);
    EXPECT_EQ(context.findings.all()[0].message,
              "language French: the only language every mod offers (Mod offers English, French; Base offers French, "
              "German)");

    // No language in common: the game's default.
    std::filesystem::remove_all(dir / "Base/Locale/French");
    Mod::MountModule(context, dir / "Mod.module");
    ASSERT_EQ(context.findings.size(), 1u);
    EXPECT_EQ(context.findings.all()[0].message.rfind("language English: no language is offered by every mod", 0), 0u);
}

} // namespace
