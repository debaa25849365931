#include "app/mirval_dlg.h"
#include "app/about_dlg.h"
#include "app/mirval_app.h"
#include "res/resource.h"
#include "schedule/schedule.h"
#include "schedule/todays_picture.h"
#include "schedule/try_wallpaper.h"
#include "schedule/wallpaper.h"
#include "setup/setup.h"
#include <dbt.h>
#include <shellapi.h>

CString g_selectedPicture;

const char RUNNING_MUTEX[] = "Tarvex Software MIRVAL running";
const char RESIDENT_MARK[] = "Tarvex Software MIRVAL resident";

HWND FindResidentMirval()
{
    for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "#32770", nullptr)) != nullptr;)
        if (GetPropA(w, RESIDENT_MARK)) return w;
    return nullptr;
}

// Just after the coming local midnight, and at least once a minute, since a
// timer that fell due while the PC slept may never come, nor the message that
// it woke.
UINT NextDateCheck()
{
    struct tm now;
    CTime::GetCurrentTime().GetLocalTm(&now);
    const int toMidnight = 24 * 3600 - (now.tm_hour * 3600 + now.tm_min * 60 + now.tm_sec);
    return static_cast<UINT>((toMidnight < 59 ? toMidnight : 59) + 1) * 1000;
}

namespace {
// The notification-area interface of the first 32-bit shells: a 64-character tip
// (88 bytes in the 32-bit program; the tests' 64-bit build has a wider one).
static_assert(sizeof(void*) != 4 || NOTIFYICONDATAA_V1_SIZE == 88, "the tray icon's record");

// Sent by the shell to every top-level window when the taskbar is made anew.
const UINT WM_TASKBARCREATED = RegisterWindowMessageA("TaskbarCreated");

// The calendar tree's images, in the order of their numbers.
const UINT kCalendarIcons[] = {130, 131, 132, 152, 147, 148, 151, 149, 133, 134, 153, 162,
                               163, 154, 155, 161, 160, 156, 159, 157, 158, 135, 129};
const UINT kFolderIcons[] = {IDI_FOLDER, IDI_HARD_DISK, IDI_CDROM, IDI_FLOPPY};

// The calendar's icons are drawn up to 24 pixels: their 32-pixel images are clear.
const int kCalendarDrawnUpTo = 24;

// Fills an image list of masked images at the system's small-icon size (16 at
// 96 DPI) with icons, each with its own image of that size; where icons are not
// drawn at that size, with their 16-pixel drawing, stretched. False when an
// icon is missing.
bool MakeImageList(CImageList& list, int nInitial, const UINT* icons, int count,
                   int nDrawnUpTo = INT_MAX)
{
    const int size = SmallIconSize();
    list.Create(size, size, ILC_MASK, nInitial, 0);
    for (int i = 0; i < count; ++i) {
        if (size <= nDrawnUpTo) {
            list.Add(theApp.LoadIcon(icons[i]));
            continue;
        }
        HANDLE drawn = LoadImageA(theApp.m_hInstance, MAKEINTRESOURCEA(icons[i]), IMAGE_ICON,
                                  16, 16, 0);
        list.AddStretched(static_cast<HICON>(drawn));
        if (drawn) DestroyIcon(static_cast<HICON>(drawn));
    }
    return list.GetImageCount() >= count;
}
}

