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

void SetValue(const char* key, const char* name, const RegValue& value)
{
    CRegKey k;
    k.Create(HKEY_CURRENT_USER, key);
    if (!value.present) RegDeleteValueA(k, name);
    const auto* bytes = reinterpret_cast<const BYTE*>(value.data.data());
    if (value.present) RegSetValueExA(k, name, 0, value.type, bytes, DWORD(value.data.size()));
}

void SetText(const char* key, const char* name, const std::string& text)
{
    SetValue(key, name, Sz(text));
}

RegValue ReadValue(const char* key, const char* name)
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

std::string ReadText(const char* key, const char* name)
{
    RegValue v = ReadValue(key, name);
    if (!v.data.empty() && v.data.back() == '\0') v.data.pop_back();
    return v.present ? v.data : "<missing>";
}

std::string Snapshot(const char* key)
{
    std::string out;
    CRegKey k;
    if (k.Open(HKEY_CURRENT_USER, key, KEY_READ)) return out;
    char name[512];
    std::vector<BYTE> data(70000);
    for (DWORD i = 0, n = sizeof name, size = DWORD(data.size()), type;
         !RegEnumValueA(k, i, name, &n, nullptr, &type, data.data(), &size);
         ++i, n = sizeof name, size = DWORD(data.size()))
        out += std::string(key) + "\\" + name + "=" + std::to_string(type) + ":" +
               std::string(data.begin(), data.begin() + size) + "\n";
    for (DWORD i = 0, n = sizeof name; !RegEnumKeyExA(k, i, name, &n, nullptr, nullptr, nullptr, nullptr);
         ++i, n = sizeof name) {
        const std::string sub = std::string(key) + "\\" + name;
        out += sub + "\\\n" + Snapshot(sub.c_str());
    }
    return out;
}

std::string SlotText(int slot)
{
    const ScheduleSlot& s = g_pSchedule->slot[slot];
    return std::string(s.folder) + "|" + s.file + "|" + s.mosa;
}

std::string LoadedSlots()
{
    std::string lines;
    for (int slot = 0; slot < SCHEDULE_SLOTS; ++slot)
        if (SlotText(slot) != "||") lines += std::to_string(slot) + ":" + SlotText(slot) + "\n";
    return lines;
}

BITMAPINFOHEADER Header(int width, int height, int bits, DWORD used, DWORD compression)
{
    return {sizeof(BITMAPINFOHEADER), width, height, 1, WORD(bits), compression, 0, 0, 0, used};
}

std::string Dib(const BITMAPINFOHEADER& info, const std::string& table, const std::string& pixels)
{
    BITMAPFILEHEADER file = {0x4D42, 0, 0, 0, DWORD(14 + info.biSize + table.size())};
    file.bfSize = file.bfOffBits + DWORD(pixels.size());
    return std::string(reinterpret_cast<char*>(&file), 14) +
           std::string(reinterpret_cast<const char*>(&info), info.biSize) + table + pixels;
}

std::string Pixels(int width, int height, int bits)
{
    return std::string(size_t((width * bits + 31) / 32 * 4 * height), '\x01');
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    for (size_t i = path.find('\\', 3); i != std::string::npos; i = path.find('\\', i + 1))
        CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

void WriteBitmap(const std::string& path, int width, int height, COLORREF colour)
{
    std::string pixels = Pixels(width, height, 24);
    const size_t stride = pixels.size() / size_t(height);
    for (size_t row = 0; row < size_t(height); ++row)
        for (size_t x = 0; x < size_t(width); ++x)
            pixels.replace(row * stride + 3 * x, 3, {char(GetBValue(colour)), char(GetGValue(colour)),
                                                     char(GetRValue(colour))});
    WriteBytes(path, Dib(Header(width, height, 24), "", pixels));
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

// Input events only: a pointer put in place by SetCursorPos would make the next
// move no move, and the window under it would never hear of it.
void MouseAt(POINT p, DWORD buttons)
{
    INPUT in = {INPUT_MOUSE};
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
    INPUT in[2] = {{INPUT_KEYBOARD}, {INPUT_KEYBOARD}};
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof in[0]);
    Sleep(100);
}

HWND FindOwn(const char* cls, const std::function<bool(HWND)>& test)
{
    for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, cls, nullptr)) != nullptr;) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == GetCurrentProcessId() && IsWindowVisible(w) && (!test || test(w))) return w;
    }
    return nullptr;
}

