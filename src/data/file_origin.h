#pragma once
// Where the files of a mounted module come from: which of its sources hold
// a path, in priority order (the first serves it, the others it shadows),
// and where each keeps it. This answers "which file is drawn, mine or the
// base game's?" and locates findings in the files a modder edits.

#include "data/composite_source.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Mod {

struct ModContext;

struct FileOrigin {
    enum class Kind { Folder, Archive };
    Kind kind = Kind::Folder;
    // The source as the mount built it: a data folder's prefix ("Ironveil\Data\"),
    // an archive's path.
    std::string source;
    // Where the source keeps the file: its POSIX path on disk (folder), or
    // the member's path inside the archive as the archive names it.
    std::string location;
    // The source's place in the composite's priority order (0 first).
    std::size_t index = 0;
};

// "folder" or "archive".
std::string_view kindName(FileOrigin::Kind kind);

// The kind and path of a mounted source (location empty); nothing for a
// source that is neither a data folder nor an archive.
std::optional<FileOrigin> describeSource(const FileSource& source);

// Every source of sources that holds path, in priority order. Never throws
// for what the sources hold; empty when none has it.
std::vector<FileOrigin> fileOrigins(const CompositeSource& sources, const std::string& path);

// A source's path as a modder names it: relative to the installation folder
// root (the folder the module file is in, as the mount was given it) when it
// lies inside, with "/" separators and no trailing one ("Emberwake/Data",
// "Engine/Engine.sga").
std::string shortSourceName(std::string_view source, std::string_view root);

// Where the file that module serves for path is, for a finding about it:
// its disk file, or the archive's disk file and the member. Paths stay as
// the mount reached them (relative ones relative). Nothing when no source
// has it.
struct FileLocation {
    std::string file;
    std::optional<std::string> member;
};
std::optional<FileLocation> locateFile(const ModContext& module, const std::string& path);

} // namespace Mod