const MsgMapEntry CMirvalDlg::messageEntries[] = {
    OnMessage<WM_SYSCOMMAND, &CMirvalDlg::OnSysCommand>(),
    OnMessage<WM_PAINT, &CMirvalDlg::OnPaint>(),
    OnCommand<&CMirvalDlg::OnAbout>(ID_TRAY_ABOUT),
    OnCommand<&CMirvalDlg::OnSetup>(ID_TRAY_SETUP),
    OnMessage<WM_QUERYDRAGICON, &CMirvalDlg::OnQueryDragIcon>(),
    OnNotify<&CMirvalDlg::OnSelChangedFolderTree>(TVN_SELCHANGEDA, IDC_FOLDER_TREE),
    OnNotify<&CMirvalDlg::OnBeginDragPictureList>(LVN_BEGINDRAG, IDC_PICTURE_LIST),
    OnMessage<WM_MOUSEMOVE, &CMirvalDlg::OnMouseMove>(),
    OnMessage<WM_LBUTTONUP, &CMirvalDlg::OnLButtonUp>(),
    OnCommand<&CMirvalDlg::OnQuit>(ID_TRAY_QUIT),
    OnMessage<WM_CLOSE, &CMirvalDlg::OnClose>(),
    OnCommand<&CMirvalDlg::OnApercu>(IDC_APERCU),
    OnCommand<&CMirvalDlg::OnOkButton>(IDC_OK),
    OnCommand<&CMirvalDlg::OnTileOrCentre>(IDC_MOSAIQUE),
    OnCommand<&CMirvalDlg::OnTileOrCentre>(IDC_CENTRE),
    OnCommand<&CMirvalDlg::OnClose>(IDC_CANCEL),
    OnNotify<&CMirvalDlg::OnItemChangedPictureList>(LVN_ITEMCHANGED, IDC_PICTURE_LIST),
    OnMessage<WM_TIMER, &CMirvalDlg::OnTimer>(),
    OnNotify<&CMirvalDlg::OnKeyDownCalendarTree>(TVN_KEYDOWN, IDC_CALENDAR_TREE),
    OnNotify<&CMirvalDlg::OnSelChangedCalendarTree>(TVN_SELCHANGEDA, IDC_CALENDAR_TREE),
    // A drag that loses the mouse ends there.
    OnMessage<WM_CAPTURECHANGED, &CMirvalDlg::OnCaptureChanged>(),
    OnMessage<WM_ENDSESSION, &CMirvalDlg::OnEndSession>(),
    // The day may have changed: the clock or the time zone was set, the PC woke.
    OnMessage<WM_TIMECHANGE, &CMirvalDlg::OnTimeOrSettingChange>(),
    OnMessage<WM_SETTINGCHANGE, &CMirvalDlg::OnTimeOrSettingChange>(),
    OnMessage<WM_POWERBROADCAST, &CMirvalDlg::OnPowerBroadcast>(),
    // The picture list's menu: Shift+F10, the menu key, the right button.
    OnMessage<WM_CONTEXTMENU, &CMirvalDlg::OnContextMenu>(),
    // Today's picture waits for its file: a drive arrived, a long check ended.
    OnMessage<WM_DEVICECHANGE, &CMirvalDlg::OnDeviceChange>(),
    OnMessage<WM_PICTURE_CHECKED, &CMirvalDlg::OnPictureChecked>(),
    // A photo for the preview, decoded on a thread of its own.
    OnMessage<WM_PREVIEW_DECODED, &CMirvalDlg::OnPreviewDecoded>(),
};
const MsgMap CMirvalDlg::messageMap(&CDialog::messageMap, CMirvalDlg::messageEntries);

const MsgMap* CMirvalDlg::GetMessageMap() const
{
    return &messageMap;
}

CMirvalDlg::CMirvalDlg(CWnd* pParent) : CDialog(IDD_MIRVAL_DIALOG, pParent)
{
    m_hIcon = theApp.LoadIcon(IDR_MAINFRAME);
}

CMirvalDlg::~CMirvalDlg()
{
    m_bmpEmptyScreen.DeleteObject();
    m_bmpMonitor.DeleteObject();
    delete m_pDragImage;
    m_bmpPicture.DeleteObject();
    m_palPicture.DeleteObject();
    delete[] g_pDriveTable;
    g_pDriveTable = nullptr;
}

void CMirvalDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_EVERY_DAY, m_btnEveryDay);
    DDX_Control(pDX, IDC_MOSAIQUE, m_btnMosaique);
    DDX_Control(pDX, IDC_CENTRE, m_btnCentre);
    DDX_Control(pDX, IDC_SCREEN_FRAME, m_frameScreen);
    DDX_Control(pDX, IDC_MONITOR_FRAME, m_frameMonitor);
    DDX_Control(pDX, IDC_FOLDER_TREE, m_treeFolders);
    DDX_Control(pDX, IDC_CALENDAR_TREE, m_treeCalendar);
    DDX_Control(pDX, IDC_PICTURE_LIST, m_listPictures);
    DDX_Text(pDX, IDC_PICTURE_NAME, m_strPictureName);
    DDV_MaxChars(pDX, m_strPictureName, 256);
}

