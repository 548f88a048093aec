#include "cli/screen_arguments.h"

#include "cli/job_pool.h"
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
    // Read wide, so that a side too large is told apart from no number.
    long long width = 0, height = 0;
    const std::size_t x = text.find('x');
    const char* end = text.data() + text.size();
    const auto w = std::from_chars(text.data(), text.data() + (x == std::string::npos ? 0 : x), width);
    const auto h = x == std::string::npos ? w : std::from_chars(text.data() + x + 1, end, height);
    const bool number = w.ec != std::errc::invalid_argument && h.ec != std::errc::invalid_argument;
    if (x == std::string::npos || !number || w.ptr != text.data() + x || h.ptr != end)
        throw UsageError("--size " + text + ": expected WxH, such as 1024x768");
    if (w.ec == std::errc::result_out_of_range || h.ec == std::errc::result_out_of_range || width > MaxSide ||
        height > MaxSide)
        throw UsageError("--size " + text + ": at most " + std::to_string(MaxSide) + " per side");
    if (width < 1 || height < 1)
        throw UsageError("--size " + text + ": at least 1 per side");
    return {static_cast<int>(width), static_cast<int>(height)};
}

unsigned jobsOption(const Arguments& args)
{
    if (!args.options.count("-j"))
        return availableCores();
    const std::string text = args.option("-j");
    unsigned jobs = 0;
    const auto parsed = std::from_chars(text.data(), text.data() + text.size(), jobs);
    if (parsed.ec != std::errc() || parsed.ptr != text.data() + text.size() || jobs < 1 || jobs > 1024)
        throw UsageError("-j takes a number of jobs from 1 to 1024: " + text);
    return jobs;
}

} // namespace cli
