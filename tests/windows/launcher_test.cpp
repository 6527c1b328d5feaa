#include <gtest/gtest.h>

#include "expected_usage.h"
#include "harness.h"

namespace {

std::wstring FileNameOf(const std::wstring& path)
{
    return path.substr(path.find_last_of(L"\\:") + 1);
}

// Every run ends by itself, with status 0 and nothing on standard output
// or standard error.
void ExpectQuietEnd(const LauncherRun& run)
{
    EXPECT_TRUE(run.ended) << "still running after a minute";
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output, "");
}

void ExpectOneBox(const LauncherRun& run, const std::wstring& icon, const std::wstring& text)
{
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].caption, L"Quillborne");
    EXPECT_EQ(run.boxes[0].icon, icon);
    EXPECT_EQ(run.boxes[0].text, text);
}

// The code CreateProcessW gives for this launch command line, as the
// launcher would call it.
DWORD StartError(const std::wstring& commandLine)
{
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::wstring line = commandLine;
    if (CreateProcessW(NULL, &line[0], NULL, NULL, FALSE, NORMAL_PRIORITY_CLASS, NULL, NULL,
                       &si, &pi)) {
        TerminateProcess(pi.hProcess, 0);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return ERROR_SUCCESS;
    }
    return GetLastError();
}

std::wstring CopyOf(const std::wstring& from, const std::wstring& folder, const std::wstring& name)
{
    CreateDirectoryW(folder.c_str(), NULL);
    std::wstring to = folder + L"\\" + name;
    return CopyFileW(from.c_str(), to.c_str(), FALSE) ? to : L"";
}

// Runs `launcher` with `arguments`, which name the test target, told to
// act as `mode`; expects a quiet end without a message box, and returns
// what the target recorded. The target may still run: see EndTarget.
TargetRecord RunOnTarget(const std::wstring& launcher, const std::wstring& arguments,
                         const std::wstring& mode, LauncherRun& run)
{
    std::wstring recordPath = PrepareTarget(mode);
    run = RunProgram(launcher, Quoted(launcher) + L" " + arguments);
    TargetRecord record = ReadTargetRecord(recordPath);
    ExpectQuietEnd(run);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_TRUE(record.found);
    return record;
}

// The same for a target that makes no windows, which is ended at once.
TargetRecord LaunchTarget(const std::wstring& launcher, const std::wstring& arguments)
{
    LauncherRun run;
    TargetRecord record = RunOnTarget(launcher, arguments, L"", run);
    EndTarget(record);
    return record;
}

// The target must get exactly `target`, a space and `expected`.
void ExpectLaunched(const std::wstring& launcher, const std::wstring& target,
                    const std::wstring& arguments, const std::wstring& expected)
{
    TargetRecord record = LaunchTarget(launcher, target + L" " + arguments);
    std::wstring wanted = target + L" " + expected;
    if (wanted.size() < 1000) {
        EXPECT_EQ(record.commandLine, wanted);
        return;
    }
    // Too long to print whole: say where the two part.
    size_t same = 0;
    while (same < wanted.size() && same < record.commandLine.size() &&
           wanted[same] == record.commandLine[same])
        same++;
    EXPECT_TRUE(record.commandLine == wanted)
        << "got " << record.commandLine.size() << " characters, wanted " << wanted.size()
        << "; they differ from character " << same;
}

// The launcher, given `arguments`, starts the launch command line
// `launched`; that start fails, and the launcher must show the system's
// text for the failure.
void ExpectStartFailure(const std::wstring& arguments, const std::wstring& launched)
{
    DWORD code = StartError(launched);
    ASSERT_NE(code, (DWORD)ERROR_SUCCESS);
    LauncherRun run = RunLauncher(arguments);
    ExpectQuietEnd(run);
    ExpectOneBox(run, L"warning", ExpectedErrorText(code));
}

// --- No target: the usage message --------------------------------------

TEST(Usage, NoArgumentsShowsUsage)
{
    LauncherRun run = RunProgram(LauncherPath, Quoted(LauncherPath));
    ExpectQuietEnd(run);
    ExpectOneBox(run, L"information", ExpectedUsage(FileNameOf(LauncherPath)));
}

TEST(Usage, OnlyEmptyArgumentsShowUsage)
{
    LauncherRun run = RunLauncher(L"\"\" \"\"  \"\"");
    ExpectQuietEnd(run);
    ExpectOneBox(run, L"information", ExpectedUsage(FileNameOf(LauncherPath)));
}