BOOL CMirvalDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    ShowDateInCaption();

    if (g_everyDayActive == 1) m_btnEveryDay.SetCheck(BST_CHECKED);
    m_btnCentre.SetCheck(BST_CHECKED);

    m_bmpMonitor.LoadBitmap(IDB_MONITOR);
    m_bmpEmptyScreen.LoadBitmap(IDB_EMPTY_SCREEN);

    CString about;
    about.LoadString(IDS_ABOUTBOX);
    if (!about.IsEmpty()) {
        HMENU menu = GetSystemMenu(FALSE);
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, about);
    }

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    AddTrayIcon();

    // The picture list.
    MakeImageList(m_imlPictures, 2, &kCalendarIcons[22], 1, kCalendarDrawnUpTo);
    m_listPictures.SetImageList(&m_imlPictures, LVSIL_SMALL);
    // Widths for a 96-DPI screen, at this one's.
    struct { const char* title; int width; } columns[] = {{"Nom", 110}, {"Répertoire", 200}};
    for (int i = 0; i < 2; ++i) {
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = ScaleToDpi(columns[i].width);
        column.pszText = const_cast<char*>(columns[i].title);
        column.iSubItem = i;
        if (m_listPictures.InsertColumn(i, &column) == -1) return FALSE;
    }

    // The drive and folder tree.
    if (!MakeImageList(m_imlFolders, 6, kFolderIcons, 4)) return FALSE;
    m_treeFolders.SetImageList(&m_imlFolders, TVSIL_NORMAL);
    // No label stands before the folder tree in the dialog's order: a screen
    // reader would name it after none, or after the one before the list.
    SetAccessibleName(m_treeFolders.m_hWnd, L"Dossiers :");
    m_tvInsert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_PARAM | TVIF_SELECTEDIMAGE;
    m_tvInsert.hParent = nullptr;
    m_tvInsert.hInsertAfter = nullptr;
    FillDriveTree();

    // The calendar tree.
    if (!MakeImageList(m_imlCalendar, 6, kCalendarIcons, 23, kCalendarDrawnUpTo)) return FALSE;
    m_treeCalendar.SetImageList(&m_imlCalendar, TVSIL_NORMAL);
    m_tvInsert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_PARAM | TVIF_SELECTEDIMAGE;
    m_tvInsert.hParent = nullptr;
    m_tvInsert.hInsertAfter = nullptr;
    FillCalendarTree();

    SetPictureCheckWindow(m_hWnd);
    SetTimer(TIMER_HIDE, 1, nullptr);
    SetTimer(TIMER_DATE, NextDateCheck(), nullptr);
    return TRUE;
}

void CMirvalDlg::ShowDateInCaption()
{
    struct tm now;
    CTime::GetCurrentTime().GetLocalTm(&now);
    CString caption, part;
    caption.LoadString(IDS_TITLE);
    caption += "       ";
    part.LoadString(IDS_SUNDAY + now.tm_wday);
    caption += part;
    part.Format("%d", now.tm_mday);
    caption += part;
    part.LoadString(IDS_JANUARY + now.tm_mon);
    caption += part;
    part.Format("%d", now.tm_year + 1900);
    caption += part;
    if (caption == m_strCaption) return;
    m_strCaption = caption;
    SetWindowText(m_strCaption);
}

void CMirvalDlg::CheckDate()
{
    // Not under a drag: a wallpaper call and the caption's redraw would leave
    // trails under its image. The drag's end looks.
    if (m_bDragging) {
        m_bLookAfterDrag = true;
        return;
    }
    m_bLookAfterDrag = false;
    // While "Terminer !" is open the trial picture stays: its end looks again.
    // The same day, a picture that waits for its file is tried again.
    if (!DesktopTestRunning()) {
        const bool arrival = m_bArrivalSeen != FALSE;
        m_bArrivalSeen = FALSE;
        if (!ApplyOnNewDay()) RetryWaitingPicture(arrival);
    }
    ShowDateInCaption();
    SetTimer(TIMER_DATE, NextDateCheck(), nullptr);
}

void CMirvalDlg::AddTrayIcon()
{
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = m_hWnd;
    data.uID = TRAY_ICON_ID;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAYICON;
    // At the small-icon size, so that at 150% the 24-pixel image is drawn, not a
    // shrunk 32.
    data.hIcon = static_cast<HICON>(LoadImageA(theApp.m_hInstance, MAKEINTRESOURCEA(IDR_MAINFRAME),
                                               IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    lstrcpynA(data.szTip, "Mirval", sizeof data.szTip);
    Shell_NotifyIconA(NIM_ADD, &data);
    DestroyIcon(data.hIcon);
}

LRESULT CMirvalDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TRAYICON && wParam == TRAY_ICON_ID) {
        if (lParam == WM_LBUTTONDOWN)
            ShowSetup();
        else if (lParam == WM_RBUTTONDOWN)
            ShowTrayMenu();
    } else if (message == WM_TASKBARCREATED) {
        // A new taskbar (Explorer started again) knows no icons: add ours back.
        AddTrayIcon();
    }
    // The tray message too: the dialog manager takes 0x0401 as DM_SETDEFID.
    return CDialog::WindowProc(message, wParam, lParam);
}

void CMirvalDlg::ShowTrayMenu()
{
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, ID_TRAY_QUIT, "&Quitter");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, ID_TRAY_SETUP, "&Paramêtrage");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, ID_TRAY_ABOUT, "A &propos de ...");
    AppendMenuA(menu, MF_STRING, ID_TRAY_HELP, "&Aide");

    POINT at;
    GetCursorPos(&at);
    TrackMenu(menu, at, TPM_RIGHTALIGN);
    DestroyMenu(menu);
}

