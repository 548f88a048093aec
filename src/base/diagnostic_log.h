#pragma once
// The diagnostic log: where non-fatal problems of loading game data are
// reported (an archive or string table that fails while a module is mounted,
// a texture that fails to decode). One message per line on stderr; tests and
// tise-cli can capture the messages instead.

#include <string>
#include <string_view>
#include <vector>

namespace base {

// Writes one message (the message alone; the line end is added here).
void writeDiagnostic(std::string_view message);

// While alive, diagnostics are collected here instead of going to stderr.
// Captures nest: the innermost one receives the messages.
class DiagnosticCapture {
public:
    DiagnosticCapture();
    ~DiagnosticCapture();
    DiagnosticCapture(const DiagnosticCapture&) = delete;
    DiagnosticCapture& operator=(const DiagnosticCapture&) = delete;

    const std::vector<std::string>& messages() const { return messages_; }

    // Also pass every captured message on to the enclosing sink (stderr).
    void setEcho(bool echo) { echo_ = echo; }

private:
    friend void writeDiagnostic(std::string_view message);
    std::vector<std::string> messages_;
    DiagnosticCapture* outer_;
    bool echo_ = false;
};

} // namespace base
