// Hostile input: stored settings of the wrong types and sizes, huge folders,
// and doubled commands. Each must leave the program running, the table's texts
// within their fields and the stored form whole.
#include "app/mirval_app.h"
#include "app/mirval_dlg.h"
#include "res/resource.h"
#include "schedule/schedule.h"
#include "schedule/wallpaper.h"
#include "setup/setup.h"
#include "tests/support/resident.h"
#include "tests/support/test_support.h"
#include "tests/support/fresh_profile.h"
#include <gtest/gtest.h>
#include <cstring>

namespace {

bool FieldsEnded(const ScheduleSlot& s)
{
    return strnlen(s.folder, sizeof s.folder) < sizeof s.folder &&
           strnlen(s.file, sizeof s.file) < sizeof s.file && strnlen(s.mosa, sizeof s.mosa) < sizeof s.mosa;
}

}

TEST_F(FreshProfile, StoredValuesOfEveryShapeLeaveTheProgramWhole)
{
    const std::string big(64 * 1024, 'x');
    struct { const char* what; DWORD type; std::string data; const char* file; } cases[] = {
        {"a number", REG_DWORD, std::string("\x01\x02\x03\x04", 4), ""},
        {"bytes", REG_BINARY, std::string("\xFF\x00\\\xFE", 4), ""},
        {"several texts", REG_MULTI_SZ, std::string("C:\\A\\B.BMP\0C:\\C.BMP\0\0", 22), ""},
        {"64 KiB of text", REG_SZ, "C:\\" + big + "\\X.BMP" + '\0', ""},
        {"a 64 KiB name", REG_SZ, "C:\\" + big + '\0', ""},
        {"a text without its zero", REG_SZ, "C:\\A\\SANSZERO.BMP", "SANSZERO.BMP"},
        {"an empty value", REG_SZ, "", ""},
        {"UTF-8 bytes", REG_SZ, std::string("C:\\\xC3\xA9t\xC3\xA9\\\xC3\x89T\xC3\x89.BMP") + '\0', "\xC3\x89T\xC3\x89.BMP"},
    };
    const std::string week = ProfileKey(SECTION_WEEK), misc = ProfileKey(SECTION_MISC);
    const RegValue wallpaper = ReadValue(kDesktop, "Wallpaper");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteKeyTree(kCompanyKey);
        SetRawValue(week.c_str(), "Lundi", c.type, c.data);
        SetRawValue(week.c_str(), "MosaLundi", c.type, c.data);
        // The every-day value of a wrong type is no every-day picture.
        if (c.type != REG_SZ) SetRawValue(misc.c_str(), VALUE_EVERY_DAY, c.type, c.data);
        *g_pSchedule = ScheduleTable();
        StartUp();
        EXPECT_EQ(g_everyDayActive, 0);
        for (const auto& s : g_pSchedule->slot) ASSERT_TRUE(FieldsEnded(s));
        EXPECT_STREQ(g_pSchedule->slot[1].file, c.file);

        Resident dlg;
        HWND tree = dlg.Item(IDC_CALENDAR_TREE);
        HTREEITEM monday = FindNode(tree, FindNode(tree, nullptr, "Semaine"), "Lundi");
        ASSERT_TRUE(monday);
        EXPECT_EQ(TreeView_GetChild(tree, monday) != nullptr, c.file[0] != '\0');

        // Ok, twice: the whole stored form, the same both times.
        dlg.Tray(WM_LBUTTONDOWN);
        dlg.Command(IDC_OK);
        const std::string once = ReadText(week.c_str(), "Lundi") + "|" + ReadText(week.c_str(), "MosaLundi");
        dlg.Tray(WM_LBUTTONDOWN);
        dlg.Command(IDC_OK);
        EXPECT_EQ(ReadText(week.c_str(), "Lundi") + "|" + ReadText(week.c_str(), "MosaLundi"), once);
        EXPECT_EQ(ReadValue(week.c_str(), "Lundi").type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(ReadText(ProfileKey(SECTION_MONTH).c_str(), "D\xE9""cembre"), "");
    }

    // A stored every-day picture too long for the wallpaper call is never handed to it.
    SetText(misc.c_str(), VALUE_EVERY_DAY, "C:\\" + big + "\\X.BMP");
    const RegValue before = ReadValue(kDesktop, "Wallpaper");
    ApplyTodaysWallpaper(APPLY_STARTUP);
    EXPECT_EQ(ReadValue(kDesktop, "Wallpaper").data, before.data);
    EXPECT_EQ(g_everyDayActive, 1);
}

TEST_F(FreshProfile, AFolderOfTwentyThousandEntriesListsItsPictures)
{
    // The folder E:\\vingt-mille is made by the test world (tests/harness/make-drives).
    StartUp();
    Resident dlg;
    HWND tree = dlg.Item(IDC_FOLDER_TREE);
    HTREEITEM c = FindNode(tree, nullptr, "E:", true);
    ASSERT_TRUE(c);
    TreeView_SelectItem(tree, c);
    HTREEITEM big = FindNode(tree, c, "vingt-mille");
    ASSERT_TRUE(big);
    TreeView_SelectItem(tree, big);
    EXPECT_EQ(ListView_GetItemCount(dlg.Item(IDC_PICTURE_LIST)), 10000);

    // The drive without a disc: an empty list, no nodes, nothing expanded.
    HTREEITEM d = FindNode(tree, nullptr, "D:", true);
    ASSERT_TRUE(d);
    TreeView_SelectItem(tree, d);
    EXPECT_EQ(ListView_GetItemCount(dlg.Item(IDC_PICTURE_LIST)), 0);
    EXPECT_EQ(TreeView_GetChild(tree, d), nullptr);
}

namespace {
// Gives a key an empty access list (nobody may open it), or gives it back one
// that lets everyone in. The owner may always change the list.
bool LockKey(const std::string& path, bool locked)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, WRITE_DAC, &key) != ERROR_SUCCESS) return false;
    SECURITY_DESCRIPTOR sd;
    InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    ACL empty;
    InitializeAcl(&empty, sizeof empty, ACL_REVISION);
    // A null list lets everyone in; an empty one lets nobody.
    SetSecurityDescriptorDacl(&sd, TRUE, locked ? &empty : nullptr, FALSE);
    bool ok = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}
}

TEST_F(FreshProfile, ASectionKeyNobodyMayOpenIsReadAsEmptyAndItsSaveIsSaidToFail)
{
    const std::string week = ProfileKey(SECTION_WEEK);
    SetText(week.c_str(), "Lundi", "C:\\A\\LUNDI.BMP");
    ASSERT_TRUE(LockKey(week, true));
    StartUp();
    EXPECT_STREQ(g_pSchedule->slot[1].file, "");
    {
        Resident dlg;
        dlg.Tray(WM_LBUTTONDOWN);
        MessageBoxAnswer box(IDOK);
        dlg.Post(WM_COMMAND, IDC_OK);
        ASSERT_TRUE(box.Answered());
        CString expected;
        expected.LoadString(IDS_SAVE_FAILED);
        EXPECT_EQ(box.text, std::string(expected));
        EXPECT_TRUE(dlg.Shown()) << "a failed save left as if it had been made";
        // What could be written was.
        EXPECT_EQ(ReadText(ProfileKey(SECTION_MONTH).c_str(), "Janvier"), "");
    }
    ASSERT_TRUE(LockKey(week, false));
    EXPECT_EQ(ReadText(week.c_str(), "Lundi"), "C:\\A\\LUNDI.BMP") << "the stored setting was lost";
}
