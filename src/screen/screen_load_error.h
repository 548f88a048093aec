#pragma once
// The error of a screen file that fails to load: its message is the
// system's own ("Cannot load screen file " + path + ": " + Lua's message, and
// the other forms of screen_view.h), and it carries the finding that says
// where the failure is (code "load-error", level error, the file and line).

#include "base/finding.h"

#include <stdexcept>
#include <string>

namespace screen {

class ScreenLoadError : public std::runtime_error {
public:
    ScreenLoadError(const std::string& message, base::Finding finding)
        : std::runtime_error(message), finding_(std::move(finding))
    {
    }

    const base::Finding& finding() const { return finding_; }

private:
    base::Finding finding_;
};

} // namespace screen
