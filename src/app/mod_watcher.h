#pragma once
// Follows the disk files and folders that a mounted module and its shown
// screen were read from, and reports a change once the files have settled:
// a fixed time after the last event, so that a burst of saves (a checkout
// touching hundreds of files) gives one report, not hundreds.
//
// Editors save by renaming a new file over the old one, by truncating and
// rewriting it in place, or by deleting and creating it. The first and the
// last lose the watch on the file; the watcher takes the path up again as
// soon as it exists again, and the folder around it (watched too when it
// was read) reports the file coming back.
//
// Runs on the thread of Qt's event loop; the report is a call from it.

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace app {

class ModWatcher {
public:
    // changed is called once the files have been quiet for settle after a
    // change.
    explicit ModWatcher(std::function<void()> changed,
                        std::chrono::milliseconds settle = std::chrono::milliseconds(500));
    ~ModWatcher();
    ModWatcher(const ModWatcher&) = delete;
    ModWatcher& operator=(const ModWatcher&) = delete;

    // Follows exactly these POSIX paths from now on (relative ones against
    // the current directory); one that does not exist yet is taken up when
    // it appears after an event in its folder.
    //
    // readSince: the paths not followed before were read at this time or
    // later. A file may change after it was read and before its watch
    // begins; one last written from readSince up to now counts as changed
    // (a change just before it was read costs a report too many, never one
    // too few). A time in the future is no change.
    void watch(const std::vector<std::string>& paths,
               std::optional<std::filesystem::file_time_type> readSince = std::nullopt);
    // Entries of a folder that come and go at path, or at path + "." +
    // anything (the temporary files of a safe save), change nothing: the
    // watcher's own user writes there.
    void ignore(const std::string& path);
    // The paths given to watch, made absolute and sorted.
    std::vector<std::string> paths() const;
    // Whether a change waits for the files to settle.
    bool pending() const;
    // The absolute paths whose change set off the report being made (or the
    // last one made), each once, in the order the watcher learnt of them
    // (changes that arrive together come in no fixed order): a file that
    // changed, or an entry that came or went in a watched folder.
    std::vector<std::string> lastChanges() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace app
