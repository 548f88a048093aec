#include "base/version.h"

namespace base {

// TISE_VERSION is given to this file alone, so a new version rebuilds only it.
std::string_view programVersion() { return TISE_VERSION; }

} // namespace base
