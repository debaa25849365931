// The calendar on the test world's files: its nodes, the Delete key, drops with
// real mouse input, a new day during a drop, quitting while a box is open.
#include "tests/support/setup_world.h"

TEST_F(Calendar, ShowsTheWeekAndTheMonthsWithTheirPictures)
{
    const Path days = {"Lundi", "Mardi", "Mercredi", "Jeudi", "Vendredi", "Samedi", "Dimanche"};
    const Path months = {"Janvier", "F\xE9vrier", "Mars", "Avril", "Mai", "Juin", "Juillet",
                         "Ao\xFBt", "Septembre", "Octobre", "Novembre", "D\xE9""cembre"};
    EXPECT_EQ(Children(m_tree, nullptr), (Path{"Semaine", "Mois"}));
    EXPECT_EQ(Children(m_tree, At({"Semaine"})), days);
    EXPECT_EQ(Children(m_tree, At({"Mois"})), months);
    EXPECT_EQ(NodeImage(m_tree, At({"Semaine"})) + 10 * NodeImage(m_tree, At({"Mois"})), 10);
    EXPECT_TRUE(TreeView_GetItemState(m_tree, At({"Semaine"}), TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_FALSE(TreeView_GetItemState(m_tree, At({"Mois"}), TVIS_EXPANDED) & TVIS_EXPANDED);
    for (int slot = 1; slot <= LAST_SLOT; ++slot) {
        const bool week = slot < 8;
        const Path day = {week ? "Semaine" : "Mois", week ? days[slot - 1] : months[slot - 8]};
        const std::string file = g_pSchedule->slot[slot].file;
        EXPECT_EQ(NodeImage(m_tree, At(day)), slot + 1) << day[1];
        EXPECT_EQ(Children(m_tree, At(day)), file.empty() ? Path{} : Path{file}) << day[1];
        if (!file.empty()) {
            EXPECT_EQ(NodeImage(m_tree, TreeView_GetChild(m_tree, At(day))), 22) << day[1];
        }
    }
    EXPECT_EQ(Children(m_tree, At({"Mois", "D\xE9""cembre"})), Path{"DECEMBRE.BMP"});
}

// The list's choice stays the one that "&Aperçu" tries and "Ok" may save.
TEST_F(Calendar, APictureNodeShowsItsPictureAndOnlyAnExact1Tiles)
{
    m_dlg->OpenFolder({"C:", "mirval-tests", "glisser"});
    m_dlg->ChoosePicture(0);
    struct { Path node; int loaded; bool tiled; } picks[] = {
        {{"Semaine", "Mardi", "MARDI.BMP"}, 1, true},
        {{"Mois", "D\xE9""cembre", "DECEMBRE.BMP"}, 1, false},
        {{"Semaine", "Mercredi", "PIXELS.BMP"}, 0, false},   // cut short
    };
    for (const auto& p : picks) {
        TreeView_SelectItem(m_tree, At(p.node));
        EXPECT_EQ(g_previewLoaded, p.loaded) << p.node[2];
        EXPECT_EQ(m_dlg->Checked(IDC_MOSAIQUE), p.tiled) << p.node[2];
        EXPECT_EQ(m_dlg->Checked(IDC_CENTRE), !p.tiled) << p.node[2];
    }
    m_dlg->Click(IDC_MOSAIQUE);   // roots, days and a name not in capitals change nothing
    const Path lower = {"Semaine", "Lundi", "minuscule.bmp"};
    for (const Path& node : {Path{"Semaine"}, Path{"Semaine", "Mardi"}, lower}) {
        g_previewLoaded = 7;
        TreeView_SelectItem(m_tree, At(node));
        EXPECT_EQ(g_previewLoaded + m_dlg->Checked(IDC_MOSAIQUE), 8) << node.back();
    }
    EXPECT_EQ(std::string(g_selectedPicture), std::string(kFiles) + "glisser\\ETE.BMP");
}

TEST_F(Calendar, DeleteAsksThenEmptiesTheSlotAndSavesAtOnce)
{
    const std::string week = ProfileKey("Semaine");
    g_pSchedule->slot[4] = {"C:\\", "JEUDI.BMP", "1"};   // an unsaved drop, saved with it
    for (const Path& node : {Path{"Semaine"}, Path{"Semaine", "Mardi"}}) {
        Click(NodePoint(m_tree, At(node)));
        MessageBoxAnswer none(IDYES, 600);
        Key(VK_DELETE);
        EXPECT_FALSE(none.Answered()) << "asked on " << node.back();
    }
    Click(NodePoint(m_tree, At({"Semaine", "Mardi", "MARDI.BMP"})));
    for (WORD key : {WORD(VK_DELETE), WORD(VK_DECIMAL)}) {   // No, then Yes
        MessageBoxAnswer box(key == VK_DELETE ? IDNO : IDYES);
        Key(key);
        ASSERT_TRUE(box.Answered());
        ExpectQuestion(box, IDS_CONFIRM_DELETE, IDS_CONFIRM);
        const char* thursday = key == VK_DELETE ? "<missing>" : "C:\\JEUDI.BMP";
        EXPECT_EQ(ReadText(week.c_str(), "Jeudi"), thursday);
    }
    EXPECT_EQ(At({"Semaine", "Mardi", "MARDI.BMP"}), nullptr);
    EXPECT_EQ(SlotText(2), "||");
    EXPECT_EQ(ReadText(week.c_str(), "Mardi") + ReadText(week.c_str(), "MosaMardi"), "");
    EXPECT_TRUE(m_dlg->Checked(IDC_MOSAIQUE)) << "the radio buttons stay as they were";
}

TEST_F(Calendar, DropsGoToTheNodeUnderThePointerAskBeforeReplacingAndCanBeCalledOff)
{
    m_dlg->OpenFolder({"C:", "mirval-tests", "glisser"});
    const std::string before = Snapshot(kCompanyKey);
    const std::string ete = std::string(kFiles) + "glisser\\|ETE.BMP|";
    const Path december = {"Mois", "D\xE9""cembre"};
    Drop({"Semaine", "Vendredi"}, IDYES, false);   // an empty day: taken at once, unfolded
    EXPECT_TRUE(TreeView_GetItemState(m_tree, At({"Semaine", "Vendredi"}), TVIS_EXPANDED));
    EXPECT_EQ(SlotText(5), ete + "0");
    ExpectQuestion(Drop({"Semaine", "Mardi"}, IDNO, true), IDS_REPLACE_PICTURE, IDS_WARNING);
    EXPECT_EQ(Children(m_tree, At({"Semaine", "Mardi"})), Path{"MARDI.BMP"});
    m_dlg->Click(IDC_MOSAIQUE);
    Drop({"Semaine", "Mardi"}, IDYES, true);
    EXPECT_EQ(Children(m_tree, At({"Semaine", "Mardi"})), Path{"ETE.BMP"});
    EXPECT_EQ(SlotText(2), ete + "1");
    TreeView_Expand(m_tree, At({"Mois"}), TVE_EXPAND);   // a picture node always asks
    TreeView_Expand(m_tree, At(december), TVE_EXPAND);
    TreeView_EnsureVisible(m_tree, At({"Mois", "D\xE9""cembre", "DECEMBRE.BMP"}));
    Drop({"Mois", "D\xE9""cembre", "DECEMBRE.BMP"}, IDYES, true);
    EXPECT_EQ(NodeImage(m_tree, At({"Mois", "D\xE9""cembre", "ETE.BMP"})), 22);
    EXPECT_EQ(SlotText(19), ete + "1");
    // Roots take nothing: "Semaine", the selected node, which Wine's tree does not
    // drop-highlight, must not pass the drop to another.
    TreeView_Expand(m_tree, At({"Mois"}), TVE_COLLAPSE);
    ASSERT_EQ(TreeView_GetSelection(m_tree), At({"Semaine"}));
    std::string kept = LoadedSlots();
    Drop({"Semaine"}, IDYES, false);
    Drop({"Mois"}, IDYES, false);
    EXPECT_EQ(LoadedSlots(), kept);
    EXPECT_EQ(Snapshot(kCompanyKey), before) << "a drop wrote to the registry";

    // A drag shows its target and holds the mouse; off the tree, below the last
    // node, on Escape or on a lost capture (as to a task switch) it ends with
    // nothing dropped.
    const HTREEITEM saturday = At({"Semaine", "Samedi"});
    const POINT onSaturday = NodePoint(m_tree, saturday), onList = ItemPoint(m_list, 0);
    Drag(onList, onSaturday, false);
    EXPECT_EQ(Highlight(m_tree, saturday), saturday);
    EXPECT_TRUE(Eventually([&] { return CaptureOf(m_dlg->m_hwnd) == m_dlg->m_hwnd; }, 2000));
    Drag(onSaturday, onList, true, false);
    EXPECT_EQ(Highlight(m_tree, nullptr), nullptr) << "off the tree";
    RECT tree;
    GetClientRect(m_tree, &tree);
    Drag(onList, OnScreen(m_tree, {tree.right / 2, tree.bottom - 5}));   // below the last node
    for (bool escape : {true, false}) {
        Drag(onList, onSaturday, false);
        escape ? Key(VK_ESCAPE) : void(m_dlg->Send(WM_CANCELMODE));
        EXPECT_TRUE(Eventually([&] { return !CaptureOf(m_dlg->m_hwnd); }, 2000)) << escape;
        EXPECT_EQ(Highlight(m_tree, nullptr), nullptr) << escape;
        MouseAt(onSaturday, MOUSEEVENTF_LEFTUP);
    }
    EXPECT_FALSE(m_dlg->m_ended) << "Escape ended the program";
    EXPECT_EQ(LoadedSlots(), kept) << "something was dropped";
    m_dlg->OpenFolder({"C:", "mirval-tests", "long"});   // the next drag keeps a long name whole
    Drop({"Semaine", "Samedi"}, IDYES, false);
    EXPECT_EQ(g_pSchedule->slot[6].file, std::string(251, 'L') + ".BMP");
}

// Another program's window that carries the framework's property, with a value
// that is no object here, across a drag's way: nothing is called through it,
// and the drop lands.
TEST_F(Calendar, ADragCrossesAnotherProgramsWindowThatSeemsBoundToOneOfOurs)
{
    m_dlg->OpenFolder({"C:", "mirval-tests", "glisser"});
    const POINT from = ItemPoint(m_list, 0), to = NodePoint(m_tree, At({"Semaine", "Jeudi"}));
    const POINT mid = {(from.x + to.x) / 2, (from.y + to.y) / 2};
    std::string command = WinPath(getenv("LOCATE")) + " intruder " +
                          std::to_string(mid.x - 30) + " " + std::to_string(mid.y - 30) + " 60 60";
    STARTUPINFOA start = {sizeof start};
    PROCESS_INFORMATION other;
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &start, &other));
    HWND intruder = nullptr;
    EXPECT_TRUE(Eventually([&] {
        DWORD process = 0;
        GetWindowThreadProcessId(intruder = WindowFromPoint(mid), &process);
        return process == other.dwProcessId && GetPropA(intruder, "Mirval.CWnd");
    }));
    EXPECT_EQ(CWnd::FromHandlePermanent(intruder), nullptr);
    Drag(from, to);
    TerminateProcess(other.hProcess, 0);
    CloseHandle(other.hProcess);
    CloseHandle(other.hThread);
    EXPECT_EQ(SlotText(4), std::string(kFiles) + "glisser\\|ETE.BMP|0");
}

