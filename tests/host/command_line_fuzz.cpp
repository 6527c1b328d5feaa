// libFuzzer target for the command-line reading. The input is taken as
// UTF-16 code units (little-endian pairs of bytes), at most 32,767 of them,
// ending at the first NUL as a command line does. Besides not crashing and
// not reading past the end, every input must keep these promises:
//  - no argument ever holds a double quote;
//  - a target is named exactly when TargetProgram is not empty;
//  - TargetArguments neither starts nor ends with a code unit of U+0020
//    or below;
//  - where no argument holds a blank other than the space, splitting the
//    launch command line again gives back the same target and arguments.
#include <stdint.h>
#include <stdlib.h>

#include <vector>

#include "command_line.h"

static void Check(bool promise)
{
    if (!promise)
        abort();
}

static bool HasBlankOtherThanSpace(const Text& text)
{
    for (wchar_t c : text)
        if (c >= 0x01 && c < 0x20)
            return true;
    return false;
}

// Every argument after the first, up to the first empty one.
static std::vector<Text> Arguments(const wchar_t* line)
{
    std::vector<Text> arguments;
    Text argument;
    size_t position = NextArgument(line, 0, argument);
    for (;;) {
        position = NextArgument(line, position, argument);
        Check(argument.find(L'"') == Text::npos);
        if (argument.empty())
            return arguments;
        arguments.push_back(argument);
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Text line;
    for (size_t i = 0; i + 1 < size && line.size() < 32767; i += 2) {
        wchar_t unit = wchar_t(data[i] | data[i + 1] << 8);
        if (unit == 0)
            break;
        line += unit;
    }

    std::vector<Text> arguments = Arguments(line.c_str());
    bool named = ReadTargetCommand(line.c_str());
    Check(named == !TargetProgram.empty());
    Check(named == !arguments.empty());
    Check(TargetArguments.empty() ||
          (TargetArguments.front() > 0x20 && TargetArguments.back() > 0x20));

    bool onlySpaces = true;
    for (const Text& a : arguments)
        onlySpaces = onlySpaces && !HasBlankOtherThanSpace(a);
    if (named && onlySpaces) {
        Text program = TargetProgram;
        Text rest = TargetArguments;
        Text launched = L"own.exe " + program + L" " + rest;
        Check(Arguments(launched.c_str()) == arguments);
        Check(ReadTargetCommand(launched.c_str()));
        Check(TargetProgram == program && TargetArguments == rest);
    }
    return 0;
}
