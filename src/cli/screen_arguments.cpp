#include "cli/screen_arguments.h"

#include "cli/command.h"
#include "data/mod_context.h"

#include <charconv>

namespace cli {

// A screen as the user names it: a file name of the screen list, or a path
// of the mounted file system.
std::string screenPath(const std::string& screen)
{
    if (screen.find_first_of("\\/") != std::string::npos)
        return screen;
    return std::string(Mod::ScreensFolder) + screen;
}

Size parseSize(const std::string& text)
{
    Size size;
    const std::size_t x = text.find('x');
    const char* end = text.data() + text.size();
    const auto w = std::from_chars(text.data(), text.data() + (x == std::string::npos ? 0 : x), size.width);
    const auto h = x == std::string::npos ? w : std::from_chars(text.data() + x + 1, end, size.height);
    if (x == std::string::npos || w.ec != std::errc() || w.ptr != text.data() + x || h.ec != std::errc() ||
        h.ptr != end || size.width < 1 || size.height < 1 || size.width > 16384 || size.height > 16384)
        throw UsageError("--size takes WIDTHxHEIGHT, each from 1 to 16384: " + text);
    return size;
}

unsigned parseJobs(const std::string& text)
{
    unsigned jobs = 0;
    const auto parsed = std::from_chars(text.data(), text.data() + text.size(), jobs);
    if (parsed.ec != std::errc() || parsed.ptr != text.data() + text.size() || jobs < 1 || jobs > 1024)
        throw UsageError("-j takes a number of jobs from 1 to 1024: " + text);
    return jobs;
}

} // namespace cli
