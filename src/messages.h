// The texts the launcher shows: pure functions, no Windows calls.
#pragma once

#include "command_line.h"

// Caption of every message box.
extern const wchar_t AppTitle[];

// What follows the last backslash or colon of `path`; all of it when it
// has neither.
Text FileNamePart(const Text& path);

// The usage message, naming the launcher by the file name in `ownPath`.
Text UsageText(const Text& ownPath);

// A system message of `length` code units without the line break, blanks
// and full stops that end it.
Text TrimErrorText(const wchar_t* text, size_t length);
