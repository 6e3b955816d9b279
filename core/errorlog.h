// The error log ".\Error.txt": one timestamped two-line entry per failure, appended in text mode.
#pragma once

// Appends "[time stamp]" and text as two lines. False when the file cannot be opened.
bool WriteErrorLog(const char* text);
// As WriteErrorLog with the text formatted by format; a result longer than 255 bytes is cut there
// (never in the middle of a double-byte character).
bool WriteErrorLogFormat(const char* format, ...);
