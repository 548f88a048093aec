#pragma once
// Findings: what a modder should know about a mod. What failed (a screen
// that does not load) and each mistake that the game absorbs silently (a
// required mod that is not there, a string table without a byte order mark,
// a key of a widget table that the game never reads). They are gathered
// while a module is mounted and a screen is loaded, built and drawn;
// gathering one never changes what is mounted or drawn. tise-cli prints them
// and the viewer lists them; neither derives one itself.
//
// Texts (message, hint, names, paths) are bytes as the game data gives them,
// like the system's own messages; whoever shows them decodes them as game
// text.

#include <cstddef>
#include <optional>
#include <unordered_map>
#include <string>
#include <string_view>
#include <vector>

namespace base {

enum class FindingLevel {
    Error,   // the screen failed to load
    Warning, // a mistake
    Note,    // information, such as why a language was chosen
};

// "error", "warning", "note".
std::string_view levelName(FindingLevel level);

struct Finding {
    FindingLevel level = FindingLevel::Warning;
    // Stable: "required-mod-missing", "string-table-no-bom", "unknown-key", ...
    std::string code;
    // Names the widget, key, file or string concerned; a message of the
    // system's own is kept intact inside it.
    std::string message;
    // How to fix it.
    std::optional<std::string> hint;
    // The screen it concerns, as the screen list names it.
    std::optional<std::string> screen;
    // The name of the widget it concerns.
    std::optional<std::string> widget;
    // The file on disk it is located in, as the mount reached it; for an
    // archive member, the archive.
    std::optional<std::string> file;
    // The path inside that archive.
    std::optional<std::string> member;
    // 1-based line in the file.
    std::optional<int> line;
};

// The findings of one mount or one screen, in the order found. A finding
// equal in every field to one already held is not added again (found
// through a hash, so a screen with thousands of findings adds each in
// constant time).
class FindingList {
public:
    void add(Finding finding);
    void append(const FindingList& other);

    const std::vector<Finding>& all() const { return findings_; }
    bool empty() const { return findings_.empty(); }
    std::size_t size() const { return findings_.size(); }
    std::size_t count(FindingLevel level) const;
    void clear();
    // Orders the findings by line, keeping the order found among those of
    // one line; findings without a line go first.
    void sortByLine();

private:
    std::vector<Finding> findings_;
    std::unordered_multimap<std::size_t, std::size_t> index_; // hash -> position in findings_
};

bool operator==(const Finding& a, const Finding& b);

} // namespace base
