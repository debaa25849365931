// Today's picture waits for its file, on a drive not there yet or in a folder
// renamed away, and behind a check that takes long: the desktop keeps what it
// shows meanwhile, and the window answers.
#include "schedule/todays_picture.h"
#include "schedule/try_wallpaper.h"
#include "tests/support/photos.h"
#include <dbt.h>

namespace {
// 2026-12-07 is a Monday.
const CTime kMonday(2026, 12, 7, 12, 0, 0);

void Rename(const std::string& path, bool there)
{
    MoveFileA((path + (there ? "-" : "")).c_str(), (path + (there ? "" : "-")).c_str());
}

// The test world's drive X: is a link to its folder "cle": renamed away, the
// drive is not there, as a stick not plugged in or a network drive not yet
// reconnected.
void Drive(bool there)
{
    Rename(WinPath(getenv("MIRVAL_TEST_WORLD") + std::string("/cle")), there);
}

void Folder(bool there)
{
    Rename("X:\\Photos", there);
}

class TodaysPicture : public FreshProfile {
protected:
    void SetUp() override
    {
        FreshProfile::SetUp();
        WriteBitmap("X:\\Photos\\LUNDI.BMP", 8, 8, RGB(255, 0, 0));
        WriteBitmap(std::string(kFiles) + "MARDI.BMP", 8, 8, RGB(0, 255, 0));
        Drive(false);
        SetText(ProfileKey("Semaine").c_str(), "Lundi", "X:\\Photos\\LUNDI.BMP");
        SetText(ProfileKey("Semaine").c_str(), "MosaLundi", "1");
        SetText(ProfileKey("Semaine").c_str(), "Mardi", std::string(kFiles) + "MARDI.BMP");
        SetText(kDesktop, "Wallpaper", "C:\\AVANT.BMP");
        SetText(kDesktop, "TileWallpaper", "0");
        SetText(kDesktop, "WallpaperStyle", "0");
    }
    void TearDown() override
    {
        Drive(true);
        SetReadableCheck(nullptr);
        ForgetWaitingPicture();
        FreshProfile::TearDown();
    }
    // The same weekday a week later, told to the dialog's own thread, which
    // installs its picture as a start does.
    static void NextWeek(Resident& dlg)
    {
        g_fixedTime += 7 * 24 * 3600;
        dlg.Send(WM_TIMECHANGE);
    }
};

// A check held until the test lets it go, as one of a network that is not
// there; let go at the test's end however it ends, so that no job is left
// blocked for the cases after.
struct HeldCheck {
    HeldCheck()
    {
        asked = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        held = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    }
    ~HeldCheck()
    {
        SetEvent(held);
        CloseHandle(held);
        CloseHandle(asked);
    }
    static bool Hold()   // as a readable check: asked, held, then readable
    {
        SetEvent(asked);
        return WaitForSingleObject(held, INFINITE) == WAIT_OBJECT_0;
    }
    static inline HANDLE asked, held;
};
}

TEST_F(TodaysPicture, OnADriveNotThereYetOrRenamedAwayItComesOnceItCanBeRead)
{
    FixedClock clock(kMonday);
    StartUp();
    EXPECT_EQ(DesktopState(), "C:\\AVANT.BMP|0|0") << "the start";
    EXPECT_TRUE(PictureWaiting());
    Resident dlg;
    auto renamed = [](bool there) {
        Drive(true);
        Folder(there);
    };
    struct { const char* what; std::function<void(bool)> there; UINT message; WPARAM wParam; } ways[] = {
        {"a drive arrived", Drive, WM_DEVICECHANGE, DBT_DEVICEARRIVAL},
        {"the minute's look finds the drive", Drive, WM_TIMER, TIMER_DATE},
        {"the folder renamed back", renamed, WM_TIMER, TIMER_DATE},
    };
    for (const auto& way : ways) {
        way.there(false);
        SetText(kDesktop, "Wallpaper", "C:\\AVANT.BMP");
        SetText(kDesktop, "TileWallpaper", "0");
        NextWeek(dlg);
        dlg.Send(way.message, way.wParam);
        EXPECT_TRUE(Eventually([] { return !PictureJobUnderWay(); })) << way.what;
        EXPECT_EQ(DesktopState(), "C:\\AVANT.BMP|0|0") << way.what << ", before";
        way.there(true);
        dlg.Send(way.message, way.wParam);
        // X: is a network drive: its job answers when it has read the file.
        EXPECT_TRUE(Eventually([] { return DesktopState() == "X:\\Photos\\LUNDI.BMP|1|0"; })) << way.what;
    }
}

