#include "data/disk_file_source.h"
#include "data/installation_discovery.h"
#include "support/temp_dir.h"
#include "data/folder_entries.h"

#include <gtest/gtest.h>

#include <filesystem>

using TestSupport::TempDir;

namespace {

// A Wine prefix whose drive C: is drive_c and whose system.reg holds body.
std::string makePrefix(const TempDir& dir, const std::string& name, const std::string& body)
{
    const std::string prefix = dir / name;
    std::filesystem::create_directories(prefix + "/drive_c");
    std::filesystem::create_directories(prefix + "/dosdevices");
    std::filesystem::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
    dir.write(name + "/system.reg", "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n\n" + body);
    return prefix;
}

} // namespace

TEST(InstallationDiscoveryTest, ReadsInstallLocationsFromAWineRegistry)
{
    TempDir dir;
    const std::string prefix = makePrefix(
        dir, "wine",
        "[Software\\\\Pellam\\\\Zeta] 1700000000\n"
        "#time=1d9\n"
        "\"InstallLocation\"=\"C:\\\\Games\\\\Zeta\"\n"
        "\n"
        "[Software\\\\Pellam\\\\Alpha] 1700000000\n"
        "\"DisplayName\"=\"Alpha\"\n"
        "\"installlocation\"=\"c:/games/ALPHA/\"\n"
        "\n"
        "[Software\\\\Pellam\\\\Alpha\\\\Nested] 1700000000\n"
        "\"InstallLocation\"=\"C:\\\\Nested\"\n"
        "\n"
        "[Software\\\\Wow6432Node\\\\Pellam\\\\Legacy] 1700000000\n"
        "\"InstallLocation\"=\"C:\\\\Games\\\\Caf\\x00e9\"\n"
        "\n"
        "[Software\\\\Pellam\\\\Expand] 1700000000\n"
        "\"InstallLocation\"=str(2):\"C:\\\\Expand\"\n"
        "\n"
        "[Software\\\\Pellam\\\\Empty] 1700000000\n"
        "\"InstallLocation\"=\"\"\n"
        "\n"
        "[Software\\\\Pellam\\\\Long] 1700000000\n"
        "\"InstallLocation\"=\"C:\\\\" + std::string(260, 'x') + "\"\n"
        "\n"
        "[Software\\\\Other\\\\Thing] 1700000000\n"
        "\"InstallLocation\"=\"C:\\\\Other\"\n");
    dir.write("wine/drive_c/Games/Alpha/A.module", "");
    const std::string driveC = std::filesystem::canonical(prefix + "/drive_c").string();

    EXPECT_EQ(Mod::registryInstallLocations(prefix),
              (std::vector<std::string>{driveC + "/Games/Alpha/", driveC + "/Games/Zeta", driveC + "/Games/Café"}))
        << "Pellam's subkeys in registry order, then Wow6432Node's; the folder's real letter case when it exists";
}

TEST(InstallationDiscoveryTest, RegistryFilesWithCrLfAndUnmappedDrives)
{
    TempDir dir;
    const std::string prefix = makePrefix(dir, "wine",
                                          "[Software\\\\Pellam\\\\OnD] 1700000000\r\n"
                                          "\"InstallLocation\"=\"D:\\\\Games\\\\OnD\"\r\n"
                                          "\r\n"
                                          "[Software\\\\Pellam\\\\OnC] 1700000000\r\n"
                                          "\"InstallLocation\"=\"C:\\\\Games\\\\OnC\"\r\n");
    const std::string driveC = std::filesystem::canonical(prefix + "/drive_c").string();
    // D: has no dosdevices link: that location is nowhere on this machine.
    EXPECT_EQ(Mod::registryInstallLocations(prefix), (std::vector<std::string>{driveC + "/Games/OnC"}));
}

