#pragma once
// How the screen commands of tise-cli read their arguments: a screen as the
// user names it, and a view size ("WIDTHxHEIGHT"). Bad values are usage
// errors.

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

} // namespace cli
