// Bad option values say what is wrong, and every value option may be given
// as --name=value.

#include "support/png_pixels.h"
#include "support/process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using TestSupport::lines;

const std::string Sample = TISE_SAMPLE_DIR;

TestSupport::ProcessResult cli(const std::vector<std::string>& args)
{
    return TestSupport::runProgram("tise-cli", args, Sample);
}

} // namespace

TEST(OptionValues, BadValuesAreUsageErrorsThatSayWhatIsWrong)
{
    const TestSupport::TempDir dir;
    const std::string out = dir / "out.png";
    struct Case {
        std::vector<std::string> options;
        std::string message;
    };
    const std::vector<Case> cases{
        {{"--size", "20000x20000"}, "--size 20000x20000: at most 16384 per side"},
        {{"--size", "16385x1"}, "--size 16385x1: at most 16384 per side"},
        {{"--size", "99999999999999999999x5"}, "--size 99999999999999999999x5: at most 16384 per side"},
        {{"--size", "abc"}, "--size abc: expected WxH, such as 1024x768"},
        {{"--size", "10x"}, "--size 10x: expected WxH, such as 1024x768"},
        {{"--size", "5x5x5"}, "--size 5x5x5: expected WxH, such as 1024x768"},
        {{"--size=0x600"}, "--size 0x600: at least 1 per side"},
        {{"--size", "-4x4"}, "--size -4x4: at least 1 per side"},
        {{"--fade", "2"}, "--fade 2: expected a number between 0 and 1"},
        {{"--fade=-0.5"}, "--fade -0.5: expected a number between 0 and 1"},
        {{"--fade", "dim"}, "--fade dim: expected a number between 0 and 1"},
        {{"--watch=yes"}, "option --watch takes no value"},
        {{"--zoom=2"}, "unknown option --zoom"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"render", "Ironveil.module", "mainmenu.screen", "-o", out};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const auto result = cli(args);
        const std::string what = testing::PrintToString(c.options);
        EXPECT_EQ(result.exitCode, 2) << what;
        const std::vector<std::string> err = lines(result.err);
        ASSERT_EQ(err.size(), 2u) << what << result.err;
        EXPECT_EQ(err[0], "tise-cli: " + c.message) << what;
        EXPECT_EQ(err[1].rfind("usage: tise-cli render MODULE SCREEN", 0), 0u) << what;
        EXPECT_FALSE(std::filesystem::exists(out)) << what;
    }
}

TEST(OptionValues, AValueOptionTakesItsValueAfterAnEqualsSignToo)
{
    const TestSupport::TempDir dir;
    const auto result = cli({"render", "Ironveil.module", "mainmenu.screen", "-o", dir / "menu.png", "--size=320x240",
                             "--fade=0.5", "--emphasize=OptionsButton"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const QImage image = TestSupport::readPng(dir / "menu.png");
    EXPECT_EQ(image.size(), QSize(320, 240));

    const auto which = cli({"which", "Ironveil.module", "art/ui/screens/mainmenu.screen", "--language=English"});
    ASSERT_EQ(which.exitCode, 0) << which.err;
    EXPECT_EQ(which.out, "archive\tironveil\\Archives\\IronveilArt.sga\tart\\ui\\screens\\mainmenu.screen\n");
}
