// tise-cli as a user runs it, on the sample installation and on folders made here.

#include "data/archive_source.h"
#include "support/process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>
#include <sys/stat.h>

using TestSupport::runProgram;
using TestSupport::TempDir;

namespace {

using TestSupport::lines;

const std::string Sample = TISE_SAMPLE_DIR;

TestSupport::ProcessResult cli(const std::vector<std::string>& args, const std::string& cwd = Sample)
{
    return runProgram("tise-cli", args, cwd);
}

} // namespace

TEST(CliTest, ModulesListsTheCurrentDirectoryAndGivenFolders)
{
    TempDir extra;
    extra.write("Other.module", "Name = Other\n");
    extra.write("blank.MODULE", "");
    const auto result = cli({"modules", extra.path().string(), "."});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<std::string> all = lines(result.out);
    // The tool runs without a Wine prefix: the sample directory (the current
    // directory) and the given folder, in that order; "." is the current
    // directory again.
    const std::vector<std::string> expected{
        Sample + "/\tEmberwake.module\tEmberwake: a campaign mod for Ironveil",
        Sample + "/\tFirstlight.module\tFirstlight: a first mod, with the mistakes newcomers make",
        Sample + "/\tIronveil.module\tIronveil: the base game",
        extra.path().string() + "/\tblank.MODULE\t",
        extra.path().string() + "/\tOther.module\t",
    };
    EXPECT_EQ(all, expected);
}

TEST(CliTest, InfoShowsTheMountInPriorityOrder)
{
    const auto result = cli({"info", "Emberwake.module"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, R"({
  "module": "Emberwake.module",
  "language": "English",
  "sources": [
    {"kind": "folder", "path": "Emberwake\\DATA\\"},
    {"kind": "folder", "path": "ironveil\\Data\\"},
    {"kind": "archive", "path": "ironveil\\Archives\\IronveilArt.sga"},
    {"kind": "archive", "path": "ironveil\\Locale\\English\\IronveilLocale.sga"},
    {"kind": "archive", "path": "Engine\\Locale\\English\\EngineLocale.sga"},
    {"kind": "archive", "path": "Engine\\Engine.sga"}
  ],
  "stringTables": [
    "Emberwake\\Locale\\English\\Emberwake.ucs",
    "ironveil\\Locale\\English\\Ironveil.ucs",
    "Engine\\Locale\\English\\Engine.ucs"
  ]
}
)");
    EXPECT_EQ(result.err, "");
}

