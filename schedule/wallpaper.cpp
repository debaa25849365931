#include "schedule/wallpaper.h"
#include "app/mirval_app.h"
#include "schedule/photo.h"
#include "schedule/schedule.h"
#include "schedule/todays_picture.h"

int g_everyDayActive = 0;

namespace {
// The local day, as one number, for which the schedule was last applied.
int g_appliedDay = -1;

int DayNumber(const struct tm& t)
{
    return t.tm_year * 1000 + t.tm_yday;
}
}

const char DESKTOP_KEY[] = "Control Panel\\desktop";
const char VALUE_WALLPAPER[] = "Wallpaper";
const char VALUE_TILE_WALLPAPER[] = "TileWallpaper";
const char VALUE_WALLPAPER_STYLE[] = "WallpaperStyle";

void SetDesktopTiling(const CRegKey& desktop, const char* tile)
{
    desktop.SetText(VALUE_TILE_WALLPAPER, tile);
    desktop.SetText(VALUE_WALLPAPER_STYLE, "0");
}

bool FitsWallpaperCall(const char* path)
{
    return lstrlenA(path) <= WALLPAPER_PATH_CHARS;
}

bool FitsWallpaperCall(const CSystemText& path)
{
    return path.size() <= WALLPAPER_PATH_CHARS;
}

// The call's broadcast comes back to our own window, whose handlers may give
// the caller's text a new value while the call still reads it: it is given a
// copy of its own.
void SetDesktopWallpaper(const char* path)
{
    if (!FitsWallpaperCall(path)) return;
    char own[WALLPAPER_PATH_CHARS + 1];
    lstrcpynA(own, path, sizeof own);
    SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, own, SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE);
}

void SetDesktopWallpaper(const CSystemText& path)
{
    const CSystemText own = path;
    if (FitsWallpaperCall(own)) SetDeskWallpaper(own);
}

CString KeepDesktopPicture(const CSystemText& wallpaper, bool ownCopies)
{
    CString path = AnsiPath(wallpaper), kept;
    char lower[MAX_PATH * 2];
    lstrcpynA(lower, path, sizeof lower);
    CharLowerA(lower);
    if (!strstr(lower, "\\microsoft\\windows\\themes\\") && !(ownCopies && IsDesktopCopy(path))) return kept;
    // The copy keeps the picture's extension, if it has one: Windows tells a
    // picture by it where it can.
    const int slash = path.ReverseFind('\\'), dot = path.ReverseFind('.');
    char folder[MAX_PATH];
    if (!CopiesFolder(folder, sizeof folder)) return kept;
    kept = folder;
    kept += "RETOUR";
    if (dot > slash) kept += path.Mid(dot);
    if (!FitsWallpaperCall(kept) || !CopyFileA(path, kept, FALSE)) kept.Empty();
    return kept;
}

CRegValue DesktopWallpaperValue()
{
    CRegValue value;
    CRegKey desktop;
    if (desktop.Open(HKEY_CURRENT_USER, DESKTOP_KEY) == ERROR_SUCCESS)
        value.Read(desktop, VALUE_WALLPAPER);
    return value;
}

BOOL ApplyTodaysWallpaper(int mode)
{
    // The current wallpaper is the desktop's value as stored, in whatever script its
    // path has, and it goes back exactly so; with no desktop key or no text value
    // the desktop has no wallpaper, and that empty text is what a refresh installs
    // again. A value too long for the wallpaper call is never handed back to it
    // (the system would store it cut short): it stays as it is. Start-up never
    // installs it: it is not read then, which keeps the start to the platform's
    // own cost.
    CSystemText current;
    if (mode != APPLY_STARTUP) current = DesktopWallpaperValue().Text();

    struct tm today;
    CTime::GetCurrentTime().GetLocalTm(&today);
    // Noted before the wallpaper call, whose broadcast reaches our own window too:
    // the day it applies is then no new day.
    if (mode != APPLY_REFRESH) g_appliedDay = DayNumber(today);

    CString path = theApp.GetProfileString(SECTION_MISC, VALUE_EVERY_DAY, "");
    CString tile;
    if (!path.IsEmpty()) {
        g_everyDayActive = 1;
        tile = theApp.GetProfileString(SECTION_MISC, VALUE_EVERY_DAY_TILE, "0");
    } else {
        g_everyDayActive = 0;
        const char* day = CalendarKey(WeekdaySlot(today.tm_wday));
        path = theApp.GetProfileString(SECTION_WEEK, day, "");
        tile = theApp.GetProfileString(SECTION_WEEK, FlagValueName(day), "0");
        if (path.IsEmpty()) {
            const char* month = CalendarKey(MonthSlot(today.tm_mon));
            path = theApp.GetProfileString(SECTION_MONTH, month, "");
            tile = theApp.GetProfileString(SECTION_MONTH, FlagValueName(month), "0");
        }
    }
    // A path the wallpaper call cannot take would install another, cut-short path.
    if (!FitsWallpaperCall(path)) path.Empty();

    if (!path.IsEmpty() && mode != APPLY_REFRESH) {
        // Tiled or centred as assigned, at a start too: left to the desktop, the
        // picture would be shown as the last program (or Windows' own "fill") had
        // it. Not before its file can be read: the desktop keeps what it shows.
        InstallWhenReadable(path, tile);
        return TRUE;
    }
    // Nothing for today after a save or a start (a refresh keeps what waits).
    if (mode != APPLY_REFRESH) ForgetWaitingPicture();
    // Nothing for today after a save, or a refresh: the current one again, from
    // a copy of its own where the call would rewrite the file it reads.
    if (mode == APPLY_STARTUP) return TRUE;
    // (Mirval's own copy is safe here: a job writes the one not shown.)
    const CString kept = KeepDesktopPicture(current, false);
    if (kept.IsEmpty())
        SetDesktopWallpaper(current);
    else
        SetDesktopWallpaper(kept);
    return TRUE;
}

BOOL ApplyOnNewDay()
{
    // The C runtime keeps the time zone it found first: a zone changed since
    // would leave the date in the old one.
    _tzset();
    struct tm now;
    CTime::GetCurrentTime().GetLocalTm(&now);
    if (DayNumber(now) == g_appliedDay) return FALSE;
    ApplyTodaysWallpaper(APPLY_STARTUP);
    return TRUE;
}
