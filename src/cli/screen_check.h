#pragma once
// What `tise-cli check` says about one screen: that it fails to load, or
// what of it draws other than its author meant — a texture that is missing
// or does not decode, a "$" text that no string table has, a font that fell
// back, a widget or art type the game does not know. The screen is loaded
// and drawn once off screen, as the viewer would show it.

#include <string>
#include <vector>

namespace gfx {
class GraphicsContext;
}
namespace Mod {
struct ModContext;
}

namespace cli {

struct ScreenProblem {
    bool error;          // the screen does not load; else a warning
    std::string message; // valid UTF-8
};

// In the order found, each message once.
std::vector<ScreenProblem> checkScreen(const gfx::GraphicsContext& graphics, const Mod::ModContext& module,
                                       const std::string& path);

} // namespace cli
