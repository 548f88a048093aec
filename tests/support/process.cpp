#include "support/process.h"

#include "support/temp_dir.h"

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>

namespace TestSupport {

ProcessResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& workingDirectory, const std::vector<std::string>& changes)
{
    const TempDir capture;
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
    int status = 0;
    ::waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(outPath), readFile(errPath)};
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
