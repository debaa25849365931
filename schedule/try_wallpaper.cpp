#include "schedule/try_wallpaper.h"
#include "framework/regkey.h"
#include "schedule/photo.h"
#include "schedule/todays_picture.h"
#include "schedule/wallpaper.h"

namespace {
// What a test changes on the desktop, kept as the system stores it, and put back
// once.
class DesktopTest {
public:
    // Without the desktop key nothing could be put back: the desktop is left alone.
    bool Begin(const char* path, BOOL tile)
    {
        CRegKey desktop;
        m_bPending = desktop.Open(HKEY_CURRENT_USER, DESKTOP_KEY, KEY_ALL_ACCESS) == ERROR_SUCCESS;
        if (!m_bPending) return false;
        m_wallpaper.Read(desktop, VALUE_WALLPAPER);
        m_tiling.Read(desktop, VALUE_TILE_WALLPAPER);
        m_style.Read(desktop, VALUE_WALLPAPER_STYLE);
        SetDesktopTiling(desktop, tile ? "1" : "0");
        desktop.Close();
        // Before the trial rewrites Windows' own copy, or a job writes over Mirval's.
        m_kept = KeepDesktopPicture(m_wallpaper.Text(), true);
        // A photo is tried from a copy of its own, never the one the desktop shows.
        char trial[MAX_PATH + 1];
        if (KindOfName(path) != PictureKind::Other &&
            MakePhotoCopy(path, PhotoScreen(), PhotoBackground(), PhotoCopy::Trial, trial, sizeof trial))
            path = trial;
        SetDesktopWallpaper(path);
        return true;
    }
    void PutBack()
    {
        if (!m_bPending) return;
        m_bPending = false;
        CRegKey desktop;
        if (desktop.Open(HKEY_CURRENT_USER, DESKTOP_KEY, KEY_ALL_ACCESS) == ERROR_SUCCESS) {
            m_tiling.Write(desktop, VALUE_TILE_WALLPAPER);
            m_style.Write(desktop, VALUE_WALLPAPER_STYLE);
        }
        desktop.Close();
        if (!m_kept.IsEmpty()) {   // the call names the kept copy from now on
            SetDesktopWallpaper(m_kept);
            return;
        }
        // A saved text the wallpaper call cannot take whole is shown as no picture,
        // as the desktop showed it; the call stores what it is given, so the value
        // itself is written back after it.
        CSystemText previous = m_wallpaper.Text();
        SetDesktopWallpaper(FitsWallpaperCall(previous) ? previous : CSystemText());
        if (desktop.Open(HKEY_CURRENT_USER, DESKTOP_KEY, KEY_ALL_ACCESS) == ERROR_SUCCESS)
            m_wallpaper.Write(desktop, VALUE_WALLPAPER);
    }

private:
    bool m_bPending = false;
    CRegValue m_wallpaper, m_tiling, m_style;
    CString m_kept;   // the desktop's picture, copied where the trial could lose it
};

DesktopTest* g_pRunningTest = nullptr;
}

BOOL TryWallpaper(const char* path, BOOL tile)
{
    // Running from its first change to the end of its put-back: the wallpaper
    // calls' broadcasts reach our own window, where a new day waits for the end.
    DesktopTest test;
    g_pRunningTest = &test;
    test.Begin(path, tile);
    MessageBoxA(GetDesktopWindow(), "Terminer !", "Test", MB_OK);
    test.PutBack();
    g_pRunningTest = nullptr;
    return TRUE;
}

bool DesktopTestRunning()
{
    return g_pRunningTest != nullptr;
}

void EndDesktopTest()
{
    if (g_pRunningTest) g_pRunningTest->PutBack();
}
