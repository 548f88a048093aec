// Work in worker processes: results come back in item order whatever order
// the workers finish in, the work really runs elsewhere, a worker that
// crashes costs its item alone, and results with parts survive the pipe.

#include "cli/job_pool.h"

#include <gtest/gtest.h>

#include <csignal>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

TEST(JobPool, ResultsComeInItemOrderForAnyNumberOfJobs)
{
    constexpr std::size_t Items = 24;
    for (const unsigned jobs : {1u, 2u, 4u, 8u, 40u}) {
        SCOPED_TRACE("-j " + std::to_string(jobs));
        std::vector<std::size_t> order;
        std::set<std::string> processes;
        cli::runJobs(
            Items, jobs,
            [](std::size_t i) {
                // Early items take longest: later ones finish first.
                ::usleep(static_cast<useconds_t>((Items - i) * 300));
                return std::to_string(i) + " " + std::to_string(::getpid());
            },
            [&](std::size_t i, const cli::JobResult& result) {
                ASSERT_TRUE(result.completed);
                EXPECT_EQ(result.bytes.substr(0, result.bytes.find(' ')), std::to_string(i));
                processes.insert(result.bytes.substr(result.bytes.find(' ') + 1));
                order.push_back(i);
            });
        std::vector<std::size_t> expected(Items);
        for (std::size_t i = 0; i < Items; ++i)
            expected[i] = i;
        EXPECT_EQ(order, expected);
        if (jobs == 1) {
            EXPECT_EQ(processes, std::set<std::string>{std::to_string(::getpid())}) << "one job runs here";
        } else {
            EXPECT_EQ(processes.count(std::to_string(::getpid())), 0u) << "the work runs in workers";
            EXPECT_EQ(processes.size(), std::min<std::size_t>(jobs, Items));
        }
    }
}

TEST(JobPool, AWorkerThatCrashesCostsItsItemAlone)
{
    std::vector<cli::JobResult> results;
    cli::runJobs(
        10, 3,
        [](std::size_t i) {
            // An assertion that fails, and the kernel's killer (signals no
            // sanitizer turns into an exit).
            if (i == 4)
                std::raise(SIGABRT);
            if (i == 7)
                std::raise(SIGKILL);
            return "item " + std::to_string(i);
        },
        [&](std::size_t, const cli::JobResult& result) { results.push_back(result); });
    ASSERT_EQ(results.size(), 10u);
    for (std::size_t i = 0; i < results.size(); ++i) {
        SCOPED_TRACE("item " + std::to_string(i));
        if (i == 4 || i == 7) {
            EXPECT_FALSE(results[i].completed);
            EXPECT_NE(results[i].bytes.find(i == 4 ? "the worker stopped: Aborted" : "the worker stopped: Killed"),
                      std::string::npos)
                << results[i].bytes;
        } else {
            EXPECT_TRUE(results[i].completed);
            EXPECT_EQ(results[i].bytes, "item " + std::to_string(i));
        }
    }
}

TEST(JobPool, PackedStringsComeBackAsTheyWere)
{
    const std::vector<std::vector<std::string>> cases = {
        {},
        {""},
        {"", "", ""},
        {"one", std::string("t\0o", 3), "", std::string(100000, '\xff')},
    };
    for (const auto& parts : cases)
        EXPECT_EQ(cli::unpackStrings(cli::packStrings(parts)), parts);
    // A cut-off pack gives the whole parts it holds.
    const std::string packed = cli::packStrings({"first", "second"});
    EXPECT_EQ(cli::unpackStrings(packed.substr(0, packed.size() - 1)), std::vector<std::string>{"first"});
}

} // namespace
