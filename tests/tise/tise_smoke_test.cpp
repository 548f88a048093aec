// Starts the real viewer on a virtual X display in the sample installation,
// finds its window, clicks the first module, then its first screen, checks
// that the screen is drawn and that its "Widgets" panel stands beside the
// window, and takes screenshots (the last kept as build/tise-smoke.png). Each
// wait gives up after 15 seconds at most.

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

bool onPath(const std::string& program)
{
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// A child process, terminated and reaped when the object goes.
class Child {
public:
    Child() = default;
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child() { stop(); }

    // Runs argv in folder (empty: here); extra environment entries as NAME=VALUE.
    void start(std::vector<std::string> argv, const std::vector<std::string>& environment,
               const std::string& folder = {})
    {
        pid_ = ::fork();
        if (pid_ != 0)
            return;
        for (const std::string& entry : environment)
            ::putenv(const_cast<char*>(entry.c_str()));
        if (!folder.empty() && ::chdir(folder.c_str()) != 0)
            ::_exit(126);
        if (!std::freopen("/dev/null", "wb", stdout))
            ::_exit(126);
        std::vector<char*> args;
        for (std::string& arg : argv)
            args.push_back(arg.data());
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    bool running() const { return pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0; }
    void stop()
    {
        if (pid_ <= 0)
            return;
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
};

// What a shell command prints, run with DISPLAY set.
std::string output(const std::string& display, const std::string& command)
{
    const std::string full = "DISPLAY=" + display + " " + command + " 2>/dev/null";
    std::string text;
    if (FILE* pipe = ::popen(full.c_str(), "r")) {
        std::array<char, 256> buffer{};
        while (std::fgets(buffer.data(), buffer.size(), pipe))
            text += buffer.data();
        ::pclose(pipe);
    }
    return text;
}

TEST(TiseSmokeTest, ShowsTheModuleListAndOpensAModuleUnderXvfb)
{
    for (const char* tool : {"Xvfb", "xdotool", "import", "convert"})
        if (!onPath(tool))
            GTEST_SKIP() << tool << " is not installed";

    // Xvfb picks a free display and writes its number to the pipe when ready.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    Child xvfb;
    xvfb.start({"Xvfb", "-displayfd", std::to_string(ready[1]), "-screen", "0", "1024x768x24", "-nolisten", "tcp"},
               {});
    ::close(ready[1]);
    pollfd waitFor{ready[0], POLLIN, 0};
    ASSERT_EQ(::poll(&waitFor, 1, 10000), 1) << "Xvfb did not start";
    std::array<char, 32> number{};
    const ssize_t got = ::read(ready[0], number.data(), number.size() - 1);
    ::close(ready[0]);
    ASSERT_GT(got, 0);
    const std::string display = ":" + std::to_string(std::atoi(number.data()));

    const TestSupport::TempDir runtimeFolder; // private, as Qt wants its runtime folder
    const std::string runtime = runtimeFolder.path().string();
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    Child tise;
    tise.start({std::string(TISE_BIN_DIR) + "/tise"},
               {"DISPLAY=" + display, "QT_QPA_PLATFORM=xcb", "XDG_RUNTIME_DIR=" + runtime}, TISE_SAMPLE_DIR);

    const std::string window =
        output(display, "timeout 10 xdotool search --sync --name 'Tavrel Ironveil Screen Editor' | head -n 1");
    ASSERT_FALSE(window.empty()) << "no window";
    const std::string id = window.substr(0, window.find('\n'));
    std::istringstream geometry(output(display, "xdotool getwindowgeometry --shell " + id));
    int x = 0, y = 0;
    for (std::string line; std::getline(geometry, line);) {
        if (line.rfind("X=", 0) == 0)
            x = std::stoi(line.substr(2));
        if (line.rfind("Y=", 0) == 0)
            y = std::stoi(line.substr(2));
    }

    // The first module row: below the folder header, left of the descriptions.
    output(display, "xdotool mousemove --window " + id + " 60 58 click 1");

    // Polls a screenshot until the pixel at (px, py) of the window passes test.
    const std::string shot = std::string(TISE_BIN_DIR) + "/../tise-smoke.png";
    const auto waitForPixel = [&](int px, int py, const std::function<bool(int, int, int)>& test) {
        const std::string probe = "p{" + std::to_string(x + px) + "," + std::to_string(y + py) + "}";
        const std::string read = "convert " + shot + " -format '%[fx:int(255*" + probe + ".r)] %[fx:int(255*" + probe
                                 + ".g)] %[fx:int(255*" + probe + ".b)]' info:";
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (std::chrono::steady_clock::now() < deadline) {
            output(display, "import -window root " + shot);
            std::istringstream colour(output(display, read));
            int red = -1, green = -1, blue = -1;
            colour >> red >> green >> blue;
            if (red >= 0 && test(red, green, blue))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100)); // between polls
        }
        return false;
    };

    // The band that names the chosen module stands at the left edge.
    ASSERT_TRUE(waitForPixel(5, 300, [](int r, int, int b) { return r < 120 && b > r; }))
        << "the module was not opened; see " << shot;

    // The first screen of the list (briefing.screen), right of the band.
    output(display, "xdotool mousemove --window " + id + " 100 58 click 1");
    // A second band names it, and the screen is drawn beside the bands: the
    // briefing's map is a dark field where the list was light.
    EXPECT_TRUE(waitForPixel(42, 300, [](int r, int, int b) { return r < 120 && b > r; }))
        << "the screen was not opened; see " << shot;
    EXPECT_TRUE(waitForPixel(260, 380, [](int r, int g, int b) { return r < 60 && g < 60 && b < 60; }))
        << "the screen was not drawn; see " << shot;
    EXPECT_TRUE(std::filesystem::file_size(shot) > 0);
    EXPECT_TRUE(tise.running());

    // The screen opened with its "Widgets" panel beside the main window.
    const std::string panel = output(display, "timeout 10 xdotool search --sync --name '^Widgets$' | head -n 1");
    ASSERT_FALSE(panel.empty()) << "no Widgets window";
    std::istringstream placed(output(display, "xdotool getwindowgeometry --shell " + panel.substr(0, panel.find('\n'))));
    int panelX = -1, panelWidth = 0, panelHeight = 0;
    for (std::string line; std::getline(placed, line);) {
        if (line.rfind("X=", 0) == 0)
            panelX = std::stoi(line.substr(2));
        if (line.rfind("WIDTH=", 0) == 0)
            panelWidth = std::stoi(line.substr(6));
        if (line.rfind("HEIGHT=", 0) == 0)
            panelHeight = std::stoi(line.substr(7));
    }
    EXPECT_GE(panelX, x + 800) << "beside the main window";
    EXPECT_EQ(panelWidth, 200);
    EXPECT_EQ(panelHeight, 300);

    // Selecting the briefing's title in the panel (the fourth row: the screen,
    // its root, the backdrop, the title) emphasizes it: the rest of the screen,
    // the dark map among it, is dimmed to a quarter over the checkerboard.
    const std::string panelId = panel.substr(0, panel.find('\n'));
    output(display, "xdotool mousemove --window " + panelId + " 100 63 click 1");
    EXPECT_TRUE(waitForPixel(260, 380, [](int r, int g, int b) { return r > 100 && g > 100 && b > 100; }))
        << "selecting a widget did not emphasize it; see " << shot;
    EXPECT_TRUE(tise.running());
}

} // namespace
