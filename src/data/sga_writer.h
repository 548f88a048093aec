#pragma once
// Writes SGA archives (version 2) that ArchiveSource reads: names lower case
// and "\" separated, a record for every folder (the top level included) with
// each folder's sub-folders consecutive, file records sorted by byte order
// within each folder, and members stored as zlib streams when that makes
// them smaller.

#include <string>
#include <vector>

namespace Mod {

struct SgaMember {
    std::string path; // "\" or "/" separated, any letter case
    std::string data;
};

// The archive's bytes. Throws std::runtime_error when two members have the
// same path (ignoring case) or the archive exceeds the format's limits.
std::string writeSga(const std::vector<SgaMember>& members, bool compress = true);

// Every file under folder (a POSIX path), as members named by their path
// relative to folder.
std::vector<SgaMember> readFolderMembers(const std::string& folder);

} // namespace Mod
