#pragma once
// File-name helpers. Folders end with the platform's path delimiter when a
// helper says so; on Linux the delimiter is '/', on Windows '\'.

#include "platform/core/AnsiString.h"

constexpr char PathDelim =
#ifdef _WIN32
    '\\';
#else
    '/';
#endif

AnsiString ExtractFilePath(const AnsiString& fileName); // with the final delimiter
AnsiString ExtractFileName(const AnsiString& fileName);
AnsiString ExtractFileExt(const AnsiString& fileName);
AnsiString IncludeTrailingPathDelimiter(const AnsiString& path);
// Backslashes and slashes both separate folders; the result uses PathDelim.
AnsiString NormalizePath(const AnsiString& path);
AnsiString ExpandFileName(const AnsiString& fileName); // absolute, "." and ".." resolved
// The network form of a file name: on Windows the UNC form of a mapped drive,
// elsewhere the same as ExpandFileName.
AnsiString ExpandUNCFileName(const AnsiString& fileName);
bool ForceDirectories(const AnsiString& dir); // false when it cannot be created
bool DirectoryExists(const AnsiString& dir);
bool FileExistsOnDisk(const AnsiString& fileName);
// The running program's file, absolute.
AnsiString ProgramFileName();
