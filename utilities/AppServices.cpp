#include "utilities/AppServices.h"

#include "platform/core/Application.h"
#include "platform/core/Encoding.h"
#include "platform/core/Files.h"

#include <cstdio>

#ifndef _WIN32
#include <sys/stat.h>
#endif

AnsiString AppPath() {
    return IncludeTrailingPathDelimiter(ExtractFilePath(Application->ExeName()));
}

int AskUser(const AnsiString& message, bool secondDefault, int flags, const AnsiString& caption) {
    // Or-ed rather than added, so that flags already naming the second button stay valid.
    if (secondDefault) flags |= MB_DEFBUTTON2;
    return Application->MessageBox(message, caption.IsEmpty() ? Application->Title() : caption,
                                   flags);
}

bool FileExists(const char* path) {
    if (!path || !*path) return false;
    // Library code builds "Folder\file" paths on every system.
    const AnsiString name = NormalizePath(path);
#ifdef _WIN32
    const std::u16string wide = Cp1252ToUtf16(name.view());
    FILE* file = _wfopen(reinterpret_cast<const wchar_t*>(wide.c_str()), L"rb");
#else
    FILE* file = std::fopen(Cp1252ToUtf8(name.view()).c_str(), "rb");
#endif
    if (!file) return false;
#ifdef _WIN32
    // Windows refuses to open a folder as a file.
    const bool isFile = true;
#else
    // Some systems open a folder for reading; it is still not a file.
    struct stat info {};
    const bool isFile = fstat(fileno(file), &info) == 0 && !S_ISDIR(info.st_mode);
#endif
    std::fclose(file);
    return isFile;
}
