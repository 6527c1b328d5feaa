// Shared pieces of the end-to-end tests: starting the launcher the way a
// shell would, watching the message boxes it shows, and reading what the
// test target recorded.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct MessageBoxSeen {
    std::wstring caption;
    std::wstring text;
    std::wstring icon;  // "information", "warning", "error", "question" or "unknown"
};

struct LauncherRun {
    bool ended = false;        // false: still running after a minute, then killed
    DWORD exitCode = 0;
    FILETIME endTime = {};     // system time at which the launcher was seen to end
    DWORD elapsedMs = 0;
    std::string output;        // whatever it wrote to standard output or error
    std::vector<MessageBoxSeen> boxes;
};

// What the test target wrote about itself.
struct TargetRecord {
    bool found = false;
    DWORD pid = 0;
    std::wstring module;
    std::wstring commandLine;
    std::vector<std::pair<HWND, RECT>> windows;  // on its primary thread
    std::vector<HWND> otherThreadWindows;
    FILETIME recordedTime = {};  // just before it started reading input
};

// Paths, set up by main.
extern std::wstring LauncherPath;
extern std::wstring TargetPath;
extern std::wstring WorkDir;

// Runs `exe` with the whole command line `line`; answers each message box
// with OK after reading it.
LauncherRun RunProgram(const std::wstring& exe, const std::wstring& line);

// Runs the launcher as `"<launcher>" arguments`.
LauncherRun RunLauncher(const std::wstring& arguments);

std::wstring Quoted(const std::wstring& text);

// Prepares the environment the target inherits: its orders and a fresh
// record file. Returns the record's path.
std::wstring PrepareTarget(const std::wstring& mode);
TargetRecord ReadTargetRecord(const std::wstring& path);

// Ends the target that wrote `record`, if it still runs.
void EndTarget(const TargetRecord& record);

// The system's text for `code`, without its trailing blanks and full stops.
std::wstring ExpectedErrorText(DWORD code);

long long MsBetween(const FILETIME& from, const FILETIME& to);
