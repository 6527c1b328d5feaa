// Quillborne: starts a program and puts the windows of its primary thread
// on top of all others.
#include <windows.h>

#include "command_line.h"
#include "messages.h"

const DWORD InputIdleTimeoutMs = 5000;

static STARTUPINFOW StartupInfo;
static PROCESS_INFORMATION ProcessInfo;

Text SystemErrorText(DWORD code)
{
    const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS |
                        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ARGUMENT_ARRAY;
    wchar_t* buffer = NULL;
    DWORD length = FormatMessageW(flags, NULL, code, 0, (LPWSTR)&buffer, 0, NULL);
    Text text = TrimErrorText(buffer, length);
    LocalFree(buffer);
    return text;
}

// `extraFlags` is 0, or SWP_ASYNCWINDOWPOS for a target that is not ready
// for input yet.
BOOL CALLBACK RaiseWindowCallback(HWND window, LPARAM extraFlags)
{
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | (UINT)extraFlags);
    return TRUE;
}

static void StartTarget()
{
    ZeroMemory(&ProcessInfo, sizeof(ProcessInfo));
    ZeroMemory(&StartupInfo, sizeof(StartupInfo));
    StartupInfo.cb = sizeof(StartupInfo);

    // CreateProcessW may write into the command line: hand it our own copy.
    Text commandLine = TargetProgram + L' ' + TargetArguments;
    if (!CreateProcessW(NULL, &commandLine[0], NULL, NULL, FALSE, NORMAL_PRIORITY_CLASS, NULL,
                        NULL, &StartupInfo, &ProcessInfo)) {
        DWORD error = GetLastError();
        MessageBoxW(NULL, SystemErrorText(error).c_str(), AppTitle, MB_OK | MB_ICONWARNING);
        return;
    }
    // A thread that is not reading its input does not answer the messages
    // SetWindowPos sends to its windows, and waiting for that answer could
    // hold the launcher as long as the target is busy. For a target that
    // did not become ready in time, leave the change for its thread to
    // carry out once it reads its input again.
    LPARAM extraFlags = 0;
    if (WaitForInputIdle(ProcessInfo.hProcess, InputIdleTimeoutMs) != 0)
        extraFlags = SWP_ASYNCWINDOWPOS;
    EnumThreadWindows(ProcessInfo.dwThreadId, RaiseWindowCallback, extraFlags);
}

void RunLauncher()
{
    if (ReadTargetCommand())
        StartTarget();
    else
        MessageBoxW(NULL, UsageText(ArgumentAt(0)).c_str(), AppTitle, MB_OK | MB_ICONINFORMATION);

    TargetProgram = Text();
    TargetArguments = Text();
    ExitProcess(0);
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    RunLauncher();
    return 0;
}
