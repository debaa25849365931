// The picture list's menu, the keyboard's way to the drop: its entries, where it
// comes, and each choice as the drop on that node, with real keys.
#include "tests/support/setup_world.h"

namespace {
class CalendarMenu : public Calendar {
protected:
    void SetUp() override
    {
        WriteBitmap(std::string(kFiles) + "clavier\\R&D.BMP", 16, 16, RGB(0, 0, 255));
        Calendar::SetUp();
        m_dlg->OpenFolder({"C:", "mirval-tests", "clavier"});
    }
    // A slot's text once it is `expected`, or after a while: the dialog's thread
    // may be behind the keys.
    static std::string SlotOnce(int slot, const std::string& expected)
    {
        std::string seen;
        Eventually([&] { return (seen = SlotText(slot)) == expected; });
        return seen;
    }
    // Keys in the open menu: down to the Nth root's submenu, down to its Nth entry, chosen.
    void Choose(int root, int entry)
    {
        for (int i = 0; i <= root; ++i) Key(VK_DOWN);
        Key(VK_RIGHT);
        for (int i = 0; i < entry; ++i) Key(VK_DOWN);
        Key(VK_RETURN);
    }
    HWND Focus() const { return GuiOf(m_dlg->m_hwnd).hwndFocus; }
};
}

TEST_F(CalendarMenu, ComesAtTheSelectedPictureAndListsTheCalendarWithItsPictures)
{
    // A menu would hold the handler until it closes: its answer says there was none.
    DWORD_PTR answer;
    EXPECT_TRUE(SendMessageTimeoutA(m_dlg->m_hwnd, WM_CONTEXTMENU, WPARAM(m_list), MAKELPARAM(-1, -1),
                                    SMTO_NORMAL, 3000, &answer)) << "a menu with no picture chosen";
    if (OpenMenu(0)) Key(VK_ESCAPE);
    Click(ItemPoint(m_list, 0));
    EXPECT_EQ(Text(m_dlg->Item(IDC_PICTURE_NAME)), "R&D.BMP");
    MouseAt({GetSystemMetrics(SM_CXSCREEN) - 5, GetSystemMetrics(SM_CYSCREEN) - 5});
    Key(VK_APPS);
    HWND menu = OpenMenu();
    ASSERT_TRUE(menu);
    RECT label = {LVIR_LABEL}, at;
    ListView_GetItemRect(m_list, 0, &label, LVIR_LABEL);
    MapWindowPoints(m_list, nullptr, reinterpret_cast<POINT*>(&label), 2);
    GetWindowRect(menu, &at);
    EXPECT_EQ(std::to_string(at.left) + "," + std::to_string(at.top),
              std::to_string(label.left) + "," + std::to_string(label.bottom))
        << "not at the picture";
    EXPECT_EQ(MenuEntries(HMENU(SendMessageA(menu, MN_GETHMENU, 0, 0))),
              "Semaine|Mois|\n"
              "Lundi\tminuscule.bmp|Mardi\tMARDI.BMP|Mercredi\tPIXELS.BMP|Jeudi|Vendredi|Samedi|"
              "Dimanche|\n"
              "Janvier|F\xE9vrier|Mars|Avril|Mai|Juin|Juillet|Ao\xFBt|Septembre|Octobre|Novembre|"
              "D\xE9""cembre\tDECEMBRE.BMP|");
    Key(VK_ESCAPE);
    EXPECT_TRUE(Eventually([&] { return !IsWindowVisible(menu); }));
    EXPECT_FALSE(m_dlg->m_ended) << "Escape went on to the dialog";
}