TEST(Usage, CopyShowsItsOwnFileName)
{
    std::wstring copy = WorkDir + L"\\On Top Copy.exe";
    ASSERT_TRUE(CopyFileW(LauncherPath.c_str(), copy.c_str(), FALSE));
    LauncherRun run = RunProgram(copy, Quoted(copy));
    ExpectQuietEnd(run);
    ExpectOneBox(run, L"information", ExpectedUsage(L"On Top Copy.exe"));
}

// --- The target cannot be started ---------------------------------------

TEST(StartFailure, MissingTargetShowsSystemText)
{
    std::wstring record = PrepareTarget(L"");
    std::wstring missing = WorkDir + L"\\no-such-program.exe";
    ExpectStartFailure(missing + L" a b", missing + L" a b");
    EXPECT_FALSE(ReadTargetRecord(record).found);
}

// A folder, a file that is no program, a path longer than Windows allows,
// and a command line at Windows's limit of 32,767 characters.
TEST(StartFailure, UnstartableTargetsShowSystemText)
{
    std::wstring notProgram = WorkDir + L"\\not-a-program.exe";
    HANDLE file = CreateFileW(notProgram.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written;
    WriteFile(file, "just text\r\n", 11, &written, NULL);
    CloseHandle(file);
    std::wstring longPath = WorkDir + L"\\" + std::wstring(300, L'x') + L".exe";

    // Own name, a missing target, and as many arguments as still fit.
    std::wstring own = Quoted(LauncherPath);
    std::wstring longest = WorkDir + L"\\missing.exe";
    while (own.size() + 1 + longest.size() + 2 <= 32766)
        longest += L" a";

    const struct {
        const char* what;
        std::wstring arguments;  // as given to the launcher
        std::wstring launched;   // the launch command line it builds
    } cases[] = {
        {"folder", WorkDir, WorkDir + L" "},
        {"not a program", notProgram, notProgram + L" "},
        {"path over 260 characters", longPath + L" x", longPath + L" x"},
        {"longest command line", longest, longest},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ExpectStartFailure(c.arguments, c.launched);
    }
}

// --- Starting the target --------------------------------------------------

struct LaunchCase {
    const wchar_t* arguments;  // after the target on the launcher's command line
    const wchar_t* expected;   // what follows the target and its space
};

TEST(Launch, TargetReceivesProgramSpaceArguments)
{
    const LaunchCase cases[] = {
        {L"", L""},
        {L"one", L"one"},
        {L"a \"b c\"  d\t\"\"  e", L"a \"b c\" d e"},
        {L"wordpad.exe \"C:\\Some Folder\\Document.rtf\"",
         L"wordpad.exe \"C:\\Some Folder\\Document.rtf\""},
        {L"\"\ttab\" x\"y z\"", L"tab \"xy z\""},
        {L"\x00e9t\x00e9 \x65e5\x672c", L"\x00e9t\x00e9 \x65e5\x672c"},
    };
    for (const LaunchCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "arguments [" << c.arguments << "]");
        ExpectLaunched(LauncherPath, TargetPath, c.arguments, c.expected);
    }
}

TEST(Launch, TargetPathWithSpaceArrivesQuoted)
{
    std::wstring target = CopyOf(TargetPath, WorkDir + L"\\with space", L"target copy.exe");
    ASSERT_FALSE(target.empty());
    TargetRecord record = LaunchTarget(LauncherPath, Quoted(target) + L" x");
    EXPECT_EQ(record.commandLine, Quoted(target) + L" x");
    EXPECT_EQ(record.module, target);
}

// The classic trap: with "...\Program Files\app.exe" unquoted, the system
// would try "...\Program.exe" first.
TEST(Launch, DecoyAtTheShorterPathIsNotStarted)
{
    std::wstring trap = WorkDir + L"\\trap";
    std::wstring folder = trap + L"\\Program Files";
    CreateDirectoryW(trap.c_str(), NULL);
    CreateDirectoryW(folder.c_str(), NULL);
    std::wstring decoy = trap + L"\\Program.exe";
    std::wstring target = folder + L"\\target.exe";
    ASSERT_TRUE(CopyFileW(TargetPath.c_str(), decoy.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(TargetPath.c_str(), target.c_str(), FALSE));

    TargetRecord record = LaunchTarget(LauncherPath, Quoted(target) + L" arg");
    EXPECT_EQ(record.module, target);
}

// --- Raising the target's windows -----------------------------------------

bool IsTopmost(HWND window)
{
    return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

LRESULT CALLBACK ObserverProc(HWND window, UINT message, WPARAM w, LPARAM l)
{
    return DefWindowProcW(window, message, w, l);
}

// An ordinary window of the test's own that holds the focus while the
// launcher runs.
HWND MakeForegroundWindow()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ObserverProc;
    wc.hInstance = GetModuleHandleW(NULL);
    wc.lpszClassName = L"QuillborneTestObserver";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"observer", WS_OVERLAPPEDWINDOW, 700, 600,
                                  300, 200, NULL, NULL, wc.hInstance, NULL);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    MSG msg;
    for (int i = 0; i < 50 && GetForegroundWindow() != window; i++) {
        while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        Sleep(20);
    }
    return window;
}

