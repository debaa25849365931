// The schedule's stored form, today's choice and its installation, and the
// desktop test, against the real registry and wallpaper call of the test world.
#include "schedule/try_wallpaper.h"
#include "tests/support/support.h"

namespace {
// Values of the program's profile, each named "Section\\Value".
using Values = std::vector<std::pair<std::string, RegValue>>;

class Schedule : public FreshProfile {
protected:
    static void Store(const Values& values)
    {
        for (const auto& [name, value] : values) {
            const size_t slash = name.find('\\');
            const std::string key = ProfileKey(name.substr(0, slash).c_str());
            SetValue(key.c_str(), name.substr(slash + 1).c_str(), value);
        }
    }
};

const std::string k64K(64 * 1024, 'x');
const RegValue kNumber = {true, REG_DWORD, std::string("\1\0\0\0", 4)};
}

// One profile with an oddity in each day and month: what each slot loads; no
// value reaches another slot.
TEST_F(Schedule, StoredFormsLoadIntoTheirSlotOnly)
{
    const std::string f255(255, 'f');
    Store({
        {"Semaine\\Lundi", Sz("C:\\IMAGES\\FOND.BMP")},
        {"Semaine\\MosaLundi", Sz("1")},
        {"Semaine\\Mardi", Sz("FOND.BMP")},   // no backslash: nothing, the flag unread
        {"Semaine\\MosaMardi", Sz("1")},
        {"Semaine\\Mercredi", Sz("C:\\IMAGES\\")},   // a folder alone
        {"Semaine\\Jeudi", Sz("")},   // empty, the flag unread
        {"Semaine\\MosaJeudi", Sz("1")},
        {"Semaine\\VENDREDI", Sz("E:\\" + f255)},   // names know no case
        {"Semaine\\mosavendredi", Sz("1")},
        {"Semaine\\Samedi", Sz("C:\\" + f255 + "f")},   // a file too long
        {"Semaine\\Dimanche", Sz("C:\\" + k64K + "\\X.BMP")},   // a folder too long
        {"Mois\\Janvier", Sz("C:\\J.BMP")},
        {"Mois\\MosaJanvier", Sz("1111")},   // a flag too long
        {"Mois\\F\xE9vrier", Sz("C:\\F.BMP")},   // in Windows-1252
        {"Mois\\MosaF\xE9vrier", Sz("1")},
        {"Mois\\Mars", kNumber},
        {"Mois\\Avril", {true, REG_BINARY, "C:\\A\\B.BMP"}},
        {"Mois\\Mai", {true, REG_MULTI_SZ, std::string("C:\\B.BMP\0C:\\C.BMP\0\0", 20)}},
        {"Mois\\Juin", {true, REG_SZ, "C:\\A\\Z.BMP"}},   // a text without its zero
        {"Mois\\Ao\xC3\xBBt", Sz("C:\\A.BMP")},   // in UTF-8: names nothing
        {"Mois\\D\xE9""cembre", Sz("C:\\D.BMP")},   // the flag missing
    });
    LoadSchedule();
    EXPECT_EQ(LoadedSlots(), "1:C:\\IMAGES\\|FOND.BMP|1\n"
                             "3:C:\\IMAGES\\||0\n"
                             "5:E:\\|" + f255 + "|1\n"
                             "8:C:\\|J.BMP|0\n"
                             "9:C:\\|F.BMP|1\n"
                             "13:C:\\A\\|Z.BMP|0\n"
                             "19:C:\\|D.BMP|0\n");
}

