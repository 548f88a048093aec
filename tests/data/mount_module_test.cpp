#include "base/diagnostic_log.h"
#include "data/ansi_text.h"
#include "data/archive_source.h"
#include "data/file_origin.h"
#include "data/localise_text.h"
#include "data/mount_module.h"
#include "data/sga_writer.h"
#include "data/subfolder_source.h"
#include "fixtures/ucs_builder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>

using TestSupport::TempDir;

namespace {

std::string text(const Mod::FilePtr& file) { return Mod::hasData(file) ? std::string(file->view()) : "<no file>"; }

// The context's sources as "folder PREFIX" / "archive PATH", relative to root.
std::vector<std::string> describe(const Mod::ModContext& context, const std::string& root)
{
    std::vector<std::string> result;
    auto relative = [&](const std::string& path) { return path.rfind(root, 0) == 0 ? path.substr(root.size()) : path; };
    for (const auto& source : context.source->sources()) {
        if (const auto* folder = dynamic_cast<const Mod::SubfolderSource*>(source.get()))
            result.push_back("folder " + relative(folder->prefix()));
        else if (const auto* archive = dynamic_cast<const Mod::ArchiveSource*>(source.get()))
            result.push_back("archive " + relative(archive->path()));
    }
    return result;
}

std::string localise(const char* text, const Mod::ModContext& context)
{
    return Mod::utf16ToUtf8(Mod::LocaliseText(text, context));
}

// A small installation: the chosen module Main requires Base (and a module
// that does not exist, and Extra); languages English+French (Main) and
// French+German (Base) leave French.
class MountModuleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = dir.path().string() + "/";
        dir.write("Main.module", "[global]\n"
                                 "ModFolder = Main\n"
                                 "DataFolder.1 = Data\n"
                                 "DataFolder.2 = NoSuchFolder\n"
                                 "DataFolder.4 = NeverRead\n"
                                 "ArchiveFile.1 = Broken\n"
                                 "ArchiveFile.2 = Arch\n"
                                 "ArchiveFile.3 = %LOCALE%\\Loc\n"
                                 "ArchiveFile.4 = %UNKNOWN%\\X\n"
                                 "RequiredMod.1 = Base\n"
                                 "RequiredMod.2 = Absent\n"
                                 "RequiredMod.3 = Extra\n");
        dir.write("Base.module", "ModFolder = base ; spelt Base on disk\n"
                                 "DataFolder.1 = DATA\n"
                                 "ArchiveFile.1 = BaseArch\n"
                                 "RequiredMod.1 = Ignored\n");
        dir.write("Extra.module", "ModFolder = Extra\nDataFolder.1 = Data\n");
        dir.write("Ignored.module", "ModFolder = Ignored\nDataFolder.1 = Data\n");
        dir.write("Ignored/Data/ignored.txt", "never mounted");

        dir.write("Main/Data/Art/shared.txt", "main data");
        dir.write("Main/Broken.sga", std::string(300, 'x'));
        dir.write("Main/Arch.sga", Mod::writeSga({{"art/shared.txt", "main archive"}, {"art/arch.txt", "main archive"}}));
        dir.write("Main/Locale/French/Loc.sga", Mod::writeSga({{"art/lang.txt", "francais"}}));
        dir.write("Main/Locale/English/Loc.sga", Mod::writeSga({{"art/lang.txt", "english"}}));
        dir.write("Main/Locale/French/main.ucs", Fixtures::ucsFile({{1, "main one"}}));
        dir.write("Main/Locale/French/bad.UCS", "\xFF");
        dir.write("Main/Locale/French/notes.txt", "not a table");
        dir.write("Main/Locale/English/main.ucs", Fixtures::ucsFile({{1, "english one"}}));

        dir.write("Base/Data/Art/shared.txt", "base data");
        dir.write("Base/Data/Art/base.txt", "base data");
        dir.write("Base/BaseArch.sga", Mod::writeSga({{"art/basearch.txt", "base archive"}}));
        dir.write("Base/Locale/French/base.ucs", Fixtures::ucsFile({{1, "base one"}, {2, "base two"}}));
        dir.write("Base/Locale/German/base.ucs", Fixtures::ucsFile({{1, "eins"}}));
        dir.write("Base/Locale/French/short.ucs", "");
        dir.write("Extra/Data/Art/extra.txt", "extra data");

