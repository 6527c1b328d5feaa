// End-to-end tests of Quillborne.exe, run under Windows or Wine:
//   launcher_e2e.exe LAUNCHER [gtest options]
// LAUNCHER is the path of the Quillborne.exe to test; a Unix path is taken
// as Wine's drive Z:.
#include <gtest/gtest.h>

#include "harness.h"

static std::wstring WindowsPath(std::wstring path)
{
    if (!path.empty() && path[0] == L'/')
        path = L"Z:" + path;
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

static std::wstring Directory(const std::wstring& path)
{
    return path.substr(0, path.find_last_of(L'\\'));
}

int wmain(int argc, wchar_t** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        fwprintf(stderr, L"usage: launcher_e2e LAUNCHER [gtest options]\n");
        return 2;
    }
    LauncherPath = WindowsPath(argv[1]);

    wchar_t own[MAX_PATH];
    GetModuleFileNameW(NULL, own, MAX_PATH);
    std::wstring here = Directory(own);
    TargetPath = here + L"\\target.exe";
    WorkDir = here + L"\\e2e-work";
    CreateDirectoryW(WorkDir.c_str(), NULL);
    return RUN_ALL_TESTS();
}
