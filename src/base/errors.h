#pragma once
// The exception that carries a failed platform call's result code, and the
// text of the error report that the two catchers (the window's event handler
// and the process entry) show for any standard exception.

#include "base/result_codes.h"

#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <string_view>

namespace Kestra {

// A failed platform call: its result code and the name of the operation (a
// string literal of the program, never owned). The message is built on the
// first call of what() and kept; copies made afterwards share that text.
class COMException : public std::exception {
public:
    COMException(std::int32_t code, const char* operation) noexcept;

    // The result code for a system error number as the platform reports it
    // for the calling thread: positive values become failure codes of the
    // Win32 facility (0x80070000 | low 16 bits), others are kept.
    static COMException fromLastError(std::uint32_t lastError, const char* operation) noexcept;

    std::int32_t code() const noexcept { return code_; }
    const char* operation() const noexcept { return operation_; }

    // "<system text> (<operation>)" when the code has a system text (which
    // ends in CR LF), else "HR 0x<8 lower-case hex digits> (<operation>)".
    // "COMException" if the text cannot be built.
    const char* what() const noexcept override;

private:
    std::int32_t code_;
    const char* operation_;
    mutable std::shared_ptr<const std::string> message_;
};

// Throws COMException(code, operation) when code is a failure (negative).
inline void throwIfFailed(std::int32_t code, const char* operation)
{
    if (code < 0)
        throw COMException(code, operation);
}

// The system's text for a result code (also for a plain Win32 error number),
// ending in CR LF, or an empty view when there is none.
std::string_view systemMessageText(std::int32_t code) noexcept;

// Which of the two catchers reports the exception.
enum class ErrorCatcher {
    Window,   // an event handler of a window: the program goes on
    TopLevel, // the process entry: the program closes with exit code 1
};

// The short program name shown as caption and at the start of every report.
inline constexpr std::string_view ProgramName = "TISE";

// "TISE" + the catcher's lead-in + cause, with a full stop appended unless the
// text already ends in one.
std::string errorReportText(ErrorCatcher catcher, std::string_view cause);
std::string errorReportText(ErrorCatcher catcher, const std::exception& error);

} // namespace Kestra
