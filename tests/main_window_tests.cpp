// The resident main window as a user meets it: the real dialog runs its modal
// loop on a thread of its own, while the tests send it the tray icon's events,
// find its menus and message boxes by their windows, and read the registry and
// the screen.
#include "app/about_dlg.h"
#include "app/mirval_app.h"
#include "app/mirval_dlg.h"
#include "res/resource.h"
#include "schedule/schedule.h"
#include "schedule/wallpaper.h"
#include "tests/support/resident.h"
#include "tests/support/test_support.h"
#include "tests/support/fresh_profile.h"
#include <gtest/gtest.h>
#include <shellapi.h>
#include <atomic>
#include <functional>
#include <map>
#include <thread>

namespace {

bool French()
{
    const char* language = getenv("MIRVAL_LANGUAGE");
    return !language || strcmp(language, "en") != 0;
}


// Whether our tray icon is in the notification area: only an icon that is there
// can be deleted. The probe puts it back.
bool TrayIconPresent(HWND owner)
{
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = owner;
    data.uID = TRAY_ICON_ID;
    if (!Shell_NotifyIconA(NIM_DELETE, &data)) return false;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAYICON;
    data.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
    Shell_NotifyIconA(NIM_ADD, &data);
    return true;
}

class MainWindow : public FreshProfile {};
}

// ---- The caption ----

TEST_F(MainWindow, CaptionNamesTheDayOfTheStart)
{
    struct { CTime when; const char* french; const char* english; } cases[] = {
        {CTime(1999, 12, 5, 10, 0, 0), "Image du mirval       Dimanche 5 D\xE9""cembre 1999",
         "Mirval picture       Sunday, 5 D\xE9""cember 1999"},
        {CTime(2000, 1, 1, 0, 0, 0), "Image du mirval       Samedi 1 Janvier 2000",
         "Mirval picture       Saturday, 1 January 2000"},
        {CTime(2026, 2, 28, 12, 0, 0), "Image du mirval       Samedi 28 F\xE9vrier 2026",
         "Mirval picture       Saturday, 28 Febuary 2026"},
        {CTime(2026, 8, 15, 12, 0, 0), "Image du mirval       Samedi 15 Ao\xFBt 2026",
         "Mirval picture       Saturday, 15 Auguste 2026"},
    };
    for (const auto& c : cases) {
        FixedClock clock(c.when);
        Resident dlg;
        EXPECT_EQ(Text(dlg.m_hwnd), French() ? c.french : c.english);
    }
}

TEST_F(MainWindow, CaptionKeepsItsDateAcrossMidnight)
{
    std::string before;
    {
        FixedClock evening(CTime(1999, 12, 5, 23, 59, 59));
        Resident dlg;
        before = Text(dlg.m_hwnd);
        FixedClock morning(CTime(1999, 12, 6, 0, 0, 1));
        dlg.Tray(WM_LBUTTONDOWN);
        dlg.Command(IDC_CANCEL);
        dlg.Command(ID_TRAY_SETUP);
        EXPECT_EQ(Text(dlg.m_hwnd), before);
    }
    EXPECT_NE(before.find(" 5 D\xE9"), std::string::npos) << before;
}

// ---- Showing and hiding ----

TEST_F(MainWindow, HidesItselfAtTheFirstTimerTick)
{
    Resident dlg;
    EXPECT_TRUE(dlg.m_hidden) << "still shown after the blink";
    dlg.Tray(WM_LBUTTONDOWN);
    ASSERT_TRUE(dlg.Shown());
    dlg.Send(WM_TIMER, 77);   // whatever the timer
    EXPECT_FALSE(dlg.Shown());
}

