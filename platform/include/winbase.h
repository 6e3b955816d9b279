// Kernel calls of the subset: last error, module path, folders and the current directory.
//
// Paths are in Windows form: drive Z: is the Linux root, '\' separates folders, other drives do
// not exist. The game's fopen, remove and rename take the same paths; fopen without 'b' is
// Windows text mode (CR LF written, CR LF or LF read as one break, Ctrl-Z ends the file). remove
// refuses a file the program holds open, as Windows' does; rename replaces a file already at the
// new name, which Windows' refuses (MoveFileExA says which is meant). A write
// the program's own folder refuses goes to the same path under the per-user "VirtualStore"
// folder, and the name then opens (and is removed) there, as Windows virtualizes old programs'
// writes into protected folders.
#pragma once

#include "windef.h"

// Error codes that the layer's calls leave for GetLastError, as Windows numbers them.
#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_NOT_SAME_DEVICE 17L
#define ERROR_SHARING_VIOLATION 32L
#define ERROR_DISK_FULL 112L
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
#define ERROR_NO_MORE_FILES 18L

DWORD WINAPI GetLastError(void);
DWORD WINAPI GetCurrentProcessId(void);
void WINAPI SetLastError(DWORD errorCode);

// The executable's full path in Windows form (Z:\...). A null module means the executable.
DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);

DWORD WINAPI GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer);

// Finding files: the names in a folder that match the last part of a path, where '*' stands for
// any run of characters and '?' for one, matched without regard to case, as Windows matches long
// names (the layer has no short 8.3 names to match as well). The attributes are those
// GetFileAttributesA gives; the times are the file's status change, access and modification.
typedef struct _WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    CHAR cFileName[MAX_PATH];
    CHAR cAlternateFileName[14];
} WIN32_FIND_DATAA, *LPWIN32_FIND_DATAA;
HANDLE WINAPI FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA findData);
BOOL WINAPI FindNextFileA(HANDLE find, LPWIN32_FIND_DATAA findData);
BOOL WINAPI FindClose(HANDLE find);
void WINAPI GetSystemTimeAsFileTime(LPFILETIME time);
BOOL WINAPI SetCurrentDirectoryA(LPCSTR pathName);

// A per-user folder that stands for the Windows directory, "<data home>\<program>\Windows", made
// on first use and kept private (mode 0700: a folder of the user's own with wider bits is
// tightened). When either folder is a link or someone else's, or a write in it failed during this
// run (a full disk), the answer is "<runtime folder>\<program>\Windows" ($XDG_RUNTIME_DIR, or
// /tmp/<program>-<uid>) under the same rules. Fails (0, ERROR_ACCESS_DENIED) when neither can be
// used: a folder in a shared place that someone else made must not receive the program's files.
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

// Renames a file in one step; with MOVEFILE_REPLACE_EXISTING over a file already at the new name
// (never over a folder), else failing with ERROR_ALREADY_EXISTS. A file the program holds open
// through fopen can be neither moved nor replaced (ERROR_SHARING_VIOLATION), as Windows' C library
// opens files without FILE_SHARE_DELETE; only this process's open files are known. Other flags
// are not supported (ERROR_INVALID_PARAMETER).
#define MOVEFILE_REPLACE_EXISTING 0x00000001
BOOL WINAPI MoveFileExA(LPCSTR existingFileName, LPCSTR newFileName, DWORD flags);

// The user's own temporary folder, ending in '\': "<runtime folder>\<program>\Temp\", made
// private on first use (the runtime folder as for GetWindowsDirectoryA's fallback). The length
// copied, or the size needed with the terminator when the buffer is too small; 0 with
// ERROR_ACCESS_DENIED when the folder cannot be used.
DWORD WINAPI GetTempPathA(DWORD bufferLength, LPSTR buffer);

int WINAPI lstrlenA(LPCSTR string);

// The ANSI code page is 932 (Shift-JIS), the game's. Paths at the API are in it: the layer walks
// them as double-byte text (a trail byte 0x5C is no separator) and gives Linux UTF-8 names. Names
// the system hands out (folders, the module path) are UTF-8 already and pass through unchanged, so
// text that is valid UTF-8 is taken as UTF-8 and anything else as code page 932 (ASCII is the same
// either way; a code page 932 name that happens to be valid UTF-8 is taken as UTF-8). Paths are
// read one name at a time, and a name that is no UTF-8 but exists on disk by its very bytes (a
// Latin-1 folder, raw code page 932 bytes) is kept as it is.
#define CP_ACP 0
#define CP_UTF8 65001
#define MB_PRECOMPOSED 0x00000001
#define MB_ERR_INVALID_CHARS 0x00000008
#define WC_NO_BEST_FIT_CHARS 0x00000400
#define ERROR_NO_UNICODE_TRANSLATION 1113L
// CP_UTF8 decodes strict UTF-8 (with MB_ERR_INVALID_CHARS a malformed byte fails the call with
// ERROR_NO_UNICODE_TRANSLATION); CP_ACP and 932 decode as described above, except that a path to
// a name on disk that is no UTF-8 keeps its bytes above 0x7F as U+DC80 to U+DCFF (as Linux tools
// escape such names), which WideCharToMultiByte gives back, so that the wide path leads to it.
int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length, wchar_t* wide,
                               int wideLength);
// To code page 932 (CP_ACP, 932) or UTF-8 (CP_UTF8). A character code page 932 lacks becomes '?'
// and sets *usedDefaultChar; the default character itself cannot be changed.
int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, const wchar_t* wide, int length,
                               LPSTR text, int textLength, LPCSTR defaultChar,
                               BOOL* usedDefaultChar);
// True for a byte that starts a double-byte character in code page 932 (CP_ACP is 932 here).
BOOL WINAPI IsDBCSLeadByteEx(UINT codePage, BYTE byte);
// The console's code page: UTF-8 on Linux terminals.
UINT WINAPI GetConsoleOutputCP(void);

// Libraries and resources: the Linux program has neither DLLs nor resources of its own, so
// LoadLibraryA fails with ERROR_MOD_NOT_FOUND and FindResourceA with ERROR_RESOURCE_TYPE_NOT_FOUND.
HMODULE WINAPI LoadLibraryA(LPCSTR fileName);
// Takes a folder out of (an empty string) or into the search for DLLs loaded by name; with no DLL
// ever loaded here there is nothing to change, and it succeeds.
BOOL WINAPI SetDllDirectoryA(LPCSTR pathName);
// No module can be named here: null for every name.
HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName);
HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC resource);
LPVOID WINAPI LockResource(HGLOBAL data);
BOOL WINAPI FreeResource(HGLOBAL data);