TEST(CliTest, ScreensLsAndCatReadTheMergedFileSystem)
{
    const auto screens = cli({"screens", "Emberwake.module"});
    ASSERT_EQ(screens.exitCode, 0) << screens.err;
    EXPECT_EQ(lines(screens.out),
              (std::vector<std::string>{"briefing.screen", "broken_call.screen", "broken_size.screen",
                                        "broken_syntax.screen", "Credits.screen", "loading.screen", "lobby.screen",
                                        "MainMenu.screen", "Options.screen"}));

    const auto ls = cli({"ls", "Emberwake.module", "art/UI"});
    ASSERT_EQ(ls.exitCode, 0) << ls.err;
    EXPECT_EQ(lines(ls.out), (std::vector<std::string>{"language.txt", "screens", "styles", "Textures"}))
        << "the highest-priority spelling";

    const auto shadowed = cli({"cat", "Emberwake.module", "Art\\UI\\Screens\\MainMenu.screen"});
    ASSERT_EQ(shadowed.exitCode, 0) << shadowed.err;
    EXPECT_EQ(shadowed.out, TestSupport::readFile(Sample + "/Emberwake/Data/art/ui/screens/MainMenu.screen"));
    const auto base = cli({"cat", "Ironveil.module", "art/ui/screens/mainmenu.screen"});
    ASSERT_EQ(base.exitCode, 0) << base.err;
    EXPECT_NE(base.out.find("base game archive"), std::string::npos) << base.out;

    const auto missing = cli({"cat", "Emberwake.module", "art/nothing.txt"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err, "tise-cli: File not found: art/nothing.txt\n");
}

// Names and texts of the game reach the output as valid UTF-8 (bytes that are
// not UTF-8 read as Windows-1252), and a TAB, CR or LF inside a field of a
// one-item-per-line output is escaped so that each item stays on its line.
TEST(CliTest, GameStringsPrintAsUtf8OnTheirLines)
{
    TempDir dir;
    const std::string folder = "Caf\xE9\tFolder";
    dir.write(folder + "/R\xE9sum\xE9.module",
              "ModFolder = Mod\nDataFolder.1 = D\xE9ta\nDescription = na\xEFve\tdescription\n");
    dir.write(folder + "/Mod/Locale/Eng\xE9/readme.txt", "");
    for (const char* name : {"Caf\xE9.screen", "Tab\there.screen", "Line\nbreak.screen", "Return\rhere.screen"})
        dir.write(folder + "/Mod/D\xE9ta/Art/UI/Screens/" + name, "Screen = {}");
    dir.write("pack/caf\xE9.txt", "1");
    dir.write("pack/a\tb.txt", "22");
    dir.write("pack/c\nd.txt", "333");
    const std::string module = dir / folder + "/R\xE9sum\xE9.module";
    const std::string shownFolder = dir.path().string() + "/Caf\u00e9\\tFolder/";
    ASSERT_EQ(cli({"sga", "pack", dir / "pack", "-o", dir / "names.sga"}).exitCode, 0);

    const std::vector<std::string> screens{"Caf\u00e9.screen", "Line\\nbreak.screen", "Return\\rhere.screen",
                                           "Tab\\there.screen"};
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> lines; // sorted when the order is not what is checked
    };
    const std::vector<Case> cases{
        {{"modules", dir / folder}, {shownFolder + "\tR\u00e9sum\u00e9.module\tna\u00efve\\tdescription"}},
        {{"screens", module}, screens},
        {{"ls", module, "Art/UI/Screens"}, screens},
        {{"sga", "list", dir / "names.sga"}, {"a\\tb.txt\t2\t2", "c\\nd.txt\t3\t3", "caf\u00e9.txt\t1\t1"}},
    };
    for (const Case& c : cases) {
        const auto result = cli(c.args, dir.path().string());
        ASSERT_EQ(result.exitCode, 0) << testing::PrintToString(c.args) << result.err;
        std::vector<std::string> got = lines(result.out);
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, c.lines) << testing::PrintToString(c.args);
    }

    const auto info = cli({"info", module}, dir.path().string());
    ASSERT_EQ(info.exitCode, 0) << info.err;
    EXPECT_EQ(info.out, "{\n  \"module\": \"" + dir.path().string() + "/Caf\u00e9\\tFolder/R\u00e9sum\u00e9.module\",\n"
                        "  \"language\": \"Eng\u00e9\",\n  \"sources\": [\n"
                        "    {\"kind\": \"folder\", \"path\": \"" + dir.path().string() +
                        "/Caf\u00e9\\tFolder/Mod\\\\D\u00e9ta\\\\\"}\n  ],\n  \"stringTables\": []\n}\n");
}

// A folder that is not there lists nothing, as an empty one does, but says so.
TEST(CliTest, AMissingFolderIsWarnedAboutWithoutFailing)
{
    TempDir dir;
    std::filesystem::create_directories(dir / "empty");
    std::filesystem::create_directories(dir / "M/Data/Art/Empty");
    dir.write("M.module", "ModFolder = M\nDataFolder.1 = Data\n");
    dir.write("M/Data/Art/UI/Screens/Only.screen", "Screen = {}");
    dir.write("M/Data/Art/notes.txt", "not a folder");
    const std::string module = dir / "M.module";
    struct Case {
        std::vector<std::string> args;
        std::string out, err;
    };
    const std::vector<Case> cases{
        {{"modules", dir / "nowhere"}, "", "tise-cli: warning: no folder " + (dir / "nowhere") + "\n"},
        {{"modules", dir / "empty"}, "", ""},
        {{"ls", module, "no/such/folder"}, "", "tise-cli: warning: no folder no/such/folder in the mounted module\n"},
        {{"ls", module, "Art\\Nothing"}, "", "tise-cli: warning: no folder Art\\Nothing in the mounted module\n"},
        {{"ls", module, "Art/notes.txt"}, "", "tise-cli: warning: no folder Art/notes.txt in the mounted module\n"},
        {{"ls", module, "Art/Empty"}, "", ""},
        {{"ls", module, "art\\empty\\"}, "", ""},
        {{"ls", module, "Art/UI/Screens"}, "Only.screen\n", ""},
    };
    for (const Case& c : cases) {
        const auto result = cli(c.args, dir / "empty");
        EXPECT_EQ(result.exitCode, 0) << testing::PrintToString(c.args);
        EXPECT_EQ(result.out, c.out) << testing::PrintToString(c.args);
        EXPECT_EQ(result.err, c.err) << testing::PrintToString(c.args);
    }
}

