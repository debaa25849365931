#include "tests/support/support.h"

bool Eventually(const std::function<bool()>& condition, DWORD timeoutMs)
{
    for (DWORD start = GetTickCount(); !condition(); Sleep(10))
        if (GetTickCount() - start > timeoutMs) return false;
    return true;
}

std::string Text(HWND hwnd)
{
    char buf[1024] = "";
    GetWindowTextA(hwnd, buf, sizeof buf);
    return buf;
}

bool French()
{
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_FRENCH;
}

namespace {
time_t g_fixed = 0;
}

FixedClock::FixedClock(const CTime& t)
{
    g_fixed = t.GetTime();
    CTime::SetClock([] { return g_fixed; });
}

FixedClock::~FixedClock()
{
    CTime::SetClock(nullptr);
}

RegValue Sz(const std::string& text)
{
    return {true, REG_SZ, text + '\0'};
}

std::string ProfileKey(const char* section)
{
    return std::string(AfxGetApp()->GetProfileKeyPath()) + "\\" + section;
}

void DeleteKeyTree(const char* path)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, path);
    RegDeleteKeyA(HKEY_CURRENT_USER, path);
}

void SetValue(const char* keyPath, const char* name, const RegValue& value)
{
    CRegKey key;
    key.Create(HKEY_CURRENT_USER, keyPath);
    if (!value.present) {
        RegDeleteValueA(key, name);
        return;
    }
    RegSetValueExA(key, name, 0, value.type, reinterpret_cast<const BYTE*>(value.data.data()),
                   static_cast<DWORD>(value.data.size()));
}

void SetText(const char* keyPath, const char* name, const std::string& text)
{
    SetValue(keyPath, name, Sz(text));
}

RegValue ReadValue(const char* keyPath, const char* name)
{
    RegValue v;
    CRegKey key;
    DWORD size = 0;
    if (key.Open(HKEY_CURRENT_USER, keyPath, KEY_READ) != ERROR_SUCCESS ||
        RegQueryValueExA(key, name, nullptr, &v.type, nullptr, &size) != ERROR_SUCCESS)
        return v;
    v.data.resize(size);
    v.present = RegQueryValueExA(key, name, nullptr, &v.type,
                                 reinterpret_cast<BYTE*>(&v.data[0]), &size) == ERROR_SUCCESS;
    return v;
}

std::string ReadText(const char* keyPath, const char* name)
{
    RegValue v = ReadValue(keyPath, name);
    if (!v.present) return "<missing>";
    if (!v.data.empty() && v.data.back() == '\0') v.data.pop_back();
    return v.data;
}

namespace {
void Snapshot(const std::string& path, std::string& out)
{
    CRegKey key;
    if (key.Open(HKEY_CURRENT_USER, path.c_str(), KEY_READ) != ERROR_SUCCESS) return;
    char name[512];
    std::vector<BYTE> data(70000);
    for (DWORD i = 0;; ++i) {
        DWORD nameLen = sizeof name, size = static_cast<DWORD>(data.size()), type = 0;
        if (RegEnumValueA(key, i, name, &nameLen, nullptr, &type, data.data(), &size)) break;
        out += path + "\\" + name + "=" + std::to_string(type) + ":" +
               std::string(reinterpret_cast<char*>(data.data()), size) + "\n";
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameLen = sizeof name;
        if (RegEnumKeyExA(key, i, name, &nameLen, nullptr, nullptr, nullptr, nullptr)) break;
        Snapshot(path + "\\" + name, out += path + "\\" + name + "\\\n");
    }
}
}

std::string Snapshot(const char* path)
{
    std::string out;
    Snapshot(path, out);
    return out;
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    for (size_t i = path.find('\\', 3); i != std::string::npos; i = path.find('\\', i + 1))
        CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

void WriteBitmap(const std::string& path, int width, int height, COLORREF colour)
{
    const int stride = (width * 3 + 3) & ~3;
    BITMAPINFOHEADER info = {sizeof info, width, height, 1, 24};
    info.biSizeImage = static_cast<DWORD>(stride * height);
    BITMAPFILEHEADER file = {0x4D42, 0, 0, 0, sizeof file + sizeof info};
    file.bfSize = file.bfOffBits + info.biSizeImage;
    std::string pixels(info.biSizeImage, '\0');
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            char* p = &pixels[static_cast<size_t>(y * stride + x * 3)];
            p[0] = static_cast<char>(GetBValue(colour));
            p[1] = static_cast<char>(GetGValue(colour));
            p[2] = static_cast<char>(GetRValue(colour));
        }
    WriteBytes(path, std::string(reinterpret_cast<char*>(&file), sizeof file) +
                         std::string(reinterpret_cast<char*>(&info), sizeof info) + pixels);
}

COLORREF ScreenPixel(POINT p, COLORREF colour, DWORD timeoutMs)
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

POINT OnScreen(HWND window, POINT client)
{
    ClientToScreen(window, &client);
    return client;
}

// (Only input events: a pointer put in place by SetCursorPos would make the next
// move no move, and the window under it would never hear of it.)
void MouseAt(POINT p, DWORD buttons)
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(p.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(p.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
    SendInput(1, &in, sizeof in);
    Sleep(40);
}

void Click(POINT p)
{
    MouseAt(p);
    MouseAt(p, MOUSEEVENTF_LEFTDOWN);
    MouseAt(p, MOUSEEVENTF_LEFTUP);
    Sleep(100);
}

void Key(WORD vk)
{
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof in[0]);
    Sleep(100);
}

