// The schedule's stored form, today's choice and its installation, and the
// desktop test, against the real registry and wallpaper call of the test world.
#include "schedule/try_wallpaper.h"
#include "tests/support/support.h"

namespace {
using Values = std::vector<std::pair<std::string, RegValue>>;

class Schedule : public FreshProfile {
protected:
    static void Store(const char* section, const Values& values)
    {
        for (const auto& [name, value] : values) SetValue(ProfileKey(section).c_str(), name.c_str(), value);
    }
    static std::string Wallpaper() { return ReadText(kDesktop, "Wallpaper"); }
};

const std::string k64K(64 * 1024, 'x');
}

TEST_F(Schedule, StoredFormsLoadIntoTheirSlotOnly)
{
    const std::string f255(255, 'f');
    struct {
        const char* what;
        const char* section;
        Values stored;
        int slot;
        std::string folder, file, mosa;
    } cases[] = {
        {"tiled", "Semaine", {{"Lundi", Sz("C:\\IMAGES\\FOND.BMP")}, {"MosaLundi", Sz("1")}},
         1, "C:\\IMAGES\\", "FOND.BMP", "1"},
        {"no backslash, flag unread", "Semaine", {{"Mardi", Sz("FOND.BMP")}, {"MosaMardi", Sz("1")}},
         2, "", "", ""},
        {"ending in a backslash", "Semaine", {{"Mercredi", Sz("C:\\IMAGES\\")}}, 3, "C:\\IMAGES\\", "", "0"},
        {"empty, flag unread", "Semaine", {{"Jeudi", Sz("")}, {"MosaJeudi", Sz("1")}}, 4, "", "", ""},
        {"names without case", "Semaine", {{"SAMEDI", Sz("E:\\S.BMP")}, {"mosasamedi", Sz("1")}},
         6, "E:\\", "S.BMP", "1"},
        {"F\xE9vrier in Windows-1252", "Mois", {{"F\xE9vrier", Sz("C:\\F.BMP")}, {"MosaF\xE9vrier", Sz("1")}},
         9, "C:\\", "F.BMP", "1"},
        {"Ao\xC3\xBBt in UTF-8 names nothing", "Mois", {{"Ao\xC3\xBBt", Sz("C:\\A.BMP")}}, 15, "", "", ""},
        {"D\xE9""cembre, flag missing", "Mois", {{"D\xE9""cembre", Sz("C:\\D.BMP")}}, 19, "C:\\", "D.BMP", "0"},
        {"a 255-character file fits", "Semaine", {{"Lundi", Sz("C:\\" + f255)}}, 1, "C:\\", f255, "0"},
        {"a file too long", "Semaine", {{"Lundi", Sz("C:\\" + f255 + "f")}}, 1, "", "", ""},
        {"a folder too long", "Semaine", {{"Lundi", Sz("C:\\" + k64K + "\\X.BMP")}}, 1, "", "", ""},
        {"a flag too long", "Semaine", {{"Lundi", Sz("C:\\A.BMP")}, {"MosaLundi", Sz("1111")}},
         1, "C:\\", "A.BMP", "0"},
        {"a number", "Semaine", {{"Lundi", {true, REG_DWORD, std::string("\1\2\3\4", 4)}}}, 1, "", "", ""},
        {"bytes", "Semaine", {{"Lundi", {true, REG_BINARY, "C:\\A\\B.BMP"}}}, 1, "", "", ""},
        {"several texts", "Semaine", {{"Lundi", {true, REG_MULTI_SZ, std::string("C:\\B.BMP\0C:\\C.BMP\0\0", 20)}}},
         1, "", "", ""},
        {"a text without its zero", "Semaine", {{"Lundi", {true, REG_SZ, "C:\\A\\Z.BMP"}}}, 1, "C:\\A\\", "Z.BMP", "0"},
    };
    for (const auto& c : cases) {
        DeleteKeyTree(kCompanyKey);
        *g_pSchedule = ScheduleTable();
        Store(c.section, c.stored);
        LoadSchedule();
        for (int slot = 0; slot < SCHEDULE_SLOTS; ++slot) {
            const ScheduleSlot& s = g_pSchedule->slot[slot];
            const bool mine = slot == c.slot;
            EXPECT_EQ(s.folder, mine ? c.folder : "") << c.what << ", slot " << slot;
            EXPECT_EQ(s.file, mine ? c.file : "") << c.what << ", slot " << slot;
            EXPECT_EQ(s.mosa, mine ? c.mosa : "") << c.what << ", slot " << slot;
        }
    }
}