// 2026-12-07 is a Monday. A day that begins while "Terminer !" is open gets its
// picture once the box has put the old one back, one that begins during a drag
// once the drag ends; one that begins while a drop waits unsaved gets the
// stored picture, the drop kept for "Ok".
TEST_F(Calendar, ANewDayWaitsForTheDesktopTestAndADragAndLeavesAnUnsavedDropAsItIs)
{
    const std::string folder = std::string(kFiles) + "calendrier\\";
    FixedClock clock(CTime(2026, 12, 7, 23, 59, 0));
    ApplyTodaysWallpaper(APPLY_STARTUP);
    g_selectedPicture = (folder + "DECEMBRE.BMP").c_str();
    std::string during;
    MessageBoxAnswer box(IDOK, 10000, [&] {
        g_fixedTime = CTime(2026, 12, 8, 0, 0, 5).GetTime();
        m_dlg->Send(WM_TIMECHANGE);
        during = Wallpaper();
    });
    m_dlg->Click(IDC_APERCU);
    ASSERT_TRUE(box.Answered());
    EXPECT_EQ(during, folder + "DECEMBRE.BMP") << "the test's picture stays while it runs";
    EXPECT_EQ(DesktopState(), folder + "MARDI.BMP|1|0");

    m_dlg->OpenFolder({"C:", "mirval-tests", "glisser"});
    Drop({"Semaine", "Mercredi"}, IDYES, true);
    const std::string table = LoadedSlots();
    const POINT onList = ItemPoint(m_list, 0);
    const POINT onSaturday = NodePoint(m_tree, At({"Semaine", "Samedi"}));
    Drag(onList, onSaturday, false);   // held: the look waits for its end
    ASSERT_EQ(Highlight(m_tree, At({"Semaine", "Samedi"})), At({"Semaine", "Samedi"})) << "no drag under way";
    g_fixedTime = CTime(2026, 12, 9, 0, 0, 5).GetTime();
    m_dlg->Send(WM_TIMECHANGE);
    EXPECT_EQ(Wallpaper(), folder + "MARDI.BMP") << "a look under the drag";
    Drag(onSaturday, onList, true, false);   // let go on the list: nothing dropped
    const std::string stored = std::string(kFiles) + "abimees\\PIXELS.BMP";
    EXPECT_TRUE(Eventually([&] { return Wallpaper() == stored; })) << "after the drag";
    EXPECT_EQ(LoadedSlots(), table);
    EXPECT_EQ(Children(m_tree, At({"Semaine", "Mercredi"})), Path{"ETE.BMP"});
    EXPECT_TRUE(m_dlg->Shown());
    m_dlg->Click(IDC_OK);
    EXPECT_EQ(Wallpaper(), std::string(kFiles) + "glisser\\ETE.BMP") << "Ok saves the drop";
}

