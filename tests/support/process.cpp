#include "support/process.h"

#include "support/temp_dir.h"

#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace TestSupport {

ProcessResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& workingDirectory)
{
    const TempDir capture;
    const std::string outPath = capture / "out", errPath = capture / "err";
    const std::string binary = std::string(TISE_BIN_DIR) + "/" + program;
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
        ::execv(binary.c_str(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(outPath), readFile(errPath)};
}

} // namespace TestSupport
