#pragma once
// Work on many items (screens) spread over processes forked from this one.
// Each process takes every jobs-th item and hands back each item's result as
// bytes; the results come back in item order, as if one process had done
// them one after another.
//
// The processes start as copies of this one: fork them before Qt starts
// (no QGuiApplication, no threads yet), and let each make what it needs once
// (start). What they write to stderr goes where this process's does. A
// process that ends without handing back all of its results (it crashed,
// or its work threw) has its remaining items done here, one after another,
// so their results, or their exception, are those of a single process.

#include "cli/command.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace cli {

// The work of one item.
using ItemWork = std::function<std::string(std::size_t index)>;

// Runs the items 0 to count - 1 in up to jobs processes (here alone when
// jobs is 1 or there is one item); start is called once in each process
// that works, this one included when it does.
std::vector<std::string> runInProcesses(std::size_t count, unsigned jobs, const std::function<ItemWork()>& start);

// How many processes `-j N` asks for: N, from 1 up; without -j the number of
// cores. Throws UsageError.
unsigned jobsOption(const Arguments& args);

} // namespace cli
