#pragma once
// Game text as tise-cli prints it: valid UTF-8, and kept on its line where
// the output has one item per line.

#include <string>
#include <string_view>

namespace cli {

// Game text (any bytes) as valid UTF-8, decoded as the viewer decodes it
// (UTF-8 when valid, else Windows-1252).
std::string displayText(std::string_view game);
// A field of a one-item-per-line output kept on its line: TAB, CR and LF are
// written as the two characters \t, \r and \n.
std::string oneLine(std::string_view text);
// Game text as a field of a one-item-per-line output: displayText, then oneLine.
std::string displayField(std::string_view game);

} // namespace cli
