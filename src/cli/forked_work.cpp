#include "cli/forked_work.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <exception>
#include <iostream>
#include <optional>
#include <thread>

namespace cli {

namespace {

// Each result travels as its item's index, its length and its bytes.
struct Header {
    std::uint64_t index;
    std::uint64_t size;
};

bool writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

[[noreturn]] void workAsChild(int fd, std::size_t first, std::size_t count, unsigned jobs,
                              const std::function<ItemWork()>& start)
{
    int status = 0;
    try {
        const ItemWork work = start();
        for (std::size_t i = first; i < count; i += jobs) {
            const std::string result = work(i);
            const Header header{i, result.size()};
            if (!writeAll(fd, reinterpret_cast<const char*>(&header), sizeof header) ||
                !writeAll(fd, result.data(), result.size()))
                break;
        }
    } catch (...) {
        status = 1; // the rest is done again by the parent, which reports it
    }
    // Without running this process's exit handlers: they belong to the parent.
    ::_exit(status);
}

struct Child {
    pid_t pid = -1;
    int fd = -1;
    std::string received;
};

// Reads every child's pipe until each is closed.
void collect(std::vector<Child>& children)
{
    std::vector<pollfd> open;
    for (;;) {
        open.clear();
        for (const Child& child : children)
            if (child.fd >= 0)
                open.push_back({child.fd, POLLIN, 0});
        if (open.empty())
            return;
        if (::poll(open.data(), open.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        for (Child& child : children) {
            if (child.fd < 0)
                continue;
            const auto ready =
                std::find_if(open.begin(), open.end(), [&](const pollfd& p) { return p.fd == child.fd; });
            if (ready == open.end() || ready->revents == 0)
                continue;
            char buffer[65536];
            const ssize_t got = ::read(child.fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0) {
                ::close(child.fd);
                child.fd = -1;
            } else {
                child.received.append(buffer, static_cast<std::size_t>(got));
            }
        }
    }
}

void unpack(const std::string& received, std::vector<std::optional<std::string>>& results)
{
    std::size_t at = 0;
    while (received.size() - at >= sizeof(Header)) {
        Header header{};
        std::memcpy(&header, received.data() + at, sizeof header);
        if (header.index >= results.size() || received.size() - at - sizeof header < header.size)
            return; // cut short: the rest is done again
        results[header.index] = received.substr(at + sizeof header, header.size);
        at += sizeof header + header.size;
    }
}

} // namespace

std::vector<std::string> runInProcesses(std::size_t count, unsigned jobs, const std::function<ItemWork()>& start)
{
    std::vector<std::optional<std::string>> results(count);
    jobs = static_cast<unsigned>(std::min<std::size_t>(std::max(jobs, 1u), count));
    if (jobs > 1) {
        std::cout.flush();
        std::cerr.flush();
        std::vector<Child> children;
        for (unsigned k = 0; k < jobs; ++k) {
            int ends[2];
            if (::pipe(ends) != 0)
                break;
            const pid_t pid = ::fork();
            if (pid == 0) {
                ::close(ends[0]);
                for (const Child& sibling : children)
                    ::close(sibling.fd);
                workAsChild(ends[1], k, count, jobs, start);
            }
            ::close(ends[1]);
            if (pid < 0) {
                ::close(ends[0]);
                break;
            }
            children.push_back({pid, ends[0], {}});
        }
        collect(children);
        for (const Child& child : children) {
            int status = 0;
            while (::waitpid(child.pid, &status, 0) < 0 && errno == EINTR) {
            }
            unpack(child.received, results);
        }
    }
    std::vector<std::string> all;
    all.reserve(count);
    ItemWork here;
    for (std::size_t i = 0; i < count; ++i) {
        if (!results[i]) {
            if (!here)
                here = start();
            results[i] = here(i);
        }
        all.push_back(std::move(*results[i]));
    }
    return all;
}

unsigned jobsOption(const Arguments& args)
{
    if (!args.options.count("-j"))
        return std::max(1u, std::thread::hardware_concurrency());
    const std::string text = args.option("-j");
    unsigned jobs = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), jobs);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || jobs < 1)
        throw UsageError("-j takes a number of processes from 1 up: " + text);
    return jobs;
}

} // namespace cli
