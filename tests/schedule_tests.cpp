// The schedule table's stored form, and today's wallpaper installed through the
// real wallpaper call onto the test world's virtual desktop.
#include "app/mirval_app.h"
#include "schedule/schedule.h"
#include "schedule/wallpaper.h"
#include "tests/support/fresh_profile.h"
#include <gtest/gtest.h>

namespace {
const char kPictures[] = "C:\\mirval-tests\\";

class Stored : public FreshProfile {
protected:
    static void Store(const char* section, const char* name, const std::string& text)
    {
        SetText(ProfileKey(section).c_str(), name, text);
    }
};

// ---- LoadSchedule ----

struct LoadCase {
    const char* what;
    const char* section;
    std::vector<std::pair<std::string, std::string>> values;
    int slot;
    std::string folder, file, mosa;
    friend void PrintTo(const LoadCase& c, std::ostream* os) { *os << c.what; }
};

class Loading : public Stored, public ::testing::WithParamInterface<LoadCase> {};

const std::string kLong(300, 'a');
const std::string k255(255, 'b');

const LoadCase kLoadCases[] = {
    {"a tiled picture", "Semaine", {{"Lundi", "C:\\IMAGES\\FOND.BMP"}, {"MosaLundi", "1"}},
     1, "C:\\IMAGES\\", "FOND.BMP", "1"},
    {"no backslash: empty, flag unread", "Semaine", {{"Mardi", "FOND.BMP"}, {"MosaMardi", "1"}},
     2, "", "", ""},
    {"ending in a backslash: empty file", "Semaine", {{"Mercredi", "C:\\IMAGES\\"}},
     3, "C:\\IMAGES\\", "", "0"},
    {"empty picture: flag unread", "Semaine", {{"Jeudi", ""}, {"MosaJeudi", "1"}}, 4, "", "", ""},
    {"missing flag reads 0", "Semaine", {{"Vendredi", "D:\\A.BMP"}}, 5, "D:\\", "A.BMP", "0"},
    {"a drive root", "Semaine", {{"Dimanche", "E:\\SOLEIL.BMP"}, {"MosaDimanche", "0"}},
     7, "E:\\", "SOLEIL.BMP", "0"},
    {"value names without case", "Semaine", {{"SAMEDI", "C:\\X\\S.BMP"}, {"mosasamedi", "1"}},
     6, "C:\\X\\", "S.BMP", "1"},
    {"F\xE9vrier in Windows-1252", "Mois", {{"F\xE9vrier", "C:\\F.BMP"}, {"MosaF\xE9vrier", "1"}},
     9, "C:\\", "F.BMP", "1"},
    {"F\xC3\xA9vrier in UTF-8 is another value", "Mois",
     {{"F\xC3\xA9vrier", "C:\\F.BMP"}, {"MosaF\xC3\xA9vrier", "1"}}, 9, "", "", ""},
    {"Ao\xFBt in Windows-1252", "Mois", {{"Ao\xFBt", "C:\\A.BMP"}, {"MosaAo\xFBt", "1"}},
     15, "C:\\", "A.BMP", "1"},
    {"Ao\xC3\xBBt in UTF-8 is another value", "Mois", {{"Ao\xC3\xBBt", "C:\\A.BMP"}}, 15, "", "", ""},
    {"D\xE9" "cembre from its own slot", "Mois", {{"D\xE9" "cembre", "C:\\D.BMP"}},
     19, "C:\\", "D.BMP", "0"},
    {"a folder too long for its field", "Semaine", {{"Lundi", "C:\\" + kLong + "\\A.BMP"}},
     1, "", "", ""},
    {"a file too long for its field", "Semaine", {{"Lundi", "C:\\" + kLong}}, 1, "", "", ""},
    {"a file of 255 characters fits", "Semaine", {{"Lundi", "C:\\" + k255}}, 1, "C:\\", k255, "0"},
    {"a flag too long reads 0", "Semaine", {{"Lundi", "C:\\A.BMP"}, {"MosaLundi", "1111"}},
     1, "C:\\", "A.BMP", "0"},
};

TEST_P(Loading, FillsOnlyItsSlot)
{
    const LoadCase& c = GetParam();
    for (const auto& v : c.values) Store(c.section, v.first.c_str(), v.second);

    LoadSchedule();

    for (int slot = 0; slot < SCHEDULE_SLOTS; ++slot) {
        const ScheduleSlot& s = g_pSchedule->slot[slot];
        bool mine = slot == c.slot;
        EXPECT_EQ(std::string(s.folder), mine ? c.folder : "") << c.what << ", slot " << slot;
        EXPECT_EQ(std::string(s.file), mine ? c.file : "") << c.what << ", slot " << slot;
        EXPECT_EQ(std::string(s.mosa), mine ? c.mosa : "") << c.what << ", slot " << slot;
    }
}

INSTANTIATE_TEST_SUITE_P(StoredForms, Loading, ::testing::ValuesIn(kLoadCases));

TEST_F(Stored, EmptyRegistryLoadsAnEmptyTable)
{
    LoadSchedule();
    ScheduleTable empty = {};
    EXPECT_EQ(memcmp(g_pSchedule, &empty, sizeof empty), 0);
}

TEST(CalendarKeys, SlotsOfTheKeys)
{
    const char* keys[] = {"Lundi", "Mardi", "Mercredi", "Jeudi", "Vendredi", "Samedi",
                          "Dimanche", "Janvier", "F\xE9vrier", "Mars", "Avril", "Mai", "Juin",
                          "Juillet", "Ao\xFBt", "Septembre", "Octobre", "Novembre",
                          "D\xE9" "cembre"};
    for (int i = 0; i < 19; ++i) {
        EXPECT_EQ(SlotForKey(keys[i]), i + 1) << keys[i];
        EXPECT_STREQ(CalendarKey(i + 1), keys[i]);
        EXPECT_STREQ(SectionOfSlot(i + 1), i < 7 ? "Semaine" : "Mois");
    }
    for (const char* other : {"lundi", "LUNDI", "F\xC3\xA9vrier", "Semaine", "Mois", "", "FOND.BMP"})
        EXPECT_EQ(SlotForKey(other), 0) << other;
    EXPECT_STREQ(FlagValueName("Ao\xFBt"), "MosaAo\xFBt");
}

// ---- ApplyTodaysWallpaper ----

struct Picture {
    const char* name;
    COLORREF colour;
    std::string Path() const { return std::string(kPictures) + name; }
};
const Picture kBefore{"BEFORE.BMP", RGB(0, 0, 255)};
const Picture kOther{"OTHER.BMP", RGB(255, 255, 0)};
const Picture kEvery{"EVERY.BMP", RGB(255, 0, 255)};
const Picture kSaturday{"SAMEDI.BMP", RGB(0, 255, 0)};
const Picture kSunday{"DIMANCHE.BMP", RGB(0, 128, 0)};
const Picture kMonday{"LUNDI.BMP", RGB(128, 0, 0)};
const Picture kAugust{"AOUT.BMP", RGB(255, 128, 0)};
const Picture kDecember{"DECEMBRE.BMP", RGB(0, 255, 255)};
const Picture kSmallRed{"PETIT.BMP", RGB(255, 0, 0)};

// The virtual desktop is 800x600: a centred 64x48 picture covers its middle, a
// corner pixel shows only when the picture is tiled.
POINT Middle() { return {GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2}; }
const POINT kCorner = {5, 5};
// Where no picture lies the desktop shows its background colour.
COLORREF NoPicture() { return GetSysColor(COLOR_DESKTOP); }

class Today : public Stored {
protected:
    static void SetUpTestSuite()
    {
        for (const Picture* p : {&kBefore, &kOther, &kEvery, &kSaturday, &kSunday, &kMonday,
                                 &kAugust, &kDecember})
            WriteBitmap(p->Path(), 64, 48, p->colour);
        WriteBitmap(kSmallRed.Path(), 16, 16, kSmallRed.colour);
    }
    void SetUp() override
    {
        Stored::SetUp();
        // Every case starts from the blue picture, centred, on the screen.
        SetText(kDesktop, "TileWallpaper", "0");
        SetDesktopWallpaper(kBefore.Path().c_str());
        ASSERT_EQ(WaitForScreenPixel(Middle().x, Middle().y, kBefore.colour), kBefore.colour);
    }
    static std::string Wallpaper() { return ReadText(kDesktop, "Wallpaper"); }
    static COLORREF ScreenShows(POINT at, const Picture& p)
    {
        return WaitForScreenPixel(at.x, at.y, p.colour);
    }
};

struct ChoiceCase {
    const char* what;
    CTime date;
    std::vector<std::tuple<const char*, const char*, std::string>> stored;
    const Picture* expected;   // nullptr: the wallpaper stays as it was
    int everyDay;
    friend void PrintTo(const ChoiceCase& c, std::ostream* os) { *os << c.what; }
};

class Choice : public Today, public ::testing::WithParamInterface<ChoiceCase> {};

// 2026-08-01 is a Saturday in August, 2026-12-07 a Monday in December.
const ChoiceCase kChoices[] = {
    {"every day beats the weekday", CTime(2026, 8, 1, 9, 0, 0),
     {{"Divers", "Toujours", kEvery.Path()}, {"Semaine", "Samedi", kSaturday.Path()},
      {"Mois", "Ao\xFBt", kAugust.Path()}},
     &kEvery, 1},
    {"the weekday beats the month", CTime(2026, 8, 1, 9, 0, 0),
     {{"Semaine", "Samedi", kSaturday.Path()}, {"Mois", "Ao\xFBt", kAugust.Path()}},
     &kSaturday, 0},
    {"August when Saturday has none", CTime(2026, 8, 1, 9, 0, 0),
     {{"Semaine", "Samedi", ""}, {"Mois", "Ao\xFBt", kAugust.Path()}}, &kAugust, 0},
    {"Sunday is Dimanche", CTime(1999, 12, 5, 12, 0, 0),
     {{"Semaine", "Dimanche", kSunday.Path()}, {"Semaine", "Lundi", kMonday.Path()}}, &kSunday, 0},
    {"Monday is Lundi", CTime(2026, 12, 7, 12, 0, 0),
     {{"Semaine", "Dimanche", kSunday.Path()}, {"Semaine", "Lundi", kMonday.Path()}}, &kMonday, 0},
    {"D\xE9" "cembre by its Windows-1252 name", CTime(2026, 12, 8, 12, 0, 0),
     {{"Mois", "D\xE9" "cembre", kDecember.Path()}}, &kDecember, 0},
    {"another weekday's picture is not today's", CTime(2026, 12, 8, 12, 0, 0),
     {{"Semaine", "Lundi", kMonday.Path()}}, nullptr, 0},
    {"nothing stored", CTime(2026, 12, 7, 12, 0, 0), {}, nullptr, 0},
};

TEST_P(Choice, StartUpInstallsTodaysPicture)
{
    const ChoiceCase& c = GetParam();
    for (const auto& v : c.stored) Store(std::get<0>(v), std::get<1>(v), std::get<2>(v));
    FixedClock clock(c.date);
    g_everyDayActive = -1;

    EXPECT_TRUE(ApplyTodaysWallpaper(APPLY_STARTUP));

    const Picture& shown = c.expected ? *c.expected : kBefore;
    EXPECT_EQ(Wallpaper(), shown.Path()) << c.what;
    EXPECT_EQ(ScreenShows(Middle(), shown), shown.colour) << c.what;
    EXPECT_EQ(g_everyDayActive, c.everyDay) << c.what;
    EXPECT_EQ(ReadText(kDesktop, "TileWallpaper"), "0") << c.what;
}

INSTANTIATE_TEST_SUITE_P(Precedence, Choice, ::testing::ValuesIn(kChoices));

TEST_F(Today, AnEveryDayPictureLeavesTheWeekAndMonthUnread)
{
    Store("Divers", "Toujours", kEvery.Path());
    ApplyTodaysWallpaper(APPLY_STARTUP);
    // The profile functions make a section's key at its first read.
    EXPECT_TRUE(KeyExists(ProfileKey("Divers").c_str()));
    EXPECT_FALSE(KeyExists(ProfileKey("Semaine").c_str()));
    EXPECT_FALSE(KeyExists(ProfileKey("Mois").c_str()));
}

TEST_F(Today, StartUpNeverWritesTheTiling)
{
    FixedClock monday(CTime(2026, 12, 7, 12, 0, 0));
    Store("Semaine", "Lundi", kSmallRed.Path());
    Store("Semaine", "MosaLundi", "1");

    ApplyTodaysWallpaper(APPLY_STARTUP);

    EXPECT_EQ(Wallpaper(), kSmallRed.Path());
    EXPECT_EQ(ReadText(kDesktop, "TileWallpaper"), "0");
    ASSERT_EQ(ScreenShows(Middle(), kSmallRed), kSmallRed.colour);
    // The whole desktop is painted at once: the corner has settled too.
    EXPECT_EQ(WaitForScreenPixel(kCorner.x, kCorner.y, kSmallRed.colour, 0), NoPicture())
        << "centred, not tiled";
}

TEST_F(Today, SavedWritesTheTilingBeforeTheWallpaperCall)
{
    FixedClock monday(CTime(2026, 12, 7, 12, 0, 0));
    Store("Divers", "Toujours", kSmallRed.Path());
    Store("Divers", "Mosaique", "1");

    ApplyTodaysWallpaper(APPLY_SAVED);

    EXPECT_EQ(ReadText(kDesktop, "TileWallpaper"), "1");
    EXPECT_EQ(Wallpaper(), kSmallRed.Path());
    // Only a tiling in force at the call reaches the corner.
    EXPECT_EQ(ScreenShows(kCorner, kSmallRed), kSmallRed.colour);
}

TEST_F(Today, SavedWithoutAPictureInstallsTheCurrentOneAgain)
{
    FixedClock monday(CTime(2026, 12, 7, 12, 0, 0));
    SetText(kDesktop, "Wallpaper", kOther.Path());

    ApplyTodaysWallpaper(APPLY_SAVED);

    EXPECT_EQ(ScreenShows(Middle(), kOther), kOther.colour);
    EXPECT_EQ(ReadText(kDesktop, "TileWallpaper"), "0");
}

TEST_F(Today, RefreshInstallsTheCurrentWallpaperWhateverTheSchedule)
{
    FixedClock monday(CTime(2026, 12, 7, 12, 0, 0));
    Store("Semaine", "Lundi", kMonday.Path());
    Store("Semaine", "MosaLundi", "1");
    // Named in the settings but not yet on the screen: only the call shows it.
    SetText(kDesktop, "Wallpaper", kOther.Path());

    ApplyTodaysWallpaper(APPLY_REFRESH);

    EXPECT_EQ(Wallpaper(), kOther.Path());
    EXPECT_EQ(ScreenShows(Middle(), kOther), kOther.colour);
    EXPECT_EQ(ReadText(kDesktop, "TileWallpaper"), "0");
    EXPECT_EQ(g_everyDayActive, 0);
}

TEST_F(Today, ACurrentWallpaperThatIsNotAUsableTextMeansNone)
{
    struct { const char* what; DWORD type; std::string data; } cases[] = {
        {"a number", REG_DWORD, std::string("\x01\x00\x00\x00", 4)},
        {"binary without a zero", REG_BINARY, kOther.Path()},
    };
    for (const auto& c : cases) {
        SetDesktopWallpaper(kBefore.Path().c_str());
        SetRawValue(kDesktop, "Wallpaper", c.type, c.data);
        ApplyTodaysWallpaper(APPLY_REFRESH);
        EXPECT_EQ(Wallpaper(), "") << c.what;
        EXPECT_EQ(WaitForScreenPixel(Middle().x, Middle().y, NoPicture()), NoPicture()) << c.what;
    }
    SetDesktopWallpaper(kBefore.Path().c_str());
    DeleteValue(kDesktop, "Wallpaper");
    ApplyTodaysWallpaper(APPLY_REFRESH);
    EXPECT_EQ(Wallpaper(), "") << "a missing value";
}

TEST_F(Today, ACurrentWallpaperStoredWithoutItsZeroIsReadWhole)
{
    SetRawValue(kDesktop, "Wallpaper", REG_SZ, kOther.Path());   // no terminating zero
    ApplyTodaysWallpaper(APPLY_REFRESH);
    EXPECT_EQ(Wallpaper(), kOther.Path());
    EXPECT_EQ(ScreenShows(Middle(), kOther), kOther.colour);
}
}
namespace {
// Handed a longer path, the system stores it cut to 255 characters: another file.
TEST_F(Today, APathTooLongForTheWallpaperCallIsNeverHandedToIt)
{
    for (size_t length : {252u, 300u, 65536u}) {
        std::string path = "C:\\" + std::string(length, 'w');   // 3 + length characters
        SetText(kDesktop, "Wallpaper", path);
        ApplyTodaysWallpaper(APPLY_REFRESH);
        EXPECT_EQ(Wallpaper(), path) << "current wallpaper of " << length;

        Store("Divers", "Toujours", path);
        SetDesktopWallpaper(kBefore.Path().c_str());
        ApplyTodaysWallpaper(APPLY_STARTUP);
        EXPECT_EQ(Wallpaper(), length == 252u ? path : kBefore.Path()) << "every day, " << length;
        EXPECT_EQ(g_everyDayActive, 1);
    }
}
}