MessageBoxAnswer::MessageBoxAnswer(int button, DWORD timeoutMs, std::function<void()> whileOpen)
{
    m_watch = std::thread([=] {
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
        PostMessageA(box, WM_COMMAND, button, LPARAM(GetDlgItem(box, button)));
        m_answered = true;
        Eventually([&] { return !IsWindow(box); });   // not found again by the next watch
    });
}

bool MessageBoxAnswer::Answered()
{
    if (m_watch.joinable()) m_watch.join();
    return m_answered;
}

std::string NodeText(HWND tree, HTREEITEM item)
{
    char text[300] = "";
    TVITEMA tv = {TVIF_TEXT, item, 0, 0, text, sizeof text};
    TreeView_GetItem(tree, &tv);
    return text;
}

int NodeImage(HWND tree, HTREEITEM item)
{
    TVITEMA tv = {TVIF_IMAGE | TVIF_SELECTEDIMAGE, item};
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

HTREEITEM Node(HWND tree, const std::vector<std::string>& path)
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

std::string ListRow(HWND list, int index)
{
    char name[300] = "", folder[300] = "";
    ListView_GetItemText(list, index, 0, name, sizeof name);
    ListView_GetItemText(list, index, 1, folder, sizeof folder);
    return std::string(name) + "|" + folder;
}

namespace {
// The dialog made on the watched thread, and what became of its visibility:
// 1 shown, 2 then hidden, 3 anything else after that.
std::atomic<HWND> g_dialog;
std::atomic<int> g_visibility;

LRESULT CALLBACK WatchVisibility(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* m = reinterpret_cast<CWPRETSTRUCT*>(lParam);
    if (code >= 0 && m->message == WM_INITDIALOG && !g_dialog) g_dialog = m->hwnd;
    if (code >= 0 && m->message == WM_WINDOWPOSCHANGED && m->hwnd == g_dialog) {
        const UINT flags = reinterpret_cast<WINDOWPOS*>(m->lParam)->flags;
        if (flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW))
            g_visibility = g_visibility + 1 == (flags & SWP_SHOWWINDOW ? 1 : 2) ? g_visibility + 1 : 3;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
}

Resident::Resident()
{
    g_visibility = 0;
    g_dialog = nullptr;
    m_ui = std::thread([this] {
        HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, WatchVisibility, nullptr, GetCurrentThreadId());
        CMirvalDlg dlg(nullptr);
        theApp.m_pMainWnd = m_dlg = &dlg;
        m_result = dlg.DoModal();
        UnhookWindowsHookEx(hook);
        theApp.m_pMainWnd = m_dlg = nullptr;
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
    if (!g_pSchedule) g_pSchedule = new ScheduleTable();   // "&Quitter" released it
}

void Resident::OpenFolder(const std::vector<std::string>& path)
{
    for (size_t n = 1; n <= path.size(); ++n)
        TreeView_SelectItem(Item(IDC_FOLDER_TREE), Node(Item(IDC_FOLDER_TREE), {path.begin(), path.begin() + n}));
}

void Resident::ChoosePicture(int index)
{
    ListView_SetItemState(Item(IDC_PICTURE_LIST), index, LVIS_SELECTED, LVIS_SELECTED);
}

void FreshProfile::SetUp()
{
    theApp.SetRegistryKey("Tarvex Software");
    DeleteKeyTree(kCompanyKey);
    g_pSchedule = new ScheduleTable();
    g_selectedPicture.Empty();
    g_everyDayActive = g_previewLoaded = 0;
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
