// The game's songs, made at build time.
#pragma once

#include <string>

// Writes Title.mid, Stage.mid, Clear.mid, Ending.mid and Gameover.mid into folder.
bool WriteSongs(const std::string& folder);
