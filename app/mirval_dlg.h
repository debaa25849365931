// The main window: the setup dialog, and the owner of the tray icon.
#pragma once
#include "framework/afxwin.h"

constexpr UINT WM_TRAYICON = WM_USER + 1;   // the tray icon's callback message
constexpr UINT TRAY_ICON_ID = 128;
constexpr UINT_PTR TIMER_HIDE = 1;
constexpr UINT_PTR TIMER_DATE = 2;          // looks at the date, for a new day's picture
UINT NextDateCheck();                        // milliseconds to that timer's next look
constexpr UINT IDM_ABOUTBOX = 0x0010;       // the system menu's about entry
constexpr UINT ID_TRAY_QUIT = 32771;
constexpr UINT ID_TRAY_SETUP = 32772;
constexpr UINT ID_TRAY_ABOUT = 32775;
constexpr UINT ID_TRAY_HELP = 32776;

// A Mirval runs while this mutex exists: each one holds it for its whole run,
// so a start that finds it is a second one.
extern const char RUNNING_MUTEX[];
// A window property that only Mirval's resident window has, from the end of its
// start on: how a second start and the setup program find the running Mirval,
// whose caption, class and controls other programs' windows may share. The
// setup program asks the mutex and the mark as a second start does.
extern const char RESIDENT_MARK[];
// The window of the Mirval that is running resident, or null.
HWND FindResidentMirval();

// The full path of the picture last chosen in the picture list; empty until one is.
extern CString g_selectedPicture;

class CMirvalDlg : public CDialog {
public:
    explicit CMirvalDlg(CWnd* pParent = nullptr);
    ~CMirvalDlg() override;

    const MsgMap* GetMessageMap() const override;
    BOOL DestroyWindow() override;
    void DoDataExchange(CDataExchange* pDX) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    // Enter must never end the program: the dialog has no OK button of its own.
    void OnOK() override {}
    void OnCancel() override;

    // Writes the every-day choice and the whole table, then installs today's
    // picture. FALSE, after telling the user, when the settings' key cannot be
    // opened or a value cannot be written.
    BOOL SaveSettings();

    // The drive nodes, once; then the folders and pictures of the selected node.
    void FillDriveTree();
    // Loads a bitmap file for the preview and makes its palette; FALSE when the
    // file gives no bitmap.
    BOOL LoadPreviewPicture(const char* path);
    // Asks for the preview's screen to be drawn again.
    void RepaintScreenFrame();
    // The calendar's nodes, once, from the schedule table.
    void FillCalendarTree();
    // The drop of the dragged list item on the calendar tree's highlighted node.
    void DropOnCalendar(CWnd* pDropWnd);
    // The drop of list item nItem on a node of the calendar, however it was
    // asked for: a weekday or month takes it, asking before it replaces a
    // picture; a picture node stands for its weekday or month. Only the table
    // and the tree change.
    void DropPicture(HTREEITEM target, int nItem);

    CImageList m_imlFolders;
    CImageList m_imlPictures;
    CImageList m_imlCalendar;
    TVINSERTSTRUCTA m_tvInsert = {};
    int m_nDragIndex = 0;
    CImageList* m_pDragImage = nullptr;
    BOOL m_bDragging = FALSE;
    HTREEITEM m_hDropItem = nullptr;
    BOOL m_bLookAfterDrag = FALSE;   // the date's look came during a drag
    BOOL m_bArrivalSeen = FALSE;     // a drive arrived since the last look
    CBitmap m_bmpMonitor;
    CBitmap m_bmpEmptyScreen;
    HICON m_hIcon;
    CBitmap m_bmpPicture;
    CPalette m_palPicture;
    CString m_strCaption;
    CButton m_btnEveryDay;
    CButton m_btnMosaique, m_btnCentre;
    CStatic m_frameScreen, m_frameMonitor;
    CTreeCtrl m_treeFolders, m_treeCalendar;
    CListCtrl m_listPictures;
    CString m_strPictureName;

protected:
    void OnSysCommand(UINT nID, LPARAM lParam);
    HCURSOR OnQueryDragIcon();
    void OnSetup();
    void OnAbout();
    void OnQuit();
    void OnOkButton();
    void OnClose();
    void OnTimer(UINT_PTR nIDEvent);
    void OnEndSession(BOOL bEnding);
    void OnTimeOrSettingChange();
    BOOL OnPowerBroadcast(UINT nPowerEvent);
    BOOL OnDeviceChange(UINT nEventType);
    LRESULT OnPictureChecked(WPARAM wParam, LPARAM lParam);
    LRESULT OnPreviewDecoded(WPARAM wParam, LPARAM lParam);
    void OnPaint();
    void OnSelChangedFolderTree(NMHDR* pNMHDR, LRESULT* pResult);
    void OnItemChangedPictureList(NMHDR* pNMHDR, LRESULT* pResult);
    void OnTileOrCentre();
    void OnApercu();
    void OnSelChangedCalendarTree(NMHDR* pNMHDR, LRESULT* pResult);
    void OnKeyDownCalendarTree(NMHDR* pNMHDR, LRESULT* pResult);
    void OnBeginDragPictureList(NMHDR* pNMHDR, LRESULT* pResult);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnCaptureChanged();
    void OnContextMenu(HWND hWnd, CPoint point);

private:
    // The folder of a node of the folder tree, from the drive's root, ending with a backslash.
    CString FolderPath(HTREEITEM hItem) const;
    // A node appended under hParent (a root for nullptr) through m_tvInsert.
    HTREEITEM InsertNode(CTreeCtrl& tree, HTREEITEM hParent, const char* text, int image);
    bool AskReplace();
    void EndDragImage();
    void CancelDrag();
    void AddTrayIcon();
    // The dialog's title and the date of today.
    void ShowDateInCaption();
    // On a new day, its picture, as a start installs it, and its date in the
    // caption; then the next look at the date.
    void CheckDate();
    // The setup dialog shown and brought forward, or the box that stands for it.
    void ShowSetup();
    void ShowTrayMenu();
    // A popup menu of the dialog's, at a point of the screen; the chosen
    // command with TPM_RETURNCMD.
    UINT TrackMenu(HMENU hMenu, POINT at, UINT nFlags);
    // The weekday or month node of a slot of the table.
    HTREEITEM CalendarNode(int slot) const;
    static const MsgMapEntry messageEntries[];
    static const MsgMap messageMap;
};
