#pragma once
// Finding the game's installations: the install locations that the registry
// holds under Software\Pellam (on Linux: the registries of Wine prefixes),
// then the current directory, then folders the user names. Folders are
// normalised (POSIX separators, a trailing "/") and listed once, in discovery
// order: a folder that exists once whatever path reaches it (two that differ
// only in letter case are two), a registry location that names no folder once
// without regard to letter case.

#include <string>
#include <vector>

namespace Mod {

struct DiscoveryEnvironment {
    std::string home;             // $HOME
    std::string winePrefix;       // $WINEPREFIX, may be empty
    std::string currentDirectory; // the process's current directory
};

DiscoveryEnvironment currentEnvironment();

// The Wine prefixes to look in: $WINEPREFIX (else ~/.wine), then Steam's
// compatibility prefixes, each once.
std::vector<std::string> winePrefixes(const DiscoveryEnvironment& environment);

// The "InstallLocation" values of the subkeys of Software\Pellam and
// Software\Wow6432Node\Pellam in a Wine prefix's system.reg, in registry
// order, mapped to POSIX paths through the prefix's dosdevices.
std::vector<std::string> registryInstallLocations(const std::string& prefix);

// "/" ensured at the end.
std::string normaliseInstallFolder(std::string folder);

// Every installation folder, normalised and each once: registry locations,
// the current directory, then extraFolders.
std::vector<std::string> findInstallations(const DiscoveryEnvironment& environment,
                                           const std::vector<std::string>& extraFolders);

} // namespace Mod
