#pragma once
// render --watch: renders, then keeps rendering again after every change on
// disk that reaches the screen, until SIGINT or SIGTERM.

#include "data/mod_context.h"

#include <chrono>
#include <functional>
#include <ostream>
#include <string>

namespace cli {

// Calls render with a fresh module context (render mounts it and draws and
// writes output), then again each time the disk paths the context read
// change and settle (for settle; render --watch waits half a second);
// writing output is no change.
// Each call prints one line to out: "rendered in N ms", or "error: MESSAGE"
// when render throws a standard exception; after a change the line ends in
// " (changed: PATH)", naming the first two files whose change set it off
// and how many more ("PATH, PATH and 3 more"). Needs a Qt application; returns
// 0 once SIGINT or SIGTERM arrives.
int watchRendering(const std::function<void(Mod::ModContext& module)>& render, const std::string& output,
                   std::ostream& out, std::chrono::milliseconds settle = std::chrono::milliseconds(500));

} // namespace cli
