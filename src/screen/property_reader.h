#pragma once
// Reading widget and art tables while a screen is built. A table is held as a
// reference in its own state's registry (the screen's state, or a style
// sheet's), so that nothing depends on values left on a stack that a style
// lookup may clear. A property is looked up in the table itself and, when the
// value there is not of the kind asked for, in the style table, so a value of
// the wrong kind never hides the style's. Conversions are Lua's own: numbers
// from numeric strings, text from numbers.
//
// Errors: running out of stack room and text beyond the allowance throw
// std::runtime_error; a `size` element of the wrong kind raises Lua's
// argument error in the screen's state (which must be inside the instantiate
// call). Everything else that a table may hold is no error; what is ignored
// (a value of the wrong kind in the table itself, a `position` element that
// is not a number) can be told to a ValueWatcher.

#include "assets/colour_table.h"
#include "gfx/geometry.h"
#include "screen/model_values.h"

#include <cstddef>
#include <optional>
#include <string>

struct lua_State;

namespace screen {

// A table in a Lua state's registry; ref is a registry reference (negative
// for none).
struct TableRef {
    lua_State* lua = nullptr;
    int ref = -2;

    bool valid() const { return lua != nullptr && ref >= 0; }
};

// Pushes the referenced table onto its state's stack.
void pushTable(const TableRef& table);

// Takes the value on top of the state's stack (popping it) as a new
// reference of that state.
TableRef takeReference(lua_State* state);

// Lets go of a reference taken during a build.
void dropReference(const TableRef& table);

// Makes room for n more values on the state's stack.
void reserveStack(lua_State* state, int n);

// How much text a build may copy out of tables: each string at most
// perString bytes, all of them together at most total bytes. Text is
// measured before it is copied.
class TextAllowance {
public:
    TextAllowance(std::size_t perString, std::size_t total) : perString_(perString), left_(total), total_(total) {}

    // Throws std::runtime_error when a string of that length is more than
    // the allowance leaves.
    void charge(std::size_t length);

private:
    std::size_t perString_;
    std::size_t left_;
    std::size_t total_;
};

// The kind of value a property must have.
enum class Want {
    Table,
    Boolean,
    String,  // strings only
    Text,    // strings, and numbers as their text
    Number,  // numbers, and strings that read as numbers
    Present, // anything but nil (the table itself only)
};

// Told of what a table itself holds that the build ignores. Called with the
// value concerned on top of the state's stack (left there).
class ValueWatcher {
public:
    // A property that is present but not of the kind wanted.
    virtual void wrongKind(const char* key, Want want, lua_State* state) = 0;
    // Element element (1-based) of a table property that is not a number.
    virtual void notANumber(const char* key, int element, lua_State* state) = 0;

protected:
    ~ValueWatcher() = default;
};

class Properties {
public:
    // watcher, when given, is told of the own table's ignored values.
    Properties(TextAllowance& allowance, TableRef own, TableRef style = {}, ValueWatcher* watcher = nullptr)
        : allowance_(&allowance), own_(own), style_(style), watcher_(watcher)
    {
    }

    // Pushes the property onto the stack of the state it was found in and
    // returns that state; null, with nothing pushed, when neither table has
    // it in the wanted kind.
    lua_State* push(const char* key, Want want) const;

    std::optional<bool> boolean(const char* key) const;
    std::optional<double> number(const char* key) const;
    // Want::String or Want::Text.
    std::optional<std::string> text(const char* key, Want want) const;

    const TableRef& own() const { return own_; }
    TextAllowance& allowance() const { return *allowance_; }
    const TableRef& style() const { return style_; }
    ValueWatcher* watcher() const { return watcher_; }

private:
    TextAllowance* allowance_;
    TableRef own_;
    TableRef style_;
    ValueWatcher* watcher_;
};

// The value at index as text (a string, or a number's text), charged to the
// allowance; nothing for other kinds. The stack slot of a number becomes its
// string, as in Lua.
std::optional<std::string> textAt(lua_State* state, int index, TextAllowance& allowance);

// Layout: position and size from `position` and `size` (own table, else
// style). Position elements that are missing or not numeric give 0; size
// elements that are missing or nil keep 1, other non-numbers raise the
// argument error in errors.
Bounds readLayout(const Properties& properties, lua_State* errors);

// ReadColour on the value on top of the stack (left there): a string is a
// colour-table key, a table holds red, green, blue and alpha from 0 to 255
// (missing or non-numeric elements 0); other values leave colour unchanged.
// Keys are charged to the allowance. Says what was ignored on the way.
enum class ColourRead {
    Ok,
    WrongKind,   // neither a string nor a table: unchanged
    KeyMissing,  // a key the colour table lacks: opaque black
    Incomplete,  // a table with a missing or non-numeric element (that channel 0)
};
ColourRead readColour(lua_State* state, const assets::ColourTable& colours, ColourValue& colour,
                      TextAllowance& allowance);

// A point from the table on top of the stack (left there): elements 1 and 2,
// missing or non-numeric ones 0. Other values give (0, 0). incomplete, when
// given, says whether an element was missing or not a number.
gfx::Point readPoint(lua_State* state, bool* incomplete = nullptr);

} // namespace screen