TEST(InstallationDiscoveryTest, ListsEachFolderOnceByItsFileIdentity)
{
    TempDir dir;
    const std::string prefix = makePrefix(dir, "pfx",
                                          "[Software\\\\Pellam\\\\Game] 1\n\"InstallLocation\"=\"C:\\\\Game\"\n"
                                          "[Software\\\\Pellam\\\\Same] 1\n\"InstallLocation\"=\"C:\\\\GAME\\\\\"\n"
                                          "[Software\\\\Pellam\\\\Gone] 1\n\"InstallLocation\"=\"C:\\\\Gone\"\n"
                                          "[Software\\\\Pellam\\\\GoneToo] 1\n\"InstallLocation\"=\"C:\\\\GONE\"\n");
    dir.write("pfx/drive_c/Game/x.module", "");
    dir.write("mods/x.module", "");
    dir.write("MODS/x.module", "");
    std::filesystem::create_directory_symlink(dir / "mods", dir / "linked");
    const std::string game = std::filesystem::canonical(prefix + "/drive_c/Game").string() + "/";
    const std::string gone = std::filesystem::canonical(prefix + "/drive_c").string() + "/Gone/";
    const std::string mods = dir / "mods/", upperMods = dir / "MODS/";

    struct Case {
        std::string what;
        std::string winePrefix, currentDirectory;
        std::vector<std::string> extraFolders;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases{
        {"the registry's locations: one folder in two spellings, and one that is nowhere in two spellings",
         prefix, "", {}, {game, gone}},
        {"the current directory again: with a trailing separator, through \"..\" and through a link", "", mods,
         {mods, dir / "mods/../mods", dir / "linked"}, {mods}},
        {"two real folders that differ only in letter case", "", mods, {upperMods, dir / "mods"}, {mods, upperMods}},
        {"the registry's folder named again on the command line", prefix, "", {game.substr(0, game.size() - 1)},
         {game, gone}},
        {"given folders that do not exist compare as written", "", "", {dir / "none", dir / "NONE", dir / "none/"},
         {dir / "none/", dir / "NONE/"}},
    };
    for (const Case& c : cases) {
        // An empty prefix folder stands for "no Wine prefix".
        const Mod::DiscoveryEnvironment environment{dir / "home", c.winePrefix.empty() ? dir / "noprefix" : c.winePrefix,
                                                    c.currentDirectory};
        EXPECT_EQ(Mod::findInstallations(environment, c.extraFolders), c.expected) << c.what;
    }
}

TEST(InstallationDiscoveryTest, UsesWinePrefixOrHomeWineAndSteamPrefixes)
{
    TempDir dir;
    makePrefix(dir, "home/.wine", "[Software\\\\Pellam\\\\A] 1\n\"InstallLocation\"=\"C:\\\\A\"\n");
    makePrefix(dir, "home/.steam/steam/steamapps/compatdata/200/pfx", "");
    makePrefix(dir, "home/.steam/steam/steamapps/compatdata/100/pfx", "");
    makePrefix(dir, "custom", "");
    const std::string home = dir / "home";

    Mod::DiscoveryEnvironment environment{home, "", ""};
    EXPECT_EQ(Mod::winePrefixes(environment),
              (std::vector<std::string>{home + "/.wine", home + "/.steam/steam/steamapps/compatdata/100/pfx",
                                        home + "/.steam/steam/steamapps/compatdata/200/pfx"}));
    environment.winePrefix = dir / "custom";
    EXPECT_EQ(Mod::winePrefixes(environment).front(), dir / "custom") << "$WINEPREFIX replaces ~/.wine";
    EXPECT_EQ(Mod::winePrefixes(environment).size(), 3u);
}

TEST(InstallationDiscoveryTest, ModuleListingFiltersAndSortsWithoutRegardToCase)
{
    TempDir dir;
    for (const std::string name : {"b.module", "A.MODULE", "x.modules", "c.Module", "notes.txt", "module"})
        dir.write("Game/" + name, "");
    dir.write("Game/sub.module/inner.txt", "");
    Mod::DiskFileSource disk;
    EXPECT_EQ(Mod::folderEntries(disk, dir / "Game/", ".module"),
              (std::vector<std::string>{"A.MODULE", "b.module", "c.Module", "sub.module"}));
    EXPECT_TRUE(Mod::folderEntries(disk, dir / "Missing/", ".module").empty());
}
