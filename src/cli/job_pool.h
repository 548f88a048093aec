#pragma once
// Work on many items at once, in worker processes, with the results handed
// over in item order: what a command that renders or checks every screen of
// a module uses to keep all cores busy while printing exactly what it prints
// one item at a time.
//
// runJobs(count, jobs, work, deliver) calls work(i) for every i in
// [0, count) and deliver(i, result) for every i in increasing order, each as
// soon as its result and all before it are in.
//
// With jobs of 1 (or a single item) everything runs here, in order: work(0),
// deliver(0), work(1), ...
//
// Otherwise the process forks min(jobs, count) workers and hands them items
// one at a time, each to the next free worker; a worker sends its result
// back through a pipe. The workers are copies of this process at the
// fork: whatever work needs (a session of the graphics system, for one) it
// makes in the worker on first use, and nothing of that kind may exist in
// this process when runJobs starts, since a forked copy of it would share
// its state (threads, connections) with the original. The caller's output
// should be flushed before. A worker that ends before sending a result (a
// crash) costs only its item: that item is delivered as not completed, with
// the reason, and a new worker takes its place.
//
// Errors: a failing fork or pipe throws std::runtime_error before any item
// ran, or stops the remaining work with that error.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace cli {

struct JobResult {
    bool completed = true; // false: the worker ended before it finished the item
    std::string bytes;     // what work returned, or (not completed) why the worker ended
};

// The number of processors this process may run on.
unsigned availableCores();

void runJobs(std::size_t count, unsigned jobs, const std::function<std::string(std::size_t)>& work,
             const std::function<void(std::size_t, const JobResult&)>& deliver);

// Several strings as one, and back (any bytes): for results with parts.
std::string packStrings(const std::vector<std::string>& parts);
std::vector<std::string> unpackStrings(const std::string& packed);

} // namespace cli
