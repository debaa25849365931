// The resident main window as a user meets it: the tray icon's events, its menu,
// the caption, showing and hiding, saving, the about box and the help.
#include "app/about_dlg.h"
#include "tests/support/support.h"
#include <dbt.h>
#include <shellapi.h>
#include <cstring>
#include <fstream>
#include <optional>

namespace {
class MainWindow : public FreshProfile {};

// Only an icon that is in the notification area can be deleted; the probe puts it back.
bool TrayIconPresent(HWND owner)
{
    NOTIFYICONDATAA data = {NOTIFYICONDATAA_V1_SIZE, owner, TRAY_ICON_ID, NIF_ICON};
    data.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
    return Shell_NotifyIconA(NIM_DELETE, &data) && Shell_NotifyIconA(NIM_ADD, &data);
}
}

// 2026-12-06 is a Sunday. The next day comes by the clock alone, just after
// midnight, then by each message that says the day may have changed, and the
// same date a year later is a new day: its picture as assigned, and its date in
// the caption; the same day again brings nothing.
TEST_F(MainWindow, ANewDayBringsItsPictureAsAssignedWhateverTellsOfIt)
{
    const char* days[] = {"Dimanche", "Lundi", "Mardi", "Mercredi", "Jeudi", "Vendredi", "Samedi"};
    _putenv("TZ=UTC0");   // the zone the test's dates are given in
    _tzset();
    for (int d = 0; d < 7; ++d) {
        SetText(ProfileKey("Semaine").c_str(), days[d], std::string("C:\\") + days[d] + ".BMP");
        WriteBytes(std::string("C:\\") + days[d] + ".BMP", "");
        SetText(ProfileKey("Semaine").c_str(), FlagValueName(days[d]), d % 2 ? "1" : "0");
    }
    FixedClock clock(CTime(2026, 12, 6, 12, 0, 0));   // the next look: within a minute, or at midnight
    EXPECT_EQ(NextDateCheck(), 60000u);
    g_fixedTime = CTime(2026, 12, 6, 23, 59, 58).GetTime();
    EXPECT_EQ(NextDateCheck(), 3000u);
    StartUp();
    Resident dlg;
    int day = 0;
    auto shown = [&] {   // the picture, its tiling, and whether the caption names the day
        return DesktopState() + "|" + (Text(dlg.m_hwnd).find(String(IDS_SUNDAY + day % 7)) != std::string::npos ? "named" : "");
    };
    auto expected = [&] {
        return std::string("C:\\") + days[day % 7] + ".BMP|" + (day % 7 % 2 ? "1" : "0") + "|0|named";
    };
    ASSERT_EQ(shown(), expected());
    EXPECT_EQ(Text(dlg.m_hwnd), French() ? "Image du mirval       Dimanche 6 D\xE9""cembre 2026"
                                         : "Mirval picture       Sunday, 6 D\xE9""cember 2026");
    g_fixedTime = CTime(2026, 12, 7, 0, 0, 1).GetTime();
    ++day;
    EXPECT_TRUE(Eventually([&] { return shown() == expected(); })) << "midnight: " << shown();

    struct { const char* what; UINT message; WPARAM wParam; } ways[] = {
        {"the clock set", WM_TIMECHANGE, 0},
        {"the zone or a setting changed", WM_SETTINGCHANGE, 0},
        {"the PC woke", WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC},
        {"the PC woke, its user there", WM_POWERBROADCAST, PBT_APMRESUMESUSPEND},
        {"a drive arrived", WM_DEVICECHANGE, DBT_DEVICEARRIVAL},
    };
    for (const auto& way : ways) {
        SetText(kDesktop, "Wallpaper", "C:\\AUTRE.BMP");   // what a new install would replace
        g_fixedTime += 600;
        dlg.Send(way.message, way.wParam);
        EXPECT_EQ(Wallpaper(), "C:\\AUTRE.BMP") << way.what << ", the same day";
        g_fixedTime += 24 * 3600;
        ++day;
        dlg.Send(way.message, way.wParam);
        EXPECT_EQ(shown(), expected()) << way.what << ", a day later";
    }
    g_fixedTime += 365 * 24 * 3600;   // 2027-12-12, a Sunday
    ++day;
    dlg.Send(WM_TIMECHANGE);
    EXPECT_EQ(shown(), expected()) << "the same date a year later";
    // A zone twelve hours behind: the same moment is the day before's noon.
    _putenv("TZ=XXX+12");
    --day;
    dlg.Send(WM_SETTINGCHANGE);
    EXPECT_EQ(shown(), expected()) << "the zone changed";
    _putenv("TZ=");
    _tzset();
    EXPECT_EQ(dlg.Send(WM_POWERBROADCAST, PBT_APMQUERYSUSPEND), TRUE) << "the PC may sleep";
}

