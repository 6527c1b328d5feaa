#include "command_line.h"

#include <windows.h>

Text TargetProgram;
Text TargetArguments;

static bool IsBlank(wchar_t c)
{
    return c >= 0x01 && c <= 0x20;
}

size_t NextArgument(const wchar_t* line, size_t position, Text& argument)
{
    argument.clear();

    // Blanks and empty "" pairs in front of an argument leave no trace.
    for (;;) {
        while (IsBlank(line[position]))
            position++;
        if (line[position] != L'"' || line[position + 1] != L'"')
            break;
        position += 2;
    }

    while (line[position] > 0x20) {
        size_t start = position;
        if (line[position] == L'"') {
            // A quoted run takes everything, blanks too, up to the next
            // quote or the end; the quotes themselves are dropped.
            start = ++position;
            while (line[position] != 0 && line[position] != L'"')
                position++;
            argument.append(line + start, position - start);
            if (line[position] == L'"')
                position++;
        } else {
            while (line[position] > 0x20 && line[position] != L'"')
                position++;
            argument.append(line + start, position - start);
        }
    }
    return position;
}

int ArgumentCount(const wchar_t* line)
{
    Text argument;
    size_t position = NextArgument(line, 0, argument);
    int count = 0;
    for (;;) {
        position = NextArgument(line, position, argument);
        if (argument.empty())
            return count;
        count++;
    }
}

Text ArgumentAt(const wchar_t* line, int index)
{
    Text argument;
    size_t position = 0;
    for (int i = 0; i <= index; i++) {
        position = NextArgument(line, position, argument);
        if (argument.empty())
            break;
    }
    return argument;
}

Text TrimBlanks(const Text& text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && text[begin] <= 0x20)
        begin++;
    while (end > begin && text[end - 1] <= 0x20)
        end--;
    return Text(text.data() + begin, end - begin);
}

static void AppendQuotedIfSpaced(Text& to, const Text& argument)
{
    if (argument.find(L' ') == Text::npos) {
        to += argument;
        return;
    }
    to += L'"';
    to += argument;
    to += L'"';
}

// One walk over the line: the first argument is the program's own name,
// the next the target, and the rest, up to the first empty one, are the
// target's arguments.
bool ReadTargetCommand(const wchar_t* line)
{
    Text argument;
    size_t position = NextArgument(line, 0, argument);
    position = NextArgument(line, position, argument);

    TargetProgram.clear();
    AppendQuotedIfSpaced(TargetProgram, argument);

    Text arguments;
    while (!argument.empty()) {
        position = NextArgument(line, position, argument);
        if (argument.empty())
            break;
        AppendQuotedIfSpaced(arguments, argument);
        arguments += L' ';
    }
    TargetArguments = TrimBlanks(arguments);
    return !TargetProgram.empty();
}

int ArgumentCount()
{
    return ArgumentCount(GetCommandLineW());
}

Text ArgumentAt(int index)
{
    if (index != 0)
        return ArgumentAt(GetCommandLineW(), index);

    // A path too long for the buffer comes back cut, and the count the
    // call reports may then include the terminating NUL: stop at it.
    wchar_t path[ModulePathCapacity];
    DWORD count = GetModuleFileNameW(NULL, path, ModulePathCapacity);
    DWORD length = 0;
    while (length < count && length < ModulePathCapacity && path[length] != 0)
        length++;
    return Text(path, length);
}

bool ReadTargetCommand()
{
    return ReadTargetCommand(GetCommandLineW());
}