TEST(CalendarKeys, NameTheirSlotsExactly)
{
    const char* keys[] = {"Lundi", "Mardi", "Mercredi", "Jeudi", "Vendredi", "Samedi", "Dimanche",
                          "Janvier", "F\xE9vrier", "Mars", "Avril", "Mai", "Juin", "Juillet",
                          "Ao\xFBt", "Septembre", "Octobre", "Novembre", "D\xE9""cembre"};
    for (int slot = 1; slot <= LAST_SLOT; ++slot) EXPECT_EQ(SlotForKey(keys[slot - 1]), slot);
    for (const char* other : {"lundi", "F\xC3\xA9vrier", "Semaine", "Mois", "", "FOND.BMP"})
        EXPECT_EQ(SlotForKey(other), 0) << other;
}

// 2026-08-01 is a Saturday in August, 2026-12-07 a Monday in December.
TEST_F(Schedule, StartUpInstallsTheEveryDayPictureElseTheWeekdaysElseTheMonths)
{
    struct {
        const char* what;
        CTime date;
        Values misc, week, month;
        const char* expected;   // nullptr: the wallpaper stays
    } cases[] = {
        {"every day first", CTime(2026, 8, 1, 9, 0, 0), {{"Toujours", Sz("C:\\TOUS.BMP")}},
         {{"Samedi", Sz("C:\\SAMEDI.BMP")}}, {{"Ao\xFBt", Sz("C:\\AOUT.BMP")}}, "C:\\TOUS.BMP"},
        {"the weekday before the month", CTime(2026, 8, 1, 9, 0, 0), {},
         {{"Samedi", Sz("C:\\SAMEDI.BMP")}}, {{"Ao\xFBt", Sz("C:\\AOUT.BMP")}}, "C:\\SAMEDI.BMP"},
        {"the month when the weekday has none", CTime(2026, 8, 1, 9, 0, 0), {},
         {{"Samedi", Sz("")}}, {{"Ao\xFBt", Sz("C:\\AOUT.BMP")}}, "C:\\AOUT.BMP"},
        {"Sunday is Dimanche", CTime(1999, 12, 5, 12, 0, 0), {},
         {{"Dimanche", Sz("C:\\DIM.BMP")}, {"Lundi", Sz("C:\\LUN.BMP")}}, {}, "C:\\DIM.BMP"},
        {"Monday is Lundi", CTime(2026, 12, 7, 12, 0, 0), {},
         {{"Dimanche", Sz("C:\\DIM.BMP")}, {"Lundi", Sz("C:\\LUN.BMP")}}, {}, "C:\\LUN.BMP"},
        {"D\xE9""cembre", CTime(2026, 12, 8, 12, 0, 0), {}, {{"Lundi", Sz("C:\\LUN.BMP")}},
         {{"D\xE9""cembre", Sz("C:\\DEC.BMP")}}, "C:\\DEC.BMP"},
        {"nothing for today", CTime(2026, 12, 8, 12, 0, 0), {}, {{"Lundi", Sz("C:\\LUN.BMP")}}, {}, nullptr},
        {"a number is no picture", CTime(2026, 12, 8, 12, 0, 0),
         {{"Toujours", {true, REG_DWORD, std::string(4, '\1')}}}, {}, {}, nullptr},
        {"a 64 KiB path is never handed on", CTime(2026, 12, 8, 12, 0, 0),
         {{"Toujours", Sz("C:\\" + k64K)}}, {}, {}, nullptr},
    };
    for (const auto& c : cases) {
        DeleteKeyTree(kCompanyKey);
        Store("Divers", c.misc);
        Store("Semaine", c.week);
        Store("Mois", c.month);
        SetText(kDesktop, "Wallpaper", "C:\\AVANT.BMP");
        SetText(kDesktop, "TileWallpaper", "1");
        FixedClock clock(c.date);
        g_everyDayActive = -1;
        EXPECT_TRUE(ApplyTodaysWallpaper(APPLY_STARTUP));
        EXPECT_EQ(Wallpaper(), c.expected ? c.expected : "C:\\AVANT.BMP") << c.what;
        EXPECT_EQ(g_everyDayActive, c.misc.empty() || c.misc[0].second.type != REG_SZ ? 0 : 1) << c.what;
        EXPECT_EQ(ReadText(kDesktop, "TileWallpaper"), "1") << c.what << ": start-up wrote the tiling";
    }
    // With an every-day picture the week and the months are not read (a read makes the key).
    DeleteKeyTree(kCompanyKey);
    Store("Divers", {{"Toujours", Sz("C:\\TOUS.BMP")}});
    ApplyTodaysWallpaper(APPLY_STARTUP);
    CRegKey week;
    EXPECT_NE(week.Open(HKEY_CURRENT_USER, ProfileKey("Semaine").c_str(), KEY_READ), ERROR_SUCCESS);
}

