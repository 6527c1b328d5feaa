// Where Windows is not at hand: the two calls the command-line reading makes,
// answered from values a test sets.
#pragma once

typedef unsigned long DWORD;
typedef void* HMODULE;

wchar_t* GetCommandLineW();
DWORD GetModuleFileNameW(HMODULE module, wchar_t* buffer, DWORD size);

// What the two calls report from now on.
void SetStandInCommandLine(const wchar_t* line);
void SetStandInModulePath(const wchar_t* path);
