#pragma once
// Pseudo-localisation: a translated string's stand-in that shows, in any
// language's build, which texts come from the string tables and whether their
// boxes leave room for a translation. Every letter A to Z and a to z that has
// an accented form in Latin-1 or Latin Extended-A (the precomposed letters
// that the game's fonts carry) becomes it, the text grows by about 40 % (a
// run of "~" with a space every sixth character, so wrapped text can break
// there), and the whole is put in brackets: "Options" becomes "[Öpţîöñš~~~]".
//
// Left as written, so that the game still fills them in: a "%" with the
// letters, digits and "_" after it ("%1", "%PLAYER"), and a "\" with the
// character after it. Line breaks stay where they are. An empty text stays
// empty.

#include <string>
#include <string_view>

namespace Mod {

std::u16string pseudoLocalise(std::u16string_view text);

} // namespace Mod
