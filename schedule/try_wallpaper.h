// Trying a picture as the desktop wallpaper until the user says enough.
#pragma once
#include <windows.h>

// Installs path, tiled or centred, waits for the user to close "Terminer !", then
// puts the desktop's wallpaper and tiling back as they were. Always TRUE.
BOOL TryWallpaper(const char* path, BOOL tile);
