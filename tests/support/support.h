// What the in-process suites share: a fixed clock, the registry read and written
// around the code under test, bitmap files, the screen, real input, this
// process's windows, and the setup dialog as start-up makes it, its modal loop
// on a thread of its own.
#pragma once
#include "app/mirval_app.h"
#include "app/mirval_dlg.h"
#include "res/resource.h"
#include "schedule/schedule.h"
#include "schedule/wallpaper.h"
#include "setup/setup.h"
#include <commctrl.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

constexpr char kCompanyKey[] = "Software\\Tarvex Software";
constexpr char kDesktop[] = "Control Panel\\desktop";
constexpr char kFiles[] = "C:\\mirval-tests\\";

inline bool Eventually(const std::function<bool()>& condition, DWORD timeoutMs = 5000)
{
    for (DWORD start = GetTickCount(); !condition(); Sleep(10))
        if (GetTickCount() - start > timeoutMs) return false;
    return true;
}

inline std::string Text(HWND hwnd)
{
    char buf[1024] = "";
    GetWindowTextA(hwnd, buf, sizeof buf);
    return buf;
}

inline bool French()   // the user's language, which picks the string table
{
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_FRENCH;
}

// A path of the Linux side as a Windows program names it: Wine's Z: is the root.
inline std::string WinPath(std::string path)
{
    std::replace(path.begin(), path.end(), '/', '\\');
    return "Z:" + path;
}

inline std::string String(UINT id)
{
    CString s;
    s.LoadString(id);
    return static_cast<const char*>(s);
}

inline time_t g_fixedTime = 0;
struct FixedClock {   // CTime::GetCurrentTime answers t while it lives
    explicit FixedClock(const CTime& t)
    {
        g_fixedTime = t.GetTime();
        CTime::SetClock([] { return g_fixedTime; });
    }
    ~FixedClock() { CTime::SetClock(nullptr); }
};

// ---- The registry under HKCU, read and written without the code under test ----

struct RegValue {
    bool present = false;
    DWORD type = REG_NONE;
    std::string data;   // the raw bytes
    bool operator==(const RegValue& o) const
    {
        return present == o.present && type == o.type && data == o.data;
    }
};

inline RegValue Sz(const std::string& text)   // REG_SZ with its zero
{
    return {true, REG_SZ, text + '\0'};
}

inline std::string ProfileKey(const char* section)
{
    return std::string(AfxGetApp()->GetProfileKeyPath()) + "\\" + section;
}

inline void DeleteKeyTree(const char* path)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, path);
    RegDeleteKeyA(HKEY_CURRENT_USER, path);
}

inline void SetValue(const char* key, const char* name, const RegValue& value)   // absent: deleted
{
    CRegKey k;
    k.Create(HKEY_CURRENT_USER, key);
    const auto* bytes = reinterpret_cast<const BYTE*>(value.data.data());
    if (!value.present) RegDeleteValueA(k, name);
    else RegSetValueExA(k, name, 0, value.type, bytes, DWORD(value.data.size()));
}

inline void SetText(const char* key, const char* name, const std::string& text)
{
    SetValue(key, name, Sz(text));
}

inline RegValue ReadValue(const char* key, const char* name)
{
    RegValue v;
    CRegKey k;
    DWORD size = 0;
    if (k.Open(HKEY_CURRENT_USER, key, KEY_READ) ||
        RegQueryValueExA(k, name, nullptr, &v.type, nullptr, &size))
        return v;
    v.data.resize(size);
    auto* bytes = reinterpret_cast<BYTE*>(&v.data[0]);
    v.present = !RegQueryValueExA(k, name, nullptr, &v.type, bytes, &size);
    return v;
}

inline std::string ReadText(const char* key, const char* name)   // "<missing>" when absent
{
    RegValue v = ReadValue(key, name);
    if (!v.data.empty() && v.data.back() == '\0') v.data.pop_back();
    return v.present ? v.data : "<missing>";
}

inline std::string Wallpaper()   // the desktop's
{
    return ReadText(kDesktop, "Wallpaper");
}

inline std::string DesktopState()   // "wallpaper|tiling|style"
{
    return Wallpaper() + "|" + ReadText(kDesktop, "TileWallpaper") + "|" +
           ReadText(kDesktop, "WallpaperStyle");
}