TEST(Windows, PrimaryThreadWindowsBecomeTopmostUntouched)
{
    HWND observer = MakeForegroundWindow();
    ASSERT_EQ(GetForegroundWindow(), observer);

    LauncherRun run;
    TargetRecord record = RunOnTarget(LauncherPath, TargetPath, L"windows=3 thread-window", run);
    ASSERT_TRUE(record.found);
    ASSERT_EQ(record.windows.size(), 3u);
    ASSERT_EQ(record.otherThreadWindows.size(), 1u);

    for (const auto& [window, before] : record.windows) {
        RECT now;
        GetWindowRect(window, &now);
        EXPECT_TRUE(IsTopmost(window)) << "window " << window;
        EXPECT_TRUE(EqualRect(&now, &before)) << "window " << window << " moved or resized";
        EXPECT_NE(GetForegroundWindow(), window);
    }
    EXPECT_FALSE(IsTopmost(record.otherThreadWindows[0]));
    EXPECT_EQ(GetForegroundWindow(), observer);
    EXPECT_FALSE(IsTopmost(observer));

    EndTarget(record);
    DestroyWindow(observer);
}

TEST(Windows, PrimaryThreadWithoutWindowsRaisesNothing)
{
    LauncherRun run;
    TargetRecord record = RunOnTarget(LauncherPath, TargetPath, L"thread-window", run);
    ASSERT_TRUE(record.found);
    EXPECT_TRUE(record.windows.empty());
    ASSERT_EQ(record.otherThreadWindows.size(), 1u);
    EXPECT_FALSE(IsTopmost(record.otherThreadWindows[0]));
    EndTarget(record);
}

// --- Waiting for the target -----------------------------------------------

FILETIME StartTimeOf(DWORD pid)
{
    FILETIME created = {}, exited, kernel, user;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (process) {
        GetProcessTimes(process, &created, &exited, &kernel, &user);
        CloseHandle(process);
    }
    return created;
}

TEST(Timing, TargetReadyAtOnceDoesNotWaitOut5000Ms)
{
    LauncherRun run;
    TargetRecord record = RunOnTarget(LauncherPath, TargetPath, L"windows=1", run);
    EndTarget(record);
    ASSERT_TRUE(record.found);
    long long afterReady = MsBetween(record.recordedTime, run.endTime);
    printf("launcher ended %lld ms after the target was ready\n", afterReady);
    EXPECT_LT(afterReady, 2500);
}

// A target that shows its window and then reads no input for longer than
// the launcher waits: the launcher ends after the wait, without waiting for
// the target, and the window goes on top once the target reads its input.
TEST(Timing, TargetNotReadyDelaysAbout5000Ms)
{
    const DWORD busyMs = 12000;
    wchar_t mode[64];
    swprintf(mode, 64, L"windows=1 busy=%lu", busyMs);
    LauncherRun run;
    TargetRecord record = RunOnTarget(LauncherPath, TargetPath, mode, run);
    ASSERT_TRUE(record.found);
    FILETIME started = StartTimeOf(record.pid);
    long long afterStart = MsBetween(started, run.endTime);
    printf("launcher ended %lld ms after the target started\n", afterStart);
    EXPECT_GE(afterStart, 4950);
    EXPECT_LT(afterStart, 7500);

    ASSERT_EQ(record.windows.size(), 1u);
    HWND window = record.windows[0].first;
    bool topmost = false;
    for (int i = 0; i < 200 && !topmost; i++) {
        Sleep(100);
        topmost = IsTopmost(window);
    }
    EXPECT_TRUE(topmost) << "not on top once the target reads its input";
    EndTarget(record);
}

}

// --- Limits of the command line -------------------------------------------

