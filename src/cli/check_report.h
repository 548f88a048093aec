#pragma once
// What `tise-cli check` prints: the findings of a mount and of the screens
// checked (base/finding.h), in one of four formats.
// - text: one line per error and warning, `SCREEN: LEVEL: MESSAGE` (for a
//   finding about no screen, the name of its file in place of SCREEN); notes
//   are left out.
// - gnu: one line per finding, `FILE:LINE: LEVEL: MESSAGE` (`FILE: LEVEL:
//   MESSAGE` without a line, an archive member as `ARCHIVE[MEMBER]`), its
//   hint on the next line as `FILE:LINE: note: HINT`. A finding located in
//   no file stands at its screen, else at the module.
// - both end with `N screens, E errors, W warnings`.
// - json: `{"module", "screens", "errors", "warnings", "findings"}`, each
//   finding with every field, null where it has none.
// - sarif: a SARIF 2.1.0 log with one run of the tool `tise-cli`, one rule
//   per code used, one result per finding.
//
// Texts (messages, hints, names, paths) are game bytes; they are written as
// valid UTF-8, decoded as the viewer decodes game text. In the line formats
// a TAB, CR or LF inside a field is written as `\t`, `\r` or `\n`, so each
// finding keeps to its line. Writing never throws for what the findings
// hold.

#include "base/finding.h"

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace cli {

enum class CheckFormat { Text, Gnu, Json, Sarif };

// The format of that name ("text", "gnu", "json", "sarif"); nothing for
// another name.
std::optional<CheckFormat> checkFormatNamed(std::string_view name);

struct CheckResult {
    std::string module;         // the module file as the command line named it
    std::size_t screens = 0;    // how many screens were checked
    base::FindingList findings; // the mount's, then each screen's, in order
};

void writeCheckResult(const CheckResult& result, CheckFormat format, std::ostream& out);

// The version of the tool that the SARIF log names.
std::string_view toolVersion();

} // namespace cli
