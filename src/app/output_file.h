#pragma once
// Writing the files the user names (tise-cli's -o, the viewer's saved
// pictures): the bytes go to a temporary file beside the target, which is
// then renamed over it. A failed or interrupted run leaves the old file
// whole, and a process that has the old file open or mapped (a mounted
// archive) keeps reading the old bytes.

#include <string>
#include <string_view>

namespace app {

// Throws std::runtime_error "Cannot write PATH" on failure.
void writeOutputFile(const std::string& path, std::string_view bytes);

} // namespace app