// The next day's picture, not the waiting one; a save whose picture is missing
// saves all the same, and its picture waits.
TEST_F(TodaysPicture, ANewDayOrASaveTakesThePlaceOfTheWaitingPicture)
{
    FixedClock clock(kMonday);
    StartUp();
    Resident dlg;
    g_fixedTime += 24 * 3600;
    dlg.Send(WM_TIMECHANGE);
    Drive(true);
    dlg.Send(WM_DEVICECHANGE, DBT_DEVICEARRIVAL);
    EXPECT_EQ(Wallpaper(), std::string(kFiles) + "MARDI.BMP");

    const std::string tuesday = std::string(kFiles) + "MARDI.BMP";
    MoveFileA(tuesday.c_str(), (tuesday + "-").c_str());
    SetText(kDesktop, "Wallpaper", "C:\\AVANT.BMP");
    g_pSchedule->slot[3] = {"C:\\", "MERCREDI.BMP", "0"};
    dlg.Tray(WM_LBUTTONDOWN);
    dlg.Click(IDC_OK);
    EXPECT_EQ(ReadText(ProfileKey("Semaine").c_str(), "Mercredi"), "C:\\MERCREDI.BMP") << "saved";
    EXPECT_EQ(Wallpaper(), "C:\\AVANT.BMP");
    MoveFileA((tuesday + "-").c_str(), tuesday.c_str());
    dlg.Send(WM_TIMER, TIMER_DATE);
    EXPECT_EQ(Wallpaper(), tuesday);
}

// Each as today's picture, on the dialog's thread as a new day brings it: a
// photo that cannot be shown installs nothing; then one that can, upright.
TEST_F(TodaysPicture, HostilePhotosInstallNothingAndAGoodOneComesUpright)
{
    const std::string hostile = std::string(kFiles) + "hostiles\\";
    const std::string jpeg = FileText(PhotoPath("ROUGE.JPG"));
    const std::pair<const char*, std::string> files[] = {
        {"COUPE.JPG", jpeg.substr(0, jpeg.size() / 2)},
        {"VIDE.JPG", ""},
        {"ENORME.PNG", FileText(PhotoPath("VERRE.PNG")).substr(0, 16) + std::string("\0\x01\x86\xA0\0\x01\x86\xA0", 8) +
                           FileText(PhotoPath("VERRE.PNG")).substr(24)},
        {"RIEN.PNG", FileText(PhotoPath("VERRE.PNG")).substr(0, 16) + std::string(8, '\0')},
        {"TEXTE.JPG", "pas une photo"},
        {"DEBORDE.JPG", WithOrientation(jpeg, 6, true).substr(0, 60)},
    };
    FixedClock clock(kMonday);
    Resident dlg;
    auto today = [&](const std::string& path) {
        SetText(ProfileKey("Semaine").c_str(), "Lundi", path);
        NextWeek(dlg);
        return Eventually([] { return !PictureJobUnderWay(); }, 20000);
    };
    for (const auto& file : files) {
        WriteBytes(hostile + file.first, file.second);
        EXPECT_TRUE(today(hostile + file.first)) << file.first << " ends";
        EXPECT_EQ(DesktopState(), "C:\\AVANT.BMP|0|0") << file.first;
        EXPECT_TRUE(PictureWaiting()) << file.first;
    }
    for (const char* name : {"CMJN.JPG", "PROGRESSIF.JPG", "SEIZE.PNG", "ENTRELACE.PNG", "ANIME.GIF"})
        EXPECT_TRUE(today(PhotoPath(name))) << name << " ends";
    const std::string turned = std::string(kFiles) + "TOURNE.JPG";
    WriteBytes(turned, WithOrientation(FileText(PhotoPath("PORTRAIT.JPG")), 6));
    ASSERT_TRUE(today(turned));
    EXPECT_EQ(Wallpaper().substr(0, CopyFolder().size() + 4), CopyFolder() + "FOND");
    EXPECT_EQ(BitmapSize(Wallpaper()), "200x300");
}