TEST_F(MainWindow, BlinksAtStartThenOnlyTheTraysLeftPressShowsIt)
{
    Resident dlg;
    EXPECT_TRUE(dlg.m_blinked) << "not shown, then hidden by the first timer tick";
    for (LPARAM idle : {WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_MOUSEMOVE, WM_RBUTTONUP}) {
        dlg.Tray(idle);
        EXPECT_FALSE(dlg.Shown()) << idle;
    }
    dlg.Send(WM_TRAYICON, 129, WM_LBUTTONDOWN);
    EXPECT_FALSE(dlg.Shown()) << "another icon's press";
    dlg.Tray(WM_LBUTTONDOWN);
    EXPECT_TRUE(dlg.Shown());
    dlg.Send(WM_TIMER, 77);
    EXPECT_FALSE(dlg.Shown()) << "any timer hides";
}

TEST_F(MainWindow, TrayMenuHasItsSixEntriesWithItsRightEdgeAtThePointer)
{
    Resident dlg;
    MouseAt({500, 300});   // Wine follows the X pointer: wait until it has the place
    Eventually([] { POINT at; return GetCursorPos(&at) && at.x == 500 && at.y == 300; });
    dlg.Post(WM_TRAYICON, TRAY_ICON_ID, WM_RBUTTONDOWN);
    HWND window = OpenMenu();
    ASSERT_TRUE(window) << "no menu";
    EXPECT_EQ(MenuEntries(HMENU(SendMessageA(window, MN_GETHMENU, 0, 0)), true),
              "&Quitter 32771| 0|&Param\xEAtrage 32772| 0|A &propos de ... 32775|&Aide 32776|");
    RECT at;
    GetWindowRect(window, &at);
    EXPECT_EQ(std::make_pair(at.right, at.top), std::make_pair(500L, 300L));
    EXPECT_FALSE(dlg.Shown());
    PostMessageA(window, WM_CHAR, 'p', 0);   // "&Paramêtrage" by its key
    EXPECT_TRUE(Eventually([&] { return dlg.Shown(); }));
}

TEST_F(MainWindow, QuitEscapeAndEnter)
{
    SetText(ProfileKey("Semaine").c_str(), "Lundi", "C:\\IMAGES\\FOND.BMP");
    StartUp();
    const std::string before = Snapshot(kCompanyKey);
    std::optional<Resident> dlg(std::in_place);
    const HWND hwnd = dlg->m_hwnd;
    EXPECT_TRUE(TrayIconPresent(hwnd)) << "no tray icon while resident";
    dlg->Post(WM_KEYDOWN, VK_RETURN);   // before any tray event, and after one
    EXPECT_FALSE(Eventually([&] { return dlg->m_ended.load(); }, 1000)) << "Enter ended it";
    dlg->Tray(WM_LBUTTONDOWN);
    dlg->Post(WM_KEYDOWN, VK_RETURN);
    EXPECT_FALSE(Eventually([&] { return dlg->m_ended || !dlg->Shown(); }, 1000)) << "Enter";
    dlg->Send(WM_COMMAND, ID_TRAY_QUIT);
    ASSERT_TRUE(dlg->WaitEnded());
    EXPECT_EQ(dlg->m_result, 0);
    EXPECT_EQ(g_pSchedule, nullptr) << "\"&Quitter\" keeps the table";
    dlg.reset();
    EXPECT_FALSE(IsWindow(hwnd) || TrayIconPresent(hwnd)) << "the window or its icon stayed";
    dlg.emplace();
    dlg->Tray(WM_LBUTTONDOWN);
    dlg->Post(WM_KEYDOWN, VK_ESCAPE);
    ASSERT_TRUE(dlg->WaitEnded()) << "Escape did not end the program";
    EXPECT_EQ(dlg->m_result, IDCANCEL);
    EXPECT_NE(g_pSchedule, nullptr) << "Escape released the table";
    EXPECT_EQ(Snapshot(kCompanyKey), before) << "written on the way out";
}

