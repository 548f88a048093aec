#pragma once
// Runs a program of ours as a user would and collects what it printed.

#include <string>
#include <vector>

namespace TestSupport {

struct ProcessResult {
    int exitCode;
    std::string out;
    std::string err;
};

// Runs build/bin/<program> (or program itself, when it is an absolute path)
// with args in workingDirectory (empty: inherited).
// The program gets this process's environment without what would make its
// result depend on the machine: HOME is an empty folder of its own, and
// WINEPREFIX, DISPLAY and WAYLAND_DISPLAY are unset. Then each of changes
// applies: "NAME=VALUE" sets a variable, "NAME" unsets it.
ProcessResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& workingDirectory = {}, const std::vector<std::string>& changes = {});

// The lines of a program's output, without their line ends.
std::vector<std::string> lines(const std::string& text);

} // namespace TestSupport
