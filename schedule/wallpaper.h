// Installing today's picture as the desktop wallpaper.
#pragma once
#include "framework/regkey.h"
#include "framework/systext.h"

// At start (and on a new day): today's picture, tiling first, if there is one.
constexpr int APPLY_STARTUP = 0;
constexpr int APPLY_REFRESH = 1;   // install the desktop's current wallpaper again
// After a save: today's picture, tiling first, else the current wallpaper again.
constexpr int APPLY_SAVED = 2;

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
// When the local date is no longer the one for which a start, a save or an
// earlier call applied the schedule (midnight, a night asleep, a clock or zone
// changed), applies it as a start does; TRUE then.
BOOL ApplyOnNewDay();
// The longest path the system's wallpaper call takes whole.
constexpr int WALLPAPER_PATH_CHARS = 255;   // a longer one is stored cut short
bool FitsWallpaperCall(const char* path);
bool FitsWallpaperCall(const CSystemText& path);
// The system's wallpaper call, storing the path and telling running programs;
// a longer path is not handed to it. A path of the program's own settings is
// Windows-1252; the desktop's own value comes back in whatever script it has.
void SetDesktopWallpaper(const char* path);
void SetDesktopWallpaper(const CSystemText& path);
// A desktop picture that a wallpaper call rewrites (one in Windows' own Themes
// folder, TranscodedWallpaper above all) or, with bOwnCopies, one of Mirval's
// copies, which a job may write over while another picture is shown, copied so
// that it can be put back pixel for pixel: the copy's path then; an empty text
// for any other picture, or without a copy.
CString KeepDesktopPicture(const CSystemText& wallpaper, bool bOwnCopies);
// The desktop's "Wallpaper" as the system keeps it.
CRegValue DesktopWallpaperValue();
