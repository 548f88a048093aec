#pragma once
// The version of this build of tise, as the project states it once in the
// top-level CMakeLists.txt ("MAJOR.MINOR.PATCH"). The programs' --version,
// the man pages, the package and the AppStream metadata all show this one.

#include <string_view>

namespace base {

std::string_view programVersion();

} // namespace base
