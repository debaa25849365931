// Trying a picture as the desktop wallpaper until the user says enough.
#pragma once
#include <windows.h>

// Installs path, tiled or centred, waits for the user to close "Terminer !", then
// puts the desktop's wallpaper and tiling back as they were. Always TRUE.
BOOL TryWallpaper(const char* path, BOOL tile);
// True while "Terminer !" is open.
bool DesktopTestRunning();
// Puts back now what the running test would put back when its box closes (the
// session is ending); the box's closing then puts back nothing more.
void EndDesktopTest();