// Every value and subkey under the key, as "key\\name=type:bytes" lines.
inline std::string Snapshot(const char* key)
{
    std::string out;
    CRegKey k;
    if (k.Open(HKEY_CURRENT_USER, key, KEY_READ)) return out;
    char name[512];
    std::vector<BYTE> data(70000);
    DWORD type, n = sizeof name, size = DWORD(data.size());
    for (DWORD i = 0; !RegEnumValueA(k, i, name, &n, nullptr, &type, data.data(), &size); ++i) {
        out += std::string(key) + "\\" + name + "=" + std::to_string(type) + ":" +
               std::string(data.begin(), data.begin() + size) + "\n";
        n = sizeof name, size = DWORD(data.size());
    }
    n = sizeof name;
    for (DWORD i = 0; !RegEnumKeyExA(k, i, name, &n, nullptr, nullptr, nullptr, nullptr); ++i) {
        const std::string sub = std::string(key) + "\\" + name;
        out += sub + "\\\n" + Snapshot(sub.c_str());
        n = sizeof name;
    }
    return out;
}

// The schedule table as text: a slot as "folder|file|mosa", and every slot that
// holds anything as "n:folder|file|mosa" lines.
inline std::string SlotText(int slot)
{
    const ScheduleSlot& s = g_pSchedule->slot[slot];
    return std::string(s.folder) + "|" + s.file + "|" + s.mosa;
}

inline std::string LoadedSlots()
{
    std::string lines;
    for (int slot = 0; slot < SCHEDULE_SLOTS; ++slot)
        if (SlotText(slot) != "||") lines += std::to_string(slot) + ":" + SlotText(slot) + "\n";
    return lines;
}

// ---- Bitmap files, their folders made as needed ----

inline BITMAPINFOHEADER Header(int width, int height, int bits, DWORD used = 0,
                               DWORD compression = BI_RGB)
{
    return {sizeof(BITMAPINFOHEADER), width, height, 1, WORD(bits), compression, 0, 0, 0, used};
}

inline std::string Dib(const BITMAPINFOHEADER& info, const std::string& table,
                       const std::string& pixels)
{
    BITMAPFILEHEADER file = {0x4D42, 0, 0, 0, DWORD(14 + info.biSize + table.size())};
    file.bfSize = file.bfOffBits + DWORD(pixels.size());
    return std::string(reinterpret_cast<char*>(&file), 14) +
           std::string(reinterpret_cast<const char*>(&info), info.biSize) + table + pixels;
}

inline std::string Pixels(int width, int height, int bits)
{
    return std::string(size_t((width * bits + 31) / 32 * 4 * height), '\x01');
}

inline void WriteBytes(const std::string& path, const std::string& bytes)
{
    for (size_t i = path.find('\\', 3); i != std::string::npos; i = path.find('\\', i + 1))
        CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

inline std::string BitmapBytes(int width, int height, COLORREF colour)   // 24 bits, one colour
{
    const char bgr[] = {char(GetBValue(colour)), char(GetGValue(colour)), char(GetRValue(colour))};
    std::string pixels = Pixels(width, height, 24);
    const size_t stride = pixels.size() / size_t(height);
    for (size_t row = 0; row < size_t(height); ++row)
        for (size_t x = 0; x < size_t(width); ++x) pixels.replace(row * stride + 3 * x, 3, bgr, 3);
    return Dib(Header(width, height, 24), "", pixels);
}

inline void WriteBitmap(const std::string& path, int width, int height, COLORREF colour)
{
    WriteBytes(path, BitmapBytes(width, height, colour));
}

// ---- The screen and real input, at screen points ----

inline COLORREF ScreenPixel(POINT p, COLORREF colour, DWORD timeoutMs = 3000)   // once it shows
{
    COLORREF seen = CLR_INVALID;
    Eventually([&] {
        HDC screen = GetDC(nullptr);
        seen = GetPixel(screen, p.x, p.y);
        ReleaseDC(nullptr, screen);
        return seen == colour;
    }, timeoutMs);
    return seen;
}

inline POINT OnScreen(HWND window, POINT client)
{
    ClientToScreen(window, &client);
    return client;
}

inline POINT Middle(HWND window, const RECT& r)   // of a rectangle in the window's client
{
    return OnScreen(window, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

// Input events only: a pointer put in place by SetCursorPos would make the next
// move no move, and the window under it would never hear of it.
inline void MouseAt(POINT p, DWORD buttons = 0)
{
    INPUT in = {INPUT_MOUSE};
    in.mi.dx = MulDiv(p.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(p.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
    SendInput(1, &in, sizeof in);
    Sleep(40);
}

inline void Click(POINT p)
{
    MouseAt(p);
    MouseAt(p, MOUSEEVENTF_LEFTDOWN);
    MouseAt(p, MOUSEEVENTF_LEFTUP);
    Sleep(100);
}

inline void Key(WORD vk, WORD held = 0)   // with a key held, as Alt for a mnemonic
{
    INPUT in[4] = {{INPUT_KEYBOARD}, {INPUT_KEYBOARD}, {INPUT_KEYBOARD}, {INPUT_KEYBOARD}};
    in[0].ki.wVk = in[3].ki.wVk = held;
    in[1].ki.wVk = in[2].ki.wVk = vk;
    in[2].ki.dwFlags = in[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(held ? 4 : 2, held ? in : in + 1, sizeof in[0]);
    Sleep(100);
}

// ---- This process's windows ----

// A shown window of this process of the class that passes the test.
inline HWND FindOwn(const char* cls, const std::function<bool(HWND)>& test = nullptr)
{
    for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, cls, nullptr)) != nullptr;) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == GetCurrentProcessId() && IsWindowVisible(w) && (!test || test(w))) return w;
    }
    return nullptr;
}

// This process's popup menu, once it is up.
inline HWND OpenMenu(DWORD timeoutMs = 3000)
{
    HWND menu = nullptr;
    Eventually([&] { return (menu = FindOwn("#32768")) != nullptr; }, timeoutMs);
    return menu;
}

// A menu's entries, "text|" each (with its id, "text id|": a separator reads as
// no text and 0), then each submenu's on a line of its own.
inline std::string MenuEntries(HMENU menu, bool ids = false)
{
    std::string lines;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[300] = "";
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        lines += text + (ids ? " " + std::to_string(GetMenuItemID(menu, i)) : "") + "|";
    }
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        if (HMENU sub = GetSubMenu(menu, i)) lines += "\n" + MenuEntries(sub, ids);
    return lines;
}

