// The viewer's command line as a user runs it: --help, --version and bad
// usage are answered without a display, and what a path or --screen names
// wrongly is reported while the window opens all the same.

#include "support/process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using TestSupport::runProgram;

TEST(ViewerCommandLineTest, HelpVersionAndBadUsageNeedNoDisplay)
{
    const std::string usage = "usage: tise [--language NAME] [--screen NAME] [PATH...]\n";
    struct Case {
        std::string program;
        std::vector<std::string> args;
        int exitCode;
        std::string outStart; // what stdout starts with
        std::string err;      // all of stderr
    };
    const std::vector<Case> cases{
        {"tise", {"--help"}, 0, usage, ""},
        {"tise", {"Emberwake.module", "-h"}, 0, usage, ""},
        {"tise", {"--version"}, 0, "tise " TISE_VERSION "\n", ""},
        {"tise-cli", {"--version"}, 0, "tise-cli " TISE_VERSION "\n", ""},
        {"tise", {"--bogus"}, 2, "", "tise: unknown option --bogus\n" + usage},
        {"tise", {"Emberwake.module", "--screen"}, 2, "", "tise: option --screen needs a value\n" + usage},
        {"tise", {"--screen", "mainmenu.screen"}, 2, "",
         "tise: --screen needs a .module file to open the screen in\n" + usage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program + " " + testing::PrintToString(c.args));
        // No display and no platform chosen: a window would abort the program.
        const auto result = runProgram(c.program, c.args, TISE_SAMPLE_DIR, {"QT_QPA_PLATFORM"});
        EXPECT_EQ(result.exitCode, c.exitCode);
        EXPECT_EQ(result.out.substr(0, c.outStart.size()), c.outStart);
        if (c.outStart.empty()) {
            EXPECT_EQ(result.out, "");
        }
        EXPECT_EQ(result.err, c.err);
    }
}

TEST(ViewerCommandLineTest, AWrongPathAndAnUnknownScreenAreReportedAndTheWindowOpens)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    TestSupport::RunningProgram tise("tise", {"Missing.module", "Emberwake.module", "--screen", "nothing.screen"},
                                     TISE_SAMPLE_DIR);
    const std::string missing = "No such file or folder: Missing.module";
    const std::string unknown =
        "No screen nothing.screen in " + std::string(TISE_SAMPLE_DIR) + "/Emberwake.module; its screens are listed.";
    EXPECT_TRUE(tise.waitFor([&] { return tise.err().find(unknown) != std::string::npos; }, std::chrono::seconds(20)))
        << tise.err();
    EXPECT_NE(tise.err().find(missing + "\n\n" + unknown), std::string::npos) << tise.err();
    EXPECT_EQ(tise.stop(SIGTERM, std::chrono::seconds(10)), -1) << "it was still running, showing the report";
}

} // namespace