TEST_F(MainWindow, TrayEventsThatShowAndThoseThatDoNot)
{
    Resident dlg;
    struct { const char* what; WPARAM id; LPARAM mouse; } idle[] = {
        {"left release", TRAY_ICON_ID, WM_LBUTTONUP},
        {"left double-click", TRAY_ICON_ID, WM_LBUTTONDBLCLK},
        {"mouse move", TRAY_ICON_ID, WM_MOUSEMOVE},
        {"right release", TRAY_ICON_ID, WM_RBUTTONUP},
        {"middle press", TRAY_ICON_ID, WM_MBUTTONDOWN},
        {"left press of another icon", 129, WM_LBUTTONDOWN},
    };
    for (const auto& e : idle) {
        dlg.Tray(e.mouse, e.id);
        EXPECT_FALSE(dlg.Shown()) << e.what;
    }

    dlg.Tray(WM_LBUTTONDOWN);
    EXPECT_TRUE(dlg.Shown()) << "left press";
    dlg.Command(IDC_CANCEL);
    ASSERT_FALSE(dlg.Shown());

    // A double-click is a press, a release, a double-click and a release.
    for (LPARAM mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        dlg.Tray(mouse);
    EXPECT_TRUE(dlg.Shown()) << "double-click";
    EXPECT_EQ(OpenMenu(300), nullptr) << "a double-click opened a menu";

    dlg.Command(IDC_CANCEL);
    dlg.Command(ID_TRAY_SETUP);
    EXPECT_TRUE(dlg.Shown()) << "\"&Param\xEAtrage\"";
}

TEST_F(MainWindow, TrayMenuHasItsSixEntriesWithItsRightEdgeAtThePointer)
{
    Resident dlg;
    // Wine follows the X pointer: wait until the platform has the new position,
    // and has kept it a while (a move still on its way from X would undo it).
    POINT pointer = {};
    auto at500 = [&] { return GetCursorPos(&pointer) && pointer.x == 500 && pointer.y == 300; };
    for (int tries = 0; tries < 5; ++tries) {
        SetCursorPos(500, 300);
        Eventually(at500);
        Sleep(300);
        if (at500()) break;
    }
    dlg.Post(WM_TRAYICON, TRAY_ICON_ID, WM_RBUTTONDOWN);
    HWND menuWindow = OpenMenu();
    ASSERT_NE(menuWindow, nullptr) << "no menu on the right press";

    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
    struct { UINT id; const char* text; } expected[] = {
        {ID_TRAY_QUIT, "&Quitter"},          {0, ""},
        {ID_TRAY_SETUP, "&Param\xEAtrage"},  {0, ""},
        {ID_TRAY_ABOUT, "A &propos de ..."}, {ID_TRAY_HELP, "&Aide"},
    };
    ASSERT_EQ(GetMenuItemCount(menu), 6);
    for (int i = 0; i < 6; ++i) {
        char text[64] = "";
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = sizeof text;
        ASSERT_TRUE(GetMenuItemInfoA(menu, i, TRUE, &item));
        bool separator = expected[i].id == 0;
        EXPECT_EQ((item.fType & MFT_SEPARATOR) != 0, separator) << "entry " << i + 1;
        if (separator) continue;
        EXPECT_EQ(item.wID, expected[i].id) << "entry " << i + 1;
        EXPECT_STREQ(text, expected[i].text) << "entry " << i + 1;
        EXPECT_EQ(item.fState & (MFS_CHECKED | MFS_GRAYED | MFS_DEFAULT), 0u) << "entry " << i + 1;
    }
    RECT at;
    GetWindowRect(menuWindow, &at);
    EXPECT_EQ(at.right, pointer.x);
    EXPECT_EQ(at.top, pointer.y);
    EXPECT_FALSE(dlg.Shown()) << "the right press showed the dialog";

    // "&Paramêtrage" chosen by its key arrives as a command.
    PostMessageA(menuWindow, WM_CHAR, 'p', 0);
    EXPECT_TRUE(Eventually([&] { return dlg.Shown(); }));
    EXPECT_TRUE(Eventually([] { return OpenMenu(0) == nullptr; })) << "the menu stayed open";
}

TEST_F(MainWindow, QuitEndsWithZeroRemovesTheIconAndWritesNothing)
{
    SetText(ProfileKey("Semaine").c_str(), "Lundi", "C:\\IMAGES\\FOND.BMP");
    StartUp();
    std::string before = Snapshot(kCompanyKey);
    HWND hwnd;
    {
        Resident dlg;
        hwnd = dlg.m_hwnd;
        EXPECT_TRUE(TrayIconPresent(hwnd)) << "no tray icon while resident";
        dlg.Tray(WM_LBUTTONDOWN);
        dlg.Command(ID_TRAY_QUIT);
        ASSERT_TRUE(dlg.WaitEnded());
        EXPECT_EQ(dlg.m_result, 0);
        EXPECT_EQ(g_pSchedule, nullptr) << "\"&Quitter\" keeps the table";
    }
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(TrayIconPresent(hwnd)) << "the icon stayed in the tray";
    EXPECT_EQ(Snapshot(kCompanyKey), before);
}

TEST_F(MainWindow, EscapeEndsTheProgramAndEnterNeverDoes)
{
    StartUp();
    std::string before = Snapshot(kCompanyKey);
    Resident dlg;
    // Before any tray event Enter would be IDOK; after one, the default command is 128.
    dlg.Post(WM_KEYDOWN, VK_RETURN);
    dlg.Tray(WM_LBUTTONDOWN);
    dlg.Post(WM_KEYDOWN, VK_RETURN);
    dlg.Send(WM_NULL);
    EXPECT_FALSE(dlg.m_ended) << "Enter ended the program";
    EXPECT_TRUE(dlg.Shown()) << "Enter hid the dialog";
    EXPECT_EQ(Snapshot(kCompanyKey), before) << "Enter saved";

    dlg.Post(WM_KEYDOWN, VK_ESCAPE);
    ASSERT_TRUE(dlg.WaitEnded()) << "Escape did not end the program";
    EXPECT_EQ(dlg.m_result, IDCANCEL);
    EXPECT_NE(g_pSchedule, nullptr) << "Escape releases nothing";
    EXPECT_EQ(Snapshot(kCompanyKey), before);
}

TEST_F(MainWindow, CloseBoxAnnulerAndSystemCloseHideAndInstallTheDesktopsWallpaperAgain)
{
    struct { const char* what; UINT message; WPARAM wParam; COLORREF colour; } ways[] = {
        {"close box", WM_CLOSE, 0, RGB(200, 40, 40)},
        {"Annuler", WM_COMMAND, IDC_CANCEL, RGB(40, 200, 40)},
        {"system menu Close", WM_SYSCOMMAND, SC_CLOSE, RGB(40, 40, 200)},
    };
    SetText(ProfileKey("Divers").c_str(), "Toujours", "C:\\mirval-tests\\never.bmp");
    StartUp();
    Resident dlg;
    for (const auto& way : ways) {
        std::string picture = std::string("C:\\mirval-tests\\") + way.what + ".bmp";
        WriteBitmap(picture, 800, 600, way.colour);
        // Named by the desktop's settings but not yet on the screen.
        SetText(kDesktop, "Wallpaper", picture);
        SetText(kDesktop, "TileWallpaper", "1");
        dlg.Tray(WM_LBUTTONDOWN);
        dlg.Send(way.message, way.wParam);
        EXPECT_FALSE(dlg.Shown()) << way.what;
        EXPECT_FALSE(dlg.m_ended) << way.what;
        EXPECT_EQ(WaitForScreenPixel(400, 300, way.colour), way.colour) << way.what;
    }
    EXPECT_EQ(ReadText(kDesktop, "Wallpaper"), "C:\\mirval-tests\\system menu Close.bmp");
}

TEST_F(MainWindow, TaskbarMadeAnewGetsTheIconBack)
{
    Resident dlg;
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = dlg.m_hwnd;
    data.uID = TRAY_ICON_ID;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &data));   // as a new taskbar would be
    ASSERT_FALSE(TrayIconPresent(dlg.m_hwnd));
    dlg.Send(RegisterWindowMessageA("TaskbarCreated"));
    EXPECT_TRUE(TrayIconPresent(dlg.m_hwnd));
    EXPECT_FALSE(dlg.Shown());
}

