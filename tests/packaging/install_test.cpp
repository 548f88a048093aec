// tise installed as a Linux application: `cmake --install` into a temporary
// prefix puts every file in its place and the installed tise-cli renders the
// installed sample; the desktop entry, the AppStream metadata and the file
// types pass their validators; the completions offer commands, options,
// module files and screen names; the man pages render without warnings and
// name every command. A validator or shell that is not installed skips its
// test with a message, except in CI (CI=true), where that fails it.

#include "cli/command.h"
#include "support/process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using TestSupport::runProgram;
using TestSupport::TempDir;
using Strings = std::vector<std::string>;

const std::string AppId = TISE_APP_ID;
const std::string Docs = TISE_PACKAGING_DIR "/docs";

// The executable name on $PATH, or "".
std::string onPath(const std::string& name)
{
    std::istringstream folders(std::getenv("PATH") ? std::getenv("PATH") : "");
    for (std::string folder; std::getline(folders, folder, ':');) {
        const fs::path candidate = fs::path(folder) / name;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate.string();
    }
    return {};
}

// The tool's path; when it is missing, skips the test with a message, or in
// CI fails it (CI installs every tool these tests need).
#define REQUIRE_TOOL(variable, name)                                                                                  \
    const std::string variable = onPath(name);                                                                       \
    if (variable.empty()) {                                                                                           \
        if (std::getenv("CI"))                                                                                        \
            FAIL() << name << " is not installed; .ci/run installs it";                                              \
        GTEST_SKIP() << name << " is not installed";                                                                 \
    }

// Width and height from a PNG's header, {0, 0} when it is none.
std::pair<int, int> pngSize(const fs::path& path)
{
    const std::string bytes = TestSupport::readFile(path);
    if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0)
        return {0, 0};
    const auto number = [&](std::size_t at) {
        int value = 0;
        for (std::size_t i = at; i < at + 4; ++i)
            value = value * 256 + static_cast<unsigned char>(bytes[i]);
        return value;
    };
    return {number(16), number(20)};
}

TEST(InstallTest, PutsEveryFileInItsPlaceAndTheInstalledToolRendersTheSample)
{
    struct Layout {
        std::string prefix;     // under the temporary folder
        std::string zshFolder;  // where the zsh completion goes
        bool relativeFontLinks; // as a package wants them
    };
    for (const Layout& layout : {Layout{"opt/tise", "share/zsh/site-functions", false},
                                 Layout{"usr", "share/zsh/vendor-completions", true}}) {
        SCOPED_TRACE(layout.prefix);
        const TempDir dir;
        const fs::path prefix = dir.path() / layout.prefix;
        const auto install = runProgram(CMAKE_COMMAND, {"--install", TISE_BUILD_DIR, "--prefix", prefix.string()});
        ASSERT_EQ(install.exitCode, 0) << install.err;

        Strings expected{"bin/tise",
                         "bin/tise-cli",
                         "share/applications/" + AppId + ".desktop",
                         "share/metainfo/" + AppId + ".metainfo.xml",
                         "share/mime/packages/" + AppId + ".xml",
                         "share/icons/hicolor/scalable/apps/" + AppId + ".svg",
                         "share/man/man1/tise.1.gz",
                         "share/man/man1/tise-cli.1.gz",
                         "share/bash-completion/completions/tise-cli",
                         layout.zshFolder + "/_tise-cli",
                         "share/fish/vendor_completions.d/tise-cli.fish",
                         "share/doc/tise/copyright",
                         "share/doc/tise/changelog.gz",
                         "share/doc/tise/CLI.md",
                         "share/doc/tise/README.md",
                         "share/tise/sample/Ironveil.module",
                         "share/tise/sample/Emberwake.module",
                         "share/tise/sample/Engine/Engine.sga"};
        for (const std::string& file : expected) {
            EXPECT_TRUE(fs::is_regular_file(prefix / file)) << file;
            EXPECT_GT(fs::file_size(prefix / file), 0u) << file;
        }
        for (const char* program : {"bin/tise", "bin/tise-cli"})
            EXPECT_EQ(::access((prefix / program).c_str(), X_OK), 0) << program;
        for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            const std::string side = std::to_string(size);
            EXPECT_EQ(pngSize(prefix / ("share/icons/hicolor/" + side + "x" + side + "/apps/" + AppId + ".png")),
                      std::make_pair(size, size));
        }
        const std::string entry = TestSupport::readFile(prefix / ("share/applications/" + AppId + ".desktop"));
        EXPECT_NE(entry.find("\nExec=tise %F\n"), std::string::npos) << entry;
        EXPECT_NE(entry.find("\nIcon=" + AppId + "\n"), std::string::npos) << entry;

        // The sample's fonts are links to the system's, relative in a /usr layout.
        const fs::path font = prefix / "share/tise/sample/Ironveil/Data/Font/DejaVuSans.ttf";
        ASSERT_TRUE(fs::is_symlink(font));
        EXPECT_EQ(fs::read_symlink(font).is_relative(), layout.relativeFontLinks) << fs::read_symlink(font);
        if (layout.relativeFontLinks)
            continue;
        EXPECT_TRUE(fs::is_regular_file(font)) << "the link resolves";

        const std::string tool = (prefix / "bin/tise-cli").string();
        const auto version = runProgram(tool, {"--version"});
        EXPECT_EQ(version.out, "tise-cli " TISE_VERSION "\n");
        const fs::path picture = dir.path() / "menu.png";
        const auto render = runProgram(tool, {"render", "Ironveil.module", "mainmenu.screen", "-o", picture.string()},
                                       (prefix / "share/tise/sample").string());
        EXPECT_EQ(render.exitCode, 0) << render.err;
        EXPECT_EQ(render.err, "");
        EXPECT_EQ(pngSize(picture), std::make_pair(1024, 768));
    }
}

