// Reading the launcher's own command line: the program to start and the
// arguments to hand it.
#pragma once

#include <stddef.h>
#include <string>

typedef std::wstring Text;

// Room for a full path of MAX_PATH characters and its terminating NUL.
const unsigned ModulePathCapacity = 261;

// Set once by ReadTargetCommand; live until the process ends.
extern Text TargetProgram;
extern Text TargetArguments;

// One splitting step over the NUL-terminated command line `line`, from
// `position`: stores the argument in `argument` and returns the position
// where it ended.
size_t NextArgument(const wchar_t* line, size_t position, Text& argument);

// How many arguments follow the program's own name.
int ArgumentCount(const wchar_t* line);
int ArgumentCount();

// Argument `index` (1 and up) of `line`, or an empty text when there are
// fewer. ArgumentAt(0) is the full path of the running executable.
Text ArgumentAt(const wchar_t* line, int index);
Text ArgumentAt(int index);

// `text` without its leading and trailing code units of U+0020 or below.
Text TrimBlanks(const Text& text);

// Sets TargetProgram and TargetArguments from `line`; true when a target
// was named.
bool ReadTargetCommand(const wchar_t* line);
bool ReadTargetCommand();
