// The program's global objects, constructed in this order before the entry runs.
#include "gameapp.h"
#include "graphics/graphics.h"
#include "sound/musicplayer.h"
#include "sound/soundplayer.h"

GameApp gameApp;
SceneHost& sceneHost = gameApp;
Graphics graphics;
MusicPlayer musicPlayer;
SoundPlayer soundPlayer;
