// The kernel's files and text inside the layer: Windows paths over Linux ones, code page 932.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "windows.h"

namespace Layer {

// The program's instance handle, which GetModuleHandleA(NULL) answers.
HINSTANCE ProgramInstance();

// Writes one line to stderr, once per call name, when flags holds bits outside supported: the
// layer then goes on as if they were not there.
void NoteUnsupportedFlags(const char* call, unsigned long flags, unsigned long supported);

// The Win32 error code that stands for a failed Linux call's errno.
DWORD ErrorFromErrno(int error);

// Paths: Windows form at the API, Linux form underneath.
std::string ToLinuxPath(const char* windowsPath);
std::string ToWindowsPath(const std::string& linuxPath);
// Copies text into a caller's buffer with the Win32 length rules: returns the length copied, or the
// size needed (terminator included) when the buffer is too small.
DWORD CopyOutString(const std::string& text, char* buffer, DWORD size);

// The millisecond clock timeGetTime answers, read by the layer itself (which does not count as the
// program's reading).
// The monotonic clock in nanoseconds: the one reading every clock of the layer is made from.
int64_t MonotonicNanoseconds();
DWORD ClockNow();
// The program's first timeGetTime reading since the last call (false when it read none); the next
// turn of its loop starts counting anew.
bool TakeTurnReading(DWORD* reading);
// The user's home folder ($HOME, else the password database's).
std::string HomeFolder();
// The program's own name for its per-user files: its executable's file name in lower case,
// without an extension ("Quellmark" gives "quellmark").
std::string ProgramName();
// The folder name inside the program's per-user folder, or inside the fallback per-user folder
// when the first cannot be used; empty when neither can. With create, both folders are made (and
// made private); without, the answer may name a folder that does not exist yet.
std::string UserSubfolder(const char* name, bool create);
// Files the program holds open through fopen, which Windows' C library opens without
// FILE_SHARE_DELETE: such a file can be neither deleted nor replaced nor moved while it is open.
void NoteOpened(FILE* file);
void NoteClosed(FILE* file);
bool IsHeldOpen(const std::string& linuxPath);
// The user's own temporary folder, "<runtime folder>/<program>/Temp", made private; empty when it
// cannot be used.
std::string PrivateTempFolder();
// Where a write to linuxPath goes when the program's own folder refuses it: the same path under
// the per-user "VirtualStore" folder, as Windows' file virtualization does. Empty for a path
// outside the program's folder. With create, the folders on the way are made.
std::string VirtualStorePath(const std::string& linuxPath, bool create);

// Code page 932 text to UTF-8 for what the layer shows (titles, boxes); invalid bytes become '?'.
std::string Cp932ToUtf8(const char* text);
// Wide text (up to capacity characters or a zero) as UTF-8.
// U+DC80 to U+DCFF give back the raw bytes 0x80 to 0xFF that MultiByteToWideChar kept of a path
// to a name on disk that is no UTF-8.
std::string WideToUtf8(const wchar_t* wide, size_t capacity);
// True for a byte that starts a double-byte character of code page 932.
bool IsCp932Lead(unsigned char byte);
bool IsUtf8(const std::string& text);
// Text as UTF-8: unchanged when it is valid UTF-8 already, else read as code page 932.
std::string AnsiToUtf8(const std::string& text);

} // namespace Layer
