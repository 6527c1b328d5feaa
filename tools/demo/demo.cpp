// Shows Quillborne at work, for `make demo`:
//   demo.exe QUILLBORNE.exe TARGET [ARGUMENTS...]
// Runs Quillborne.exe with the target, lists the windows the target shows
// and whether they are on top, then opens an ordinary window of its own
// that takes the focus and covers them, and says what is in front. It
// keeps its window open until the file named by DEMO_DONE exists, so that
// a picture can be taken; DEMO_READY is created when it is time for that.
#include <windows.h>

#include <stdio.h>

#include <string>
#include <vector>

static BOOL CALLBACK AddIfVisible(HWND w, LPARAM list)
{
    if (IsWindowVisible(w))
        ((std::vector<HWND>*)list)->push_back(w);
    return TRUE;
}

static std::vector<HWND> VisibleWindows()
{
    std::vector<HWND> windows;
    EnumWindows(AddIfVisible, (LPARAM)&windows);
    return windows;
}

static bool Contains(const std::vector<HWND>& list, HWND w)
{
    for (HWND x : list)
        if (x == w)
            return true;
    return false;
}

static std::wstring Title(HWND w)
{
    wchar_t text[256] = L"";
    GetWindowTextW(w, text, 256);
    return text;
}

static bool IsTopmost(HWND w)
{
    return (GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

static void Pump(DWORD ms)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        Sleep(20);
    }
}

static bool FileExists(const wchar_t* variable)
{
    wchar_t path[MAX_PATH] = L"";
    return GetEnvironmentVariableW(variable, path, MAX_PATH) &&
           GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

static void Touch(const wchar_t* variable)
{
    wchar_t path[MAX_PATH] = L"";
    if (GetEnvironmentVariableW(variable, path, MAX_PATH))
        CloseHandle(CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
}

static LRESULT CALLBACK CoverProc(HWND w, UINT message, WPARAM wp, LPARAM lp)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(w, &ps);
        RECT r;
        GetClientRect(w, &r);
        InflateRect(&r, -16, -16);
        DrawTextW(dc, L"Another window: it has the focus, and the target stays in front of it.", -1,
                  &r, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
        EndPaint(w, &ps);
        return 0;
    }
    return DefWindowProcW(w, message, wp, lp);
}

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        fwprintf(stderr, L"usage: demo QUILLBORNE.exe TARGET [ARGUMENTS...]\n");
        return 2;
    }
    // The command line as a shell would hand it on: everything after our
    // own name, with the launcher's path first.
    const wchar_t* rest = GetCommandLineW();
    bool quoted = false;
    while (*rest && (quoted || (*rest != L' ' && *rest != L'\t'))) {
        if (*rest == L'"')
            quoted = !quoted;
        rest++;
    }
    while (*rest == L' ' || *rest == L'\t')
        rest++;
    std::wstring line = rest;

    std::vector<HWND> before = VisibleWindows();
    wprintf(L"Running: %ls\n", line.c_str());
    fflush(stdout);
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    DWORD start = GetTickCount();
    if (!CreateProcessW(argv[1], &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) {
        wprintf(L"Could not start Quillborne.exe (error %lu)\n", GetLastError());
        return 1;
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD status = 1;
    GetExitCodeProcess(pi.hProcess, &status);
    wprintf(L"Quillborne.exe ended after %lu ms with exit status %lu.\n", GetTickCount() - start,
            status);

    std::vector<HWND> targetWindows;
    for (HWND w : VisibleWindows())
        if (!Contains(before, w))
            targetWindows.push_back(w);
    wprintf(L"The target shows %u window(s):\n", (unsigned)targetWindows.size());
    for (HWND w : targetWindows)
        wprintf(L"  \"%ls\": %ls\n", Title(w).c_str(), IsTopmost(w) ? L"on top (topmost)" : L"not on top");

    WNDCLASSW wc = {};
    wc.lpfnWndProc = CoverProc;
    wc.hInstance = GetModuleHandleW(NULL);
    wc.hbrBackground = (HBRUSH)(COLOR_INFOBK + 1);
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.lpszClassName = L"QuillborneDemoCover";
    RegisterClassW(&wc);
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    HWND cover = CreateWindowExW(0, wc.lpszClassName, L"Another window", WS_OVERLAPPEDWINDOW,
                                 width / 8, height / 8, width * 7 / 8, height * 3 / 4, NULL, NULL,
                                 wc.hInstance, NULL);
    ShowWindow(cover, SW_SHOW);
    SetForegroundWindow(cover);
    Pump(1500);

    wprintf(L"Then another window was opened over them and took the focus%ls.\n",
            GetForegroundWindow() == cover ? L"" : L" (it did not get it)");
    for (HWND w : targetWindows) {
        // Walk from the top of the z-order: who comes first?
        HWND first = GetTopWindow(NULL);
        while (first && first != w && first != cover)
            first = GetWindow(first, GW_HWNDNEXT);
        wprintf(L"  \"%ls\" is %ls the other window.\n", Title(w).c_str(),
                first == w ? L"still in front of" : L"behind");
    }
    fflush(stdout);
    Touch(L"DEMO_READY");
    for (int i = 0; i < 600 && !FileExists(L"DEMO_DONE"); i++)
        Pump(100);
    return 0;
}
