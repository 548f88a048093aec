#pragma once
// A key pressed while a window of the program has the keyboard, as the
// control tree receives it: the keys the controls act on, the letter of a
// letter key, the text the key types and the modifiers held.

#include <cstdint>
#include <string>

namespace ui {

enum class Key { Other, Up, Down, Home, End, Enter, Escape, Backspace, Left, Right, Letter };

struct KeyPress {
    Key key = Key::Other;
    // With Key::Letter: 'A' to 'Z', whatever the modifiers and the layout's case.
    char16_t letter = 0;
    // What the key types; empty for keys that type nothing and while Ctrl or
    // Alt is held.
    std::u16string text;
    bool control = false;
    bool alt = false;
    bool shift = false;
    // When the key went down, in milliseconds from any fixed start.
    std::uint64_t time = 0;

    // Backspace, Escape or Alt+Left: back one level.
    bool goesBack() const
    {
        return (key == Key::Backspace || key == Key::Escape || (key == Key::Left && alt)) && !control;
    }
};

} // namespace ui
