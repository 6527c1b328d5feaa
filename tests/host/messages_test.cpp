#include <gtest/gtest.h>

#include <cwchar>

#include "expected_usage.h"
#include "messages.h"

namespace {

TEST(FileNamePart, TakesWhatFollowsTheLastSeparator)
{
    EXPECT_EQ(FileNamePart(L"C:\\Tools\\Quillborne.exe"), L"Quillborne.exe");
    EXPECT_EQ(FileNamePart(L"C:Quillborne.exe"), L"Quillborne.exe");
    EXPECT_EQ(FileNamePart(L"\\\\server\\share:x\\a:b.exe"), L"b.exe");
    EXPECT_EQ(FileNamePart(L"Quillborne.exe"), L"Quillborne.exe");
    EXPECT_EQ(FileNamePart(L"C:\\Tools\\"), L"");
    EXPECT_EQ(FileNamePart(L"C:"), L"");
    EXPECT_EQ(FileNamePart(L""), L"");
    EXPECT_EQ(FileNamePart(L"a/b.exe"), L"a/b.exe");
}

TEST(UsageText, NamesTheLauncherByItsFileName)
{
    EXPECT_EQ(UsageText(L"C:\\Program Files\\Quillborne\\Quillborne.exe"),
              ExpectedUsage(L"Quillborne.exe"));
    EXPECT_EQ(UsageText(L"D:\\copies\\OnTop.exe"), ExpectedUsage(L"OnTop.exe"));
    EXPECT_EQ(UsageText(L"\x00c9l\x00e8ve.exe"), ExpectedUsage(L"\x00c9l\x00e8ve.exe"));
}

TEST(UsageText, HasEightLinesAndNoBreakAtTheEnd)
{
    Text text = UsageText(L"Q.exe");
    size_t breaks = 0;
    for (size_t i = text.find(L"\r\n"); i != Text::npos; i = text.find(L"\r\n", i + 2))
        breaks++;
    EXPECT_EQ(breaks, 7u);
    EXPECT_TRUE(text.ends_with(L"Document.rtf\""));
}

TEST(TrimErrorText, DropsTrailingBreaksBlanksAndFullStops)
{
    struct {
        const wchar_t* raw;
        const wchar_t* shown;
    } cases[] = {
        {L"The system cannot find the file specified.\r\n",
         L"The system cannot find the file specified"},
        {L"File not found. \r\n", L"File not found"},
        {L"Ends in dots...", L"Ends in dots"},
        {L"Not done. Really.\t. \r\n", L"Not done. Really"},
        {L"No trailing", L"No trailing"},
        {L" \r\n.\t", L""},
        {L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TrimErrorText(c.raw, wcslen(c.raw)), c.shown) << "from \"" << c.raw << '"';
    EXPECT_EQ(TrimErrorText(nullptr, 0), L"");
}

}