// ---- Saving ----

TEST_F(MainWindow, OkWritesTheFortyValuesAndHides)
{
    SetText(ProfileKey("Semaine").c_str(), "Mardi", "C:\\IMAGES\\MARDI.BMP");
    SetText(ProfileKey("Semaine").c_str(), "MosaMardi", "1");
    SetText(ProfileKey("Mois").c_str(), "Ao\xFBt", "D:\\");   // a folder without a file
    StartUp();
    DeleteKeyTree(kCompanyKey);
    CRegKey made;
    made.Create(HKEY_CURRENT_USER, theApp.GetProfileKeyPath());
    made.Close();

    Resident dlg;
    EXPECT_FALSE(dlg.Checked(IDC_EVERY_DAY));
    EXPECT_TRUE(dlg.Checked(IDC_CENTRE));
    EXPECT_FALSE(dlg.Checked(IDC_MOSAIQUE));
    dlg.Tray(WM_LBUTTONDOWN);
    SendMessageA(dlg.Item(IDC_MOSAIQUE), BM_CLICK, 0, 0);
    dlg.Command(IDC_OK);
    EXPECT_FALSE(dlg.Shown());

    std::map<std::string, std::string> expected;
    for (int slot = FIRST_WEEKDAY_SLOT; slot <= LAST_SLOT; ++slot) {
        std::string section = SectionOfSlot(slot);
        expected[section + "\\" + CalendarKey(slot)] = "";
        expected[section + "\\" + static_cast<const char*>(FlagValueName(CalendarKey(slot)))] = "";
    }
    expected["Semaine\\Mardi"] = "C:\\IMAGES\\MARDI.BMP";
    expected["Semaine\\MosaMardi"] = "1";
    expected["Mois\\Ao\xFBt"] = "D:\\";
    expected["Mois\\MosaAo\xFBt"] = "0";
    expected["Divers\\Toujours"] = "";
    expected["Divers\\Mosaique"] = "1";
    ASSERT_EQ(expected.size(), 40u);

    std::string all = Snapshot(theApp.GetProfileKeyPath());
    int values = 0;
    for (size_t at = 0; (at = all.find('=', at)) != std::string::npos; ++at) ++values;
    EXPECT_EQ(values, 40) << all;
    for (const auto& [name, text] : expected) {
        size_t cut = name.find('\\');
        RegValue v = ReadValue(ProfileKey(name.substr(0, cut).c_str()).c_str(), name.substr(cut + 1).c_str());
        EXPECT_TRUE(v.present) << name;
        EXPECT_EQ(v.type, static_cast<DWORD>(REG_SZ)) << name;
        EXPECT_EQ(v.data, text + '\0') << name;
    }
    EXPECT_FALSE(KeyExists("Software\\Tarvex Software\\MIRVAL")) << "saved under a fixed name";
}

