#include "base/diagnostic_log.h"

#include <cstdio>

namespace base {

namespace {
DiagnosticCapture* innermost = nullptr;

void writeToStderr(std::string_view message)
{
    std::fwrite(message.data(), 1, message.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}
} // namespace

void writeDiagnostic(std::string_view message)
{
    if (!innermost) {
        writeToStderr(message);
        return;
    }
    innermost->messages_.emplace_back(message);
    if (innermost->echo_) {
        DiagnosticCapture* capture = innermost;
        innermost = capture->outer_;
        writeDiagnostic(message);
        innermost = capture;
    }
}

DiagnosticCapture::DiagnosticCapture() : outer_(innermost) { innermost = this; }

DiagnosticCapture::~DiagnosticCapture() { innermost = outer_; }

} // namespace base
