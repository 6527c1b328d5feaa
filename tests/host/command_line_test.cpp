#include <gtest/gtest.h>

#include "command_line.h"
#include "windows.h"

namespace {

struct Case {
    const char* what;
    const wchar_t* line;
    bool named;
    const wchar_t* program;
    const wchar_t* arguments;
};

const Case Cases[] = {
    {"empty line", L"", false, L"", L""},
    {"only the own name", L"q.exe", false, L"", L""},
    {"only blanks", L" \t\r\n ", false, L"", L""},
    {"only empty arguments", L"q.exe \"\" \"\"", false, L"", L""},
    {"only quotes", L"q.exe \"\"\"\"\"\"", false, L"", L""},
    {"lone quote after the own name", L"q.exe \"", false, L"", L""},
    {"odd run of quotes", L"q.exe \"\"\"", false, L"", L""},
    {"target without arguments", L"q.exe notepad.exe", true, L"notepad.exe", L""},
    {"document path with a space",
     L"q.exe wordpad.exe \"C:\\Some Folder\\Document.rtf\"", true, L"wordpad.exe",
     L"\"C:\\Some Folder\\Document.rtf\""},
    {"target with a space is quoted again",
     L"\"C:\\Tools\\q.exe\" \"C:\\Program Files\\App\\app.exe\" a b", true,
     L"\"C:\\Program Files\\App\\app.exe\"", L"a b"},
    {"own name with a space", L"\"C:\\My Tools\\q.exe\" app.exe", true, L"app.exe", L""},
    {"empty argument before the target", L"q.exe \"\" app.exe x", true, L"app.exe", L"x"},
    {"empty arguments among the arguments", L"q.exe app.exe a \"\" b \"\"", true, L"app.exe",
     L"a b"},
    {"two quotes inside the own name join it to what follows", L"q.exe\"\"app.exe", false, L"",
     L""},
    {"letters, two quotes, letters", L"q.exe app.exe ab\"\"cd", true, L"app.exe", L"abcd"},
    {"quoted run joined to letters", L"q.exe \"a b\"c d", true, L"\"a bc\"", L"d"},
    {"letters on both sides of a quoted run", L"q.exe app.exe pre\"mid dle\"post", true,
     L"app.exe", L"\"premid dlepost\""},
    {"two quoted runs in one argument", L"q.exe app.exe \"a\"\"b\"", true, L"app.exe", L"ab"},
    {"unclosed quote takes the rest", L"q.exe app.exe x \"a  b \t c", true, L"app.exe",
     L"x \"a  b \t c\""},
    {"lone quote at the end", L"q.exe app.exe a \"", true, L"app.exe", L"a"},
    {"backslash before a closing quote", L"q.exe app.exe \"C:\\dir\\\" next", true, L"app.exe",
     L"C:\\dir\\ next"},
    {"backslash escapes nothing", L"q.exe app.exe a\\\"b c\"", true, L"app.exe",
     L"\"a\\b c\""},
    {"tab at the front of the first argument", L"q.exe app.exe \"\tx\" y", true, L"app.exe",
     L"x y"},
    {"tab at the back of the last argument", L"q.exe app.exe y \"x\t\"", true, L"app.exe",
     L"y x"},
    {"tab inside is kept and not quoted", L"q.exe app.exe a \"\tb\" c", true, L"app.exe",
     L"a \tb c"},
    {"tab in the target is kept", L"q.exe \"\tapp.exe\"", true, L"\tapp.exe", L""},
    {"spaced argument with tabs keeps them", L"q.exe app.exe \"\ta b\t\"", true, L"app.exe",
     L"\"\ta b\t\""},
    {"extra blanks", L"  q.exe \t  app.exe   a \t b   \r\n", true, L"app.exe", L"a b"},
    {"control characters are blanks", L"q.exe\x01" L"app.exe\x1f" L"a\x0b" L"b", true,
     L"app.exe", L"a b"},
    {"non-ASCII text",
     L"q.exe \x0166\x00e5rg\x00e9t.exe \"\x65e5\x672c \x8a9e\" \x03a9 \xd83d\xde00", true,
     L"\x0166\x00e5rg\x00e9t.exe", L"\"\x65e5\x672c \x8a9e\" \x03a9 \xd83d\xde00"},
    {"lone surrogates pass unchanged", L"q.exe \xdc00x.exe \xd800", true, L"\xdc00x.exe",
     L"\xd800"},
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.what;
}

class ReadTargetCommandTest : public testing::TestWithParam<Case> {};

TEST_P(ReadTargetCommandTest, GivesTargetAndArguments)
{
    const Case& c = GetParam();
    EXPECT_EQ(ReadTargetCommand(c.line), c.named);
    EXPECT_EQ(TargetProgram, c.program);
    EXPECT_EQ(TargetArguments, c.arguments);
}

// The one walk of ReadTargetCommand gives what asking for each argument
// in turn gives.
TEST_P(ReadTargetCommandTest, AgreesWithArgumentByArgument)
{
    const Case& c = GetParam();
    Text program = ArgumentAt(c.line, 1);
    if (program.find(L' ') != Text::npos)
        program = L"\"" + program + L"\"";
    Text arguments;
    for (int i = 2; i <= ArgumentCount(c.line); i++) {
        Text a = ArgumentAt(c.line, i);
        arguments += a.find(L' ') != Text::npos ? L"\"" + a + L"\" " : a + L" ";
    }
    ReadTargetCommand(c.line);
    EXPECT_EQ(TargetProgram, program);
    EXPECT_EQ(TargetArguments, TrimBlanks(arguments));
}

INSTANTIATE_TEST_SUITE_P(Lines, ReadTargetCommandTest, testing::ValuesIn(Cases),
                         [](const testing::TestParamInfo<Case>& info) {
                             std::string name;
                             for (const char* p = info.param.what; *p; p++)
                                 name += isalnum((unsigned char)*p) ? *p : '_';
                             return name;
                         });

TEST(NextArgument, ReturnsWhereTheArgumentEnded)
{
    const wchar_t* line = L"  \"\" a\"b c\"d  e";
    Text argument;
    size_t position = NextArgument(line, 0, argument);
    EXPECT_EQ(argument, L"ab cd");
    EXPECT_EQ(position, 12u);
    position = NextArgument(line, position, argument);
    EXPECT_EQ(argument, L"e");
    EXPECT_EQ(position, 15u);
    position = NextArgument(line, position, argument);
    EXPECT_EQ(argument, L"");
    EXPECT_EQ(position, 15u);
}

TEST(NextArgument, NeverReadsPastALoneQuoteAtTheEnd)
{
    // Heap copies, so that AddressSanitizer sees a read past the NUL.
    for (const wchar_t* text : {L"\"", L"a\"", L" \"", L"\"\"\""}) {
        std::wstring line(text);
        Text argument;
        size_t position = NextArgument(line.c_str(), 0, argument);
        EXPECT_EQ(position, line.size()) << "line of length " << line.size();
    }
}

TEST(ArgumentCount, CountsUpToTheFirstEmptyArgument)
{
    EXPECT_EQ(ArgumentCount(L""), 0);
    EXPECT_EQ(ArgumentCount(L"q.exe"), 0);
    EXPECT_EQ(ArgumentCount(L"q.exe a \"\" b"), 2);
    EXPECT_EQ(ArgumentCount(L"q.exe a b \""), 2);
}

TEST(ArgumentAt, GivesEmptyPastTheEnd)
{
    const wchar_t* line = L"q.exe a \"b c\"";
    EXPECT_EQ(ArgumentAt(line, 1), L"a");
    EXPECT_EQ(ArgumentAt(line, 2), L"b c");
    EXPECT_EQ(ArgumentAt(line, 3), L"");
    EXPECT_EQ(ArgumentAt(line, 100), L"");
}

TEST(ArgumentAt, ReadsTheProcessCommandLine)
{
    SetStandInCommandLine(L"q.exe one \"two three\"");
    EXPECT_EQ(ArgumentCount(), 2);
    EXPECT_EQ(ArgumentAt(2), L"two three");
    EXPECT_TRUE(ReadTargetCommand());
    EXPECT_EQ(TargetProgram, L"one");
    EXPECT_EQ(TargetArguments, L"\"two three\"");
}

TEST(ArgumentAt, ZeroIsTheModulePath)
{
    SetStandInCommandLine(L"whatever.exe");
    SetStandInModulePath(L"C:\\Tools\\Quillborne.exe");
    EXPECT_EQ(ArgumentAt(0), L"C:\\Tools\\Quillborne.exe");
}

TEST(ArgumentAt, ModulePathTooLongIsCutWithoutItsNul)
{
    std::wstring path = L"C:\\" + std::wstring(300, L'x') + L".exe";
    SetStandInModulePath(path.c_str());
    Text own = ArgumentAt(0);
    EXPECT_EQ(own, path.substr(0, ModulePathCapacity - 1));
}

TEST(TrimBlanks, RemovesLowCodeUnitsAtBothEnds)
{
    EXPECT_EQ(TrimBlanks(L""), L"");
    EXPECT_EQ(TrimBlanks(L" \t\r\n\x01 "), L"");
    EXPECT_EQ(TrimBlanks(L"\t a b \x1f"), L"a b");
    EXPECT_EQ(TrimBlanks(L"x"), L"x");
    EXPECT_EQ(TrimBlanks(L"\x21!\x21"), L"!!!");
}

TEST(ReadTargetCommand, LineAtTheLimit)
{
    // 32,767 code units: the own name and about 16,000 one-letter arguments.
    std::wstring line = L"q.exe";
    while (line.size() + 2 <= 32767)
        line += L" a";
    ASSERT_TRUE(ReadTargetCommand(line.c_str()));
    EXPECT_EQ(TargetProgram, L"a");
    EXPECT_EQ(TargetArguments.size(), line.size() - 8);
}

}