        dir.write("Engine/Engine.sga", Mod::writeSga({{"art/engine.txt", "engine"}, {"art/shared.txt", "engine"}}));
        dir.write("Engine/Bad.sga", "_ARCHIVE");
        dir.write("Engine/readme.txt", "not an archive");
        dir.write("Engine/Locale/French/EngLoc.sga", Mod::writeSga({{"art/englang.txt", "moteur"}}));
        dir.write("Engine/Locale/French/engine.ucs", Fixtures::ucsFile({{2, "engine two"}, {3, "engine three"}}));
    }

    TempDir dir;
    std::string root;
};

} // namespace

TEST_F(MountModuleTest, MountsInTheGamesPriorityOrder)
{
    Mod::ModContext context;
    base::DiagnosticCapture diagnostics;
    Mod::MountModule(context, root + "Main.module");

    EXPECT_EQ(context.language, "French");
    EXPECT_EQ(describe(context, root), (std::vector<std::string>{
                                           "folder Main\\Data\\",
                                           "archive Main\\Arch.sga",
                                           "archive Main\\Locale\\French\\Loc.sga",
                                           "folder base\\DATA\\",
                                           "archive base\\BaseArch.sga",
                                           "folder Extra\\Data\\",
                                           "archive Engine\\Locale\\French\\EngLoc.sga",
                                           "archive Engine\\Engine.sga",
                                       }));
    EXPECT_EQ(context.ownSourceCount, 3u) << "the first three are Main's own";
    EXPECT_EQ(context.moduleFiles.size(), 3u) << "Main, Base and Extra; Absent skipped, Ignored never read";
    EXPECT_EQ(context.stringTablePaths, (std::vector<std::string>{root + "Main\\Locale\\French\\main.ucs",
                                                                  root + "base\\Locale\\French\\base.ucs",
                                                                  root + "Engine\\Locale\\French\\engine.ucs"}));
    EXPECT_EQ(diagnostics.messages(),
              (std::vector<std::string>{"Could not open archive " + root + "Main\\Broken.sga (file is not an SGA)",
                                        "Could not open archive " + root + "Main\\%UNKNOWN%\\X.sga",
                                        root + "Main/Locale/French/bad.UCS: UCS file too short",
                                        root + "Base/Locale/French/short.ucs: UCS file too short",
                                        "Could not open archive " + root + "Engine\\Bad.sga (file is too small)"}));

    auto& source = *context.source;
    EXPECT_EQ(text(source.open("art/shared.txt")), "main data") << "the chosen module's folder shadows everything";
    EXPECT_EQ(text(source.open("ART\\arch.txt")), "main archive");
    EXPECT_EQ(text(source.open("art/lang.txt")), "francais") << "%LOCALE% chose the French archive";
    EXPECT_EQ(text(source.open("art/base.txt")), "base data");
    EXPECT_EQ(text(source.open("art/englang.txt")), "moteur");
    EXPECT_EQ(text(source.open("art/engine.txt")), "engine");
    EXPECT_EQ(text(source.open("art/ignored.txt")), "<no file>");
}

TEST_F(MountModuleTest, DiskPathsAreWhatTheMountAndLaterReadsDependOn)
{
    Mod::ModContext context;
    base::DiagnosticCapture quiet;
    Mod::MountModule(context, root + "Main.module");
    auto has = [&](const std::string& relative) {
        const std::vector<std::string> paths = context.diskPaths();
        return std::find(paths.begin(), paths.end(), dir / relative) != paths.end();
    };
    for (const char* path : {"Main.module", "Base.module", "Extra.module", "Main/Data", "Base/Data", "Main/Arch.sga",
                             "Main/Broken.sga", "Main/Locale/French", "Main/Locale/French/main.ucs",
                             "Base/Locale/French/base.ucs", "Engine", "Engine/Engine.sga", "Engine/Locale/French"})
        EXPECT_TRUE(has(path)) << path;
    EXPECT_TRUE(has("Main")) << "where the missing data folder and the archive would appear";
    EXPECT_FALSE(has("Main/Data/Art/shared.txt")) << "not read yet";
    EXPECT_FALSE(has("Ignored.module"));

    context.source->open("art/shared.txt");
    EXPECT_TRUE(has("Main/Data/Art/shared.txt"));
    context.source->open("art/screens/new.screen");
    EXPECT_TRUE(has("Main/Data")) << "where a new file would shadow the archives";
}