TEST_F(MainWindow, CloseBoxAnnulerAndSystemCloseHideAndPutTheDesktopsWallpaperBack)
{
    struct { UINT message; WPARAM wParam; COLORREF colour; } ways[] = {
        {WM_CLOSE, 0, RGB(200, 40, 40)},
        {WM_COMMAND, IDC_CANCEL, RGB(40, 200, 40)},
        {WM_SYSCOMMAND, SC_CLOSE, RGB(40, 40, 200)},
    };
    SetText(ProfileKey("Divers").c_str(), "Toujours", "C:\\jamais.bmp");
    StartUp();
    Resident dlg;
    for (const auto& way : ways) {
        const std::string picture = std::string(kFiles) + std::to_string(way.message) + ".bmp";
        WriteBitmap(picture, 800, 600, way.colour);
        SetText(kDesktop, "Wallpaper", picture);   // named, not yet on the screen
        dlg.Tray(WM_LBUTTONDOWN);
        dlg.Send(way.message, way.wParam);
        EXPECT_FALSE(dlg.Shown()) << way.message;
        EXPECT_EQ(ScreenPixel({400, 300}, way.colour), way.colour) << way.message;
    }
    EXPECT_FALSE(dlg.m_ended);
    NOTIFYICONDATAA data = {NOTIFYICONDATAA_V1_SIZE, dlg.m_hwnd, TRAY_ICON_ID};
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &data));   // as a new taskbar knows no icons
    dlg.Send(RegisterWindowMessageA("TaskbarCreated"));
    EXPECT_TRUE(TrayIconPresent(dlg.m_hwnd));
}

TEST_F(MainWindow, OkWritesTheFortyValuesUnderTheProgramsNameAndHides)
{
    const std::string week = ProfileKey("Semaine"), month = ProfileKey("Mois");
    SetText(week.c_str(), "Mardi", "C:\\IMAGES\\MARDI.BMP");
    SetText(week.c_str(), "MosaMardi", "1");
    SetText(month.c_str(), "Ao\xFBt", "D:\\");   // a folder without a file
    StartUp();
    DeleteKeyTree(kCompanyKey);
    CRegKey().Create(HKEY_CURRENT_USER, theApp.GetProfileKeyPath());
    Resident dlg;
    EXPECT_FALSE(dlg.Checked(IDC_EVERY_DAY));
    dlg.Tray(WM_LBUTTONDOWN);
    dlg.Click(IDC_MOSAIQUE);
    dlg.Send(WM_COMMAND, IDC_OK);
    EXPECT_FALSE(dlg.Shown());
    const std::string all = Snapshot(theApp.GetProfileKeyPath());
    const std::string empty = "=1:" + std::string(1, '\0') + "\n";
    int texts = 0, empties = 0;
    for (size_t at = 0; (at = all.find("=1:", at)) != std::string::npos; ++at, ++texts)
        empties += all.compare(at, empty.size(), empty) == 0;
    EXPECT_EQ(texts, 40) << all;
    EXPECT_EQ(empties, 40 - 5) << all;
    EXPECT_EQ(ReadValue(week.c_str(), "Mardi"), Sz("C:\\IMAGES\\MARDI.BMP"));
    EXPECT_EQ(ReadText(week.c_str(), "MosaMardi"), "1");
    EXPECT_EQ(ReadText(month.c_str(), "Ao\xFBt"), "D:\\");
    EXPECT_EQ(ReadText(month.c_str(), "MosaAo\xFBt"), "0");
    EXPECT_EQ(ReadText(ProfileKey("Divers").c_str(), "Mosaique"), "1");
    EXPECT_EQ(Snapshot(kCompanyKey).find("\\MIRVAL\\"), std::string::npos) << "a fixed name";
}

TEST_F(MainWindow, TheEveryDayBoxWithoutAChoiceWarnsAndSavesNothing)
{
    SetText(ProfileKey("Divers").c_str(), "Toujours", "C:\\IMAGES\\TOUS.BMP");
    SetText(ProfileKey("Divers").c_str(), "Mosaique", "1");
    StartUp();
    const std::string before = Snapshot(kCompanyKey);
    Resident dlg;
    EXPECT_TRUE(dlg.Checked(IDC_EVERY_DAY)) << "\"Toujours\" is stored";
    EXPECT_TRUE(dlg.Checked(IDC_CENTRE)) << "whatever the stored flags say";
    dlg.Tray(WM_LBUTTONDOWN);
    MessageBoxAnswer box(IDOK);
    dlg.Send(WM_COMMAND, IDC_OK);
    ASSERT_TRUE(box.Answered());
    EXPECT_EQ(box.caption, String(IDS_WARNING));
    EXPECT_EQ(box.text, String(IDS_EVERY_DAY_UNSET));
    EXPECT_EQ(box.icon, LoadIconA(nullptr, IDI_HAND));
    EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
    EXPECT_FALSE(dlg.Checked(IDC_EVERY_DAY));
    EXPECT_EQ(Snapshot(kCompanyKey), before);
    g_selectedPicture = "C:\\IMAGES\\CHOISIE.BMP";
    dlg.Click(IDC_EVERY_DAY);
    dlg.Send(WM_COMMAND, IDC_OK);
    EXPECT_EQ(ReadText(ProfileKey("Divers").c_str(), "Toujours"), "C:\\IMAGES\\CHOISIE.BMP");
}

