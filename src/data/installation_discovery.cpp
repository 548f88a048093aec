#include "data/installation_discovery.h"

#include "data/ansi_text.h"
#include "data/disk_path_resolver.h"
#include "data/text_compare.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sys/stat.h>
#include <utility>
#include <unistd.h>

namespace Mod {

namespace {

namespace fs = std::filesystem;

// Limits of the registry calls the game's tools make: subkey names of fewer
// than 100 characters, values of at most 260 bytes with the terminator.
constexpr std::size_t MaxSubkeyName = 99;
constexpr std::size_t MaxValueBytes = 260;

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = lowerAscii(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// A string of a Wine registry file: "\\" escapes, and "\x" with up to four
// hex digits for a UTF-16 code unit.
std::string unescapeRegistryString(std::string_view text)
{
    std::u16string units;
    std::string plain;
    auto flush = [&] {
        units += ansiToUtf16(plain);
        plain.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            plain += text[i];
            continue;
        }
        flush();
        const char next = text[++i];
        switch (next) {
        case 'n': units += u'\n'; break;
        case 'r': units += u'\r'; break;
        case 't': units += u'\t'; break;
        case '0': units += u'\0'; break;
        case 'x': {
            unsigned value = 0;
            for (int digits = 0; digits < 4 && i + 1 < text.size() && hexValue(text[i + 1]) >= 0; ++digits)
                value = value * 16 + static_cast<unsigned>(hexValue(text[++i]));
            units += static_cast<char16_t>(value);
            break;
        }
        default: units += static_cast<char16_t>(static_cast<unsigned char>(next)); break;
        }
    }
    flush();
    return utf16ToUtf8(units);
}

// The POSIX path of a Windows path in a prefix, or "" when it has none.
std::string mapWindowsPath(const std::string& prefix, const std::string& windowsPath)
{
    if (windowsPath.size() < 2 || windowsPath[1] != ':' || !std::isalpha(static_cast<unsigned char>(windowsPath[0])))
        return windowsPath.size() > 0 && windowsPath[0] == '/' ? windowsPath : std::string();
    std::error_code error;
    const std::string drive = std::string(1, lowerAscii(windowsPath[0])) + ":";
    const fs::path target = fs::canonical(fs::path(prefix) / "dosdevices" / drive, error);
    if (error)
        return {};
    std::string rest = toPosixSeparators(windowsPath.substr(2));
    std::string posix = target.string();
    if (posix.back() != '/' && !rest.empty() && rest.front() != '/')
        posix += '/';
    if (posix.back() == '/' && !rest.empty() && rest.front() == '/')
        rest.erase(0, 1);
    posix += rest;
    DiskPathResolver resolver;
    return resolver.resolve(posix).value_or(posix);
}

} // namespace

DiscoveryEnvironment currentEnvironment()
{
    DiscoveryEnvironment environment;
    if (const char* home = std::getenv("HOME"))
        environment.home = home;
    if (const char* prefix = std::getenv("WINEPREFIX"))
        environment.winePrefix = prefix;
    std::error_code error;
    environment.currentDirectory = fs::current_path(error).string();
    return environment;
}

std::vector<std::string> winePrefixes(const DiscoveryEnvironment& environment)
{
    std::vector<std::string> candidates;
    if (!environment.winePrefix.empty())
        candidates.push_back(environment.winePrefix);
    else if (!environment.home.empty())
        candidates.push_back(environment.home + "/.wine");
    if (!environment.home.empty()) {
        for (const char* steam : {"/.steam/steam", "/.local/share/Steam"}) {
            for (const std::string& id : readFolder(environment.home + steam + "/steamapps/compatdata"))
                candidates.push_back(environment.home + steam + "/steamapps/compatdata/" + id + "/pfx");
        }
    }
    std::vector<std::string> prefixes;
    std::vector<fs::path> seen;
    for (const std::string& candidate : candidates) {
        std::error_code error;
        const fs::path real = fs::canonical(candidate, error);
        if (error || std::find(seen.begin(), seen.end(), real) != seen.end())
            continue;
        seen.push_back(real);
        prefixes.push_back(candidate);
    }
    return prefixes;
}

std::vector<std::string> registryInstallLocations(const std::string& prefix)
{
    std::ifstream in(prefix + "/system.reg");
    if (!in)
        return {};
    struct Entry {
        int group; // 0: Software\Pellam, 1: Software\Wow6432Node\Pellam
        std::string subkey;
        std::string location;
    };
    std::vector<Entry> entries;
    Entry* current = nullptr;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line.front() == '[') {
            current = nullptr;
            const auto close = line.find(']');
            if (close == std::string::npos)
                continue;
            const std::string key = unescapeRegistryString(line.substr(1, close - 1));
            int group = -1;
            std::string subkey;
            for (const auto& [index, parent] : {std::pair{0, "software\\pellam\\"}, std::pair{1, "software\\wow6432node\\pellam\\"}}) {
                const std::string_view parentKey = parent;
                if (key.size() > parentKey.size() && equalNoCase(std::string_view(key).substr(0, parentKey.size()), parentKey)) {
                    group = index;
                    subkey = key.substr(parentKey.size());
                }
            }
            if (group < 0 || subkey.find('\\') != std::string::npos || subkey.size() > MaxSubkeyName)
                continue;
            entries.push_back({group, subkey, {}});
            current = &entries.back();
            continue;
        }
        if (!current)
            continue;
        const std::string name = "\"installlocation\"=\"";
        if (line.size() < name.size() + 1 || !equalNoCase(std::string_view(line).substr(0, name.size()), name)
            || line.back() != '"')
            continue;
        current->location = unescapeRegistryString(line.substr(name.size(), line.size() - name.size() - 1));
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.group != b.group ? a.group < b.group : lessNoCase(a.subkey, b.subkey);
    });
    std::vector<std::string> locations;
    for (const Entry& entry : entries) {
        if (entry.location.empty() || entry.location.size() + 1 > MaxValueBytes)
            continue;
        std::string posix = mapWindowsPath(prefix, entry.location);
        if (!posix.empty())
            locations.push_back(std::move(posix));
    }
    return locations;
}

