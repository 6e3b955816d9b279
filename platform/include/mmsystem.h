// The multimedia timer: milliseconds since the system started, wrapping after 2^32.
#pragma once

#include "windef.h"

DWORD WINAPI timeGetTime(void);
