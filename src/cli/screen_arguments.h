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

// "WIDTHxHEIGHT", each from 1 to 16384; throws UsageError otherwise.
Size parseSize(const std::string& text);

// How many items to work on at once (-j): a whole number from 1 to 1024;
// throws UsageError otherwise.
unsigned parseJobs(const std::string& text);

} // namespace cli