// Watches from a thread of its own for the next message box of this process, notes
// what it shows, and answers it with the button.
class MessageBoxAnswer {
public:
    explicit MessageBoxAnswer(int button, DWORD timeoutMs = 10000,
                              std::function<void()> whileOpen = nullptr)
        : m_watch([=, asker = GetCurrentThreadId()] { Watch(button, timeoutMs, whileOpen, asker); })
    {
    }
    ~MessageBoxAnswer() { Answered(); }
    bool Answered()   // waits; false when no box came
    {
        if (m_watch.joinable()) m_watch.join();
        return m_answered;
    }
    std::string caption, text;
    std::vector<int> buttons;
    HICON icon = nullptr;   // the system's shared icon it shows

private:
    void Watch(int button, DWORD timeoutMs, const std::function<void()>& whileOpen, DWORD asker)
    {
        // A message box is the dialog with a text control of id 0xFFFF.
        auto isBox = [](HWND hwnd) { return GetDlgItem(hwnd, 0xFFFF) != nullptr; };
        HWND box = nullptr;
        if (!Eventually([&] { return (box = FindOwn("#32770", isBox)) != nullptr; }, timeoutMs))
            return;
        caption = Text(box);
        text = Text(GetDlgItem(box, 0xFFFF));
        for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO})
            if (GetDlgItem(box, id)) buttons.push_back(id);
        for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if ((GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                icon = reinterpret_cast<HICON>(SendMessageA(c, STM_GETICON, 0, 0));
        if (whileOpen) whileOpen();
        const HWND owner = GetWindow(box, GW_OWNER);
        PostMessageA(box, WM_COMMAND, button, LPARAM(GetDlgItem(box, button)));
        m_answered = true;
        Eventually([&] { return !IsWindow(box); });   // not found again by the next watch
        // What the owner does with the answer is done once its thread reads a
        // message again (the test's own thread is waiting here, and cannot).
        DWORD_PTR done;
        if (owner && GetWindowThreadProcessId(owner, nullptr) != asker)
            SendMessageTimeoutA(owner, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &done);
    }
    bool m_answered = false;
    std::thread m_watch;
};

// ---- Trees and lists ----

inline std::string NodeText(HWND tree, HTREEITEM item)
{
    char text[300] = "";
    TVITEMA tv = {TVIF_TEXT, item, 0, 0, text, sizeof text};
    TreeView_GetItem(tree, &tv);
    return text;
}

inline int NodeImage(HWND tree, HTREEITEM item)   // -1 when image and selected image differ
{
    TVITEMA tv = {TVIF_IMAGE | TVIF_SELECTEDIMAGE, item};
    TreeView_GetItem(tree, &tv);
    return tv.iImage == tv.iSelectedImage ? tv.iImage : -1;
}

inline std::vector<std::string> Children(HWND tree, HTREEITEM parent)   // the roots for nullptr
{
    std::vector<std::string> texts;
    HTREEITEM item = parent ? TreeView_GetChild(tree, parent) : TreeView_GetRoot(tree);
    for (; item; item = TreeView_GetNextSibling(tree, item)) texts.push_back(NodeText(tree, item));
    return texts;
}

// A node by the texts down to it; a root by its first letters.
inline HTREEITEM Node(HWND tree, const std::vector<std::string>& path)
{
    HTREEITEM node = nullptr;
    for (size_t level = 0; level < path.size(); ++level) {
        node = node ? TreeView_GetChild(tree, node) : TreeView_GetRoot(tree);
        const size_t length = level ? std::string::npos : path[0].size();
        while (node && NodeText(tree, node).compare(0, length, path[level]))
            node = TreeView_GetNextSibling(tree, node);
        if (!node) return nullptr;
    }
    return node;
}

