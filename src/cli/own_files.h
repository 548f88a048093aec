#pragma once
// What `tise-cli check --own` keeps: the chosen module's own files, so that
// a mod's check does not fail on the base game it builds on.
// - A screen is the module's own when the first source that serves it is
//   one of the module's own data folders or archives (the sources it
//   mounted itself; Mod::ModContext::ownSourceCount). A screen that no source
//   serves is kept: it fails to load, and the user asked for it.
// - A finding of the mount is the module's own when it is located in the
//   module's .module file or in a file inside its mod folder (its string
//   tables, its archives); one located in no file is kept. Paths are
//   compared as the files they name on disk (either separator, any letter
//   case); a file that does not exist is nobody's.

#include "base/finding.h"
#include "data/file_origin.h"

#include <optional>
#include <string>
#include <vector>

namespace Mod {
struct ModContext;
}

namespace cli {

class OwnFiles {
public:
    // module was mounted from modulePath; it must outlive this.
    OwnFiles(const Mod::ModContext& module, const std::string& modulePath);

    bool screen(const std::string& path) const;
    bool finding(const base::Finding& finding) const;

private:
    // The absolute POSIX path of the file or folder path names; nothing
    // when it does not exist.
    std::optional<std::string> resolve(const std::string& path) const;

    const Mod::ModContext& module_;
    std::optional<std::string> moduleFile_;
    std::optional<std::string> modFolder_;
    std::vector<Mod::FileOrigin> ownSources_;
};

} // namespace cli
