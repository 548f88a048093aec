#include "support/process.h"

#include "support/temp_dir.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <thread>
#include <sys/wait.h>
#include <unistd.h>

namespace TestSupport {

namespace {

// Starts build/bin/<program> (or program, when absolute) with stdout and
// stderr going to files in capture.
pid_t start(const std::string& program, const std::vector<std::string>& args, const std::string& workingDirectory,
            const std::vector<std::string>& changes, const TempDir& capture)
{
    const std::string outPath = capture / "out", errPath = capture / "err";
    const std::string binary = program.front() == '/' ? program : std::string(TISE_BIN_DIR) + "/" + program;
    const std::string home = capture / "home";
    std::filesystem::create_directory(home);
    const auto nameOf = [](std::string_view variable) { return variable.substr(0, variable.find('=')); };
    const auto changed = [&](std::string_view name) {
        return std::any_of(changes.begin(), changes.end(), [&](const std::string& c) { return nameOf(c) == name; });
    };
    std::vector<std::string> environment{"HOME=" + home};
    for (char** entry = environ; *entry; ++entry) {
        const std::string_view variable = *entry;
        const std::string_view name = nameOf(variable);
        if (name != "HOME" && name != "WINEPREFIX" && name != "DISPLAY" && name != "WAYLAND_DISPLAY" && !changed(name))
            environment.emplace_back(variable);
    }
    for (const std::string& change : changes) {
        if (change.find('=') != std::string::npos)
            environment.push_back(change);
    }
    std::vector<char*> envp;
    for (std::string& variable : environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    const pid_t child = ::fork();
    if (child < 0)
        throw std::runtime_error("fork failed");
    if (child == 0) {
        if (!workingDirectory.empty() && ::chdir(workingDirectory.c_str()) != 0)
            ::_exit(126);
        if (!::freopen(outPath.c_str(), "wb", stdout) || !::freopen(errPath.c_str(), "wb", stderr)
            || !::freopen("/dev/null", "rb", stdin))
            ::_exit(126);
        std::vector<char*> argv{const_cast<char*>(binary.c_str())};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execve(binary.c_str(), argv.data(), envp.data());
        ::_exit(127);
    }
    return child;
}

int exitCodeOf(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

} // namespace

ProcessResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& workingDirectory, const std::vector<std::string>& changes)
{
    const TempDir capture;
    const pid_t child = start(program, args, workingDirectory, changes, capture);
    int status = 0;
    ::waitpid(child, &status, 0);
    return {exitCodeOf(status), readFile(capture / "out"), readFile(capture / "err")};
}

RunningProgram::RunningProgram(const std::string& program, const std::vector<std::string>& args,
                               const std::string& workingDirectory)
    : capture_(std::make_unique<TempDir>()), pid_(start(program, args, workingDirectory, {}, *capture_))
{
}

RunningProgram::~RunningProgram()
{
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

namespace {

// A capture file; empty before the child has opened it.
std::string captured(const std::string& path) { return std::filesystem::exists(path) ? readFile(path) : ""; }

} // namespace

std::string RunningProgram::out() const { return captured(*capture_ / "out"); }
std::string RunningProgram::err() const { return captured(*capture_ / "err"); }

bool RunningProgram::waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) const
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

int RunningProgram::stop(int signal, std::chrono::milliseconds timeout)
{
    ::kill(pid_, signal);
    int status = 0;
    const bool ended = waitFor([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; }, timeout);
    if (!ended)
        return -1; // the destructor kills it
    pid_ = -1;
    return exitCodeOf(status);
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

} // namespace TestSupport
