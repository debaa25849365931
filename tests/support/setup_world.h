// The setup dialog's world for the tests: folders of pictures and files cut
// short, a hand that points and drags, and the calendar as a start shows it.
#pragma once
#include "tests/support/support.h"

inline const std::string kImages = std::string(kFiles) + "Images\\";
inline const std::string kChain = std::string(kFiles) + "chemins\\" + std::string(60, 'a') + "\\";
using Path = std::vector<std::string>;

inline std::string ColourTable(int n)   // entry i is RGB(255 - i, 2i, i), stored blue first
{
    std::string table;
    for (int i = 0; i < n; ++i) table += {char(i), char(2 * i), char(255 - i), 0};
    return table;
}

// Files cut short: in their pixels, in their colour table, their pixels past the end.
inline std::vector<std::pair<std::string, std::string>> CutBitmaps()
{
    const std::string deep = Dib(Header(16, 16, 24), "", Pixels(16, 16, 24));
    const std::string table = Dib(Header(16, 16, 8), ColourTable(256), Pixels(16, 16, 8));
    std::string beyond = deep;
    beyond[10] = '\x7F';   // bfOffBits
    // 58 bytes whose header promises 256 colours that the file does not hold.
    const std::string noTable = Dib(Header(1, 1, 8, 256), "", Pixels(1, 1, 8));
    return {{"PIXELS.BMP", deep.substr(0, deep.size() - 40)},
            {"TABLE.BMP", table.substr(0, 14 + 40 + 100)},
            {"BEYOND.BMP", beyond},
            {"NOTABLE.BMP", noTable}};
}

inline POINT NodePoint(HWND tree, HTREEITEM item)
{
    RECT r = {};
    TreeView_GetItemRect(tree, item, &r, TRUE);
    return Middle(tree, r);
}

inline POINT ItemPoint(HWND list, int index)
{
    RECT r = {LVIR_LABEL};
    ListView_GetItemRect(list, index, &r, LVIR_LABEL);
    return Middle(list, r);
}

// The window's thread's focus, capture and the rest.
inline GUITHREADINFO GuiOf(HWND window)
{
    GUITHREADINFO info = {sizeof info};
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info;
}

inline HWND CaptureOf(HWND window)
{
    return GuiOf(window).hwndCapture;
}

// A hand's drag: pressed (unless already down), moved off in small steps (the
// list then reports a drag), moved on to the point and, unless told not to,
// released there. The way to the point only once the drag is under way (the
// mouse taken by a window other than the list, which holds it while it decides):
// a move the list reads while deciding is no move of the drag.
inline void Drag(POINT from, POINT to, bool release = true, bool press = true)
{
    MouseAt(from);
    if (press) MouseAt(from, MOUSEEVENTF_LEFTDOWN);
    for (int i = 1; i <= 4; ++i) MouseAt({from.x + 3 * i, from.y + 2 * i});
    const HWND source = WindowFromPoint(from);
    Eventually([&] { const HWND held = CaptureOf(source); return held && held != source; }, 2000);
    for (int i = 1; i <= 6; ++i)
        MouseAt({from.x + (to.x - from.x) * i / 6, from.y + (to.y - from.y) * i / 6});
    Sleep(100);
    if (release) MouseAt(to, MOUSEEVENTF_LEFTUP);
    Sleep(150);
}

// The dialog's thread may be behind on the pointer: read once it has caught up.
inline HTREEITEM Highlight(HWND tree, HTREEITEM expected)
{
    HTREEITEM seen = nullptr;
    Eventually([&] { return (seen = TreeView_GetDropHilight(tree)) == expected; }, 2000);
    return seen;
}

inline void MakeFile(const std::wstring& path)   // past MAX_PATH when it must be
{
    CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
}