// 2026-08-01 is a Saturday, 1999-12-05 a Sunday, 2026-12-07 a Monday.
TEST_F(Schedule, StartUpInstallsTheEveryDayPictureElseTheWeekdaysElseTheMonths)
{
    const CTime aug1(2026, 8, 1, 9, 0, 0), dec5(1999, 12, 5, 12, 0, 0);
    const CTime dec7(2026, 12, 7, 12, 0, 0), dec8(2026, 12, 8, 12, 0, 0);
    const std::pair<std::string, RegValue> sunday = {"Semaine\\Dimanche", Sz("C:\\DIM.BMP")};
    const std::pair<std::string, RegValue> monday = {"Semaine\\Lundi", Sz("C:\\LUN.BMP")};
    const std::pair<std::string, RegValue> saturday = {"Semaine\\Samedi", Sz("C:\\SAM.BMP")};
    const std::pair<std::string, RegValue> august = {"Mois\\Ao\xFBt", Sz("C:\\AOUT.BMP")};
    const std::pair<std::string, RegValue> december = {"Mois\\D\xE9""cembre", Sz("C:\\DEC.BMP")};
    const std::pair<std::string, RegValue> tiled = {"Semaine\\MosaLundi", Sz("1")};
    // The picture, then "TileWallpaper" and "WallpaperStyle", from a desktop at "1" and "10".
    struct { const char* what; CTime date; Values stored; const char* expected; } cases[] = {
        {"every day first", aug1,
         {{"Divers\\Toujours", Sz("C:\\TOUS.BMP")}, {"Divers\\Mosaique", Sz("1")}, saturday, august},
         "C:\\TOUS.BMP|1|0"},
        {"the weekday before the month", aug1, {saturday, august}, "C:\\SAM.BMP|0|0"},
        {"the month when the weekday has none", aug1, {{"Semaine\\Samedi", Sz("")}, august},
         "C:\\AOUT.BMP|0|0"},
        {"Sunday is Dimanche", dec5, {sunday, monday}, "C:\\DIM.BMP|0|0"},
        {"Monday is Lundi, tiled", dec7, {sunday, monday, tiled}, "C:\\LUN.BMP|1|0"},
        {"D\xE9""cembre", dec8, {monday, december}, "C:\\DEC.BMP|0|0"},
        {"nothing for today: the desktop stays", dec8, {monday, tiled}, "C:\\AVANT.BMP|1|10"},
        {"a number is no picture", dec8, {{"Divers\\Toujours", kNumber}}, "C:\\AVANT.BMP|1|10"},
        {"a 64 KiB path is never handed on", dec8, {{"Divers\\Toujours", Sz("C:\\" + k64K)}},
         "C:\\AVANT.BMP|1|10"},
    };
    for (const char* file : {"TOUS", "SAM", "AOUT", "DIM", "LUN", "DEC"})
        WriteBytes(std::string("C:\\") + file + ".BMP", "");   // there, if no picture
    for (const auto& c : cases) {
        DeleteKeyTree(kCompanyKey);
        Store(c.stored);
        SetText(kDesktop, "Wallpaper", "C:\\AVANT.BMP");
        SetText(kDesktop, "TileWallpaper", "1");
        SetText(kDesktop, "WallpaperStyle", "10");
        FixedClock clock(c.date);
        EXPECT_TRUE(ApplyTodaysWallpaper(APPLY_STARTUP));
        EXPECT_EQ(DesktopState(), c.expected) << c.what;
    }
    // With an every-day picture the week and the months are not read (a read makes the key).
    DeleteKeyTree(kCompanyKey);
    Store({{"Divers\\Toujours", Sz("C:\\TOUS.BMP")}});
    ApplyTodaysWallpaper(APPLY_STARTUP);
    EXPECT_EQ(Snapshot(kCompanyKey).find("Semaine"), std::string::npos);
}

