#pragma once
// What `tise-cli check` says about one screen: its findings (base/finding.h)
// as loading, building and drawing it find them. The screen is loaded and
// drawn off screen at each size asked for, as the viewer would show it
// there: once as it first appears, and once with the pointer over each
// widget that shows something more under it (art drawn only while hovered,
// a tooltip), so that hover art and tooltip texts are drawn too. Drawing
// notes text that does not fit its box at each size. The findings of the
// mount are the caller's.

#include "base/finding.h"
#include "cli/screen_arguments.h"

#include <string>
#include <vector>

namespace gfx {
class GraphicsContext;
}
namespace Mod {
struct ModContext;
}

namespace cli {

// The findings of the screen (as the user or the screen list names it,
// screen_arguments.h), in the order found, each with `screen` set to it.
// A screen that fails to load gives its one load error.
base::FindingList checkScreen(const gfx::GraphicsContext& graphics, const Mod::ModContext& module,
                              const std::string& screen, const std::vector<Size>& sizes = {Size{}});

} // namespace cli
