#pragma once
// A mounted module: the stacked sources in priority order, the string tables
// of the chosen language in search order, and the parsed module files (the
// chosen module first, then its required modules).

#include "base/finding.h"
#include "data/composite_source.h"
#include "data/module_file.h"
#include "data/string_table.h"

#include <memory>
#include <string>
#include <vector>

namespace Mod {

class DiskFileSource;

struct ModContext {
    std::shared_ptr<CompositeSource> source;
    std::vector<std::unique_ptr<StringTable>> stringTables;
    std::vector<std::unique_ptr<ModuleFile>> moduleFiles;

    // What the mounter chose and loaded, for reports: the language, and the
    // disk path of each string table (same order as stringTables) and of
    // each module file (same order as moduleFiles), as the mount reached it.
    std::string language;
    std::vector<std::string> stringTablePaths;
    std::vector<std::string> moduleFilePaths;
    // The language the mount chooses on its own (the same as language unless
    // one was asked for), and every language a Locale folder of the module,
    // its required modules or the engine offers, in byte order, each once
    // (letter case ignored; the first spelling found is kept).
    std::string ownLanguage;
    std::vector<std::string> offeredLanguages;
    // Strings found in the string tables are pseudo-localised
    // (data/pseudo_localise.h).
    bool pseudoLocalise = false;
    // The installation folder the module file is in, as the mount built its
    // paths from it ("" or ending in a separator), and how many of the
    // first sources are the chosen module's own data folders and archives.
    std::string root;
    std::size_t ownSourceCount = 0;
    // What the mount found wrong with the module files, folders, archives
    // and string tables (base/finding.h).
    base::FindingList findings;

    // The disk source the mount reads through (its folders are sources of
    // the composite).
    std::shared_ptr<DiskFileSource> disk;
    // The POSIX paths of the disk that the mount and everything read through
    // it since depend on: module files, folders, archives, string tables and
    // each file served from a folder (see DiskFileSource::pathsRead).
    std::vector<std::string> diskPaths() const;

    void reset();
};

// The folder of a mounted module that holds its screens.
inline constexpr const char* ScreensFolder = "Art\\UI\\Screens\\";

} // namespace Mod