inline std::string ListRow(HWND list, int index)   // "name|folder"
{
    char name[300] = "", folder[300] = "";
    ListView_GetItemText(list, index, 0, name, sizeof name);
    ListView_GetItemText(list, index, 1, folder, sizeof folder);
    return std::string(name) + "|" + folder;
}

// ---- The resident dialog ----

// The dialog made on the watched thread, and what became of its visibility:
// 1 shown, 2 then hidden, 3 anything else after that.
inline std::atomic<HWND> g_watchedDialog;
inline std::atomic<int> g_visibility;

inline LRESULT CALLBACK WatchVisibility(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* m = reinterpret_cast<CWPRETSTRUCT*>(lParam);
    if (code >= 0 && m->message == WM_INITDIALOG && !g_watchedDialog) g_watchedDialog = m->hwnd;
    if (code >= 0 && m->message == WM_WINDOWPOSCHANGED && m->hwnd == g_watchedDialog) {
        const UINT flags = reinterpret_cast<WINDOWPOS*>(m->lParam)->flags;
        const int next = flags & SWP_SHOWWINDOW ? 1 : 2;
        if (flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW))
            g_visibility = g_visibility + 1 == next ? next : 3;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class Resident {
public:
    Resident()
    {
        g_visibility = 0;
        g_watchedDialog = nullptr;
        m_ui = std::thread([this] {
            const DWORD thread = GetCurrentThreadId();
            m_hook = SetWindowsHookExA(WH_CALLWNDPROCRET, WatchVisibility, nullptr, thread);
            CMirvalDlg dlg(nullptr);
            theApp.m_pMainWnd = &dlg;
            m_result = dlg.DoModal();
            theApp.m_pMainWnd = nullptr;
            m_ended = true;
        });
        Eventually([] { return g_watchedDialog.load() != nullptr; });
        m_hwnd = g_watchedDialog;
        m_blinked = Eventually([] { return g_visibility == 2; });
        // The watch is over with the blink: every message of the dialog's thread
        // would pass through it.
        UnhookWindowsHookEx(m_hook);
    }
    ~Resident()
    {
        if (!m_ended) Send(WM_COMMAND, ID_TRAY_QUIT);
        m_ui.join();
        if (!g_pSchedule) g_pSchedule = new ScheduleTable();   // "&Quitter" released it
    }
    LRESULT Send(UINT message, WPARAM w = 0, LPARAM l = 0)
    {
        return SendMessageA(m_hwnd, message, w, l);
    }
    void Post(UINT message, WPARAM w = 0, LPARAM l = 0) { PostMessageA(m_hwnd, message, w, l); }
    void Tray(LPARAM mouse) { Send(WM_TRAYICON, TRAY_ICON_ID, mouse); }
    bool Shown() const { return IsWindowVisible(m_hwnd) != FALSE; }
    HWND Item(int id) const { return GetDlgItem(m_hwnd, id); }
    bool Checked(int id) const { return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void Click(int id) { SendMessageA(Item(id), BM_CLICK, 0, 0); }
    bool WaitEnded() { return Eventually([this] { return m_ended.load(); }); }
    void OpenFolder(const std::vector<std::string>& path)   // as clicks down the tree would
    {
        HWND tree = Item(IDC_FOLDER_TREE);
        for (size_t n = 1; n <= path.size(); ++n)
            TreeView_SelectItem(tree, Node(tree, {path.begin(), path.begin() + n}));
    }
    void ChoosePicture(int index)
    {
        ListView_SetItemState(Item(IDC_PICTURE_LIST), index, LVIS_SELECTED, LVIS_SELECTED);
    }

    HWND m_hwnd = nullptr;
    bool m_blinked = false;        // seen shown, then hidden by the first timer tick
    std::atomic<bool> m_ended{false};
    INT_PTR m_result = -2;

private:
    std::atomic<HHOOK> m_hook{nullptr};
    std::thread m_ui;
};

// The application's profile emptied before and after each case, a new table.
class FreshProfile : public ::testing::Test {
protected:
    void SetUp() override
    {
        theApp.SetRegistryKey("Tarvex Software");
        DeleteKeyTree(kCompanyKey);
        g_pSchedule = new ScheduleTable();
        g_selectedPicture.Empty();
        g_everyDayActive = g_previewLoaded = 0;
    }
    void TearDown() override
    {
        delete g_pSchedule;
        g_pSchedule = nullptr;
        DeleteKeyTree(kCompanyKey);
    }
    static void StartUp()   // as start-up does before the dialog
    {
        ApplyTodaysWallpaper(APPLY_STARTUP);
        LoadSchedule();
    }
};