TEST_F(MainWindow, EveryDayBoxWithoutAPictureWarnsUnchecksAndWritesNothing)
{
    SetText(ProfileKey("Divers").c_str(), "Toujours", "C:\\IMAGES\\TOUS.BMP");
    SetText(ProfileKey("Divers").c_str(), "Mosaique", "1");
    StartUp();
    std::string before = Snapshot(kCompanyKey);

    Resident dlg;
    EXPECT_TRUE(dlg.Checked(IDC_EVERY_DAY)) << "\"Toujours\" is stored";
    EXPECT_TRUE(dlg.Checked(IDC_CENTRE)) << "whatever the stored flags say";
    dlg.Tray(WM_LBUTTONDOWN);
    {
        MessageBoxAnswer box(IDOK);
        dlg.Command(IDC_OK);
        ASSERT_TRUE(box.Answered());
        EXPECT_EQ(box.caption, French() ? "Attention" : "Warning");
        EXPECT_EQ(box.text, French() ? "Pour une image tous le jour\nCelle-ci doit \xEAtre s\xE9lectionner !"
                                     : "For a picture every day\nthat picture must be selected first !");
    }
    EXPECT_FALSE(dlg.Checked(IDC_EVERY_DAY));
    EXPECT_EQ(Snapshot(kCompanyKey), before);

    // With a picture chosen, the same Ok stores it.
    g_selectedPicture = "C:\\IMAGES\\CHOISIE.BMP";
    SendMessageA(dlg.Item(IDC_EVERY_DAY), BM_SETCHECK, BST_CHECKED, 0);
    dlg.Command(IDC_OK);
    EXPECT_EQ(ReadText(ProfileKey("Divers").c_str(), "Toujours"), "C:\\IMAGES\\CHOISIE.BMP");
    EXPECT_EQ(ReadText(ProfileKey("Divers").c_str(), "Mosaique"), "0");
}

