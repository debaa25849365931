#include "schedule/try_wallpaper.h"
#include "framework/regkey.h"
#include "schedule/wallpaper.h"
#include <vector>

namespace {
// A desktop value kept byte for byte, absence included, so that it comes back
// exactly as it was, whatever its length or type.
struct SavedValue {
    bool present = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;

    void Read(HKEY key, const char* name)
    {
        DWORD size = 0;
        present = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
        if (!present) return;
        data.assign(size + 1, 0);   // one zero more, should the text lack its own
        present = RegQueryValueExA(key, name, nullptr, &type, data.data(), &size) == ERROR_SUCCESS;
        data.resize(size);
    }
    void Write(HKEY key, const char* name) const
    {
        if (present)
            RegSetValueExA(key, name, 0, type, data.data(), static_cast<DWORD>(data.size()));
        else
            RegDeleteValueA(key, name);
    }
    // The value as the wallpaper call takes it: a text, else no picture.
    CString Text() const
    {
        if (!present || (type != REG_SZ && type != REG_EXPAND_SZ)) return CString();
        return CString(reinterpret_cast<const char*>(data.data()),
                       static_cast<int>(strnlen(reinterpret_cast<const char*>(data.data()), data.size())));
    }
};
}

BOOL TryWallpaper(const char* path, BOOL tile)
{
    SavedValue wallpaper, tiling, style;
    CRegKey desktop;
    // Without the desktop key nothing could be put back: the desktop is left alone.
    const bool restorable = desktop.Open(HKEY_CURRENT_USER, DESKTOP_KEY, KEY_ALL_ACCESS) == ERROR_SUCCESS;
    if (restorable) {
        wallpaper.Read(desktop, VALUE_WALLPAPER);
        tiling.Read(desktop, VALUE_TILE_WALLPAPER);
        style.Read(desktop, VALUE_WALLPAPER_STYLE);
        SetDesktopTiling(desktop, tile ? "1" : "0");
        desktop.Close();
        SetDesktopWallpaper(path);
    }

    MessageBoxA(GetDesktopWindow(), "Terminer !", "Test", MB_OK);

    if (restorable) {
        if (desktop.Open(HKEY_CURRENT_USER, DESKTOP_KEY, KEY_ALL_ACCESS) == ERROR_SUCCESS) {
            tiling.Write(desktop, VALUE_TILE_WALLPAPER);
            style.Write(desktop, VALUE_WALLPAPER_STYLE);
        }
        desktop.Close();
        // A saved text the wallpaper call cannot take whole is shown as no picture,
        // as the desktop showed it; the call stores what it is given, so the value
        // itself is written back after it.
        CString previous = wallpaper.Text();
        SetDesktopWallpaper(FitsWallpaperCall(previous) ? previous : CString());
        if (desktop.Open(HKEY_CURRENT_USER, DESKTOP_KEY, KEY_ALL_ACCESS) == ERROR_SUCCESS)
            wallpaper.Write(desktop, VALUE_WALLPAPER);
    }
    return TRUE;
}