TEST(ValidatorTest, TheDesktopEntryPasses)
{
    REQUIRE_TOOL(validate, "desktop-file-validate");
    const auto result = runProgram(validate, {TISE_PACKAGING_DIR "/" TISE_APP_ID ".desktop"});
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ(result.out + result.err, "") << "no hints or warnings either";
}

TEST(ValidatorTest, TheAppStreamMetadataPasses)
{
    REQUIRE_TOOL(appstream, "appstreamcli");
    const std::string metainfo = TISE_PACKAGING_DIR "/" TISE_APP_ID ".metainfo.xml";
    const auto result = runProgram(appstream, {"validate", "--no-net", "--pedantic", metainfo});
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_NE(result.out.find("Validation was successful"), std::string::npos) << result.out;
}

TEST(ValidatorTest, TheFileTypesCompileIntoAMimeDatabase)
{
    REQUIRE_TOOL(update, "update-mime-database");
    const TempDir data;
    const fs::path mime = data.path() / "mime";
    fs::create_directories(mime / "packages");
    fs::copy_file(TISE_SOURCE_DIR "/packaging/mime-types.xml", mime / "packages" / (AppId + ".xml"));
    const auto result = runProgram(update, {mime.string()}, {}, {"XDG_DATA_DIRS=" + data.path().string()});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const std::string globs = TestSupport::readFile(mime / "globs2");
    EXPECT_NE(globs.find(":text/x-ironveil-module:*.module\n"), std::string::npos) << globs;
    EXPECT_NE(globs.find(":text/x-ironveil-screen:*.screen\n"), std::string::npos) << globs;
    const std::string subclasses = TestSupport::readFile(mime / "subclasses");
    EXPECT_NE(subclasses.find("text/x-ironveil-screen text/x-lua\n"), std::string::npos) << subclasses;
    EXPECT_NE(subclasses.find("text/x-ironveil-module text/plain\n"), std::string::npos) << subclasses;
}

// Completion cases in the sample installation: the words typed (the last
// one being completed) and every candidate, in order.
struct CompletionCase {
    Strings words;
    Strings candidates;
};

std::vector<CompletionCase> completionCases()
{
    return {
        {{"tise-cli", "ren"}, {"render"}},
        {{"tise-cli", "sga", ""}, {"list", "cat", "pack"}},
        {{"tise-cli", "render", "Ir"}, {"Ironveil", "Ironveil.module"}},
        {{"tise-cli", "render", "Ironveil.module", "main"}, {"mainmenu.screen"}},
        {{"tise-cli", "render", "Ironveil.module", "-o", "x.png", "--size", "800x600", "lo"},
         {"loading.screen", "lobby.screen"}},
        {{"tise-cli", "tree", "Emberwake.module", "Ma"}, {"MainMenu.screen"}},
        {{"tise-cli", "check", "Ironveil.module", "a.screen", "lob"}, {"lobby.screen"}},
        {{"tise-cli", "render", "Ironveil.module", "mainmenu.screen", "--s"}, {"--size"}},
        {{"tise-cli", "sga", "list", "Engine/Eng"}, {"Engine/Engine.sga"}},
        {{"tise-cli", "render", "--size", ""}, {}},
        {{"tise-cli", "screens", "Nothing.module", ""}, {}},
    };
}