TEST_F(MainWindow, SaveThatCannotOpenItsKeySaysSoAndStaysShown)
{
    StartUp();
    Resident dlg;
    dlg.Tray(WM_LBUTTONDOWN);
    DeleteKeyTree(kCompanyKey);   // gone while the program runs
    {
        MessageBoxAnswer box(IDOK);
        dlg.Command(IDC_OK);
        ASSERT_TRUE(box.Answered()) << "the failure was not told";
        EXPECT_EQ(box.caption, French() ? "Attention" : "Warning");
        CString expected;
        expected.LoadString(IDS_SAVE_FAILED);
        EXPECT_EQ(box.text, static_cast<const char*>(expected));
    }
    EXPECT_TRUE(dlg.Shown());
    EXPECT_FALSE(KeyExists(kCompanyKey));
}

// ---- The about box ----

TEST(AboutLines, FromThePlatformsFigures)
{
    struct { const char* what; CString line; const char* french; const char* english; } cases[] = {
        {"32 MB", MemoryLine(32u << 20), "32768 KB", "32768 KB"},
        {"4 GB less a byte", MemoryLine(0xFFFFFFFFu), "4194303 KB", "4194303 KB"},
        {"C: 320000 KB", FreeSpaceLine(3, true, 512, 64, 10000), "320000 KB libre sur C:",
         "320000 KB on free C:"},
        {"over 4 GB free", FreeSpaceLine(26, true, 4096, 8, 2000000), "64000000 KB libre sur Z:",
         "64000000 KB on free Z:"},
        {"over 4 TB free", FreeSpaceLine(3, true, 65536, 128, 0xFFFFFFFFu),
         "4294967295 KB libre sur C:", "4294967295 KB on free C:"},
        {"unreadable drive", FreeSpaceLine(1, false, 0, 0, 0), "Unavailable", "Unavailable"},
        {"no drive letter", FreeSpaceLine(0, true, 512, 8, 100), "Unavailable", "Unavailable"},
        {"Win32s", SystemLine(0), "Operating System : WIN32S", nullptr},
        {"Windows 95", SystemLine(1), "Operating System : Windows 95", nullptr},
        {"Windows NT", SystemLine(2), "Operating System : Windows NT", nullptr},
        {"family 3", SystemLine(3), "Operating System : unknown (3)", nullptr},
        {"Windows 95 build 950", VersionLine(4, 0, 0x040003B6), "Version 4.0.950\n", nullptr},
        {"NT 4.0 build 1381", VersionLine(4, 0, 1381), "Version 4.0.1381\n", nullptr},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.line, French() || !c.english ? c.french : c.english) << c.what;
}

