#pragma once
// How the screen commands of tise-cli read their arguments: a screen as the
// user names it, a view size ("WIDTHxHEIGHT") and how many at once (-j).
// Bad values are usage errors.

#include "cli/command.h"

#include <string>

namespace cli {

// A file name of the screen list (looked up in Art\UI\Screens\), or a path
// of the mounted file system when it holds a '\' or '/'.
std::string screenPath(const std::string& screen);

struct Size {
    int width = 1024;
    int height = 768;
};

// The largest side of a picture.
inline constexpr int MaxSide = 16384;

// "WIDTHxHEIGHT", each from 1 to MaxSide; throws UsageError otherwise, with a
// message that says what is wrong ("expected WxH", "at most 16384 per side").
Size parseSize(const std::string& text);

// How many screens to work on at once: -j N, a whole number from 1 to 1024
// (UsageError otherwise), or without -j the processors this process may run
// on.
unsigned jobsOption(const Arguments& args);

} // namespace cli