// A section whose access list is empty: nobody may read or write it.
TEST_F(MainWindow, ASaveThatFailsSaysSoAndStaysShown)
{
    const std::string week = ProfileKey("Semaine");
    SetText(week.c_str(), "Lundi", "C:\\A\\LUNDI.BMP");
    CRegKey key;
    SECURITY_DESCRIPTOR sd;
    ACL empty;
    InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    InitializeAcl(&empty, sizeof empty, ACL_REVISION);
    SetSecurityDescriptorDacl(&sd, TRUE, &empty, FALSE);
    ASSERT_FALSE(key.Open(HKEY_CURRENT_USER, week.c_str(), WRITE_DAC));
    ASSERT_FALSE(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd));
    StartUp();
    EXPECT_STREQ(g_pSchedule->slot[1].file, "") << "a section nobody may read loads as empty";
    Resident dlg;
    auto okFails = [&](const char* way) {
        dlg.Tray(WM_LBUTTONDOWN);
        MessageBoxAnswer box(IDOK);
        dlg.Send(WM_COMMAND, IDC_OK);
        ASSERT_TRUE(box.Answered()) << way;
        EXPECT_EQ(box.text, String(IDS_SAVE_FAILED)) << way;
        EXPECT_TRUE(dlg.Shown()) << way;
    };
    okFails("a section nobody may write");
    SetSecurityDescriptorDacl(&sd, TRUE, nullptr, FALSE);   // everyone may, again
    RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd);
    EXPECT_EQ(ReadText(ProfileKey("Mois").c_str(), "Janvier"), "") << "what could be, was written";
    EXPECT_EQ(ReadText(week.c_str(), "Lundi"), "C:\\A\\LUNDI.BMP") << "the stored setting lost";
    DeleteKeyTree(kCompanyKey);
    okFails("the program's key gone");
    EXPECT_EQ(Snapshot(kCompanyKey), "");
}

TEST(AboutLines, FromThePlatformsFigures)
{
    struct { CString line; const char* french; const char* english; } cases[] = {
        {MemoryLine(32u << 20), "32768 KB", nullptr},
        {MemoryLine(0xFFFFFFFFu), "4194303 KB", nullptr},
        {MemoryLine(24ull << 30), "25165824 KB", nullptr},
        {MemoryLine(~0ull), "4294967295 KB", nullptr},
        {FreeSpaceLine(3, true, 512, 64, 10000), "320000 KB libre sur C:", "320000 KB on free C:"},
        {FreeSpaceLine(26, true, 65536, 128, ~0u), "4294967295 KB libre sur Z:",
         "4294967295 KB on free Z:"},
        {FreeSpaceLine(1, false, 0, 0, 0), "Unavailable", nullptr},
        {FreeSpaceLine(0, true, 512, 8, 100), "Unavailable", nullptr},
        {SystemLine(0), "Operating System : WIN32S", nullptr},
        {SystemLine(1), "Operating System : Windows 95", nullptr},
        {SystemLine(2), "Operating System : Windows NT", nullptr},
        {SystemLine(3), "Operating System : unknown (3)", nullptr},
        {VersionLine(4, 0, 0x040003B6), "Version 4.0.950\n", nullptr},
        {VersionLine(4, 0, 1381), "Version 4.0.1381\n", nullptr},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.line, French() || !c.english ? c.french : c.english);
}

// What each Windows that Wine plays (WINDOWS_VERSION) says of itself in the
// about box, and whether its help is HTML Help; with no setting, Wine's default.
struct Windows { const char* name; const char* system; const char* version; bool htmlHelp; };
const Windows& ThisWindows()
{
    static const Windows table[] = {
        {"win95", "Windows 95", "Version 4.0.950\n", false},
        {"win98", "Windows 95", "Version 4.10.2222\n", false},
        {"nt40", "Windows NT", "Version 4.0.1381\n", false},
        {"winxp", "Windows NT", "Version 5.1.2600\n", false},
        {"win7", "Windows NT", "Version 6.1.7601\n", true},
        {"win10", "Windows NT", "Version 10.0.18362\n", true},
    };
    const char* asked = getenv("WINDOWS_VERSION");
    for (const Windows& w : table)
        if (asked && !strcmp(asked, w.name)) return w;
    return table[5];
}

