#pragma once
// Runs a program of ours as a user would and collects what it printed.

#include "support/temp_dir.h"

#include <chrono>
#include <functional>
#include <memory>
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

// A program of ours started as runProgram starts it and left running, for
// tools that keep running; it is killed if it still runs when destroyed.
class RunningProgram {
public:
    RunningProgram(const std::string& program, const std::vector<std::string>& args,
                   const std::string& workingDirectory = {});
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    // What it printed so far.
    std::string out() const;
    std::string err() const;
    // Polls condition until it holds (true) or timeout passes (false).
    bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) const;
    // Sends signal and waits up to timeout for the program to end: its exit
    // code, or -1 when a signal ended it or it still runs.
    int stop(int signal, std::chrono::milliseconds timeout);

private:
    std::unique_ptr<TempDir> capture_;
    int pid_;
};

// The lines of a program's output, without their line ends.
std::vector<std::string> lines(const std::string& text);

} // namespace TestSupport
