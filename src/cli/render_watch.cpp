#include "cli/render_watch.h"

#include "app/mod_watcher.h"
#include "cli/command.h"

#include <QCoreApplication>
#include <QTimer>

#include <chrono>
#include <csignal>
#include <exception>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace cli {

namespace {

volatile std::sig_atomic_t stopSignal = 0;

extern "C" void stopWatching(int signal) { stopSignal = signal; }

constexpr int SignalPollInterval = 50; // ms

// " (changed: A, B and 2 more)": the files whose change set a render off,
// relative to the current directory when they are inside it.
std::string changesNote(const std::vector<std::string>& changes)
{
    constexpr std::size_t Named = 2;
    std::string note;
    for (std::size_t i = 0; i < changes.size() && i < Named; ++i) {
        std::filesystem::path path = changes[i];
        std::error_code error;
        const std::filesystem::path here = std::filesystem::current_path(error);
        const std::filesystem::path relative = std::filesystem::relative(path, here, error);
        if (!error && !relative.empty() && *relative.begin() != "..")
            path = relative;
        note += (i == 0 ? "" : ", ") + path.string();
    }
    if (changes.size() > Named)
        note += " and " + std::to_string(changes.size() - Named) + " more";
    return note.empty() ? note : " (changed: " + oneLine(displayText(note)) + ")";
}

} // namespace

int watchRendering(const std::function<void(Mod::ModContext& module)>& render, const std::string& output,
                   std::ostream& out, std::chrono::milliseconds settle)
{
    stopSignal = 0;
    const auto previousInterrupt = std::signal(SIGINT, stopWatching);
    const auto previousTerminate = std::signal(SIGTERM, stopWatching);

    app::ModWatcher* watching = nullptr;
    bool first = true;
    auto renderOnce = [&] {
        Mod::ModContext module;
        const auto start = std::chrono::steady_clock::now();
        std::string line;
        try {
            render(module);
            const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
            line = "rendered in " + std::to_string(took.count()) + " ms";
        } catch (const std::exception& error) {
            line = "error: " + oneLine(displayText(error.what()));
        }
        if (!std::exchange(first, false))
            line += changesNote(watching->lastChanges());
        // Followed before the line says so: a change made on reading it is seen.
        watching->watch(module.diskPaths());
        out << line << std::endl;
    };
    app::ModWatcher watcher(renderOnce, settle);
    watcher.ignore(output);
    watching = &watcher;
    renderOnce();

    QTimer stopCheck;
    stopCheck.setInterval(SignalPollInterval);
    QObject::connect(&stopCheck, &QTimer::timeout, &stopCheck, [] {
        if (stopSignal)
            QCoreApplication::quit();
    });
    stopCheck.start();
    QCoreApplication::exec();

    std::signal(SIGINT, previousInterrupt);
    std::signal(SIGTERM, previousTerminate);
    return 0;
}

} // namespace cli
