#include "base/errors.h"

#include <array>
#include <cstdio>

namespace Kestra {

namespace {

struct SystemText {
    std::uint32_t code;
    std::string_view text;
};

// Texts of Win32 error numbers, as the system words them.
constexpr std::array win32Texts{
    SystemText{0, "The operation completed successfully.\r\n"},
    SystemText{2, "The system cannot find the file specified.\r\n"},
    SystemText{5, "Access is denied.\r\n"},
    SystemText{6, "The handle is invalid.\r\n"},
    SystemText{8, "Not enough memory resources are available to process this command.\r\n"},
    SystemText{13, "The data is invalid.\r\n"},
    SystemText{14, "Not enough memory resources are available to complete this operation.\r\n"},
    SystemText{87, "The parameter is incorrect.\r\n"},
};

// Texts of the generic COM failure codes.
constexpr std::array comTexts{
    SystemText{0x80004001u, "Not implemented\r\n"},
    SystemText{0x80004002u, "No such interface supported\r\n"},
    SystemText{0x80004003u, "Invalid pointer\r\n"},
    SystemText{0x80004004u, "Operation aborted\r\n"},
    SystemText{0x80004005u, "Unspecified error\r\n"},
    SystemText{0x8000FFFFu, "Catastrophic failure\r\n"},
};

template <std::size_t N>
std::string_view find(const std::array<SystemText, N>& table, std::uint32_t code)
{
    for (const SystemText& entry : table)
        if (entry.code == code)
            return entry.text;
    return {};
}

constexpr std::string_view windowLeadIn = " has encountered an exception.\nThe cause is: ";
constexpr std::string_view topLevelLeadIn =
    " has encountered an uncaught top-level exception, and will therefore close.\nThe cause is: ";

std::string buildMessage(std::int32_t code, const char* operation)
{
    const std::string_view op = operation ? operation : "";
    const std::string_view systemText = systemMessageText(code);
    std::string message;
    if (!systemText.empty()) {
        message.reserve(systemText.size() + op.size() + 3);
        message.append(systemText).append(" (").append(op).append(")");
    } else {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%08x", static_cast<std::uint32_t>(code));
        message.append("HR 0x").append(hex).append(" (").append(op).append(")");
    }
    return message;
}

} // namespace

std::string_view systemMessageText(std::int32_t code) noexcept
{
    const auto value = static_cast<std::uint32_t>(code);
    if ((value & 0xFFFF0000u) == 0x80070000u)
        return find(win32Texts, value & 0xFFFFu);
    if (value <= 0xFFFFu)
        return find(win32Texts, value);
    return find(comTexts, value);
}

COMException::COMException(std::int32_t code, const char* operation) noexcept
    : code_(code), operation_(operation)
{
}

COMException COMException::fromLastError(std::uint32_t lastError, const char* operation) noexcept
{
    auto code = static_cast<std::int32_t>(lastError);
    if (code > 0)
        code = static_cast<std::int32_t>(0x80070000u | (lastError & 0xFFFFu));
    return COMException(code, operation);
}

const char* COMException::what() const noexcept
{
    if (!message_) {
        try {
            auto message = std::make_shared<const std::string>(buildMessage(code_, operation_));
            if (message->empty())
                return "COMException";
            message_ = std::move(message);
        } catch (...) {
            return "COMException";
        }
    }
    return message_->c_str();
}

std::string errorReportText(ErrorCatcher catcher, std::string_view cause)
{
    std::string text(ProgramName);
    text.append(catcher == ErrorCatcher::Window ? windowLeadIn : topLevelLeadIn);
    text.append(cause);
    if (text.back() != '.')
        text.push_back('.');
    return text;
}

std::string errorReportText(ErrorCatcher catcher, const std::exception& error)
{
    return errorReportText(catcher, std::string_view(error.what()));
}

} // namespace Kestra