TEST(CompletionTest, BashOffersCommandsOptionsModulesAndScreens)
{
    REQUIRE_TOOL(bash, "bash");
    // One line per case: its candidates, tab-separated.
    std::string script = "source '" + Docs + "/tise-cli.bash'\n"
                         "offer() { COMP_WORDS=(\"$@\"); COMP_CWORD=$(($# - 1)); COMPREPLY=()\n"
                         "  _tise_cli " TISE_BIN_DIR "/tise-cli \"${COMP_WORDS[COMP_CWORD]}\" "
                         "\"${COMP_WORDS[COMP_CWORD-1]}\"\n"
                         "  local IFS=$'\\t'; echo \"${COMPREPLY[*]}\"; }\n"
                         "offer tise-cli ''\n";
    const std::vector<CompletionCase> cases = completionCases();
    for (const CompletionCase& c : cases) {
        script += "offer";
        for (const std::string& word : c.words)
            script += " '" + word + "'";
        script += '\n';
    }
    const auto result = runProgram(bash, {"--norc", "-c", script}, TISE_SAMPLE_DIR);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const Strings lines = TestSupport::lines(result.out);
    ASSERT_EQ(lines.size(), cases.size() + 1) << result.out;

    // The first words of every command of the tool's table, then the tool's options.
    Strings commands;
    for (const cli::Command& command : cli::commands()) {
        const std::string first = command.name.substr(0, command.name.find(' '));
        if (std::find(commands.begin(), commands.end(), first) == commands.end())
            commands.push_back(first);
    }
    commands.insert(commands.end(), {"--help", "--version"});
    std::string all;
    for (const std::string& command : commands)
        all += (all.empty() ? "" : "\t") + command;
    EXPECT_EQ(lines[0], all);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        std::string expected;
        for (const std::string& candidate : cases[i].candidates)
            expected += (expected.empty() ? "" : "\t") + candidate;
        EXPECT_EQ(lines[i + 1], expected) << testing::PrintToString(cases[i].words);
    }
}

TEST(CompletionTest, FishOffersTheSame)
{
    REQUIRE_TOOL(fish, "fish");
    for (const CompletionCase& c : completionCases()) {
        std::string line = TISE_BIN_DIR "/tise-cli";
        for (std::size_t i = 1; i < c.words.size(); ++i)
            line += " " + c.words[i];
        const auto result = runProgram(fish, {"--no-config", "-c", "source '" + Docs + "/tise-cli.fish'; complete -C '"
                                                                      + line + "'"},
                                       TISE_SAMPLE_DIR);
        EXPECT_EQ(result.err, "") << line;
        // fish writes folders with their "/" and sorts candidates itself.
        Strings expected = c.candidates;
        for (std::string& candidate : expected)
            if (fs::is_directory(fs::path(TISE_SAMPLE_DIR) / candidate))
                candidate += "/";
        std::sort(expected.begin(), expected.end());
        Strings offered = TestSupport::lines(result.out);
        std::sort(offered.begin(), offered.end());
        EXPECT_EQ(offered, expected) << line;
    }
}

TEST(CompletionTest, ZshReadsItsScript)
{
    REQUIRE_TOOL(zsh, "zsh");
    const auto result = runProgram(zsh, {"-n", Docs + "/_tise-cli"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
}

TEST(ManPageTest, BothRenderWithoutWarningsAndNameEveryCommandAndOption)
{
    REQUIRE_TOOL(man, "man");
    struct Page {
        std::string file;
        Strings names; // each must appear in the rendered page
    };
    Page cliPage{"tise-cli.1.gz", {"--version"}};
    for (const cli::Command& command : cli::commands()) {
        cliPage.names.push_back("tise-cli " + command.name);
        for (const std::string& option : command.valueOptions)
            cliPage.names.push_back(option);
    }
    for (const Page& page : {Page{"tise.1.gz", {"--screen NAME", "--language NAME", "-h, --help", "--version", "PATH"}},
                             cliPage}) {
        SCOPED_TRACE(page.file);
        const auto result = runProgram(man, {"--warnings", "-l", Docs + "/" + page.file}, {}, {"MANWIDTH=80"});
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.err, "") << "no warnings";
        // The text with each run of blanks and line ends read as one space.
        std::string text;
        for (const char c : result.out)
            if (!std::isspace(static_cast<unsigned char>(c)) || (!text.empty() && text.back() != ' '))
                text += std::isspace(static_cast<unsigned char>(c)) ? ' ' : c;
        EXPECT_NE(text.find(" " TISE_VERSION " "), std::string::npos) << "the version in the footer";
        for (const std::string& name : page.names)
            EXPECT_NE(text.find(name), std::string::npos) << name << " in\n" << result.out;
    }
}

} // namespace
