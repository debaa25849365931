// What the in-process suites share: a fixed clock, the registry read and written
// around the code under test, bitmap files, the real screen, real input, the
// message boxes and menus of this process, and the setup dialog as start-up
// makes it, its modal loop on a thread of its own.
#pragma once
#include "app/mirval_app.h"
#include "app/mirval_dlg.h"
#include "res/resource.h"
#include "schedule/schedule.h"
#include "schedule/wallpaper.h"
#include "setup/setup.h"
#include <commctrl.h>
#include <gtest/gtest.h>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

constexpr char kCompanyKey[] = "Software\\Tarvex Software";
constexpr char kDesktop[] = "Control Panel\\desktop";
constexpr char kFiles[] = "C:\\mirval-tests\\";

bool Eventually(const std::function<bool()>& condition, DWORD timeoutMs = 5000);
std::string Text(HWND hwnd);
bool French();   // the user's language, as the string tables are chosen by it

// Makes CTime::GetCurrentTime answer t while it lives.
struct FixedClock {
    explicit FixedClock(const CTime& t);
    ~FixedClock();
};

// The registry under HKCU, read and written without the code under test.
struct RegValue {
    bool present = false;
    DWORD type = REG_NONE;
    std::string data;   // the raw bytes
    bool operator==(const RegValue& o) const
    {
        return present == o.present && type == o.type && data == o.data;
    }
};
RegValue Sz(const std::string& text);   // REG_SZ with its zero, as the system writes it
std::string ProfileKey(const char* section);
void DeleteKeyTree(const char* path);
void SetValue(const char* keyPath, const char* name, const RegValue& value);   // absent: deleted
void SetText(const char* keyPath, const char* name, const std::string& text);
RegValue ReadValue(const char* keyPath, const char* name);
std::string ReadText(const char* keyPath, const char* name);   // "<missing>" when absent
// Every value under a key and its subkeys, one "subkey\\name=type:bytes" line each.
std::string Snapshot(const char* path);

// Files, their folders made as needed.
void WriteBytes(const std::string& path, const std::string& bytes);
void WriteBitmap(const std::string& path, int width, int height, COLORREF colour);
// Waits until the screen shows colour at p; returns what it last saw.
COLORREF ScreenPixel(POINT p, COLORREF colour, DWORD timeoutMs = 3000);
POINT OnScreen(HWND window, POINT client);

// Real input through the platform, at screen points.
void MouseAt(POINT p, DWORD buttons = 0);
void Click(POINT p);
void Key(WORD vk);

// Watches, from a thread of its own, for the next message box of this process,
// notes what it shows and answers it with the given button.
class MessageBoxAnswer {
public:
    explicit MessageBoxAnswer(int button, DWORD timeoutMs = 10000,
                              std::function<void()> whileOpen = nullptr);
    ~MessageBoxAnswer() { Answered(); }
    bool Answered();   // waits; false when no box came
    std::string caption, text;
    std::vector<int> buttons;   // the ids of its buttons
    HICON icon = nullptr;       // its icon, the system's shared one

private:
    std::thread m_watch;
    bool m_answered = false;
};

// The open popup menu of this process, or nullptr after the timeout.
HWND OpenMenu(DWORD timeoutMs = 3000);

// Tree and list controls, read through their messages.
std::string NodeText(HWND tree, HTREEITEM item);
int NodeImage(HWND tree, HTREEITEM item);   // -1 when image and selected image differ
std::vector<std::string> Children(HWND tree, HTREEITEM parent);   // roots for nullptr
// The node down a path of texts (a drive root by its first letters).
HTREEITEM Node(HWND tree, std::vector<std::string> path);
std::vector<std::string> ListRow(HWND list, int index);   // name and folder

// The setup dialog as start-up makes it, its modal loop on a thread of its own.
class Resident {
public:
    Resident();
    ~Resident();
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return SendMessageA(m_hwnd, message, wParam, lParam);
    }
    void Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        PostMessageA(m_hwnd, message, wParam, lParam);
    }
    void Tray(LPARAM mouse) { Send(WM_TRAYICON, TRAY_ICON_ID, mouse); }
    bool Shown() const { return IsWindowVisible(m_hwnd) != FALSE; }
    HWND Item(int id) const { return GetDlgItem(m_hwnd, id); }
    bool Checked(int id) const { return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void Click(int id) { SendMessageA(Item(id), BM_CLICK, 0, 0); }
    bool WaitEnded() { return Eventually([this] { return m_ended.load(); }); }
    // Selects a folder node, opening the nodes on the way as clicks would.
    void OpenFolder(const std::vector<std::string>& path);
    void ChoosePicture(int index);

    HWND m_hwnd = nullptr;
    CMirvalDlg* m_dlg = nullptr;   // lives on the dialog's thread
    bool m_blinked = false;        // seen shown, then hidden by the first timer tick
    std::atomic<bool> m_ended{false};
    INT_PTR m_result = -2;

private:
    std::thread m_ui;
};

// The application's profile under its company key, emptied before and after
// each case, and a new schedule table.
class FreshProfile : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    static void StartUp();   // as start-up does before the dialog
};
