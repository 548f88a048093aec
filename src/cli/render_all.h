#pragma once
// `tise-cli render MODULE --all -o FOLDER [--size WxH]...`: every screen of
// the module's screen list drawn to a PNG, as `render` draws one. A screen
// that fails to load or draw is reported on its line and the others go on.
//
// Files: FOLDER/STEM.png, STEM the screen file's name without ".screen";
// with more than one --size, FOLDER/WxH/STEM.png for each size. Folders that
// do not exist are made.
// Output: one line per screen, "NAME: ok" or "NAME: error: MESSAGE", then
// "N screens, E errors". While it works, a progress line goes to stderr when
// stderr is a terminal (overwritten in place, cleared at the end).
// Exit status 1 when a screen failed; mounting errors propagate.
//
// -j N: N screens drawn at once, in worker processes (cli/job_pool.h); by
// default as many as there are processors. What it prints and writes is
// the same for any N; a worker that crashes fails its screen alone.

#include "cli/command.h"

#include <ostream>

namespace cli {

int renderAll(const Arguments& args, std::ostream& out);

} // namespace cli