// "&Quitter" chosen from the tray menu while a question or box is open ends the
// program there: nothing is touched or saved, and the desktop test puts back.
TEST_F(Calendar, QuittingWhileABoxIsOpenEndsTheProgramCleanly)
{
    const std::string desktop = ReadText(kDesktop, "Wallpaper");
    for (const char* day : {"Lundi", "Mardi", "Mercredi", "Jeudi", "Vendredi", "Samedi",
                            "Dimanche"})
        SetText(ProfileKey("Semaine").c_str(), day, std::string(kFiles) + "calendrier\\MARDI.BMP");
    std::unique_ptr<FixedClock> tomorrow;
    struct { const char* what; std::function<void()> open; } ways[] = {
        {"the Delete question", [&] {
             Click(NodePoint(m_tree, At({"Semaine", "Mardi", "MARDI.BMP"})));
             Key(VK_DELETE);
         }},
        {"the replace question", [&] {
             m_dlg->OpenFolder({"C:", "mirval-tests", "glisser"});
             Drag(ItemPoint(m_list, 0), NodePoint(m_tree, At({"Semaine", "Mardi"})));
         }},
        // A day begins during the test: after the quit nothing installs its picture.
        {"the desktop test", [&] {
             m_dlg->Post(WM_COMMAND, IDC_APERCU);
             tomorrow = std::make_unique<FixedClock>(CTime(time(nullptr) + 24 * 3600));
         }},
    };
    for (auto& way : ways) {
        if (!m_dlg) Start();
        const std::string before = Snapshot(kCompanyKey);
        way.open();
        HWND box = nullptr;   // a dialog of the program's thread over its main window
        auto other = [&](HWND w) { return w != m_dlg->m_hwnd; };
        ASSERT_TRUE(Eventually([&] { return (box = FindOwn("#32770", other)) != nullptr; }));
        m_dlg->Post(WM_TRAYICON, TRAY_ICON_ID, WM_RBUTTONDOWN);
        HWND menu = OpenMenu();
        ASSERT_TRUE(menu) << way.what;
        PostMessageA(menu, WM_CHAR, 'q', 0);   // "&Quitter"
        EXPECT_TRUE(m_dlg->WaitEnded()) << way.what;
        EXPECT_EQ(m_dlg->m_result, 0) << way.what;
        EXPECT_FALSE(IsWindow(box)) << way.what << " stayed open";
        m_dlg.reset();
        EXPECT_EQ(Snapshot(kCompanyKey), before) << way.what;
        EXPECT_EQ(ReadText(kDesktop, "Wallpaper"), desktop) << way.what;
    }
}