std::string normaliseInstallFolder(std::string folder)
{
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

std::vector<std::string> findInstallations(const DiscoveryEnvironment& environment,
                                           const std::vector<std::string>& extraFolders)
{
    struct Candidate {
        std::string folder;
        bool fromRegistry;
        std::optional<std::pair<dev_t, ino_t>> identity; // of the folder, when it exists
    };
    std::vector<Candidate> found;
    for (const std::string& prefix : winePrefixes(environment)) {
        for (std::string& location : registryInstallLocations(prefix))
            found.push_back({std::move(location), true, {}});
    }
    if (!environment.currentDirectory.empty())
        found.push_back({environment.currentDirectory, false, {}});
    for (const std::string& folder : extraFolders)
        found.push_back({folder, false, {}});

    // A folder that exists is known by its file identity, whatever path
    // reaches it: on Linux two folders can differ only in letter case. The
    // registry's locations that name no folder compare as Windows would.
    const auto same = [](const Candidate& a, const Candidate& b) {
        if (a.identity && b.identity)
            return *a.identity == *b.identity;
        if (a.identity || b.identity)
            return false;
        return a.fromRegistry && b.fromRegistry ? equalNoCase(a.folder, b.folder) : a.folder == b.folder;
    };
    std::vector<Candidate> unique;
    for (Candidate& candidate : found) {
        candidate.folder = normaliseInstallFolder(std::move(candidate.folder));
        if (struct stat info; ::stat(candidate.folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
            candidate.identity = std::pair{info.st_dev, info.st_ino};
        if (std::none_of(unique.begin(), unique.end(), [&](const Candidate& other) { return same(other, candidate); }))
            unique.push_back(std::move(candidate));
    }
    std::vector<std::string> folders;
    for (Candidate& candidate : unique)
        folders.push_back(std::move(candidate.folder));
    return folders;
}

} // namespace Mod