// From the keyboard, a picture scrolled out of view is brought back into it and
// the menu comes inside the list; one only focused (a list tabbed into) is selected.
TEST_F(CalendarMenu, ComesAtAPictureScrolledAwayOrOnlyFocused)
{
    m_dlg->OpenFolder({"E:", "vingt-mille"});
    m_dlg->ChoosePicture(0);
    ListView_Scroll(m_list, 0, 40000);
    m_dlg->Post(WM_CONTEXTMENU, WPARAM(m_list), MAKELPARAM(-1, -1));
    HWND menu = OpenMenu();
    ASSERT_TRUE(menu);
    RECT list, at;
    GetWindowRect(m_list, &list);
    GetWindowRect(menu, &at);
    EXPECT_TRUE(PtInRect(&list, {at.left, at.top})) << at.left << "," << at.top << " outside the list";
    EXPECT_EQ(ListView_GetTopIndex(m_list), 0) << "not brought into view";
    Key(VK_ESCAPE);
    ASSERT_TRUE(Eventually([&] { return !IsWindowVisible(menu); }));
    ListView_SetItemState(m_list, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(m_list, 3, LVIS_FOCUSED, LVIS_FOCUSED);
    m_dlg->Post(WM_CONTEXTMENU, WPARAM(m_list), MAKELPARAM(-1, -1));
    EXPECT_TRUE(menu = OpenMenu()) << "no menu for the focused picture";
    EXPECT_EQ(ListView_GetNextItem(m_list, -1, LVNI_SELECTED), 3);
    Key(VK_ESCAPE);
    EXPECT_TRUE(Eventually([&] { return !IsWindowVisible(menu); }));
}

// A weekday and a month each in their own slot, as drops put them: asked before
// a picture is replaced, nothing saved or installed before "Ok", the focus back
// in the list.
TEST_F(CalendarMenu, AChoiceIsTheDropOnThatDayOrMonth)
{
    const std::string before = Snapshot(kCompanyKey), desktop = Wallpaper();
    const std::string mine = std::string(kFiles) + "clavier\\|R&D.BMP|0";
    const std::string december = SlotText(19);
    Click(ItemPoint(m_list, 0));
    Key(VK_APPS);
    ASSERT_TRUE(OpenMenu());
    Choose(0, 3);   // "Jeudi", empty: taken at once
    EXPECT_EQ(SlotOnce(4, mine), mine);
    EXPECT_EQ(Children(m_tree, At({"Semaine", "Jeudi"})), Path{"R&D.BMP"});
    EXPECT_TRUE(Eventually([&] { return Focus() == m_list; })) << "the keyboard back in the list";
    Key(VK_APPS);
    ASSERT_TRUE(OpenMenu());
    Choose(1, 0);   // "Janvier"
    EXPECT_EQ(SlotOnce(8, mine), mine);

    RECT item = {LVIR_LABEL};   // the right button opens it too, and the name shows whole
    ListView_GetItemRect(m_list, 0, &item, LVIR_LABEL);
    const POINT right = Middle(m_list, item);
    MouseAt(right, MOUSEEVENTF_RIGHTDOWN);
    MouseAt(right, MOUSEEVENTF_RIGHTUP);
    HWND menu = OpenMenu();
    ASSERT_TRUE(menu);
    HMENU week = GetSubMenu(HMENU(SendMessageA(menu, MN_GETHMENU, 0, 0)), 0);
    char thursday[64] = "";
    GetMenuStringA(week, 3, thursday, sizeof thursday, MF_BYPOSITION);
    EXPECT_STREQ(thursday, "Jeudi\tR&&D.BMP");
    for (int answer : {IDNO, IDYES}) {
        if (answer == IDYES) {
            Key(VK_APPS);
            ASSERT_TRUE(OpenMenu());
        }
        MessageBoxAnswer box(answer);
        Choose(1, 11);   // "Décembre", which holds a picture
        ASSERT_TRUE(box.Answered()) << "not asked";
        ExpectQuestion(box, IDS_REPLACE_PICTURE, IDS_WARNING);
        EXPECT_EQ(SlotOnce(19, answer == IDYES ? mine : december), answer == IDYES ? mine : december);
    }
    EXPECT_EQ(Children(m_tree, At({"Mois", "D\xE9""cembre"})), Path{"R&D.BMP"});
    // After the question the box's owner, the dialog, would have the keyboard.
    EXPECT_TRUE(Eventually([&] { return Focus() == m_list; })) << "the keyboard back in the list";
    EXPECT_EQ(Snapshot(kCompanyKey) + Wallpaper(), before + desktop) << "saved before \"Ok\"";
}

// The keyboard alone, as a person who cannot hold a mouse: Tab goes round the
// controls that take it (of the radio buttons, the one checked), a tree moves to
// a drive by its letter, and Alt+C and Alt+M set the tiling.
TEST_F(CalendarMenu, TheKeyboardAloneGoesRoundTheDialog)
{
    Click(ItemPoint(m_list, 0));
    std::string round;   // the controls that have the keyboard, one Tab after another
    for (int i = 0; i < 9; ++i) {
        const HWND before = Focus();
        Key(VK_TAB);
        Eventually([&] { return Focus() != before; }, 2000);
        round += std::to_string(GetDlgCtrlID(Focus())) + " ";
    }
    EXPECT_EQ(round, "1004 1003 1006 1007 1031 1033 1000 1001 1004 ");
    // The letter's search goes down through the open folders too, where earlier
    // tests leave theirs ("essai" before E:): Z:, the last drive, by a letter
    // that none of them begins with.
    Key(VK_HOME);
    Key('Z');
    HWND folders = m_dlg->Item(IDC_FOLDER_TREE);
    EXPECT_TRUE(Eventually([&] { return NodeText(folders, TreeView_GetSelection(folders)).rfind("Z:", 0) == 0; }, 2000));
    for (int id : {IDC_MOSAIQUE, IDC_CENTRE}) {
        Key(id == IDC_CENTRE ? 'C' : 'M', VK_MENU);
        EXPECT_TRUE(Eventually([&] { return m_dlg->Checked(id); }, 2000)) << id;
    }
}