TEST_F(Schedule, TheTilingComesFirstAtAStartAndAfterASaveThenTodaysPictureElseTheCurrentOne)
{
    const std::string red = std::string(kFiles) + "ROUGE.BMP";
    const std::string blue = std::string(kFiles) + "BLEU.BMP";
    WriteBitmap(red, 16, 16, RGB(255, 0, 0));
    WriteBitmap(blue, 64, 48, RGB(0, 0, 255));
    const POINT corner = {5, 5};
    const POINT middle = {GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
    FixedClock monday(CTime(2026, 12, 7, 12, 0, 0));
    Store({{"Semaine\\Lundi", Sz(red)}, {"Semaine\\MosaLundi", Sz("1")}});

    // Tiled as assigned, and placed so by later desktops too, before the call shows
    // it: at a start, whatever the desktop had, and after a save.
    for (int mode : {APPLY_STARTUP, APPLY_SAVED}) {
        SetText(kDesktop, "TileWallpaper", "0");
        SetText(kDesktop, "WallpaperStyle", "10");
        SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(blue.c_str()), 0);
        ASSERT_EQ(ScreenPixel(middle, RGB(0, 0, 255)), RGB(0, 0, 255));   // centred, not red
        ApplyTodaysWallpaper(mode);
        EXPECT_EQ(ScreenPixel(corner, RGB(255, 0, 0)), RGB(255, 0, 0)) << mode;
        EXPECT_EQ(ReadValue(kDesktop, "TileWallpaper"), Sz("1")) << mode;
        EXPECT_EQ(ReadValue(kDesktop, "WallpaperStyle"), Sz("0")) << mode;
    }

    // Saved with nothing for today: the current one again, the tiling untouched.
    SetText(kDesktop, "Wallpaper", blue);
    DeleteKeyTree(kCompanyKey);
    SetText(kDesktop, "TileWallpaper", "0");
    ApplyTodaysWallpaper(APPLY_SAVED);
    EXPECT_EQ(ScreenPixel(middle, RGB(0, 0, 255)), RGB(0, 0, 255));
    EXPECT_EQ(ReadText(kDesktop, "TileWallpaper"), "0");

    // A current value that is no text, or missing, is no picture.
    for (const RegValue& odd : {kNumber, RegValue{}}) {
        SetValue(kDesktop, "Wallpaper", odd);
        ApplyTodaysWallpaper(APPLY_REFRESH);
        EXPECT_EQ(Wallpaper(), "") << odd.type;
    }
}

// The wallpaper call stores a longer path cut to 255 characters: another file.
TEST_F(Schedule, PathsLongerThanTheWallpaperCallTakesAreNeverHandedToIt)
{
    for (size_t length : {255u, 256u, 259u}) {
        const std::string path = "C:\\" + std::string(length - 3, 'w');
        WriteBytes(path, "");
        SetText(kDesktop, "Wallpaper", path);
        ApplyTodaysWallpaper(APPLY_REFRESH);
        EXPECT_EQ(Wallpaper(), path) << "refresh of " << length;

        Store({{"Divers\\Toujours", Sz(path)}});
        SetText(kDesktop, "Wallpaper", "C:\\AVANT.BMP");
        ApplyTodaysWallpaper(APPLY_STARTUP);
        EXPECT_EQ(Wallpaper(), length == 255 ? path : "C:\\AVANT.BMP") << "start-up, " << length;
    }
}

TEST_F(Schedule, TheDesktopTestShowsThePictureThenPutsBackExactlyWhatWasThere)
{
    const std::string picture = std::string(kFiles) + "essai\\VERT.BMP";
    const COLORREF green = RGB(0, 255, 0);
    WriteBitmap(picture, 16, 16, green);
    Store({{"Divers\\Toujours", Sz("C:\\X.BMP")}});
    const std::string ours = Snapshot(kCompanyKey);
    const RegValue none, expandable = {true, REG_EXPAND_SZ, std::string("%TEMP%\\A.BMP", 13)};
    struct { const char* what; RegValue wallpaper, tile, style; BOOL tiled; } cases[] = {
        {"a tiled desktop tried centred", Sz("C:\\AVANT.BMP"), Sz("1"), Sz("0"), FALSE},
        {"a filled desktop tried tiled", Sz("C:\\AVANT.BMP"), Sz("0"), Sz("10"), TRUE},
        {"no values at all", none, none, none, TRUE},
        {"a wallpaper too long for the call", Sz(std::string(300, 'w')), Sz("0"), none, FALSE},
        {"other types", expandable, kNumber, kNumber, FALSE},
    };
    for (const auto& c : cases) {
        SetValue(kDesktop, "Wallpaper", c.wallpaper);
        SetValue(kDesktop, "TileWallpaper", c.tile);
        SetValue(kDesktop, "WallpaperStyle", c.style);
        std::string during;
        MessageBoxAnswer box(IDOK, 10000, [&] {
            during = DesktopState();
            if (c.tiled && ScreenPixel({10, 10}, green) != green) during += "|not shown";
        });
        EXPECT_TRUE(TryWallpaper(picture.c_str(), c.tiled));
        ASSERT_TRUE(box.Answered()) << c.what;
        EXPECT_EQ(box.caption + "|" + box.text, "Test|Terminer !");
        EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
        EXPECT_EQ(box.icon, nullptr);
        EXPECT_EQ(during, picture + (c.tiled ? "|1|0" : "|0|0")) << c.what;
        EXPECT_EQ(ReadValue(kDesktop, "Wallpaper"), c.wallpaper) << c.what;
        EXPECT_EQ(ReadValue(kDesktop, "TileWallpaper"), c.tile) << c.what;
        EXPECT_EQ(ReadValue(kDesktop, "WallpaperStyle"), c.style) << c.what;
    }
    EXPECT_EQ(Snapshot(kCompanyKey), ours);
}

