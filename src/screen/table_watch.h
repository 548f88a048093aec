#pragma once
// What one widget or art table of a screen holds that its build ignores:
// keys the game never reads, values of a kind it ignores, `position`
// elements that are not numbers, words that are no keyword. The factory
// notes them while it builds the table and says them as findings once the
// table's widget is known (a widget's name is read after its layout), with
// the widget (and art item) in front of each text.
//
// The keys the game reads: of a widget table `type`, `name`, `position`,
// `size`, `style`, `Children`, `Presentation`, `visible`, `text`,
// `tooltip_text`, `tooltip_name`; of an art table `type`, `position`,
// `size`, `style`, `ID`, `states` and those of its kind (widget_factory.h).

#include "screen/keywords.h"
#include "screen/property_reader.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace screen {

// Names as one Lua state holds them. Lua keeps one copy of each short
// string, so a table key of that state is one of these names exactly when
// it is the same string: telling a key costs pointer comparisons, not text
// ones, and looking at every key of every table costs next to nothing. The
// names (all short) stay referenced from the state's registry while this
// lives.
class KnownKeys {
public:
    // Inside a protected call of state (it may run out of memory).
    KnownKeys(lua_State* state, const std::vector<std::string_view>& names);
    ~KnownKeys();
    KnownKeys(const KnownKeys&) = delete;
    KnownKeys& operator=(const KnownKeys&) = delete;

    // Whether key, the text of a string of the state, is one of the names.
    bool has(const char* key) const { return std::find(interned_.begin(), interned_.end(), key) != interned_.end(); }
    const std::vector<std::string_view>& names() const { return names_; }

private:
    lua_State* state_;
    int ref_;
    std::vector<const char*> interned_;
    std::vector<std::string_view> names_;
};

class TableWatch final : public ValueWatcher {
public:
    struct Note {
        const char* code;
        std::string text; // what is wrong, after the widget's (and art item's) name
        std::optional<std::string> hint;
    };

    void wrongKind(const char* key, Want want, lua_State* state) override;
    void notANumber(const char* key, int element, lua_State* state) override;

    void note(const char* code, std::string text, std::optional<std::string> hint = std::nullopt);
    // Notes every key of the table that known lacks (list entries once);
    // listHint is the hint for list entries. In an art table, a key that
    // another art kind reads gets a hint naming that kind. of names the
    // table in the notes when it is not the widget's or art item's own.
    void unknownKeys(const TableRef& table, const KnownKeys& known, bool artTable, const char* of,
                     const char* listHint);

    // The notes so far, in the order noted; the watch is empty after.
    std::vector<Note> take();
    bool empty() const { return notes_.empty(); }

private:
    std::vector<Note> notes_;
};

const std::vector<std::string_view>& widgetKeys();
const std::vector<std::string_view>& artKeys(ArtKind kind);

// The value at index as a modder wrote it: "left" (quoted, at most 40
// characters), 5, true, {...} for a table, a function.
std::string describeValue(lua_State* state, int index);

} // namespace screen