class Setup : public FreshProfile {
protected:
    static void SetUpTestSuite()
    {
        for (const char* name : {"fond.bmp", "Image.Bmp", "ABCBMP", "bmp", "photo.dib"})
            WriteBitmap(kImages + name, 40, 30, RGB(0, 255, 0));
        WriteBytes(kImages + "LISEZMOI.TXT", "lisez-moi");
        SetFileAttributesA((kImages + "cache.bmp").c_str(), FILE_ATTRIBUTE_NORMAL);
        WriteBytes(kImages + "cache.bmp", "");
        SetFileAttributesA((kImages + "cache.bmp").c_str(), FILE_ATTRIBUTE_HIDDEN);
        // Wine's search gives names in the order of their capitals ("_base" after
        // "Zeta"), the tree sorts them by the language's rules ("_base" first, "été"
        // among the e's).
        for (const char* sub : {"Zeta", ".cache", "alpha", "Cachette", "_base", "\xE9t\xE9"})
            CreateDirectoryA((kImages + sub).c_str(), nullptr);
        SetFileAttributesA((kImages + "Cachette").c_str(), FILE_ATTRIBUTE_HIDDEN);
        WriteBitmap(kImages + "alpha\\seule.bmp", 8, 8, RGB(0, 0, 255));
        WriteBitmap("E:\\racine.bmp", 8, 8, RGB(0, 0, 255));
        // The longest name the disk takes, and folders of 255 and 256 characters.
        const std::wstring root = L"\\\\?\\C:\\mirval-tests\\";
        CreateDirectoryW((root + L"long").c_str(), nullptr);
        MakeFile(root + L"long\\" + std::wstring(251, L'l') + L".bmp");
        std::wstring chain(kChain.begin(), kChain.end());
        CreateDirectoryW((root + L"chemins").c_str(), nullptr);
        CreateDirectoryW((L"\\\\?\\" + chain).c_str(), nullptr);
        for (size_t length : {255u, 256u}) {
            const std::wstring z(length - chain.size() - 1, L'z');   // the list adds a backslash
            const std::wstring folder = L"\\\\?\\" + chain + z;
            CreateDirectoryW(folder.c_str(), nullptr);
            MakeFile(folder + L"\\Y.BMP");
        }
        for (const auto& [name, bytes] : CutBitmaps())
            WriteBytes(std::string(kFiles) + "abimees\\" + name, bytes);
        WriteBitmap(std::string(kFiles) + "glisser\\ETE.BMP", 16, 16, RGB(255, 0, 0));
    }
    void SetUp() override
    {
        FreshProfile::SetUp();
        StartUp();
    }
};

class Calendar : public Setup {
protected:
    void SetUp() override
    {
        Setup::SetUp();
        const std::string folder = std::string(kFiles) + "calendrier\\";
        const std::string week = ProfileKey("Semaine");
        WriteBitmap(folder + "MARDI.BMP", 16, 16, RGB(0, 255, 0));
        WriteBitmap(folder + "DECEMBRE.BMP", 16, 16, RGB(0, 0, 255));
        SetText(week.c_str(), "Lundi", folder + "minuscule.bmp");
        SetText(week.c_str(), "Mardi", folder + "MARDI.BMP");
        SetText(week.c_str(), "MosaMardi", "1");
        SetText(week.c_str(), "Mercredi", std::string(kFiles) + "abimees\\PIXELS.BMP");
        SetText(ProfileKey("Mois").c_str(), "D\xE9""cembre", folder + "DECEMBRE.BMP");
        SetText(ProfileKey("Mois").c_str(), "MosaD\xE9""cembre", "1\xAD");   // "1", a soft hyphen
        Start();
    }
    void Start()
    {
        *g_pSchedule = ScheduleTable();
        LoadSchedule();
        g_selectedPicture.Empty();
        m_dlg = std::make_unique<Resident>();
        m_dlg->Tray(WM_LBUTTONDOWN);
        m_tree = m_dlg->Item(IDC_CALENDAR_TREE);
        m_list = m_dlg->Item(IDC_PICTURE_LIST);
        TreeView_Expand(m_tree, At({"Semaine", "Mardi"}), TVE_EXPAND);
    }
    void TearDown() override
    {
        m_dlg.reset();
        Setup::TearDown();
    }
    HTREEITEM At(const Path& path) { return Node(m_tree, path); }
    // A real drag of list item 0 onto a node; the question answered if one comes.
    const MessageBoxAnswer& Drop(const Path& target, int answer, bool asked)
    {
        m_box = std::make_unique<MessageBoxAnswer>(answer, asked ? 10000 : 800);
        Drag(ItemPoint(m_list, 0), NodePoint(m_tree, At(target)));
        EXPECT_EQ(m_box->Answered(), asked) << target.back();
        EXPECT_EQ(Highlight(m_tree, nullptr), nullptr);
        EXPECT_EQ(CaptureOf(m_dlg->m_hwnd), nullptr);
        return *m_box;
    }
    std::unique_ptr<Resident> m_dlg;
    std::unique_ptr<MessageBoxAnswer> m_box;
    HWND m_tree = nullptr, m_list = nullptr;
};

inline void ExpectQuestion(const MessageBoxAnswer& box, UINT text, UINT caption)
{
    EXPECT_EQ(box.text + "|" + box.caption, String(text) + "|" + String(caption));
    EXPECT_EQ(box.buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(box.icon, LoadIconA(nullptr, IDI_QUESTION));
}