// The desktop's own value is not the program's: in whatever script its path is,
// every way that puts it back puts it back as it was, and shows it.
TEST_F(Schedule, TheDesktopsOwnWallpaperComesBackAsItWasInAnyScript)
{
    // Windows 95 knows no other script than its code page's.
    const bool win95 = !strcmp(getenv("WINDOWS_VERSION") ? getenv("WINDOWS_VERSION") : "", "win95");
    const std::wstring folder = win95 ? L"C:\\mirval-tests\\\u00c9t\u00e9"
                                      : L"C:\\mirval-tests\\\u0424\u043e\u0442\u043e";
    const std::wstring path = folder + (win95 ? L"\\mer.bmp" : L"\\\u043c\u043e\u0440\u0435.bmp");
    const std::string bytes = BitmapBytes(64, 48, RGB(255, 128, 0));
    CreateDirectoryW(folder.c_str(), nullptr);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
    const std::string elsewhere = std::string(kFiles) + "GRIS.BMP";
    WriteBitmap(elsewhere, 64, 48, RGB(128, 128, 128));
    const POINT middle = {GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};

    HKEY desktop;
    RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\desktop", 0, KEY_ALL_ACCESS, &desktop);
    auto wallpaper = [&] {   // as the system keeps it, its zero included
        WCHAR text[300] = L"";
        DWORD size = sizeof text - sizeof(WCHAR), type = 0;
        auto* data = reinterpret_cast<BYTE*>(text);
        if (RegQueryValueExW(desktop, L"Wallpaper", nullptr, &type, data, &size) || type != REG_SZ)
            return std::wstring(L"<missing>");
        return std::wstring(text, size / sizeof(WCHAR));
    };
    struct { const char* way; std::function<void()> run; } ways[] = {
        {"Annuler", [] { ApplyTodaysWallpaper(APPLY_REFRESH); }},
        {"Ok with nothing for today", [] { ApplyTodaysWallpaper(APPLY_SAVED); }},
        {"&Aper\xE7u", [&] {
             MessageBoxAnswer box(IDOK);
             TryWallpaper(elsewhere.c_str(), FALSE);
         }},
    };
    SetText(kDesktop, "TileWallpaper", "0");
    for (const auto& w : ways) {
        SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(elsewhere.c_str()), 0);
        ScreenPixel(middle, RGB(128, 128, 128));
        RegSetValueExW(desktop, L"Wallpaper", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                       DWORD((path.size() + 1) * sizeof(WCHAR)));
        w.run();
        EXPECT_EQ(wallpaper(), path + L'\0') << w.way;
        EXPECT_EQ(ScreenPixel(middle, RGB(255, 128, 0)), RGB(255, 128, 0)) << w.way << ": not shown";
    }
    RegCloseKey(desktop);
}
