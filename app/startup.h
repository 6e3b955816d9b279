// StartupScene and the helpers it uses to find the program's folder, data and images.
#pragma once

// Scene 0: prepares the window, the data folder and the shared state, then switches to scene 1.
void StartupScene();
// Makes the executable's folder the current directory; always true.
bool EnterExecutableDirectory();
// True when path can be opened for reading.
bool FileExists(const char* path);
