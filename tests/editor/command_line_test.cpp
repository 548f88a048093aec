// The viewer's command line: parsing its words, finding what its paths name
// (folders, module files, screen files served by a module) in installations
// written here, and the main window opening a module and a screen of the
// sample installation from it, off screen.

#include "editor/command_line.h"

#include "app/error_box.h"
#include "editor/main_window.h"
#include "editor/module_selector.h"
#include "editor/screen_host.h"
#include "editor/screen_selector.h"
#include "editor/start_request.h"
#include "gfx/graphics_context.h"
#include "screen/screen_view.h"
#include "support/temp_dir.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using TestSupport::TempDir;
using Strings = std::vector<std::string>;

TEST(CommandLineTest, ParsesOptionsAndPathsAndRejectsBadUsage)
{
    struct Case {
        Strings args;
        std::string error; // the CommandLineError's message, "" when it parses
        bool help = false, version = false;
        std::optional<std::string> screen = {}, language = {};
        Strings paths = {};
    };
    const std::vector<Case> cases{
        {{}, ""},
        {{"--help"}, "", true},
        {{"a.module", "-h"}, "", true},
        {{"--bogus", "--help"}, "", true}, // help wins over what it would have rejected
        {{"--version"}, "", false, true},
        {{"--screen", "x.screen", "A.module", "--language", "French"}, "", false, false, "x.screen", "French",
         {"A.module"}},
        {{"--screen=x.screen", "--language=", "dir"}, "", false, false, "x.screen", "", {"dir"}},
        {{"-", "--", "--help", "--screen"}, "", false, false, {}, {}, {"-", "--help", "--screen"}},
        {{"--bogus"}, "unknown option --bogus"},
        {{"-x", "a"}, "unknown option -x"},
        {{"a.module", "--screen"}, "option --screen needs a value"},
        {{"--screen", "--", "a.module"}, "option --screen needs a value"},
        {{"--version=2"}, "option --version takes no value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        try {
            const editor::CommandLine line = editor::parseCommandLine(c.args);
            EXPECT_EQ(c.error, "") << "parsed";
            EXPECT_EQ(line.help, c.help);
            EXPECT_EQ(line.version, c.version);
            EXPECT_EQ(line.screen, c.screen);
            EXPECT_EQ(line.language, c.language);
            EXPECT_EQ(line.paths, c.paths);
        } catch (const editor::CommandLineError& error) {
            EXPECT_EQ(error.what(), c.error);
        }
    }
}

TEST(CommandLineTest, TheHelpDescribesEveryItemWithinEightyColumns)
{
    const std::string help = editor::commandLineHelp();
    EXPECT_EQ(help.rfind("usage: " + std::string(editor::commandLineSynopsis()) + "\n", 0), 0u) << help;
    for (const editor::CommandLineItem& item : editor::commandLineItems()) {
        std::string name(item.name);
        if (!item.value.empty())
            name += " " + std::string(item.value);
        const std::string alias = item.alias.empty() ? "" : std::string(item.alias) + ", ";
        EXPECT_NE(help.find("  " + alias + name), std::string::npos) << name;
        EXPECT_NE(help.find(std::string(item.help.substr(0, item.help.find(' ', 20)))), std::string::npos) << name;
    }
    std::size_t start = 0;
    for (std::size_t end; (end = help.find('\n', start)) != std::string::npos; start = end + 1)
        EXPECT_LE(end - start, 80u) << help.substr(start, end - start);
}

// An installation of two modules: Addon requires Base (and sorts before it),
// both have shared.screen (Addon's shadows Base's in Addon), each has a screen
// of its own, and a screen file lies in a folder that no module mounts.
class StartRequestTest : public testing::Test {
protected:
    void SetUp() override
    {
        root = dir.path().string() + "/";
        dir.write("Base.module", "[global]\nModFolder = Base\nDataFolder.1 = Data\n");
        dir.write("Addon.module", "[global]\nModFolder = Addon\nDataFolder.1 = Data\nRequiredMod.1 = Base\n");
        for (const char* file : {"Base/Data/Art/UI/Screens/shared.screen", "Base/Data/Art/UI/Screens/base.screen",
                                 "Addon/Data/Art/UI/Screens/shared.screen", "Addon/Data/Art/UI/Screens/own.screen",
                                 "Loose/Art/UI/Screens/stray.screen"})
            dir.write(file, "Screen = {}\n");
        dir.write("notes.txt", "not for the viewer\n");
        outside.write("Art/UI/Screens/alone.screen", "Screen = {}\n");
    }