TEST_F(MainWindow, AboutBoxOpensFromTheTrayMenuAndTheSystemMenu)
{
    Resident dlg;
    HMENU system = GetSystemMenu(dlg.m_hwnd, FALSE);
    int last = GetMenuItemCount(system) - 1;
    char text[64] = "";
    GetMenuStringA(system, last, text, sizeof text, MF_BYPOSITION);
    EXPECT_EQ(GetMenuItemID(system, last), IDM_ABOUTBOX);
    EXPECT_STREQ(text, French() ? "&Apropos de ..." : "&About ...");
    EXPECT_EQ(GetMenuState(system, last - 1, MF_BYPOSITION) & MF_SEPARATOR,
              static_cast<UINT>(MF_SEPARATOR));

    const char* title = "A propos de Mirval";
    for (UINT way : {0u, 1u}) {
        if (way == 0)
            dlg.Post(WM_COMMAND, ID_TRAY_ABOUT);
        else
            dlg.Post(WM_SYSCOMMAND, IDM_ABOUTBOX | 0x3);   // the low four bits are the system's
        HWND about = dlg.WaitForDialog(title);
        ASSERT_NE(about, nullptr) << (way ? "system menu" : "tray menu");
        EXPECT_EQ(GetWindow(about, GW_OWNER), dlg.m_hwnd);
        EXPECT_FALSE(IsWindowEnabled(dlg.m_hwnd)) << "the main window takes input";

        MEMORYSTATUS memory = {};
        memory.dwLength = sizeof memory;
        GlobalMemoryStatus(&memory);
        EXPECT_EQ(Text(GetDlgItem(about, IDC_MEMORY)),
                  std::to_string(static_cast<DWORD>(memory.dwTotalPhys) >> 10) + " KB");
        std::string free = Text(GetDlgItem(about, IDC_FREE_SPACE));
        char cwd[MAX_PATH] = "";
        GetCurrentDirectoryA(sizeof cwd, cwd);
        std::string suffix = std::string(French() ? " KB libre sur " : " KB on free ") +
                             static_cast<char>(toupper(cwd[0])) + ":";
        EXPECT_GT(free.size(), suffix.size());
        EXPECT_EQ(free.substr(free.size() - std::min(free.size(), suffix.size())), suffix) << free;
        EXPECT_EQ(Text(GetDlgItem(about, IDC_SYSTEM)), "Operating System : Windows NT");
        OSVERSIONINFOA version = {};
        version.dwOSVersionInfoSize = sizeof version;
        GetVersionExA(&version);
        char line[64];
        wsprintfA(line, "Version %lu.%lu.%lu\n", version.dwMajorVersion, version.dwMinorVersion,
                  version.dwBuildNumber & 0xFFFF);
        EXPECT_EQ(Text(GetDlgItem(about, IDC_VERSION)), line);
        printf("about box: %s | %s | %s | %s", Text(GetDlgItem(about, IDC_MEMORY)).c_str(),
               free.c_str(), Text(GetDlgItem(about, IDC_SYSTEM)).c_str(), line);

        PostMessageA(about, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(Eventually([&] { return !IsWindow(about); }));
        EXPECT_TRUE(Eventually([&] { return IsWindowEnabled(dlg.m_hwnd) != FALSE; }));
    }
    EXPECT_FALSE(dlg.Shown()) << "the about box showed the resident window";
}

// ---- Help, with the platform's help engine unable to start ----

class Help : public MainWindow {};

TEST_F(Help, FromTheMenuF1AndTheCaptionButtonReportsAFailedHelpEngine)
{
    Resident dlg;
    dlg.Tray(WM_LBUTTONDOWN);
    const char* message = French() ? "Le d\xE9marrage de l'aide a \xE9""chou\xE9." : "Failed to launch help.";
    struct { const char* what; std::function<void()> ask; } ways[] = {
        {"\"&Aide\"", [&] { dlg.Post(WM_COMMAND, ID_TRAY_HELP); }},
        {"F1", [&] { dlg.Post(WM_KEYDOWN, VK_F1); }},
        {"the caption's help button", [&] {
             // WM_HELP carries a pointer: it can only be sent, and the send lasts
             // as long as the message box.
             std::thread([&] {
                 HELPINFO info = {};
                 info.cbSize = sizeof info;
                 SendMessageA(dlg.m_hwnd, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
             }).detach();
         }},
    };
    for (const auto& way : ways) {
        MessageBoxAnswer box(IDOK);
        way.ask();
        ASSERT_TRUE(box.Answered()) << way.what;
        EXPECT_EQ(box.text, message) << way.what;
    }
    EXPECT_FALSE(dlg.m_ended);
}