TEST(CliTest, LocaliseResolvesStringReferences)
{
    const auto result = cli({"localise", "Emberwake.module", "$10", "$20", "$1", "$100", "$12345", "Plain text"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(lines(result.out), (std::vector<std::string>{"Emberwake overrides id 10", "The Ember Crown", "Ironveil",
                                                            "Loading...", "$12345 No String!", "Plain text"}));
}

TEST(CliTest, FailuresAndBadUsageHaveTheirExitStatus)
{
    const auto missing = cli({"info", "Nothing.module"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "tise-cli: Cannot open module file Nothing.module\n");
    // Messages carry game text as valid UTF-8: a Windows-1252 name is decoded.
    const auto cafe = cli({"info", "Caf\xE9.module"});
    EXPECT_EQ(cafe.exitCode, 1);
    EXPECT_EQ(cafe.err, "tise-cli: Cannot open module file Caf\u00e9.module\n");

    // Bad usage: exit 2, the reason, then the usage of the command meant.
    struct Case {
        std::vector<std::string> args;
        std::string reason; // the first line, "" when there is none
        std::string usage;  // the line that follows
    };
    const std::string general = "usage: tise-cli COMMAND [ARGS...]";
    const std::vector<Case> usage{
        {{}, "", general},
        {{"frobnicate"}, "tise-cli: unknown command frobnicate", general},
        {{"sga"}, "tise-cli: unknown command sga", general},
        {{"info"}, "tise-cli: missing argument", "usage: tise-cli info MODULE"},
        {{"info", "a", "b"}, "tise-cli: too many arguments", "usage: tise-cli info MODULE"},
        {{"sga", "pack", "x"}, "tise-cli: missing option -o", "usage: tise-cli sga pack FOLDER -o ARCHIVE [--store]"},
        {{"sga", "pack", "x", "-o"}, "tise-cli: option -o needs a value",
         "usage: tise-cli sga pack FOLDER -o ARCHIVE [--store]"},
        {{"ls", "M", "F", "--bogus"}, "tise-cli: unknown option --bogus", "usage: tise-cli ls MODULE FOLDER"},
    };
    for (const Case& c : usage) {
        const auto result = cli(c.args);
        EXPECT_EQ(result.exitCode, 2) << testing::PrintToString(c.args);
        std::vector<std::string> expected{c.usage};
        if (!c.reason.empty())
            expected.insert(expected.begin(), c.reason);
        const std::vector<std::string> err = lines(result.err);
        ASSERT_GE(err.size(), expected.size()) << result.err;
        EXPECT_EQ(std::vector<std::string>(err.begin(), err.begin() + expected.size()), expected);
        EXPECT_EQ(result.out, "");
    }
    for (const std::vector<std::string>& help : {std::vector<std::string>{"--help"}, {"info", "--help"}, {"sga", "pack", "--help"}}) {
        const auto result = cli(help);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.out.rfind("usage: tise-cli", 0), 0u) << result.out;
    }
}

TEST(CliTest, MountDiagnosticsGoToStderrWithoutFailing)
{
    TempDir install;
    install.write("Broken.module", "ModFolder = Broken\nArchiveFile.1 = Bad\nDataFolder.1 = Data\n");
    install.write("Broken/Bad.sga", "not an archive");
    install.write("Broken/Data/Art/UI/Screens/Only.screen", "Screen = {}");
    install.write("Broken/Locale/English/short.ucs", "\xFF");
    const auto result = cli({"screens", "Broken.module"}, install.path().string());
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "Only.screen\n");
    EXPECT_EQ(result.err, "Could not open archive Broken\\Bad.sga (file is too small)\n"
                          "Broken/Locale/English/short.ucs: UCS file too short\n")
        << "each message names its file as it is found on disk";
}

// Qt wants a runtime folder, owned by the user and closed to others. The
// tool makes a private one when none is given and removes it at its end.
TEST(CliTest, RenderLeavesNoRuntimeFolderAndNoWarning)
{
    TempDir temporary, runtime, output;
    std::filesystem::permissions(runtime.path(), std::filesystem::perms::owner_all);
    struct Case {
        const char* what;
        std::vector<std::string> environment;
    };
    const std::vector<Case> cases{
        {"no runtime folder given", {"TMPDIR=" + temporary.path().string(), "XDG_RUNTIME_DIR"}},
        {"a private runtime folder given",
         {"TMPDIR=" + temporary.path().string(), "XDG_RUNTIME_DIR=" + runtime.path().string()}},
    };
    for (const Case& c : cases) {
        const std::string png = output / "menu.png";
        const auto result = runProgram("tise-cli", {"render", "Ironveil.module", "mainmenu.screen", "-o", png}, Sample,
                                       c.environment);
        EXPECT_EQ(result.exitCode, 0) << c.what << ": " << result.err;
        EXPECT_EQ(result.err, "") << c.what;
        EXPECT_TRUE(std::filesystem::is_regular_file(png)) << c.what;
        for (const TempDir* folder : {&temporary, &runtime})
            EXPECT_TRUE(std::filesystem::is_empty(folder->path())) << c.what << ": " << folder->path();
    }
}

// Every file or folder that a render creates, replaces or removes, as its
// system calls show: only the output and what is inside the private
// temporary folder. Needs strace.
TEST(CliTest, RenderCreatesNothingButItsOutput)
{
    std::string strace;
    for (const char* folder : {"/usr/bin", "/bin", "/usr/local/bin"}) {
        if (std::filesystem::exists(std::string(folder) + "/strace"))
            strace = std::string(folder) + "/strace";
    }
    if (strace.empty())
        GTEST_SKIP() << "strace is not installed";
    TempDir temporary, output, traceFolder;
    const std::string trace = traceFolder / "trace";
    const auto result = runProgram(
        strace,
        {"-f", "-qq", "-o", trace, "-e",
         "trace=open,openat,creat,mkdir,mkdirat,rename,renameat,renameat2,link,linkat,symlink,unlink,unlinkat,rmdir",
         std::string(TISE_BIN_DIR) + "/tise-cli", "render", "Ironveil.module", "mainmenu.screen", "-o", output / "m.png"},
        // The leak checker cannot run under a tracer.
        Sample, {"TMPDIR=" + temporary.path().string(), "XDG_RUNTIME_DIR", "ASAN_OPTIONS=detect_leaks=0"});
    const std::vector<std::string> calls = lines(TestSupport::readFile(trace));
    if (calls.empty())
        GTEST_SKIP() << "strace cannot trace here: " << result.err;
    ASSERT_EQ(result.exitCode, 0) << result.err;

    // The folder itself too: a temporary file is made there unnamed (O_TMPFILE).
    const auto inside = [](const std::string& path, const TempDir& folder) {
        return path == folder.path().string() || path.rfind(folder.path().string() + "/", 0) == 0;
    };
    int writes = 0;
    for (const std::string& call : calls) {
        const bool opens = call.find("open") != std::string::npos || call.find("creat(") != std::string::npos;
        const bool writing = call.find("O_WRONLY") != std::string::npos || call.find("O_RDWR") != std::string::npos
                             || call.find("O_CREAT") != std::string::npos || call.find("creat(") != std::string::npos;
        if (opens && !writing)
            continue;
        ++writes;
        // Every quoted path of the call, except the descriptor a temporary file is linked from.
        for (std::size_t quote = call.find('"'); quote != std::string::npos; quote = call.find('"', quote + 1)) {
            const std::size_t close = call.find('"', quote + 1);
            if (close == std::string::npos)
                break;
            const std::string path = call.substr(quote + 1, close - quote - 1);
            quote = close;
            if (path.rfind("/proc/self/fd/", 0) != 0) {
                EXPECT_TRUE(inside(path, output) || inside(path, temporary)) << call;
            }
        }
    }
    EXPECT_GT(writes, 0) << "the output itself was written";
}

TEST(CliTest, SgaPackListAndCatRoundTrip)
{
    TempDir dir;
    dir.write("in/Art/UI/Screens/Main.screen", "Screen = {}");
    dir.write("in/Art/Big.txt", std::string(10000, 'z'));
    dir.write("in/Top.TXT", "top");
    const std::string archive = dir / "out.sga";

    const auto pack = cli({"sga", "pack", dir / "in", "-o", archive});
    ASSERT_EQ(pack.exitCode, 0) << pack.err;
    EXPECT_EQ(pack.out, "");
    const auto list = cli({"sga", "list", archive});
    ASSERT_EQ(list.exitCode, 0) << list.err;
    const auto rows = lines(list.out);
    ASSERT_EQ(rows.size(), 3u) << list.out;
    EXPECT_EQ(rows[0], "top.txt\t3\t3");
    EXPECT_EQ(rows[1].rfind("art\\big.txt\t", 0), 0u);
    EXPECT_NE(rows[1], "art\\big.txt\t10000\t10000") << "compressible members are compressed";
    EXPECT_EQ(rows[2], "art\\ui\\screens\\main.screen\t11\t11") << "compression that does not help is not used";

    const auto cat = cli({"sga", "cat", archive, "ART/big.txt"});
    ASSERT_EQ(cat.exitCode, 0) << cat.err;
    EXPECT_EQ(cat.out, std::string(10000, 'z'));

    const auto stored = cli({"sga", "pack", dir / "in", "-o", dir / "stored.sga", "--store"});
    ASSERT_EQ(stored.exitCode, 0) << stored.err;
    EXPECT_NE(cli({"sga", "list", dir / "stored.sga"}).out.find("art\\big.txt\t10000\t10000\n"), std::string::npos);

    const auto notFolder = cli({"sga", "pack", dir / "nothing", "-o", dir / "x.sga"});
    EXPECT_EQ(notFolder.exitCode, 1);
    const auto badArchive = cli({"sga", "list", dir / "in/Top.TXT"});
    EXPECT_EQ(badArchive.exitCode, 1);
    EXPECT_EQ(badArchive.err, "tise-cli: Could not open archive " + (dir / "in/Top.TXT") + " (file is too small)\n");
}

// Output files are replaced whole, never rewritten in place: an archive that
// is mounted while it is packed again keeps serving its old bytes (rewritten
// in place, its mapping would lose its pages), and a failed write leaves the
// old file.
TEST(CliTest, OutputFilesAreReplacedNotRewritten)
{
    TempDir dir;
    dir.write("v1/a.txt", std::string(200000, 'a'));
    dir.write("v2/b.txt", "b");
    const std::string archive = dir / "live.sga";
    ASSERT_EQ(cli({"sga", "pack", dir / "v1", "-o", archive, "--store"}).exitCode, 0);
    Mod::ArchiveSource mounted(archive);
    const Mod::FilePtr before = mounted.open("a.txt");
    ASSERT_TRUE(Mod::hasData(before));

    const auto repack = cli({"sga", "pack", dir / "v2", "-o", archive});
    ASSERT_EQ(repack.exitCode, 0) << repack.err;
    EXPECT_EQ(std::string(before->view()), std::string(200000, 'a')) << "the mapped member is untouched";
    const Mod::FilePtr again = mounted.open("a.txt");
    ASSERT_TRUE(Mod::hasData(again));
    EXPECT_EQ(again->length, 200000u);
    EXPECT_TRUE(Mod::hasData(Mod::ArchiveSource(archive).open("b.txt"))) << "the new archive is in place";

    // A PNG that cannot be made leaves the old file as it was.
    const std::string picture = dir.write("old.png", "old bytes");
    const auto failed = cli({"decode", dir / "v2/b.txt", "-o", picture});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(TestSupport::readFile(picture), "old bytes");
    // Nothing is left beside it.
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 4); // v1, v2, live.sga, old.png
}

