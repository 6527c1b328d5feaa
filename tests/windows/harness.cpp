#include "harness.h"

#include <stdio.h>

std::wstring LauncherPath;
std::wstring TargetPath;
std::wstring WorkDir;

std::wstring Quoted(const std::wstring& text)
{
    return L"\"" + text + L"\"";
}

long long MsBetween(const FILETIME& from, const FILETIME& to)
{
    ULARGE_INTEGER a, b;
    a.LowPart = from.dwLowDateTime;
    a.HighPart = from.dwHighDateTime;
    b.LowPart = to.dwLowDateTime;
    b.HighPart = to.dwHighDateTime;
    return ((long long)b.QuadPart - (long long)a.QuadPart) / 10000;
}

// The pixels of a rectangle of the screen, as 32-bit values.
static std::vector<DWORD> Pixels(HDC source, int x, int y, int width, int height)
{
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = NULL;
    HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
    GdiFlush();
    std::vector<DWORD> pixels((DWORD*)bits, (DWORD*)bits + width * height);
    for (DWORD& p : pixels)
        p &= 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return pixels;
}

// A system icon as the box would draw it: on the dialog's background.
static std::vector<DWORD> IconPixels(LPCWSTR id, int width, int height)
{
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT all = {0, 0, width, height};
    FillRect(memory, &all, GetSysColorBrush(COLOR_3DFACE));
    DrawIcon(memory, 0, 0, LoadIconW(NULL, id));
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);

    HDC source = CreateCompatibleDC(NULL);
    old = SelectObject(source, bitmap);
    std::vector<DWORD> pixels = Pixels(source, 0, 0, width, height);
    SelectObject(source, old);
    DeleteDC(source);
    DeleteObject(bitmap);
    return pixels;
}

struct IconSearch {
    HWND found;
};

static BOOL CALLBACK FindIconStatic(HWND child, LPARAM context)
{
    wchar_t cls[32];
    GetClassNameW(child, cls, 32);
    if (lstrcmpiW(cls, L"Static") == 0 && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        ((IconSearch*)context)->found = child;
        return FALSE;
    }
    return TRUE;
}

// Tells the box's icon by comparing what is on the screen with each
// system icon drawn the same way; icon handles of another process cannot
// be compared.
static std::wstring IconOf(HWND box)
{
    IconSearch search = {NULL};
    EnumChildWindows(box, FindIconStatic, (LPARAM)&search);
    if (!search.found || !IsWindowVisible(search.found))
        return L"none";
    RECT r;
    GetWindowRect(search.found, &r);
    int width = GetSystemMetrics(SM_CXICON);
    int height = GetSystemMetrics(SM_CYICON);
    HDC screen = GetDC(NULL);
    std::vector<DWORD> shown = Pixels(screen, r.left, r.top, width, height);
    ReleaseDC(NULL, screen);
    const struct {
        LPCWSTR id;
        const wchar_t* name;
    } icons[] = {{IDI_INFORMATION, L"information"},
                 {IDI_WARNING, L"warning"},
                 {IDI_ERROR, L"error"},
                 {IDI_QUESTION, L"question"}};
    for (const auto& icon : icons)
        if (IconPixels(icon.id, width, height) == shown)
            return icon.name;
    return L"unknown";
}

struct BoxSearch {
    DWORD pid;
    std::vector<HWND> boxes;
};

static BOOL CALLBACK FindBoxes(HWND window, LPARAM context)
{
    BoxSearch* search = (BoxSearch*)context;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t cls[16];
    GetClassNameW(window, cls, 16);
    if (pid == search->pid && lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(window))
        search->boxes.push_back(window);
    return TRUE;
}

static MessageBoxSeen ReadAndClose(HWND box)
{
    MessageBoxSeen seen;
    wchar_t text[8192];
    GetWindowTextW(box, text, 8192);
    seen.caption = text;
    GetDlgItemTextW(box, 0xFFFF, text, 8192);
    seen.text = text;
    // Give the box time to paint; ask again while no icon matches.
    for (int i = 0; i < 40; i++) {
        Sleep(100);
        seen.icon = IconOf(box);
        if (seen.icon != L"unknown")
            break;
    }
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return seen;
}

static void PumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
}