namespace {

// At Windows's limit: 32,767 characters with the terminating NUL. The
// target must see what it sees when started directly with the launch
// command line.
TEST(Limits, LongestCommandLineReachesTheTarget)
{
    std::wstring arguments;
    size_t fixed = Quoted(LauncherPath).size() + 1 + TargetPath.size() + 1;
    while (fixed + arguments.size() + 2 < 32766)
        arguments += L"a ";
    arguments.append(32766 - fixed - arguments.size(), L'z');
    ASSERT_EQ(fixed + arguments.size(), 32766u);

    std::wstring directPath = PrepareTarget(L"");
    LauncherRun direct = RunProgram(TargetPath, TargetPath + L" " + arguments);
    TargetRecord seen = ReadTargetRecord(directPath);
    EndTarget(seen);
    ASSERT_TRUE(seen.found);
    ASSERT_GT(seen.commandLine.size(), 32000u);
    printf("started directly with %u characters, the target got %u\n",
           unsigned(TargetPath.size() + 1 + arguments.size()), unsigned(seen.commandLine.size()));

    TargetRecord record = LaunchTarget(LauncherPath, TargetPath + L" " + arguments);
    EXPECT_TRUE(record.commandLine == seen.commandLine)
        << "got " << record.commandLine.size() << " characters, started directly "
        << seen.commandLine.size();
}

TEST(Limits, OnlyQuotesShowUsage)
{
    for (const wchar_t* line : {L"\"\"\"\"\"\"", L"\"", L"\"\" \"\"\"\"  \"\""}) {
        SCOPED_TRACE(testing::Message() << "command line [" << line << "]");
        LauncherRun run = RunProgram(LauncherPath, line);
        ExpectQuietEnd(run);
        ExpectOneBox(run, L"information", ExpectedUsage(FileNameOf(LauncherPath)));
    }
    LauncherRun run = RunLauncher(L"\"");
    ExpectQuietEnd(run);
    ExpectOneBox(run, L"information", ExpectedUsage(FileNameOf(LauncherPath)));
}

TEST(Limits, SurrogatesReachTheTargetUnchanged)
{
    // U+1D4AC (a pair) in the folder and file names, lone halves in the
    // arguments.
    std::wstring target = CopyOf(TargetPath, WorkDir + L"\\\xD835\xDCAC dir",
                                 L"t\xD835\xDCAC.exe");
    ASSERT_FALSE(target.empty());
    std::wstring arguments = L"\xD800 x\xDC00y \xD83D\xDE00 \"\xDBFF\xDFFF \xDFFF\"";
    ExpectLaunched(LauncherPath, Quoted(target), arguments, arguments);
}

TEST(Limits, LoneSurrogateInTheTargetPath)
{
    std::wstring target = CopyOf(TargetPath, WorkDir + L"\\lone", L"t\xD800u.exe");
    if (target.empty()) {
        // The file system cannot hold such a name: then the launcher must
        // say what the system says about it.
        printf("no file can have that name here; checking the message instead\n");
        std::wstring missing = WorkDir + L"\\lone\\t\xD800u.exe";
        ExpectStartFailure(missing + L" x", missing + L" x");
        return;
    }
    ExpectLaunched(LauncherPath, target, L"x", L"x");
}

TEST(Limits, TargetPathOver260Characters)
{
    std::wstring folder = WorkDir + L"\\deep";
    CreateDirectoryW(folder.c_str(), NULL);
    while (folder.size() < 270) {
        folder += L"\\" + std::wstring(40, L'd');
        CreateDirectoryW(folder.c_str(), NULL);
    }
    std::wstring target = folder + L"\\target.exe";
    CopyFileW(TargetPath.c_str(), target.c_str(), FALSE);
    ASSERT_GT(target.size(), 260u);

    DWORD code = StartError(target + L" x");
    printf("a program at a path of %u characters %s\n", unsigned(target.size()),
           code == ERROR_SUCCESS ? "starts" : "does not start");
    if (code == ERROR_SUCCESS)
        ExpectLaunched(LauncherPath, target, L"x", L"x");
    else
        ExpectStartFailure(target + L" x", target + L" x");
}

TEST(Limits, TargetThatEndsAtOnceIsNotWaitedFor)
{
    LauncherRun run;
    TargetRecord record = RunOnTarget(LauncherPath, TargetPath, L"exit", run);
    ASSERT_TRUE(record.found);
    long long afterEnd = MsBetween(record.recordedTime, run.endTime);
    printf("launcher ended %lld ms after the target\n", afterEnd);
    EXPECT_LT(afterEnd, 2500);
}

TEST(Limits, LauncherInAFolderWithSpacesAndAccents)
{
    std::wstring launcher =
        CopyOf(LauncherPath, WorkDir + L"\\Dossier \x00c9t\x00e9 \x00fc", L"Quillborne.exe");
    ASSERT_FALSE(launcher.empty());
    ExpectLaunched(launcher, TargetPath, L"\"a b\" c", L"\"a b\" c");

    LauncherRun run = RunProgram(launcher, Quoted(launcher));
    ExpectQuietEnd(run);
    ExpectOneBox(run, L"information", ExpectedUsage(L"Quillborne.exe"));
}

}
