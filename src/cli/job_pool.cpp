#include "cli/job_pool.h"

#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <map>
#include <stdexcept>
#include <thread>
#include <vector>

namespace cli {

namespace {

constexpr std::uint64_t NoItem = ~std::uint64_t{0};

[[noreturn]] void failed(const char* what)
{
    throw std::runtime_error(std::string("Cannot ") + what + ": " + std::strerror(errno));
}

// Writes all of bytes; false when the other end is gone.
bool writeAll(int fd, const void* bytes, std::size_t size)
{
    const auto* at = static_cast<const char*>(bytes);
    while (size > 0) {
        const ssize_t written = ::write(fd, at, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        at += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Reads exactly size bytes; false at the end of the stream or on an error.
bool readAll(int fd, void* bytes, std::size_t size)
{
    auto* at = static_cast<char*>(bytes);
    while (size > 0) {
        const ssize_t got = ::read(fd, at, size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        at += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

// Why a worker that ended without its result did.
std::string endOf(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(status))
        return std::string("the worker stopped: ") + ::strsignal(WTERMSIG(status));
    return "the worker stopped with exit status " + std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
}

struct Worker {
    pid_t pid = -1;
    int orders = -1;  // item numbers to the worker
    int results = -1; // results from the worker
    std::uint64_t item = NoItem;
};

// The worker's life: items in, results out, until the orders end.
[[noreturn]] void serve(int orders, int results, const std::function<std::string(std::size_t)>& work)
{
    std::uint64_t item = 0;
    while (readAll(orders, &item, sizeof item)) {
        std::string bytes;
        try {
            bytes = work(static_cast<std::size_t>(item));
        } catch (...) {
            ::_exit(3); // work reports its own errors in its result
        }
        const std::uint64_t header[2] = {item, bytes.size()};
        if (!writeAll(results, header, sizeof header) || !writeAll(results, bytes.data(), bytes.size()))
            ::_exit(2);
    }
    // Not exit(): what this copy of the parent holds (buffered output,
    // objects of static life) is the parent's to finish.
    ::_exit(0);
}

Worker start(const std::function<std::string(std::size_t)>& work, const std::vector<Worker>& others)
{
    int orders[2], results[2];
    if (::pipe(orders) != 0)
        failed("make a pipe");
    if (::pipe(results) != 0) {
        ::close(orders[0]), ::close(orders[1]);
        failed("make a pipe");
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(orders[0]), ::close(orders[1]), ::close(results[0]), ::close(results[1]);
        failed("start a worker process");
    }
    if (pid == 0) {
        ::close(orders[1]);
        ::close(results[0]);
        for (const Worker& other : others) {
            ::close(other.orders);
            ::close(other.results);
        }
        serve(orders[0], results[1], work);
    }
    ::close(orders[0]);
    ::close(results[1]);
    return {pid, orders[1], results[0], NoItem};
}

void stop(Worker& worker)
{
    ::close(worker.orders);
    ::close(worker.results);
    int status = 0;
    while (::waitpid(worker.pid, &status, 0) < 0 && errno == EINTR) {
    }
}

} // namespace

unsigned availableCores()
{
    cpu_set_t set;
    if (::sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return static_cast<unsigned>(CPU_COUNT(&set));
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? cores : 1;
}

void runJobs(std::size_t count, unsigned jobs, const std::function<std::string(std::size_t)>& work,
             const std::function<void(std::size_t, const JobResult&)>& deliver)
{
    if (jobs <= 1 || count <= 1) {
        for (std::size_t i = 0; i < count; ++i)
            deliver(i, {true, work(i)});
        return;
    }

    // A worker gone while being written to must not end this process.
    struct sigaction ignore {}, previous {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGPIPE, &ignore, &previous);

    std::vector<Worker> workers;
    std::map<std::size_t, JobResult> waiting; // results ahead of the next to deliver
    std::size_t nextItem = 0, nextDelivery = 0;
    auto handOut = [&](Worker& worker) {
        worker.item = NoItem;
        if (nextItem == count)
            return;
        // Written or not, the item is the worker's: if it is gone, its end
        // shows at its results and the item is reported lost there.
        worker.item = nextItem++;
        writeAll(worker.orders, &worker.item, sizeof worker.item);
    };
    auto deliverReady = [&] {
        for (auto found = waiting.find(nextDelivery); found != waiting.end(); found = waiting.find(nextDelivery)) {
            deliver(nextDelivery, found->second);
            waiting.erase(found);
            ++nextDelivery;
        }
    };

    try {
        const std::size_t size = std::min<std::size_t>(jobs, count);
        for (std::size_t i = 0; i < size; ++i)
            workers.push_back(start(work, workers));
        for (Worker& worker : workers)
            handOut(worker);
        deliverReady();

        while (nextDelivery < count) {
            std::vector<pollfd> watched;
            for (const Worker& worker : workers)
                watched.push_back({worker.results, POLLIN, 0});
            if (::poll(watched.data(), watched.size(), -1) < 0) {
                if (errno == EINTR)
                    continue;
                failed("wait for the workers");
            }
            for (std::size_t w = 0; w < workers.size(); ++w) {
                if (!watched[w].revents)
                    continue;
                Worker& worker = workers[w];
                std::uint64_t header[2];
                std::string bytes;
                constexpr std::uint64_t MaxResult = std::uint64_t{1} << 30;
                const bool got = readAll(worker.results, header, sizeof header) && header[1] <= MaxResult &&
                                 (bytes.resize(header[1]), readAll(worker.results, bytes.data(), bytes.size()));
                if (got && header[0] == worker.item) {
                    waiting[worker.item] = {true, std::move(bytes)};
                    handOut(worker);
                    continue;
                }
                // It ended: its item is lost, another takes its place.
                ::close(worker.orders);
                ::close(worker.results);
                const std::string why = endOf(worker.pid);
                if (worker.item != NoItem)
                    waiting[worker.item] = {false, why};
                workers.erase(workers.begin() + static_cast<std::ptrdiff_t>(w));
                if (nextItem < count) {
                    workers.push_back(start(work, workers));
                    handOut(workers.back());
                }
                break; // the worker list changed: poll afresh
            }
            deliverReady();
        }
    } catch (...) {
        for (Worker& worker : workers)
            stop(worker);
        ::sigaction(SIGPIPE, &previous, nullptr);
        throw;
    }
    for (Worker& worker : workers)
        stop(worker);
    ::sigaction(SIGPIPE, &previous, nullptr);
}

std::string packStrings(const std::vector<std::string>& parts)
{
    std::string packed;
    for (const std::string& part : parts) {
        const std::uint64_t size = part.size();
        packed.append(reinterpret_cast<const char*>(&size), sizeof size);
        packed += part;
    }
    return packed;
}

std::vector<std::string> unpackStrings(const std::string& packed)
{
    std::vector<std::string> parts;
    std::size_t at = 0;
    while (at + sizeof(std::uint64_t) <= packed.size()) {
        std::uint64_t size = 0;
        std::memcpy(&size, packed.data() + at, sizeof size);
        at += sizeof size;
        if (size > packed.size() - at)
            break;
        parts.emplace_back(packed, at, static_cast<std::size_t>(size));
        at += static_cast<std::size_t>(size);
    }
    return parts;
}

} // namespace cli