LauncherRun RunProgram(const std::wstring& exe, const std::wstring& line)
{
    LauncherRun run;
    SECURITY_ATTRIBUTES sa = {sizeof(sa), NULL, TRUE};
    HANDLE readEnd = NULL, writeEnd = NULL;
    CreatePipe(&readEnd, &writeEnd, &sa, 1 << 16);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    PROCESS_INFORMATION pi = {};
    std::wstring commandLine = line;
    DWORD start = GetTickCount();
    BOOL started = CreateProcessW(exe.c_str(), &commandLine[0], NULL, NULL, TRUE, 0, NULL, NULL,
                                  &si, &pi);
    CloseHandle(writeEnd);
    if (!started) {
        fwprintf(stderr, L"could not start %ls: error %lu\n", exe.c_str(), GetLastError());
        CloseHandle(readEnd);
        return run;
    }

    std::vector<HWND> answered;
    for (;;) {
        DWORD wait = MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 50, QS_ALLINPUT);
        if (wait == WAIT_OBJECT_0) {
            run.ended = true;
            break;
        }
        PumpMessages();
        BoxSearch search = {pi.dwProcessId, {}};
        EnumWindows(FindBoxes, (LPARAM)&search);
        for (HWND box : search.boxes) {
            bool known = false;
            for (HWND a : answered)
                known = known || a == box;
            if (!known) {
                answered.push_back(box);
                run.boxes.push_back(ReadAndClose(box));
            }
        }
        if (GetTickCount() - start > 60000) {
            TerminateProcess(pi.hProcess, 1);
            WaitForSingleObject(pi.hProcess, 5000);
            break;
        }
    }
    GetSystemTimeAsFileTime(&run.endTime);
    run.elapsedMs = GetTickCount() - start;
    GetExitCodeProcess(pi.hProcess, &run.exitCode);

    DWORD available = 0;
    if (PeekNamedPipe(readEnd, NULL, 0, NULL, &available, NULL) && available > 0) {
        run.output.resize(available);
        DWORD read = 0;
        ReadFile(readEnd, &run.output[0], available, &read, NULL);
        run.output.resize(read);
    }
    CloseHandle(readEnd);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return run;
}

LauncherRun RunLauncher(const std::wstring& arguments)
{
    return RunProgram(LauncherPath, Quoted(LauncherPath) + L" " + arguments);
}

std::wstring PrepareTarget(const std::wstring& mode)
{
    static int serial = 0;
    wchar_t name[64];
    swprintf(name, 64, L"\\record-%d.txt", ++serial);
    std::wstring path = WorkDir + name;
    DeleteFileW(path.c_str());
    SetEnvironmentVariableW(L"QB_TARGET_LOG", path.c_str());
    SetEnvironmentVariableW(L"QB_TARGET_MODE", mode.c_str());
    return path;
}

static bool ReadWhole(const std::wstring& path, std::wstring& text)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD size = GetFileSize(file, NULL);
    text.assign(size / sizeof(wchar_t), L'\0');
    DWORD read = 0;
    ReadFile(file, &text[0], size, &read, NULL);
    CloseHandle(file);
    return true;
}

TargetRecord ReadTargetRecord(const std::wstring& path)
{
    TargetRecord record;
    std::wstring text;
    // The target writes its record before it starts reading input; allow
    // for a slow start all the same.
    for (int i = 0; i < 100 && !ReadWhole(path, text); i++)
        Sleep(100);
    if (text.empty())
        return record;
    record.found = true;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find(L'\n', at);
        std::wstring line = text.substr(at, end == std::wstring::npos ? end : end - at);
        size_t eq = line.find(L'=');
        std::wstring key = line.substr(0, eq);
        std::wstring value = line.substr(eq + 1);
        if (key == L"command-line") {
            // The command line is last and may hold line breaks itself.
            record.commandLine = text.substr(at + eq + 1);
            break;
        }
        if (key == L"pid")
            record.pid = wcstoul(value.c_str(), NULL, 10);
        else if (key == L"module")
            record.module = value;
        else if (key == L"recorded") {
            unsigned long long t = wcstoull(value.c_str(), NULL, 10);
            record.recordedTime.dwLowDateTime = DWORD(t);
            record.recordedTime.dwHighDateTime = DWORD(t >> 32);
        } else {
            unsigned long handle = 0;
            RECT r = {};
            swscanf(value.c_str(), L"%lu %ld %ld %ld %ld", &handle, &r.left, &r.top, &r.right,
                    &r.bottom);
            if (key == L"window")
                record.windows.push_back({(HWND)(ULONG_PTR)handle, r});
            else if (key == L"other-thread-window")
                record.otherThreadWindows.push_back((HWND)(ULONG_PTR)handle);
        }
        if (end == std::wstring::npos)
            break;
        at = end + 1;
    }
    return record;
}

void EndTarget(const TargetRecord& record)
{
    if (!record.pid)
        return;
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, record.pid);
    if (!process)
        return;
    TerminateProcess(process, 0);
    WaitForSingleObject(process, 10000);
    CloseHandle(process);
}

std::wstring ExpectedErrorText(DWORD code)
{
    wchar_t* buffer = NULL;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  NULL, code, 0, (LPWSTR)&buffer, 0, NULL);
    std::wstring text(buffer ? buffer : L"", length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() <= L' ' || text.back() == L'.'))
        text.pop_back();
    return text;
}
