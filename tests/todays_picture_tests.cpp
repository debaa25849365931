// Today's picture waits for its file, on a drive not there yet or in a folder
// renamed away, and behind a check that takes long: the desktop keeps what it
// shows meanwhile, and the window answers.
#include "schedule/todays_picture.h"
#include "tests/support/support.h"
#include <dbt.h>

namespace {
// 2026-12-07 is a Monday.
const CTime kMonday(2026, 12, 7, 12, 0, 0);

// The test world's drive X: is a link to its folder "cle": renamed away, the
// drive is not there, as a stick not plugged in or a network drive not yet
// reconnected.
std::string StickFolder()
{
    std::string path = std::string("Z:") + getenv("MIRVAL_TEST_WORLD") + "/cle";
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

void Rename(const std::string& path, bool there)
{
    MoveFileA((path + (there ? "-" : "")).c_str(), (path + (there ? "" : "-")).c_str());
}

void Drive(bool there)
{
    Rename(StickFolder(), there);
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
    }
    void TearDown() override
    {
        Drive(true);
        SetReadableCheck(nullptr);
        ForgetWaitingPicture();
        FreshProfile::TearDown();
    }
    static std::string Desktop() { return Wallpaper() + "|" + ReadText(kDesktop, "TileWallpaper"); }
};
}

TEST_F(TodaysPicture, OnADriveNotThereYetOrRenamedAwayItComesOnceItCanBeRead)
{
    FixedClock clock(kMonday);
    StartUp();
    EXPECT_EQ(Desktop(), "C:\\AVANT.BMP|0") << "the start";
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
        ApplyTodaysWallpaper(APPLY_STARTUP);
        dlg.Send(way.message, way.wParam);
        EXPECT_EQ(Desktop(), "C:\\AVANT.BMP|0") << way.what << ", before";
        way.there(true);
        dlg.Send(way.message, way.wParam);
        // X: is a network drive: its job answers when it has read the file.
        EXPECT_TRUE(Eventually([] { return Desktop() == "X:\\Photos\\LUNDI.BMP|1"; })) << way.what;
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

// A check held until the test lets it go, as one of a network that is not there
// (X: is a network drive; a local disk's file is asked at once, on the window's
// thread).
TEST_F(TodaysPicture, TheWindowAnswersWhileACheckTakesLong)
{
    static HANDLE asked, held;
    asked = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    held = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    FixedClock clock(kMonday);
    StartUp();
    SetReadableCheck([](const char*) {
        SetEvent(asked);
        return WaitForSingleObject(held, INFINITE) == 0;
    });
    Resident dlg;
    Drive(true);
    DWORD_PTR answer;
    EXPECT_TRUE(SendMessageTimeoutA(dlg.m_hwnd, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0,
                                    SMTO_NORMAL, 5000, &answer))
        << "the window waits for the check";
    ASSERT_EQ(WaitForSingleObject(asked, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(Desktop(), "C:\\AVANT.BMP|0");
    SetEvent(held);
    EXPECT_TRUE(Eventually([] { return Desktop() == "X:\\Photos\\LUNDI.BMP|1"; }));
    CloseHandle(held);
    CloseHandle(asked);
}