namespace {
struct Search {
    const char* cls;
    bool (*test)(HWND);
    HWND found;
};

BOOL CALLBACK Visit(HWND hwnd, LPARAM param)
{
    auto* s = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char name[16] = "";
    GetClassNameA(hwnd, name, sizeof name);
    if (pid != GetCurrentProcessId() || strcmp(name, s->cls) || !IsWindowVisible(hwnd) || !s->test(hwnd))
        return TRUE;
    s->found = hwnd;
    return FALSE;
}

// The visible top-level window of this process of the given class that passes a test.
HWND FindOwn(const char* cls, bool (*test)(HWND) = [](HWND) { return true; })
{
    Search search = {cls, test, nullptr};
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
}

MessageBoxAnswer::MessageBoxAnswer(int button, DWORD timeoutMs, std::function<void()> whileOpen)
{
    m_watch = std::thread([=] {
        HWND box = nullptr;
        // A message box is the dialog with a text control of id 0xFFFF.
        auto isBox = [](HWND hwnd) { return GetDlgItem(hwnd, 0xFFFF) != nullptr; };
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
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
        m_answered = true;
        Eventually([&] { return !IsWindow(box); });   // not found again by the next watch
    });
}

bool MessageBoxAnswer::Answered()
{
    if (m_watch.joinable()) m_watch.join();
    return m_answered;
}

HWND OpenMenu(DWORD timeoutMs)
{
    HWND menu = nullptr;
    Eventually([&] { return (menu = FindOwn("#32768")) != nullptr; }, timeoutMs);
    return menu;
}

std::string NodeText(HWND tree, HTREEITEM item)
{
    char text[300] = "";
    TVITEMA tv = {};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = sizeof text;
    TreeView_GetItem(tree, &tv);
    return text;
}

int NodeImage(HWND tree, HTREEITEM item)
{
    TVITEMA tv = {};
    tv.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    tv.hItem = item;
    TreeView_GetItem(tree, &tv);
    return tv.iImage == tv.iSelectedImage ? tv.iImage : -1;
}

std::vector<std::string> Children(HWND tree, HTREEITEM parent)
{
    std::vector<std::string> texts;
    HTREEITEM item = parent ? TreeView_GetChild(tree, parent) : TreeView_GetRoot(tree);
    for (; item; item = TreeView_GetNextSibling(tree, item)) texts.push_back(NodeText(tree, item));
    return texts;
}

HTREEITEM Node(HWND tree, std::vector<std::string> path)
{
    HTREEITEM node = nullptr;
    for (size_t level = 0; level < path.size(); ++level) {
        HTREEITEM i = node ? TreeView_GetChild(tree, node) : TreeView_GetRoot(tree);
        while (i && NodeText(tree, i).compare(0, level ? std::string::npos : path[0].size(),
                                              path[level]) != 0)
            i = TreeView_GetNextSibling(tree, i);
        if (!(node = i)) return nullptr;
    }
    return node;
}

std::vector<std::string> ListRow(HWND list, int index)
{
    char name[300] = "", folder[300] = "";
    ListView_GetItemText(list, index, 0, name, sizeof name);
    ListView_GetItemText(list, index, 1, folder, sizeof folder);
    return {name, folder};
}

namespace {
// The dialog made on the dialog's thread, and what that thread did with its
// window's visibility: 1 shown, 2 then hidden, 3 anything else after that.
std::atomic<HWND> g_dialog;
std::atomic<int> g_visibility;
LRESULT CALLBACK WatchVisibility(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* m = reinterpret_cast<CWPRETSTRUCT*>(lParam);
    if (code >= 0 && m->message == WM_INITDIALOG && !g_dialog) g_dialog = m->hwnd;
    if (code >= 0 && m->message == WM_WINDOWPOSCHANGED && m->hwnd == g_dialog) {
        const auto* pos = reinterpret_cast<WINDOWPOS*>(m->lParam);
        const int next = pos->flags & SWP_SHOWWINDOW ? 1 : 2;
        if (pos->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW))
            g_visibility = g_visibility + 1 == next ? next : 3;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
}

Resident::Resident()
{
    g_visibility = 0;
    g_dialog = nullptr;
    m_ui = std::thread([this] {
        HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, WatchVisibility, nullptr,
                                       GetCurrentThreadId());
        CMirvalDlg dlg(nullptr);
        theApp.m_pMainWnd = m_dlg = &dlg;
        m_result = dlg.DoModal();
        UnhookWindowsHookEx(hook);
        m_dlg = nullptr;
        theApp.m_pMainWnd = nullptr;
        m_ended = true;
    });
    Eventually([] { return g_dialog.load() != nullptr; });
    m_hwnd = g_dialog;
    m_blinked = Eventually([] { return g_visibility == 2; });
}

Resident::~Resident()
{
    if (!m_ended) Send(WM_COMMAND, ID_TRAY_QUIT);
    m_ui.join();
    if (!g_pSchedule) g_pSchedule = new ScheduleTable();
}

void Resident::OpenFolder(const std::vector<std::string>& path)
{
    HWND tree = Item(IDC_FOLDER_TREE);
    for (size_t n = 1; n <= path.size(); ++n)
        TreeView_SelectItem(tree, Node(tree, {path.begin(), path.begin() + n}));
}

void Resident::ChoosePicture(int index)
{
    ListView_SetItemState(Item(IDC_PICTURE_LIST), index, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
}

void FreshProfile::SetUp()
{
    theApp.SetRegistryKey("Tarvex Software");
    DeleteKeyTree(kCompanyKey);
    g_pSchedule = new ScheduleTable();
    g_selectedPicture.Empty();
    g_everyDayActive = 0;
    g_previewLoaded = 0;
}

void FreshProfile::TearDown()
{
    delete g_pSchedule;
    g_pSchedule = nullptr;
    DeleteKeyTree(kCompanyKey);
}

void FreshProfile::StartUp()
{
    ApplyTodaysWallpaper(APPLY_STARTUP);
    LoadSchedule();
}