UINT CMirvalDlg::TrackMenu(HMENU hMenu, POINT at, UINT nFlags)
{
    // Without the foreground the menu would not close when the user clicks
    // elsewhere, and without a message after it, not at the next click either.
    SetForegroundWindow();
    const UINT chosen =
        static_cast<UINT>(TrackPopupMenu(hMenu, nFlags, at.x, at.y, 0, m_hWnd, nullptr));
    PostMessage(WM_NULL);
    return chosen;
}

BOOL CMirvalDlg::DestroyWindow()
{
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = m_hWnd;
    data.uID = TRAY_ICON_ID;
    Shell_NotifyIconA(NIM_DELETE, &data);
    RemovePropA(m_hWnd, RESIDENT_MARK);
    ClearAccessibleName(m_treeFolders.m_hWnd);
    SetPictureCheckWindow(nullptr);
    return CDialog::DestroyWindow();
}

void CMirvalDlg::OnSysCommand(UINT nID, LPARAM)
{
    if ((nID & 0xFFF0) == IDM_ABOUTBOX)
        OnAbout();
    else
        Default();
}

HCURSOR CMirvalDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}

void CMirvalDlg::OnSetup()
{
    ShowSetup();
}

void CMirvalDlg::ShowSetup()
{
    // Opened just after midnight, before the date's next look, it shows the new day.
    CheckDate();
    // While the desktop test runs, its box stands for the dialog: "Ok" pressed then
    // would install a picture that closing the box takes away again.
    if (DesktopTestRunning()) {
        for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "#32770", nullptr)) != nullptr;)
            if (w != m_hWnd && GetWindowThreadProcessId(w, nullptr) == GetCurrentThreadId() &&
                ::IsWindowVisible(w)) {
                ::SetForegroundWindow(w);
                break;
            }
        return;
    }
    ShowWindow(SW_SHOW);
    // A box the dialog has open comes forward with it (not a viewer it has hidden).
    HWND popup = GetLastActivePopup(m_hWnd);
    ::SetForegroundWindow(::IsWindowVisible(popup) ? popup : m_hWnd);
}

void CMirvalDlg::OnAbout()
{
    CAboutDlg about;
    about.DoModal();
}

void CMirvalDlg::OnQuit()
{
    delete g_pSchedule;
    g_pSchedule = nullptr;
    EndDialog(0);
}

void CMirvalDlg::OnOkButton()
{
    if (SaveSettings()) ShowWindow(SW_HIDE);
}

void CMirvalDlg::OnClose()
{
    ApplyTodaysWallpaper(APPLY_REFRESH);
    ShowWindow(SW_HIDE);
}

void CMirvalDlg::OnTimer(UINT_PTR nIDEvent)
{
    Default();
    if (nIDEvent == TIMER_DATE) {
        CheckDate();
        return;
    }
    KillTimer(TIMER_HIDE);
    ShowWindow(SW_HIDE);
    // Resident from now on: a second start finds this window and shows it.
    SetPropA(m_hWnd, RESIDENT_MARK, reinterpret_cast<HANDLE>(1));
}

void CMirvalDlg::OnEndSession(BOOL bEnding)
{
    // The process ends once this returns: the desktop gets its own wallpaper back
    // before, as closing "Terminer !" would give it. Nothing else is saved.
    if (bEnding) EndDesktopTest();
}

void CMirvalDlg::OnTimeOrSettingChange()
{
    Default();
    CheckDate();
}

BOOL CMirvalDlg::OnPowerBroadcast(UINT nPowerEvent)
{
    // Windows 98 and later say so on every resume; 95 and 2000 and later when a
    // user is there.
    if (nPowerEvent == PBT_APMRESUMEAUTOMATIC || nPowerEvent == PBT_APMRESUMESUSPEND) CheckDate();
    return TRUE;
}

BOOL CMirvalDlg::OnDeviceChange(UINT nEventType)
{
    // A disk, a stick or a disc came: the picture may be on it. What arrived is
    // not read: any arrival is worth one more look, even with a job under way,
    // which may have asked before the drive was there.
    if (nEventType == DBT_DEVICEARRIVAL) {
        m_bArrivalSeen = TRUE;
        CheckDate();
    }
    return TRUE;
}

LRESULT CMirvalDlg::OnPictureChecked(WPARAM, LPARAM lParam)
{
    // During the desktop test the trial picture stays, and a drag goes on: the
    // answer is kept for their ends' look.
    if (m_bDragging) m_bLookAfterDrag = true;
    PictureCheckEnded(lParam, m_bDragging || DesktopTestRunning());
    return 0;
}
