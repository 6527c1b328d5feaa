// The usage message, as a user must see it, for a launcher file named `n`.
#pragma once

#include <string>

inline std::wstring ExpectedUsage(const std::wstring& n)
{
    return L"To use Quillborne, additional information must be provided on the command "
           L"line.\r\n\r\nUsage:\r\n  " +
           n + L" program [arguments]\r\n\r\nExamples:\r\n  " + n +
           L" C:\\Windows\\notepad.exe\r\n  " + n +
           L" wordpad.exe \"C:\\Some Folder\\Document.rtf\"";
}
