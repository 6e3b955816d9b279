// The program's global objects, constructed in this order before the entry runs.
#include "gameapp.h"

GameApp gameApp;