// Windows 7 to 11 rewrite TranscodedWallpaper at each wallpaper call: the
// desktop test's put-back comes from a copy made before, pixel for pixel.
TEST_F(TodaysPicture, TheDesktopTestPutsBackAPictureThatWindowsRewrites)
{
    char appData[MAX_PATH];
    GetEnvironmentVariableA("APPDATA", appData, sizeof appData);
    const std::string transcoded = std::string(appData) + "\\Microsoft\\Windows\\Themes\\TranscodedWallpaper";
    WriteBitmap(transcoded, 8, 8, RGB(0, 0, 255));
    SetText(kDesktop, "Wallpaper", transcoded);
    std::string during;
    MessageBoxAnswer box(IDOK, 10000, [&] {
        during = Wallpaper();
        WriteBitmap(transcoded, 8, 8, RGB(255, 0, 0));   // as Windows does
    });
    TryWallpaper(PhotoPath("ROUGE.JPG").c_str(), FALSE);
    EXPECT_EQ(during, CopyFolder() + "ESSAI.BMP") << "a trial copy of its own";
    EXPECT_TRUE(box.Answered());
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, LoadImageA(nullptr, Wallpaper().c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    EXPECT_EQ(GetPixel(dc, 4, 4), RGB(0, 0, 255)) << Wallpaper();
    DeleteObject(SelectObject(dc, previous));
    DeleteDC(dc);
}

// A check of X:, a network drive, held as one of a network that is not there:
// the window answers meanwhile (a local disk's file is asked at once, on the
// window's thread). Once a newer job has found the file gone, the held one's
// answer, readable, is dropped, and nothing is installed.
TEST_F(TodaysPicture, TheWindowAnswersWhileACheckTakesLongAndAnOlderAnswerIsDropped)
{
    static HANDLE heldThread;
    static LONG calls;
    calls = 0;
    FixedClock clock(kMonday);
    Drive(true);
    Resident dlg;
    HeldCheck check;   // let go before the dialog ends, however the case ends
    SetReadableCheck([](const char*) {
        if (InterlockedIncrement(&calls) > 1) return false;   // gone, for the newer job
        DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &heldThread,
                        SYNCHRONIZE, FALSE, 0);
        return HeldCheck::Hold();
    });
    DWORD_PTR answer;
    ASSERT_TRUE(SendMessageTimeoutA(dlg.m_hwnd, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0,
                                    SMTO_NORMAL, 5000, &answer))
        << "the window waits for the check";
    ASSERT_EQ(WaitForSingleObject(HeldCheck::asked, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(DesktopState(), "C:\\AVANT.BMP|0|0");
    dlg.Send(WM_DEVICECHANGE, DBT_DEVICEARRIVAL);
    EXPECT_TRUE(Eventually([] { return calls == 2 && !PictureJobUnderWay(); }));
    SetEvent(HeldCheck::held);
    EXPECT_EQ(WaitForSingleObject(heldThread, 5000), WAIT_OBJECT_0);
    dlg.Send(WM_NULL), dlg.Send(WM_NULL);   // its answer, posted, is handled before the second
    EXPECT_EQ(DesktopState(), "C:\\AVANT.BMP|0|0");
    EXPECT_TRUE(PictureWaiting());
    CloseHandle(heldThread);
}
