#include "editor/run_language.h"

namespace editor {

namespace {

Mod::MountOptions& theRunOptions()
{
    static Mod::MountOptions options;
    return options;
}

} // namespace

std::string runLanguage() { return theRunOptions().language; }

void setRunLanguage(const std::string& language) { theRunOptions().language = language; }

bool runPseudoLocalise() { return theRunOptions().pseudoLocalise; }

void setRunPseudoLocalise(bool pseudo) { theRunOptions().pseudoLocalise = pseudo; }

Mod::MountOptions runMountOptions() { return theRunOptions(); }

} // namespace editor
