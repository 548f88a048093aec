#include "base/errors.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

using Kestra::COMException;
using Kestra::ErrorCatcher;

struct MessageCase {
    std::int32_t code;
    const char* operation;
    const char* expected;
};

void PrintTo(const MessageCase& c, std::ostream* out) { *out << c.operation; }

class ComMessage : public testing::TestWithParam<MessageCase> {};

TEST_P(ComMessage, FormatsSystemTextOrHexCode)
{
    const MessageCase& c = GetParam();
    const COMException error(c.code, c.operation);
    EXPECT_STREQ(error.what(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ComMessage,
    testing::Values(
        MessageCase{Kestra::Hr::OutOfMemory, "ID2D1RenderTarget::CreateBitmap",
                    "Not enough memory resources are available to complete this operation.\r\n"
                    " (ID2D1RenderTarget::CreateBitmap)"},
        MessageCase{Kestra::Hr::InvalidArgument, "IDWriteTextLayout::SetMaxWidth",
                    "The parameter is incorrect.\r\n (IDWriteTextLayout::SetMaxWidth)"},
        MessageCase{Kestra::Hr::Fail, "IDWriteFactory::CreateTextLayout",
                    "Unspecified error\r\n (IDWriteFactory::CreateTextLayout)"},
        MessageCase{static_cast<std::int32_t>(0x80004003u), "GetFileSize", "Invalid pointer\r\n (GetFileSize)"},
        MessageCase{Kestra::Hr::Ok, "GetMessage", "The operation completed successfully.\r\n (GetMessage)"},
        // Drawing-interface codes have no system text.
        MessageCase{static_cast<std::int32_t>(0x8899000Cu), "ID2D1RenderTarget::EndDraw",
                    "HR 0x8899000c (ID2D1RenderTarget::EndDraw)"},
        MessageCase{0x00000123, "D3DCompile", "HR 0x00000123 (D3DCompile)"},
        MessageCase{static_cast<std::int32_t>(0xDEADBEEFu), "X", "HR 0xdeadbeef (X)"}));

TEST(ComException, IsAStandardExceptionWithCodeAndOperation)
{
    try {
        Kestra::throwIfFailed(Kestra::Hr::InvalidArgument, "IDWriteTextFormat::SetTextAlignment");
        FAIL() << "a failure code must throw";
    } catch (const std::exception& error) {
        const auto* com = dynamic_cast<const COMException*>(&error);
        ASSERT_NE(com, nullptr);
        EXPECT_EQ(com->code(), Kestra::Hr::InvalidArgument);
        EXPECT_STREQ(com->operation(), "IDWriteTextFormat::SetTextAlignment");
    }
}

TEST(ComException, SuccessCodesDoNotThrow)
{
    EXPECT_NO_THROW(Kestra::throwIfFailed(0, "op"));
    EXPECT_NO_THROW(Kestra::throwIfFailed(1, "op")); // S_FALSE passes too
}

TEST(ComException, MessageIsBuiltOnceAndSharedByLaterCopies)
{
    const COMException error(Kestra::Hr::OutOfMemory, "op");
    const char* first = error.what();
    EXPECT_EQ(error.what(), first) << "a second what() must return the kept text";
    const COMException copy = error;
    EXPECT_EQ(copy.what(), first) << "a copy made after formatting shares the text";
    EXPECT_EQ(copy.code(), error.code());
    EXPECT_EQ(copy.operation(), error.operation());
}

TEST(ComException, CopyMadeBeforeFormattingFormatsItsOwn)
{
    const COMException error(static_cast<std::int32_t>(0x88990001u), "op");
    const COMException copy = error;
    EXPECT_STREQ(copy.what(), "HR 0x88990001 (op)");
    EXPECT_STREQ(error.what(), "HR 0x88990001 (op)");
    EXPECT_NE(copy.what(), error.what());
}

TEST(ComException, LastErrorBecomesWin32FailureCode)
{
    EXPECT_EQ(COMException::fromLastError(5, "CreateWindowEx").code(), static_cast<std::int32_t>(0x80070005u));
    EXPECT_EQ(COMException::fromLastError(0x12345, "x").code(), static_cast<std::int32_t>(0x80072345u));
    EXPECT_EQ(COMException::fromLastError(0, "GetMessage").code(), 0);
    // Values that already read as failure codes stay as they are.
    EXPECT_EQ(COMException::fromLastError(0x80004005u, "x").code(), Kestra::Hr::Fail);
    EXPECT_STREQ(COMException::fromLastError(5, "CreateWindowEx").what(),
                 "Access is denied.\r\n (CreateWindowEx)");
}

TEST(SystemMessageText, KnowsWin32NumbersAndTheirResultCodes)
{
    EXPECT_EQ(Kestra::systemMessageText(87), "The parameter is incorrect.\r\n");
    EXPECT_EQ(Kestra::systemMessageText(Kestra::Hr::InvalidArgument), "The parameter is incorrect.\r\n");
    EXPECT_TRUE(Kestra::systemMessageText(static_cast<std::int32_t>(0x88985000u)).empty());
    EXPECT_TRUE(Kestra::systemMessageText(0x7777).empty());
}

struct ReportCase {
    ErrorCatcher catcher;
    std::string cause;
    std::string expected;
};

void PrintTo(const ReportCase& c, std::ostream* out) { *out << '"' << c.cause << '"'; }

class ErrorReport : public testing::TestWithParam<ReportCase> {};

TEST_P(ErrorReport, ComposesNameLeadInCauseAndFullStop)
{
    const ReportCase& c = GetParam();
    EXPECT_EQ(Kestra::errorReportText(c.catcher, c.cause), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ErrorReport,
    testing::Values(
        ReportCase{ErrorCatcher::Window, "Cannot load screen file x",
                   "TISE has encountered an exception.\nThe cause is: Cannot load screen file x."},
        ReportCase{ErrorCatcher::TopLevel, "File not found",
                   "TISE has encountered an uncaught top-level exception, and will therefore close.\n"
                   "The cause is: File not found."},
        ReportCase{ErrorCatcher::Window, "Already ends in a stop.",
                   "TISE has encountered an exception.\nThe cause is: Already ends in a stop."},
        ReportCase{ErrorCatcher::Window, "",
                   "TISE has encountered an exception.\nThe cause is: ."}));

TEST(ErrorReport, TakesTheExceptionsWhatText)
{
    const COMException error(Kestra::Hr::OutOfMemory, "ID2D1RenderTarget::CreateBitmap");
    EXPECT_EQ(Kestra::errorReportText(ErrorCatcher::TopLevel, error),
              "TISE has encountered an uncaught top-level exception, and will therefore close.\n"
              "The cause is: Not enough memory resources are available to complete this operation.\r\n"
              " (ID2D1RenderTarget::CreateBitmap).");
    const std::runtime_error plain("Column count can only be changed while the selector is empty");
    EXPECT_EQ(Kestra::errorReportText(ErrorCatcher::Window, plain),
              "TISE has encountered an exception.\nThe cause is: Column count can only be changed while "
              "the selector is empty.");
}

} // namespace
