// GDI calls of the subset: stock objects.
#pragma once

#include "windef.h"

#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5

HGDIOBJ WINAPI GetStockObject(int index);