    editor::StartRequest resolve(const Strings& args) const
    {
        return editor::resolveStartRequest(editor::parseCommandLine(args), dir.path().string());
    }

    TempDir dir;
    TempDir outside;
    std::string root;
};

TEST_F(StartRequestTest, FindsTheFoldersTheModuleAndTheScreenThatPathsName)
{
    struct Case {
        Strings args;
        Strings folders;
        std::string module;
        std::optional<std::string> screen;
        Strings problems;
    };
    const std::string alone = outside / "Art/UI/Screens/alone.screen";
    const std::vector<Case> cases{
        {{"Loose", root + "Base"}, {root + "Loose", root + "Base"}, "", {}, {}},
        {{"Addon.module"}, {root}, root + "Addon.module", {}, {}},
        {{"--screen", "own.screen", "./Addon.module", "Base.module"}, {root, root}, root + "Addon.module", "own.screen",
         {}},
        // A screen file opens in a module that serves that very file, its own first.
        {{"Base/Data/Art/UI/Screens/shared.screen"}, {root}, root + "Base.module", "shared.screen", {}},
        {{"Addon/Data/Art/UI/Screens/shared.screen"}, {root}, root + "Addon.module", "shared.screen", {}},
        {{root + "Addon/Data/Art/UI/Screens/own.screen"}, {root}, root + "Addon.module", "own.screen", {}},
        {{"Base/Data/Art/UI/Screens/base.screen"}, {root}, root + "Base.module", "base.screen", {}},
        {{"Loose/Art/UI/Screens/stray.screen"}, {root}, "", {},
         {"No module of " + root + " serves Loose/Art/UI/Screens/stray.screen as a screen (a module serves the "
          "screens in Art\\UI\\Screens\\ of the data folders and archives it mounts); the modules are listed."}},
        {{alone}, {}, "", {}, {"No module file in the folders above " + alone + ", so no module can show it."}},
        {{"Gone.module", "notes.txt", "Base"}, {root + "Base"}, "", {},
         {"No such file or folder: Gone.module", "Not a folder, a .module file or a .screen file: notes.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const editor::StartRequest request = resolve(c.args);
        EXPECT_EQ(request.folders, c.folders);
        EXPECT_EQ(request.module, c.module);
        EXPECT_EQ(request.screen, c.screen);
        EXPECT_EQ(request.problems, c.problems);
    }
    EXPECT_EQ(resolve({"--language", "French", "Addon.module"}).language, "French");
}

TEST_F(StartRequestTest, AScreenOptionNeedsAModuleFileAndNoScreenFile)
{
    const std::vector<std::pair<Strings, std::string>> cases{
        {{"--screen", "own.screen"}, "--screen needs a .module file to open the screen in"},
        {{"--screen", "own.screen", "Base"}, "--screen needs a .module file to open the screen in"},
        {{"--screen", "own.screen", "Addon/Data/Art/UI/Screens/own.screen"},
         "give a .screen file or --screen, not both"},
    };
    for (const auto& [args, message] : cases) {
        SCOPED_TRACE(testing::PrintToString(args));
        EXPECT_THROW(
            {
                try {
                    resolve(args);
                } catch (const editor::CommandLineError& error) {
                    EXPECT_EQ(error.what(), message);
                    throw;
                }
            },
            editor::CommandLineError);
    }
}

// The main window of the sample installation opened from a command line, as
// the viewer's entry opens it; reports are collected instead of shown.
class OpenFromCommandLineTest : public testing::Test {
protected:
    void SetUp() override
    {
        previous = app::setErrorBoxHandler([this](QWidget*, const std::string& text) { reports.push_back(text); });
    }
    void TearDown() override
    {
        delete window;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        app::setErrorBoxHandler(previous);
    }

    void open(const Strings& args)
    {
        const editor::StartRequest request =
            editor::resolveStartRequest(editor::parseCommandLine(args), TISE_SAMPLE_DIR);
        window = editor::MainWindow::open(graphics, environment, request.folders);
        window->openRequested(request);
    }
    std::string shownScreen() const
    {
        editor::ScreenSelector* screens = window->screenSelector();
        editor::ScreenHost* host = screens ? screens->host() : nullptr;
        return host ? host->view().path() : "";
    }

    gfx::GraphicsContext graphics;
    TempDir elsewhere;
    Mod::DiscoveryEnvironment environment{elsewhere.path().string(), "", elsewhere.path().string()};
    editor::MainWindow* window = nullptr;
    app::ErrorBoxHandler previous;
    Strings reports;
};

TEST_F(OpenFromCommandLineTest, OpensTheModuleAndTheScreenNamedInAnyLetterCase)
{
    open({"Emberwake.module", "--screen", "lobby"});
    EXPECT_EQ(shownScreen(), "Art\\UI\\Screens\\lobby.screen") << "\".screen\" may be left out";
    delete window;

    open({"Emberwake.module", "--screen", "mainmenu.SCREEN", "--language", "English"});
    EXPECT_EQ(window->moduleSelector().chosenPath(), std::string(TISE_SAMPLE_DIR) + "/Emberwake.module");
    EXPECT_EQ(shownScreen(), "Art\\UI\\Screens\\MainMenu.screen");
    EXPECT_EQ(window->moduleSelector().language(), "English");
    EXPECT_EQ(reports, Strings{});

    // The module's folder is listed behind it: going back shows it.
    window->moduleSelector().goBack();
    ASSERT_FALSE(window->moduleSelector().groups().empty());
}

TEST_F(OpenFromCommandLineTest, OpensAScreenFileInTheModuleThatServesIt)
{
    // Emberwake serves it too, through the module it requires, but it is Ironveil's own.
    open({"Ironveil/Data/Art/UI/Screens/Options.screen"});
    EXPECT_EQ(window->moduleSelector().chosenPath(), std::string(TISE_SAMPLE_DIR) + "/Ironveil.module");
    EXPECT_EQ(shownScreen(), "Art\\UI\\Screens\\Options.screen");
    EXPECT_EQ(reports, Strings{});
}

TEST_F(OpenFromCommandLineTest, ReportsWhatCannotBeOpenedAndStaysOnTheList)
{
    struct Case {
        Strings args;
        bool moduleOpen;           // the screen list is shown
        Strings reportStarts;      // the report's paragraphs, each by its start
    };
    const std::vector<Case> cases{
        {{"Emberwake.module", "--screen", "nothing.screen"}, true,
         {"No screen nothing.screen in " + std::string(TISE_SAMPLE_DIR)
          + "/Emberwake.module; its screens are listed."}},
        {{"Ironveil.module", "--screen", "broken_syntax.screen"}, true, {"TISE has encountered an exception."}},
        {{"/no/such/folder", "Emberwake.module", "--screen", "nothing.screen"}, true,
         {"No such file or folder: /no/such/folder", "No screen nothing.screen in"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        reports.clear();
        open(c.args);
        EXPECT_EQ(window->screenSelector() != nullptr, c.moduleOpen);
        EXPECT_EQ(shownScreen(), "");
        ASSERT_EQ(reports.size(), 1u) << "one report for all";
        std::size_t at = 0;
        for (const std::string& start : c.reportStarts) {
            EXPECT_EQ(reports[0].compare(at, start.size(), start), 0) << reports[0];
            at = reports[0].find("\n\n", at);
            at = at == std::string::npos ? reports[0].size() : at + 2;
        }
        delete window;
        window = nullptr;
    }
}

} // namespace
