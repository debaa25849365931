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
bool French();   // the user's language, which picks the string table

struct FixedClock {   // CTime::GetCurrentTime answers t while it lives
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
RegValue Sz(const std::string& text);   // REG_SZ with its zero
std::string ProfileKey(const char* section);
void DeleteKeyTree(const char* path);
void SetValue(const char* key, const char* name, const RegValue& value);   // absent: deleted
void SetText(const char* key, const char* name, const std::string& text);
RegValue ReadValue(const char* key, const char* name);
std::string ReadText(const char* key, const char* name);   // "<missing>" when absent
std::string Snapshot(const char* key);   // "key\\name=type:bytes" lines, subkeys too

// The schedule table as text: a slot as "folder|file|mosa", and every slot that
// holds anything as "n:folder|file|mosa" lines.
std::string SlotText(int slot);
std::string LoadedSlots();

// Bitmap files, their folders made as needed.
BITMAPINFOHEADER Header(int width, int height, int bits, DWORD used = 0, DWORD compression = BI_RGB);
std::string Dib(const BITMAPINFOHEADER& info, const std::string& table, const std::string& pixels);
std::string Pixels(int width, int height, int bits);
void WriteBytes(const std::string& path, const std::string& bytes);
void WriteBitmap(const std::string& path, int width, int height, COLORREF colour);

// The screen and real input, at screen points.
COLORREF ScreenPixel(POINT p, COLORREF colour, DWORD timeoutMs = 3000);   // once it shows colour
POINT OnScreen(HWND window, POINT client);
void MouseAt(POINT p, DWORD buttons = 0);
void Click(POINT p);
void Key(WORD vk);

// A shown window of this process of the class that passes the test.
HWND FindOwn(const char* cls, const std::function<bool(HWND)>& test = nullptr);

// Watches from a thread of its own for the next message box of this process, notes
// what it shows, and answers it with the button.
class MessageBoxAnswer {
public:
    explicit MessageBoxAnswer(int button, DWORD timeoutMs = 10000,
                              std::function<void()> whileOpen = nullptr);
    ~MessageBoxAnswer() { Answered(); }
    bool Answered();   // waits; false when no box came
    std::string caption, text;
    std::vector<int> buttons;
    HICON icon = nullptr;   // the system's shared icon it shows

private:
    std::thread m_watch;
    bool m_answered = false;
};

std::string NodeText(HWND tree, HTREEITEM item);
int NodeImage(HWND tree, HTREEITEM item);   // -1 when image and selected image differ
std::vector<std::string> Children(HWND tree, HTREEITEM parent);   // the roots for nullptr
HTREEITEM Node(HWND tree, const std::vector<std::string>& path);  // a root by its first letters
std::string ListRow(HWND list, int index);   // "name|folder"

class Resident {
public:
    Resident();
    ~Resident();
    LRESULT Send(UINT message, WPARAM w = 0, LPARAM l = 0) { return SendMessageA(m_hwnd, message, w, l); }
    void Post(UINT message, WPARAM w = 0, LPARAM l = 0) { PostMessageA(m_hwnd, message, w, l); }
    void Tray(LPARAM mouse) { Send(WM_TRAYICON, TRAY_ICON_ID, mouse); }
    bool Shown() const { return IsWindowVisible(m_hwnd) != FALSE; }
    HWND Item(int id) const { return GetDlgItem(m_hwnd, id); }
    bool Checked(int id) const { return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void Click(int id) { SendMessageA(Item(id), BM_CLICK, 0, 0); }
    bool WaitEnded() { return Eventually([this] { return m_ended.load(); }); }
    void OpenFolder(const std::vector<std::string>& path);   // as clicks down the tree would
    void ChoosePicture(int index);

    HWND m_hwnd = nullptr;
    CMirvalDlg* m_dlg = nullptr;   // lives on the dialog's thread
    bool m_blinked = false;        // seen shown, then hidden by the first timer tick
    std::atomic<bool> m_ended{false};
    INT_PTR m_result = -2;

private:
    std::thread m_ui;
};

// The application's profile emptied before and after each case, a new table.
class FreshProfile : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    static void StartUp();   // as start-up does before the dialog
};