// A FIFO (or any file that is not a regular file) is no file: opening one
// must not wait for a writer that never comes.
TEST(CliTest, SpecialFilesAreNoFilesAndNothingWaitsForThem)
{
    TempDir dir;
    for (const char* name : {"x.module", "a.sga", "t.dds"})
        ASSERT_EQ(::mkfifo((dir / name).c_str(), 0600), 0) << name;
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;
    };
    const std::vector<Case> cases{
        {{"modules", dir.path().string()}, 0, ""},
        {{"info", dir / "x.module"}, 1, "tise-cli: Cannot open module file " + dir / "x.module" + "\n"},
        {{"sga", "list", dir / "a.sga"}, 1, "tise-cli: Could not open archive " + dir / "a.sga" + "\n"},
        {{"decode", dir / "t.dds", "-o", dir / "t.png"}, 1, "tise-cli: Cannot open file " + dir / "t.dds" + "\n"},
    };
    for (const Case& c : cases) {
        const auto result = cli(c.args);
        EXPECT_EQ(result.exitCode, c.status) << c.args[0];
        EXPECT_EQ(result.err, c.err) << c.args[0];
    }
    // The module list shows the FIFO's name with no description.
    EXPECT_NE(cli({"modules", dir.path().string()}).out.find("\tx.module\t\n"), std::string::npos);
}

