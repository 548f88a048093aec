#include "app/mod_watcher.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

#include <algorithm>
#include <map>
#include <set>
#include <utility>

namespace app {

namespace {

QString absolute(const std::string& path)
{
    return QDir::cleanPath(QFileInfo(QString::fromStdString(path)).absoluteFilePath());
}

} // namespace

struct ModWatcher::State {
    std::function<void()> report;
    QFileSystemWatcher watcher;
    QTimer settle;
    std::set<QString> wanted;
    QStringList ignored;
    // The entries of each watched folder when last seen: a folder event
    // that leaves them as they were (an ignored file written) is no change.
    std::map<QString, QStringList> listings;
    // What changed since the last report, and what set that report off.
    QStringList changes;
    QStringList reported;

    QStringList listing(const QString& folder) const
    {
        QStringList names;
        QDirIterator entries(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        while (entries.hasNext()) {
            const QString path = entries.next();
            const bool skip = std::any_of(ignored.begin(), ignored.end(), [&](const QString& ignore) {
                return path == ignore || path.startsWith(ignore + QLatin1Char('.'));
            });
            if (!skip)
                names.push_back(entries.fileName());
        }
        names.sort();
        return names;
    }

    // Takes up every wanted path that exists but is not watched (lost to a
    // rename or a delete, or not there before).
    void watchAgain()
    {
        const QStringList files = watcher.files(), folders = watcher.directories();
        QStringList missing;
        for (const QString& path : wanted) {
            if (!files.contains(path) && !folders.contains(path) && QFileInfo::exists(path))
                missing.push_back(path);
        }
        if (missing.isEmpty())
            return;
        watcher.addPaths(missing);
        for (const QString& path : watcher.directories()) {
            if (missing.contains(path))
                listings[path] = listing(path);
        }
    }

    // A file's watch stays with the file it was put on; after a rename
    // over it the path names another file, so the path is watched anew.
    void fileEvent(const QString& path)
    {
        watcher.removePath(path);
        changed({path});
    }

    void folderEvent(const QString& folder)
    {
        QStringList now = listing(folder);
        const auto seen = listings.find(folder);
        if (seen != listings.end() && seen->second == now)
            return;
        // The entries that came or went.
        QStringList entries;
        const QStringList before = seen != listings.end() ? seen->second : QStringList();
        for (const QString& name : now + before) {
            const QString path = folder + QLatin1Char('/') + name;
            if (now.contains(name) != before.contains(name) && !entries.contains(path))
                entries.push_back(path);
        }
        listings[folder] = std::move(now);
        changed(entries.isEmpty() ? QStringList{folder} : entries);
    }

    void changed(const QStringList& paths)
    {
        for (const QString& path : paths)
            if (!changes.contains(path))
                changes.push_back(path);
        watchAgain();
        settle.start();
    }
};

ModWatcher::ModWatcher(std::function<void()> changed, std::chrono::milliseconds settle)
    : state_(std::make_unique<State>())
{
    State& state = *state_;
    state.report = std::move(changed);
    state.settle.setSingleShot(true);
    state.settle.setInterval(settle);
    QObject::connect(&state.watcher, &QFileSystemWatcher::fileChanged, &state.settle,
                     [&state](const QString& path) { state.fileEvent(path); });
    QObject::connect(&state.watcher, &QFileSystemWatcher::directoryChanged, &state.settle,
                     [&state](const QString& folder) { state.folderEvent(folder); });
    QObject::connect(&state.settle, &QTimer::timeout, &state.settle, [&state] {
        state.watchAgain();
        state.reported = std::exchange(state.changes, {});
        state.report();
    });
}

ModWatcher::~ModWatcher() = default;

void ModWatcher::watch(const std::vector<std::string>& paths, std::optional<std::filesystem::file_time_type> readSince)
{
    State& state = *state_;
    std::set<QString> wanted;
    for (const std::string& path : paths)
        wanted.insert(absolute(path));
    QStringList changedUnwatched;
    if (readSince) {
        const auto now = std::filesystem::file_time_type::clock::now();
        for (const QString& path : wanted) {
            std::error_code error;
            const auto written = std::filesystem::last_write_time(path.toStdString(), error);
            if (!error && !state.wanted.count(path) && written >= *readSince && written <= now)
                changedUnwatched.push_back(path);
        }
    }
    // Everything is watched anew: a path may name another file by now.
    const QStringList watched = state.watcher.files() + state.watcher.directories();
    if (!watched.isEmpty())
        state.watcher.removePaths(watched);
    state.wanted = std::move(wanted);
    state.listings.clear();
    state.watchAgain();
    if (!changedUnwatched.isEmpty())
        state.changed(changedUnwatched);
}

void ModWatcher::ignore(const std::string& path) { state_->ignored.push_back(absolute(path)); }

std::vector<std::string> ModWatcher::paths() const
{
    std::vector<std::string> result;
    for (const QString& path : state_->wanted)
        result.push_back(path.toStdString());
    return result;
}

bool ModWatcher::pending() const { return state_->settle.isActive(); }

std::vector<std::string> ModWatcher::lastChanges() const
{
    std::vector<std::string> result;
    for (const QString& path : state_->reported)
        result.push_back(path.toStdString());
    return result;
}

} // namespace app
