#include "messages.h"

const wchar_t AppTitle[] = L"Quillborne";

Text FileNamePart(const Text& path)
{
    size_t separator = path.find_last_of(L"\\:");
    if (separator == Text::npos)
        return path;
    return Text(path.data() + separator + 1, path.size() - separator - 1);
}

Text UsageText(const Text& ownPath)
{
    Text name = FileNamePart(ownPath);
    Text text = L"To use Quillborne, additional information must be provided on the command line.\r\n\r\nUsage:\r\n  ";
    text += name;
    text += L" program [arguments]";
    text += L"\r\n\r\n";
    text += L"Examples:";
    text += L"\r\n";
    text += L"  ";
    text += name;
    text += L" C:\\Windows\\notepad.exe";
    text += L"\r\n";
    text += L"  ";
    text += name;
    text += L" wordpad.exe \"C:\\Some Folder\\Document.rtf\"";
    return text;
}

Text TrimErrorText(const wchar_t* text, size_t length)
{
    while (length > 0 && (text[length - 1] <= 0x20 || text[length - 1] == L'.'))
        length--;
    return Text(text, length);
}