TEST_F(Schedule, AfterASaveTheTilingComesFirstAndACancelPutsTheCurrentWallpaperBack)
{
    const std::string red = std::string(kFiles) + "ROUGE.BMP", blue = std::string(kFiles) + "BLEU.BMP";
    WriteBitmap(red, 16, 16, RGB(255, 0, 0));
    WriteBitmap(blue, 64, 48, RGB(0, 0, 255));
    const POINT corner = {5, 5}, middle = {GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
    FixedClock monday(CTime(2026, 12, 7, 12, 0, 0));
    Store("Semaine", {{"Lundi", Sz(red)}, {"MosaLundi", Sz("1")}});
    SetText(kDesktop, "TileWallpaper", "0");
    SetText(kDesktop, "WallpaperStyle", "10");

    // Start-up: the desktop's own tiling, centred here.
    ApplyTodaysWallpaper(APPLY_STARTUP);
    EXPECT_EQ(ScreenPixel(middle, RGB(255, 0, 0)), RGB(255, 0, 0));
    EXPECT_NE(ScreenPixel(corner, RGB(255, 0, 0), 500), RGB(255, 0, 0)) << "start-up tiled";
    EXPECT_EQ(ReadText(kDesktop, "WallpaperStyle"), "10");

    // Saved: tiled, and placed so by later desktops too, before the call shows it.
    ApplyTodaysWallpaper(APPLY_SAVED);
    EXPECT_EQ(ScreenPixel(corner, RGB(255, 0, 0)), RGB(255, 0, 0));
    EXPECT_EQ(ReadValue(kDesktop, "TileWallpaper"), Sz("1"));
    EXPECT_EQ(ReadValue(kDesktop, "WallpaperStyle"), Sz("0"));

    // Refresh: whatever the desktop's settings name, the schedule aside.
    SetText(kDesktop, "Wallpaper", blue);
    ApplyTodaysWallpaper(APPLY_REFRESH);
    EXPECT_EQ(ScreenPixel(middle, RGB(0, 0, 255)), RGB(0, 0, 255));
    EXPECT_EQ(Wallpaper(), blue);

    // Saved with nothing for today: the current one again, the tiling untouched.
    DeleteKeyTree(kCompanyKey);
    SetText(kDesktop, "TileWallpaper", "0");
    ApplyTodaysWallpaper(APPLY_SAVED);
    EXPECT_EQ(Wallpaper(), blue);
    EXPECT_EQ(ReadText(kDesktop, "TileWallpaper"), "0");

    // A current value that is no text, or missing, is no picture.
    for (RegValue odd : {RegValue{true, REG_DWORD, std::string(4, '\1')}, RegValue{}}) {
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
        SetText(kDesktop, "Wallpaper", path);
        ApplyTodaysWallpaper(APPLY_REFRESH);
        EXPECT_EQ(Wallpaper(), path) << "refresh of " << length;

        Store("Divers", {{"Toujours", Sz(path)}});
        SetText(kDesktop, "Wallpaper", "C:\\AVANT.BMP");
        ApplyTodaysWallpaper(APPLY_STARTUP);
        EXPECT_EQ(Wallpaper(), length == 255 ? path : "C:\\AVANT.BMP") << "start-up with " << length;
    }
}

TEST_F(Schedule, TheDesktopTestShowsThePictureThenPutsBackExactlyWhatWasThere)
{
    const std::string picture = std::string(kFiles) + "essai\\VERT.BMP";
    WriteBitmap(picture, 16, 16, RGB(0, 255, 0));
    Store("Divers", {{"Toujours", Sz("C:\\X.BMP")}});
    const std::string ours = Snapshot(kCompanyKey);
    const RegValue none, number = {true, REG_DWORD, std::string("\1\0\0\0", 4)};
    struct {
        const char* what;
        RegValue wallpaper, tile, style;
        BOOL tiled;
    } cases[] = {
        {"a tiled desktop tried centred", Sz("C:\\AVANT.BMP"), Sz("1"), Sz("0"), FALSE},
        {"a filled desktop tried tiled", Sz("C:\\AVANT.BMP"), Sz("0"), Sz("10"), TRUE},
        {"no values at all", none, none, none, TRUE},
        {"a wallpaper too long for the call", Sz(std::string(300, 'w')), Sz("0"), none, FALSE},
        {"other types", {true, REG_EXPAND_SZ, "%TEMP%\\A.BMP" + std::string(1, '\0')}, number, number, FALSE},
    };
    for (const auto& c : cases) {
        SetValue(kDesktop, "Wallpaper", c.wallpaper);
        SetValue(kDesktop, "TileWallpaper", c.tile);
        SetValue(kDesktop, "WallpaperStyle", c.style);
        std::string during;
        COLORREF seen = 0;
        MessageBoxAnswer box(IDOK, 10000, [&] {
            during = Wallpaper() + "|" + ReadText(kDesktop, "TileWallpaper") + "|" +
                     ReadText(kDesktop, "WallpaperStyle");
            seen = ScreenPixel({10, 10}, RGB(0, 255, 0));   // clear of the box
        });
        EXPECT_TRUE(TryWallpaper(picture.c_str(), c.tiled));
        ASSERT_TRUE(box.Answered()) << c.what;
        EXPECT_EQ(box.caption + "|" + box.text, "Test|Terminer !");
        EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
        EXPECT_EQ(box.icon, nullptr);
        EXPECT_EQ(during, picture + (c.tiled ? "|1|0" : "|0|0")) << c.what;
        if (c.tiled) {
            EXPECT_EQ(seen, RGB(0, 255, 0)) << c.what;
        }
        EXPECT_EQ(ReadValue(kDesktop, "Wallpaper"), c.wallpaper) << c.what;
        EXPECT_EQ(ReadValue(kDesktop, "TileWallpaper"), c.tile) << c.what;
        EXPECT_EQ(ReadValue(kDesktop, "WallpaperStyle"), c.style) << c.what;
    }
    EXPECT_EQ(Snapshot(kCompanyKey), ours);
}

// The profile functions, for a program named after its executable (here the test's).
TEST(Application, KeepsItsProfileUnderTheCompanyKeyInItsOwnName)
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string help = std::string(path, strrchr(path, '.')) + ".HLP";
    EXPECT_STREQ(theApp.m_strHelpFilePath, help.c_str());

    const char company[] = "Software\\Mirval Tests";
    const std::string app = std::string(company) + "\\schedule_tests";
    DeleteKeyTree(company);
    theApp.m_strRegistryKey.Empty();
    EXPECT_FALSE(theApp.WriteProfileString("Divers", "Toujours", "x")) << "before the key is named";
    EXPECT_STREQ(theApp.GetProfileString("Divers", "Toujours", "dflt"), "dflt");
    theApp.SetRegistryKey("Mirval Tests");
    EXPECT_EQ(std::string(theApp.GetProfileKeyPath()), app);
    EXPECT_STREQ(theApp.GetProfileString("Semaine", "Lundi", "dflt"), "dflt");
    EXPECT_EQ(Snapshot(company), app + "\\\n" + app + "\\Semaine\\\n") << "the first read makes the keys";
    ASSERT_TRUE(theApp.WriteProfileString("Divers", "Toujours", "\xE9t\xE9"));
    EXPECT_EQ(ReadValue((app + "\\Divers").c_str(), "Toujours"), Sz("\xE9t\xE9"));
    DeleteKeyTree(company);
}
