// The game's pictures: loading them, and showing a frame (and bringing lost surfaces back).
#pragma once

// The four images every scene draws from, into the game state; black is transparent in three.
void LoadGameImages();
// The title picture (the title and, below it, the strip that waves), black transparent.
void LoadTitleImage();
// Shows the frame (Present). When the display's surfaces were lost (a locked screen, a mode
// change) it restores them and loads the pictures again, so that the next frame shows right; a
// restore the display does not allow yet is tried again with the next frame.
void PresentFrame();
