#pragma once
// The findings of one screen view (base/finding.h): what loading, building
// and drawing the screen found wrong with it. Every finding is located in
// the screen file: its disk file, or the archive and the member that serve
// it (Mod::fileOrigins), looked up when the first finding is added, so a
// screen that finds nothing pays nothing for it. A finding about a widget
// or its art names the widget and carries the line of the table that built
// it, as the widget or art item keeps it.

#include "base/finding.h"

#include <optional>
#include <set>
#include <string>
#include <utility>

namespace Mod {
struct ModContext;
}

namespace screen {

class ArtItem;
class Widget;

class ScreenFindings {
public:
    // module and path as the view was made from; module must outlive this.
    ScreenFindings(const Mod::ModContext& module, std::string path);

    // A warning about the screen file at line (or none).
    void add(const char* code, std::string message, std::optional<std::string> hint, std::optional<int> line);
    // A warning about widget, at its line.
    void add(const char* code, std::string message, std::optional<std::string> hint, const Widget& widget);
    // A warning about art, at its line (its widget's when it has none), naming its widget.
    void add(const char* code, std::string message, std::optional<std::string> hint, const ArtItem& art);
    // As add for art, the first time a finding with this code and message
    // comes: for what is found once and shared by every user, such as a
    // texture or a font.
    void addOnce(const char* code, std::string message, std::optional<std::string> hint, const ArtItem& art);
    // The screen's load error: level error, code "load-error", at line.
    base::Finding loadError(std::string message, std::optional<int> line);

    const base::FindingList& list() const { return findings_; }
    base::FindingList& list() { return findings_; }

private:
    base::Finding located(const char* code, std::string message, std::optional<std::string> hint,
                          std::optional<int> line, const std::string* widget);

    const Mod::ModContext* module_;
    std::string path_;
    // The file and member, once looked up.
    std::optional<std::pair<std::optional<std::string>, std::optional<std::string>>> location_;
    std::set<std::pair<std::string, std::string>> once_;
    base::FindingList findings_;
};

// The line "slice:N:" names at the start of a Lua message (after any text
// before it), or nothing.
std::optional<int> luaMessageLine(const std::string& message);

} // namespace screen
