#pragma once
// The JSON of a loaded screen's widget trees, as `tise-cli tree` prints it:
// every widget and art item with the properties its build read, in the order
// of the Lua lists they came from (element 1 first). Game strings are
// decoded as the viewer decodes them, so the output is valid UTF-8.
// resolved adds, after the documented fields, what each value resolved to
// (screen/widget_report.h): the source of the screen file (at the top), style
// and whether it was found, localised text, texture status, reason and
// source, colour-table keys, typeface and font size at the view's current
// size. Resolving decodes textures through the view's cache.

#include <ostream>

namespace screen {
class ScreenView;
}

namespace cli {

void writeScreenJson(const screen::ScreenView& view, std::ostream& out, bool resolved = false);

} // namespace cli
