// Installing today's picture as the desktop wallpaper.
#pragma once
#include "framework/regkey.h"
#include "framework/systext.h"

constexpr int APPLY_STARTUP = 0;   // at start: install today's picture, if any
constexpr int APPLY_REFRESH = 1;   // install the desktop's current wallpaper again
constexpr int APPLY_SAVED = 2;     // after a save: tiling first, then today's picture

// 1 when an every-day picture is stored; set by every ApplyTodaysWallpaper.
extern int g_everyDayActive;

extern const char DESKTOP_KEY[];          // "Control Panel\desktop"
extern const char VALUE_WALLPAPER[];      // "Wallpaper"
extern const char VALUE_TILE_WALLPAPER[]; // "TileWallpaper"
// "WallpaperStyle": since Windows 7 the desktop places its picture by this value
// with "TileWallpaper"; "0" centres or tiles, others stretch or fill.
extern const char VALUE_WALLPAPER_STYLE[];
// Writes "TileWallpaper" and, so that later desktops honour it, "WallpaperStyle" "0".
void SetDesktopTiling(const CRegKey& desktop, const char* tile);

// Works out today's picture from the stored settings and installs it. Always TRUE.
BOOL ApplyTodaysWallpaper(int mode);
// The longest path the system's wallpaper call takes whole.
constexpr int WALLPAPER_PATH_CHARS = 255;   // a longer one is stored cut short
bool FitsWallpaperCall(const char* path);
bool FitsWallpaperCall(const CSystemText& path);
// The system's wallpaper call, storing the path and telling running programs;
// a longer path is not handed to it. A path of the program's own settings is
// Windows-1252; the desktop's own value comes back in whatever script it has.
void SetDesktopWallpaper(const char* path);
void SetDesktopWallpaper(const CSystemText& path);
// The desktop's "Wallpaper" as the system keeps it.
CRegValue DesktopWallpaperValue();