TEST_F(MountModuleTest, StringsComeFromTheFirstTableThatHasTheId)
{
    Mod::ModContext context;
    base::DiagnosticCapture quiet;
    Mod::MountModule(context, root + "Main.module");
    struct Case {
        const char* text;
        std::string expected;
    };
    const std::vector<Case> cases{
        {"$1", "main one"},
        {"$2", "base two"},
        {"$3", "engine three"},
        {"$ 3", "engine three"},
        {"$+3 apples", "engine three"},
        {"$003", "engine three"},
        {"$4", "$4 No String!"},
        {"$", "$ No String!"},
        {"$-1", "$-1 No String!"},
        {"$99999999999", "$99999999999 No String!"},
        {"Plain text", "Plain text"},
        {"", ""},
        {"x$1", "x$1"},
        {"caf\xe9", "café"},
        {"café", "café"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(localise(c.text, context), c.expected) << c.text;
}

TEST_F(MountModuleTest, DollarWithoutDigitsLooksUpIdZero)
{
    dir.write("Main/Locale/French/zero.ucs", Fixtures::ucsFile({{0, "zero"}, {2147483647, "largest"}}));
    Mod::ModContext context;
    base::DiagnosticCapture quiet;
    Mod::MountModule(context, root + "Main.module");
    EXPECT_EQ(localise("$", context), "zero");
    EXPECT_EQ(localise("$abc", context), "zero");
    EXPECT_EQ(localise("$99999999999", context), "largest") << "out-of-range numbers saturate as a 32-bit long does";
}

TEST_F(MountModuleTest, MissingModuleFileThrowsAndLeavesTheContextEmpty)
{
    Mod::ModContext context;
    {
        base::DiagnosticCapture quiet;
        Mod::MountModule(context, root + "Main.module");
    }
    ASSERT_TRUE(context.source);
    try {
        Mod::MountModule(context, root + "Nothing.module");
        FAIL() << "mounted a missing module";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(error.what(), "Cannot open module file " + root + "Nothing.module");
    }
    EXPECT_FALSE(context.source);
    EXPECT_TRUE(context.stringTables.empty());
    EXPECT_TRUE(context.moduleFiles.empty());
}

TEST_F(MountModuleTest, ModuleWithoutRequiredModsOrLocaleMountsItsOwnAndTheEngines)
{
    Mod::ModContext context;
    base::DiagnosticCapture diagnostics;
    Mod::MountModule(context, root + "Extra.module");
    EXPECT_EQ(context.language, "English") << "no Locale folder anywhere";
    EXPECT_EQ(describe(context, root), (std::vector<std::string>{"folder Extra\\Data\\", "archive Engine\\Engine.sga"}));
    EXPECT_TRUE(context.stringTables.empty());
}

TEST_F(MountModuleTest, LanguageIsTheSmallestNameEveryOfferingModHas)
{
    struct Case {
        std::vector<std::string> mainLanguages, baseLanguages;
        std::string expected;
    };
    const std::vector<Case> cases{
        {{"English", "French"}, {"French", "German"}, "French"},
        {{"German", "French"}, {}, "French"},
        {{}, {"Spanish", "Polish"}, "Polish"},
        {{"English"}, {"german"}, "English"},
        {{"english"}, {"English"}, "English"},
    };
    for (const Case& c : cases) {
        TempDir install;
        install.write("M.module", "ModFolder = M\nRequiredMod.1 = B\n");
        install.write("B.module", "ModFolder = B\n");
        for (const auto& language : c.mainLanguages)
            install.write("M/Locale/" + language + "/x.ucs", Fixtures::ucsFile({}));
        for (const auto& language : c.baseLanguages)
            install.write("B/Locale/" + language + "/x.ucs", Fixtures::ucsFile({}));
        Mod::ModContext context;
        Mod::MountModule(context, install / "M.module");
        EXPECT_EQ(context.language, c.expected);
    }
}

TEST_F(MountModuleTest, OriginsListEverySourceThatHoldsAPathTheServingOneFirst)
{
    Mod::ModContext context;
    base::DiagnosticCapture diagnostics;
    Mod::MountModule(context, root + "Main.module");

    const auto origins = [&](const std::string& path) {
        std::vector<std::string> lines;
        for (const Mod::FileOrigin& origin : Mod::fileOrigins(*context.source, path)) {
            auto relative = [&](const std::string& p) { return p.rfind(root, 0) == 0 ? p.substr(root.size()) : p; };
            lines.push_back(std::string(Mod::kindName(origin.kind)) + " " + relative(origin.source) + " " +
                            relative(origin.location));
        }
        return lines;
    };
    // Shadowing across a data folder, an archive, a required mod's folder and the engine, asked in
    // another case and with the other separator; the disk path is the file's real name.
    EXPECT_EQ(origins("ART\\Shared.TXT"), (std::vector<std::string>{
                                              "folder Main\\Data\\ Main/Data/Art/shared.txt",
                                              "archive Main\\Arch.sga art\\shared.txt",
                                              "folder base\\DATA\\ Base/Data/Art/shared.txt",
                                              "archive Engine\\Engine.sga art\\shared.txt",
                                          }));
    EXPECT_EQ(origins("art/englang.txt"),
              (std::vector<std::string>{"archive Engine\\Locale\\French\\EngLoc.sga art\\englang.txt"}));
    EXPECT_TRUE(origins("art/ignored.txt").empty()) << "a module that is never mounted holds nothing";
    EXPECT_TRUE(origins("art").empty()) << "a folder is no file";
}

TEST_F(MountModuleTest, AChosenLanguageMountsItsFoldersAndTheOwnChoiceStaysKnown)
{
    struct Case {
        std::string asked;
        std::string language;
        std::string lang;  // art/lang.txt through %LOCALE%
        std::string one;   // $1
        std::size_t tables;
    };
    const std::vector<Case> cases{
        {"", "French", "francais", "main one", 3},
        {"English", "English", "english", "english one", 1},
        {"German", "German", "<no file>", "eins", 1},
        {"german", "german", "<no file>", "eins", 1}, // folders are found in any letter case
        {"Klingon", "Klingon", "<no file>", "$1 No String!", 0},
    };
    for (const Case& c : cases) {
        Mod::ModContext context;
        base::DiagnosticCapture quiet;
        Mod::MountModule(context, root + "Main.module", {c.asked, false});
        EXPECT_EQ(context.language, c.language) << c.asked;
        EXPECT_EQ(context.ownLanguage, "French") << c.asked;
        EXPECT_EQ(context.offeredLanguages, (std::vector<std::string>{"English", "French", "German"}))
            << "Main's, Base's and the engine's; a file in a Locale folder is no language";
        EXPECT_EQ(text(context.source->open("art/lang.txt")), c.lang) << c.asked;
        EXPECT_EQ(localise("$1", context), c.one) << c.asked;
        EXPECT_EQ(context.stringTables.size(), c.tables) << c.asked;
    }
}

TEST_F(MountModuleTest, PseudoLocalisationTouchesStringTableTextsOnly)
{
    Mod::ModContext context;
    base::DiagnosticCapture quiet;
    Mod::MountModule(context, root + "Main.module", {"", true});
    EXPECT_EQ(localise("$1", context), "[máîñ öñé~~~~]");
    EXPECT_EQ(localise("$2", context), "[bášé ţŵö~~~~]");
    EXPECT_EQ(localise("Plain text", context), "Plain text");
    EXPECT_EQ(localise("$4", context), "$4 No String!");
    Mod::MountModule(context, root + "Main.module");
    EXPECT_EQ(localise("$2", context), "base two") << "a new mount starts without it";
}

TEST_F(MountModuleTest, TheChosenModulesOwnSourcesComeFirst)
{
    Mod::ModContext context;
    base::DiagnosticCapture quiet;
    Mod::MountModule(context, root + "Main.module");
    EXPECT_EQ(context.root, root);
    ASSERT_EQ(context.ownSourceCount, 3u) << "Main's data folder and two archives";
    EXPECT_EQ(describe(context, root)[2], "archive Main\\Locale\\French\\Loc.sga");
    const std::vector<Mod::FileOrigin> origins = Mod::fileOrigins(*context.source, "art/base.txt");
    ASSERT_EQ(origins.size(), 1u);
    EXPECT_EQ(origins[0].index, 3u);
    EXPECT_EQ(Mod::shortSourceName(origins[0].source, context.root), "base/DATA");
}

TEST(ShortSourceName, IsRelativeToTheInstallationWithSlashes)
{
    struct Case {
        std::string source, root, expected;
    };
    const std::vector<Case> cases{
        {"/games/iv/Emberwake\\DATA\\", "/games/iv/", "Emberwake/DATA"},
        {"/games/iv/ironveil\\Archives\\IronveilArt.sga", "/games/iv/", "ironveil/Archives/IronveilArt.sga"},
        {"Engine\\Engine.sga", "", "Engine/Engine.sga"},
        {"/elsewhere/Data\\", "/games/iv/", "/elsewhere/Data"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Mod::shortSourceName(c.source, c.root), c.expected) << c.source;
}
