#pragma once
// What `tise-cli check` says about one screen: that it fails to load, or
// what of it draws other than its author meant — a texture that is missing
// or does not decode, a "$" text that no string table has, a font that fell
// back, a widget or art type the game does not know. The screen is loaded
// once and drawn off screen at each size, as the viewer would show it.

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

// The findings of the screen at path (base/finding.h), drawn at each of
// sizes (at least one), in the order found, each message once; messages are
// valid UTF-8.
base::FindingList checkScreen(const gfx::GraphicsContext& graphics, const Mod::ModContext& module,
                              const std::string& path, const std::vector<Size>& sizes = {Size{}});

} // namespace cli
