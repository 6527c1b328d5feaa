// A program for the launcher to start in the end-to-end tests. It takes its
// orders from the environment, which reaches it through the launcher:
//
//   QB_TARGET_LOG   where to write what it saw (UTF-16, written whole at once)
//   QB_TARGET_MODE  words:  windows=N      N top-level windows on the primary thread
//                           thread-window  one more window, on a second thread
//                           busy=MS        read no input for MS milliseconds first
//                           exit           end at once
//
// The record holds its process id, the time it was written (just before the
// program starts reading input), its own path, each window with its
// rectangle, and last the command line it was started with.
#include <windows.h>

#include <stdio.h>
#include <wchar.h>

#include <string>

static const wchar_t WindowClass[] = L"QuillborneTestTarget";
static const DWORD LifetimeMs = 60000;

static std::wstring Record;

static void NoteWindow(const wchar_t* kind, HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    wchar_t line[128];
    swprintf(line, 128, L"%ls=%lu %ld %ld %ld %ld\n", kind, (unsigned long)(ULONG_PTR)window, r.left,
             r.top, r.right, r.bottom);
    Record += line;
}

static HWND MakeWindow(int index, const wchar_t* title)
{
    HWND window = CreateWindowExW(0, WindowClass, title, WS_OVERLAPPEDWINDOW, 80 + 60 * index,
                                  60 + 50 * index, 320 + 10 * index, 200 + 10 * index, NULL,
                                  NULL, GetModuleHandleW(NULL), NULL);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

static DWORD WINAPI SecondThread(void* ready)
{
    NoteWindow(L"other-thread-window", MakeWindow(9, L"second thread"));
    SetEvent(ready);
    MSG msg;
    while (GetMessageW(&msg, NULL, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}

static void WriteRecord()
{
    wchar_t path[MAX_PATH * 2];
    if (!GetEnvironmentVariableW(L"QB_TARGET_LOG", path, MAX_PATH * 2))
        return;
    wchar_t own[MAX_PATH * 2];
    GetModuleFileNameW(NULL, own, MAX_PATH * 2);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    wchar_t head[96];
    swprintf(head, 96, L"pid=%lu\nrecorded=%llu\n", GetCurrentProcessId(),
             (unsigned long long)now.dwHighDateTime << 32 | now.dwLowDateTime);
    std::wstring text = head;
    text += L"module=";
    text += own;
    text += L"\n";
    text += Record;
    text += L"command-line=";
    text += GetCommandLineW();

    // Written under another name and then renamed, so that a reader never
    // sees half a record.
    std::wstring partial = std::wstring(path) + L".partial";
    HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written;
    WriteFile(file, text.data(), DWORD(text.size() * sizeof(wchar_t)), &written, NULL);
    CloseHandle(file);
    MoveFileExW(partial.c_str(), path, MOVEFILE_REPLACE_EXISTING);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    wchar_t mode[256] = L"";
    GetEnvironmentVariableW(L"QB_TARGET_MODE", mode, 256);

    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = WindowClass;
    RegisterClassW(&wc);

    int count = 0;
    if (const wchar_t* n = wcsstr(mode, L"windows="))
        count = _wtoi(n + 8);
    for (int i = 0; i < count; i++) {
        wchar_t title[32];
        swprintf(title, 32, L"primary %d", i + 1);
        NoteWindow(L"window", MakeWindow(i, title));
    }
    if (wcsstr(mode, L"thread-window")) {
        HANDLE ready = CreateEventW(NULL, TRUE, FALSE, NULL);
        CloseHandle(CreateThread(NULL, 0, SecondThread, ready, 0, NULL));
        WaitForSingleObject(ready, INFINITE);
    }
    WriteRecord();

    if (wcsstr(mode, L"exit"))
        return 0;
    if (const wchar_t* busy = wcsstr(mode, L"busy="))
        Sleep(_wtoi(busy + 5));
    SetTimer(NULL, 0, LifetimeMs, NULL);
    MSG msg;
    while (GetMessageW(&msg, NULL, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == NULL)
            break;
        DispatchMessageW(&msg);
    }
    return 0;
}