// The machine's memory as Linux gives it to Wine, in KB: Wine counts its 4 KB
// pages from the second to the last, one fewer than Linux has.
std::string MemTotal()
{
    std::ifstream meminfo("Z:\\proc\\meminfo");
    std::string name;
    unsigned long long kb = 0;
    while (meminfo >> name >> kb && name != "MemTotal:") meminfo.ignore(256, '\n');
    return std::to_string((kb / 4 - 1) * 4);
}

// The box's lines as the platform gives its figures here: memory, the current
// drive, the system and its version.
TEST_F(MainWindow, AboutBoxOpensFromTheTrayMenuAndTheSystemMenu)
{
    Resident dlg;
    HMENU system = GetSystemMenu(dlg.m_hwnd, FALSE);
    const int last = GetMenuItemCount(system) - 1;
    char text[64] = "";
    GetMenuStringA(system, last, text, sizeof text, MF_BYPOSITION);
    EXPECT_EQ(text + std::to_string(GetMenuItemID(system, last)), String(IDS_ABOUTBOX) + "16");
    EXPECT_TRUE(GetMenuState(system, last - 1, MF_BYPOSITION) & MF_SEPARATOR);
    char cwd[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof cwd, cwd);
    const std::string lines = MemTotal() + " KB|" + (French() ? "libre sur " : "on free ") +
                              cwd[0] + ":|Operating System : " + ThisWindows().system + "|" +
                              ThisWindows().version;
    auto about = [&] { return FindOwn("#32770", [&](HWND w) { return w != dlg.m_hwnd; }); };
    for (UINT message : {WM_COMMAND, WM_SYSCOMMAND}) {
        dlg.Post(message, message == WM_COMMAND ? ID_TRAY_ABOUT : IDM_ABOUTBOX | 3);
        HWND box = nullptr;   // shown once its lines are filled
        ASSERT_TRUE(Eventually([&] { return (box = about()) != nullptr; })) << message;
        EXPECT_EQ(Text(box), "A propos de Mirval");
        EXPECT_EQ(GetWindow(box, GW_OWNER), dlg.m_hwnd);
        EXPECT_FALSE(IsWindowEnabled(dlg.m_hwnd));
        const std::string space = Text(GetDlgItem(box, IDC_FREE_SPACE));
        EXPECT_EQ(Text(GetDlgItem(box, IDC_MEMORY)) + "|" + space.substr(space.find("KB ") + 3) +
                      "|" + Text(GetDlgItem(box, IDC_SYSTEM)) + "|" +
                      Text(GetDlgItem(box, IDC_VERSION)),
                  lines);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(Eventually([&] { return !IsWindow(box) && IsWindowEnabled(dlg.m_hwnd); }));
    }
    EXPECT_FALSE(dlg.Shown()) << "the about box showed the resident window";
}

// Run with Wine's help viewer turned off: each way in says that help failed. On
// the systems that have no WinHelp viewer, HTML Help was asked first (Wine's
// cannot show pages), its control loaded at the first request, not before.
TEST_F(MainWindow, HelpThatCannotStartIsReported)
{
    EXPECT_EQ(GetModuleHandleA("hhctrl.ocx"), nullptr);
    Resident dlg;
    dlg.Tray(WM_LBUTTONDOWN);
    HELPINFO info = {sizeof info};
    for (UINT message : {WM_COMMAND, WM_KEYDOWN, WM_HELP}) {
        MessageBoxAnswer box(IDOK);
        if (message == WM_HELP)   // the caption's button; it carries a pointer, so it is sent
            std::thread([&] { dlg.Send(WM_HELP, 0, reinterpret_cast<LPARAM>(&info)); }).detach();
        else
            dlg.Post(message, message == WM_COMMAND ? ID_TRAY_HELP : VK_F1);
        ASSERT_TRUE(box.Answered()) << message;
        EXPECT_EQ(box.text, String(AFX_IDP_FAILED_TO_LAUNCH_HELP)) << message;
    }
    EXPECT_EQ(GetModuleHandleA("hhctrl.ocx") != nullptr, ThisWindows().htmlHelp);
}
