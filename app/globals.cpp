// The program's global objects, constructed in this order before the entry runs.
#include "gameapp.h"
#include "graphics/graphics.h"

GameApp gameApp;
Graphics graphics;
