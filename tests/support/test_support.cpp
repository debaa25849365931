#include "tests/support/test_support.h"
#include <vector>

namespace {
time_t g_fixed = 0;
time_t Fixed() { return g_fixed; }
}

FixedClock::FixedClock(const CTime& t)
{
    g_fixed = t.GetTime();
    CTime::SetClock(Fixed);
}

FixedClock::~FixedClock()
{
    CTime::SetClock(nullptr);
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

bool KeyExists(const char* path)
{
    CRegKey key;
    return key.Open(HKEY_CURRENT_USER, path, KEY_READ) == ERROR_SUCCESS;
}

void SetRawValue(const char* keyPath, const char* name, DWORD type, const std::string& data)
{
    CRegKey key;
    key.Create(HKEY_CURRENT_USER, keyPath);
    RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                   static_cast<DWORD>(data.size()));
}

void SetText(const char* keyPath, const char* name, const std::string& text)
{
    SetRawValue(keyPath, name, REG_SZ, std::string(text.c_str(), text.size() + 1));
}

void DeleteValue(const char* keyPath, const char* name)
{
    CRegKey key;
    if (key.Open(HKEY_CURRENT_USER, keyPath) == ERROR_SUCCESS) RegDeleteValueA(key, name);
}

RegValue ReadValue(const char* keyPath, const char* name)
{
    RegValue v;
    CRegKey key;
    if (key.Open(HKEY_CURRENT_USER, keyPath, KEY_READ) != ERROR_SUCCESS) return v;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &v.type, nullptr, &size) != ERROR_SUCCESS) return v;
    std::vector<char> buf(size + 1);
    if (RegQueryValueExA(key, name, nullptr, &v.type, reinterpret_cast<BYTE*>(buf.data()), &size) !=
        ERROR_SUCCESS)
        return v;
    v.present = true;
    v.data.assign(buf.data(), size);
    return v;
}

std::string ReadText(const char* keyPath, const char* name)
{
    RegValue v = ReadValue(keyPath, name);
    if (!v.present) return "<missing>";
    if (!v.data.empty() && v.data.back() == '\0') v.data.pop_back();
    return v.data;
}

// Every value under a key and its subkeys, as "subkey\name=type:bytes" lines.
namespace {
void Snapshot(HKEY parent, const std::string& path, std::string& out)
{
    HKEY key;
    if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    char name[512];
    BYTE data[4096];
    for (DWORD i = 0;; ++i) {
        DWORD nameLen = sizeof name, dataLen = sizeof data, type = 0;
        if (RegEnumValueA(key, i, name, &nameLen, nullptr, &type, data, &dataLen) != ERROR_SUCCESS)
            break;
        out += path + "\\" + name + "=" + std::to_string(type) + ":" +
               std::string(reinterpret_cast<char*>(data), dataLen) + "\n";
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameLen = sizeof name;
        if (RegEnumKeyExA(key, i, name, &nameLen, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        out += path + "\\" + name + "\\\n";
        Snapshot(parent, path + "\\" + name, out);
    }
    RegCloseKey(key);
}

}

std::string Snapshot(const char* path)
{
    std::string out;
    Snapshot(HKEY_CURRENT_USER, path, out);
    return out;
}

void WriteBitmap(const std::string& path, int width, int height, COLORREF colour)
{
    for (size_t i = path.find('\\', 3); i != std::string::npos; i = path.find('\\', i + 1))
        CreateDirectoryA(path.substr(0, i).c_str(), nullptr);

    int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = static_cast<DWORD>(stride * height);
    file.bfType = 0x4D42;   // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;

    std::vector<BYTE> pixels(info.biSizeImage);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            BYTE* p = &pixels[static_cast<size_t>(y * stride + x * 3)];
            p[0] = GetBValue(colour);
            p[1] = GetGValue(colour);
            p[2] = GetRValue(colour);
        }

    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(h, &file, sizeof file, &written, nullptr);
    WriteFile(h, &info, sizeof info, &written, nullptr);
    WriteFile(h, pixels.data(), info.biSizeImage, &written, nullptr);
    CloseHandle(h);
}

COLORREF WaitForScreenPixel(int x, int y, COLORREF colour, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    COLORREF seen;
    for (;;) {
        HDC screen = GetDC(nullptr);
        seen = GetPixel(screen, x, y);
        ReleaseDC(nullptr, screen);
        if (seen == colour || GetTickCount() - start > timeoutMs) return seen;
        Sleep(50);
    }
}

#include <thread>

namespace {
struct Found {
    HWND box = nullptr;
};

BOOL CALLBACK FindMessageBox(HWND hwnd, LPARAM param)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[16] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    if (pid == GetCurrentProcessId() && IsWindowVisible(hwnd) && lstrcmpA(cls, "#32770") == 0 &&
        GetDlgItem(hwnd, 0xFFFF)) {   // the box's text control
        reinterpret_cast<Found*>(param)->box = hwnd;
        return FALSE;
    }
    return TRUE;
}
}

struct MessageBoxAnswer::Watch {
    std::thread thread;
    bool answered = false;
};

MessageBoxAnswer::MessageBoxAnswer(int button, DWORD timeoutMs)
    : MessageBoxAnswer(button, nullptr, timeoutMs)
{
}

MessageBoxAnswer::MessageBoxAnswer(int button, std::function<void()> whileOpen, DWORD timeoutMs)
    : m_watch(new Watch)
{
    m_watch->thread = std::thread([this, button, whileOpen, timeoutMs] {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < timeoutMs) {
            Found found;
            EnumWindows(FindMessageBox, reinterpret_cast<LPARAM>(&found));
            if (found.box) {
                char buf[1024] = "";
                GetWindowTextA(found.box, buf, sizeof buf);
                caption = buf;
                GetDlgItemTextA(found.box, 0xFFFF, buf, sizeof buf);
                text = buf;
                style = static_cast<UINT>(GetWindowLongA(found.box, GWL_STYLE));
                if (whileOpen) whileOpen();
                PostMessageA(found.box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(found.box, button)));
                m_watch->answered = true;
                // Gone before the next look for a box can find it again.
                while (IsWindow(found.box) && GetTickCount() - start < timeoutMs) Sleep(10);
                return;
            }
            Sleep(20);
        }
    });
}

bool MessageBoxAnswer::Answered()
{
    if (m_watch->thread.joinable()) m_watch->thread.join();
    return m_watch->answered;
}

MessageBoxAnswer::~MessageBoxAnswer()
{
    Answered();
    delete m_watch;
}
