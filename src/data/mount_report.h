#pragma once
// What a mount finds wrong with a module, as findings (base/finding.h) in
// the mounted context: required modules, mod folders and data folders that
// are not there, archives that do not open, numbered keys that are never
// read because a number before them is missing, %NAME% variables that stay
// as written, string tables that lose entries, and a note on the language
// chosen when the mods offer different ones. Findings about a key are
// located at the key's line of its .module file.
//
// The mount calls it as it goes; it reads nothing the mount does not read
// (only folder listings for the closest names of a hint), and mounts nothing.

#include "base/finding.h"
#include "data/file_data.h"

#include <optional>
#include <string>
#include <vector>

namespace Mod {

class DiskFileSource;
class ModuleFile;
struct ModContext;

class MountReport {
public:
    // root: the folder of the chosen module as the mount uses it.
    MountReport(ModContext& context, DiskFileSource& disk, std::string root);

    // RequiredMod.index of the chosen module names no module file.
    void requiredModMissing(int index, const std::string& name);
    // The language folders module (an index into the context's module files)
    // offers; then the language chosen from them.
    void languagesOffered(std::size_t module, const std::vector<std::string>& names);
    void languageChosen(const std::string& language);
    // The mod folder of module, as the mount built it (root + ModFolder);
    // false, after reporting it, when it holds nothing.
    bool modFolder(std::size_t module, const std::string& folder);
    // DataFolder.index of module, mounted from folder or (mounted false) not.
    void dataFolder(std::size_t module, int index, const std::string& folder, bool mounted);
    // ArchiveFile.index of module, which failed to open with message (the
    // archive's own) when there is one.
    void archiveFile(std::size_t module, int index, const std::string& path, const std::optional<std::string>& message);
    // An archive of the engine's folders that failed to open.
    void engineArchiveFailed(const std::string& path, const std::string& message);
    // After the numbered keys of key have been read from module up to the
    // first empty number stop: every key of the form key.N that was never
    // read. Also the keys whose variables stay as written.
    void keysRead(std::size_t module, const std::string& key, int stop);
    // A string table at path, loaded from file, or failed with message.
    void stringTableLoaded(const FileData& file, const std::string& path);
    void stringTableFailed(const FilePtr& file, const std::string& path, const std::string& message);

private:
    // The disk file of a game path, as the mount reached it.
    std::string diskPath(const std::string& path) const;
    void add(std::size_t module, const std::string& key, const char* code, std::string message,
             std::optional<std::string> hint);
    void unknownVariables(std::size_t module, const std::string& key);
    // The names in folder (a game path) that are near name, as a hint.
    std::optional<std::string> nearNames(const std::string& folder, const std::string& name,
                                         const std::string& suffix = {}) const;

    ModContext& context_;
    DiskFileSource& disk_;
    std::string root_;
    std::vector<std::vector<std::string>> offered_;
    std::vector<bool> folderMissing_;
};

} // namespace Mod
