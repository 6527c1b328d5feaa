#include "windows.h"

#include <string>

static std::wstring CommandLine;
static std::wstring ModulePath;

void SetStandInCommandLine(const wchar_t* line) { CommandLine = line; }
void SetStandInModulePath(const wchar_t* path) { ModulePath = path; }

wchar_t* GetCommandLineW() { return CommandLine.data(); }

// As Windows does since Vista: a path that does not fit is cut to size - 1
// characters and a NUL, and the call reports size.
DWORD GetModuleFileNameW(HMODULE, wchar_t* buffer, DWORD size)
{
    if (size == 0)
        return 0;
    if (ModulePath.size() < size) {
        ModulePath.copy(buffer, ModulePath.size());
        buffer[ModulePath.size()] = 0;
        return DWORD(ModulePath.size());
    }
    ModulePath.copy(buffer, size - 1);
    buffer[size - 1] = 0;
    return size;
}