// The sample's screens are right but for the mistakes they show on purpose:
// Credits' missing string and fallback fonts, the lobby's three tiles
// without a texture, Options' values of the wrong kind, missing styles and
// colours, and the broken_* screens.
TEST(CliTest, CheckOfTheSampleFindsOnlyWhatItPlants)
{
    const auto result = cli({"check", "Ironveil.module"});
    EXPECT_EQ(result.exitCode, 1) << result.err;
    std::vector<std::string> got = lines(result.out);
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got.back(), "9 screens, 3 errors, 17 warnings");
    std::map<std::string, int> perScreen;
    for (const std::string& line : got)
        if (line.find(": ") != std::string::npos)
            ++perScreen[line.substr(0, line.find(": "))];
    EXPECT_EQ(perScreen, (std::map<std::string, int>{{"broken_call.screen", 1}, {"broken_size.screen", 1},
                                                     {"broken_syntax.screen", 1}, {"Credits.screen", 3},
                                                     {"lobby.screen", 3}, {"Options.screen", 11}}));
    for (const char* planted : {
             "Credits.screen: warning: widget \"MissingString\": text $9999 is in no string table",
             "lobby.screen: warning: missing texture \"Art/UI/Textures/nothing_here\": no file "
             "Art/UI/Textures/nothing_here.dds or Art/UI/Textures/nothing_here.tga",
             "Options.screen: warning: widget \"ResetHint\": style \"NoSuchStyle\" is not in style sheet \"Common\": "
             "the widget is built without its style",
         })
        EXPECT_NE(std::find(got.begin(), got.end(), planted), got.end()) << planted;
    // Emberwake requires the base game and adds nothing wrong of its own.
    EXPECT_EQ(lines(cli({"check", "Emberwake.module", "MainMenu.screen"}).out),
              std::vector<std::string>{"1 screens, 0 errors, 0 warnings"});
}

TEST(CliTest, CheckSaysWhatTheModuleGotWrongUnderItsFileName)
{
    TempDir install;
    install.write("Mine.module", "ModFolder = Mine\nDataFolder.1 = Dta\nRequiredMod.1 = Ironveil\n");
    install.write("Mine/Data/Art/UI/Screens/mine.screen", "Screen = { Widgets = { name = 'A', txt = 'x' } }");
    install.write("Mine/Locale/English/mine.ucs", "12\tOne\r\n");
    const auto result = cli({"check", install / "Mine.module", "art/ui/screens/ok.screen"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(lines(result.out),
              (std::vector<std::string>{
                  "Mine.module: warning: RequiredMod.1 names \"Ironveil\", but there is no Ironveil.module beside this "
                  "module: nothing of that mod is mounted",
                  "Mine.module: warning: DataFolder.1 names \"Dta\", but there is no folder " + install / "Mine/Dta" +
                      ": it is not mounted",
                  "mine.ucs: warning: the file reads as UTF-8 text, not UTF-16: its entries are not found",
                  "art/ui/screens/ok.screen: error: Cannot open screen file art/ui/screens/ok.screen",
                  "1 screens, 1 errors, 3 warnings"}));
}
