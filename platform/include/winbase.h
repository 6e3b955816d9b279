// Kernel calls of the subset: last error, module path, folders and the current directory.
//
// Paths are in Windows form: drive Z: is the Linux root, '\' separates folders, other drives do
// not exist. The game's fopen, remove and rename take the same paths; fopen without 'b' is
// Windows text mode (CR LF written, CR LF or LF read as one break, Ctrl-Z ends the file).
#pragma once

#include "windef.h"

// Error codes that the layer's calls leave for GetLastError, as Windows numbers them.
#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_INVALID_DATA 13L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_INVALID_NAME 123L
#define ERROR_ALREADY_EXISTS 183L
#define ERROR_NOT_ENOUGH_QUOTA 1816L
#define ERROR_FILENAME_EXCED_RANGE 206L
#define ERROR_INVALID_WINDOW_HANDLE 1400L
#define ERROR_CANNOT_FIND_WND_CLASS 1407L
#define ERROR_CLASS_ALREADY_EXISTS 1410L
#define ERROR_CLASS_DOES_NOT_EXIST 1411L
#define ERROR_CLASS_HAS_WINDOWS 1412L
#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_RESOURCE_TYPE_NOT_FOUND 1813L
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814L

DWORD WINAPI GetLastError(void);
void WINAPI SetLastError(DWORD errorCode);

// The executable's full path in Windows form (Z:\...). A null module means the executable.
DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);

DWORD WINAPI GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer);
BOOL WINAPI SetCurrentDirectoryA(LPCSTR pathName);

// A per-user folder that stands for the Windows directory, "<data home>\<program>\Windows", made
// on first use with the program's folder private (mode 0700). Fails (0, ERROR_ACCESS_DENIED) when
// either folder is a link, is not the user's own, or can be written by others: a folder in a
// shared place that someone else made must not receive the program's files.
UINT WINAPI GetWindowsDirectoryA(LPSTR buffer, UINT size);

#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define FILE_ATTRIBUTE_REPARSE_POINT 0x00000400
// The attributes of a path itself, not of what a link points at: a symbolic link is a reparse
// point (with FILE_ATTRIBUTE_DIRECTORY when it points at a folder, as on Windows); anything that
// is neither a folder nor a regular file (a FIFO, a device) is FILE_ATTRIBUTE_NORMAL too.
DWORD WINAPI GetFileAttributesA(LPCSTR fileName);

// Creates one folder; its parent must exist. Fails with ERROR_ALREADY_EXISTS when it does.
BOOL WINAPI CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES securityAttributes);

int WINAPI lstrlenA(LPCSTR string);

// Text in the ANSI code page (932) to wide characters. File names pass through the layer as
// bytes and Linux names are UTF-8, so text that is valid UTF-8 is read as UTF-8 and anything
// else as code page 932; ASCII is the same either way.
#define CP_ACP 0
#define MB_PRECOMPOSED 0x00000001
int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length, wchar_t* wide,
                               int wideLength);

// Libraries and resources: the Linux program has neither DLLs nor resources of its own, so
// LoadLibraryA fails with ERROR_MOD_NOT_FOUND and FindResourceA with ERROR_RESOURCE_TYPE_NOT_FOUND.
HMODULE WINAPI LoadLibraryA(LPCSTR fileName);
BOOL WINAPI FreeLibrary(HMODULE module);
// No module can be named here: null for every name.
HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName);
typedef INT_PTR(WINAPI* FARPROC)();
FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName);
HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC resource);
LPVOID WINAPI LockResource(HGLOBAL data);
BOOL WINAPI FreeResource(HGLOBAL data);
