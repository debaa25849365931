// Writing the table and the every-day choice back to the profile.
#include "app/mirval_app.h"
#include "app/mirval_dlg.h"
#include "res/resource.h"
#include "schedule/schedule.h"
#include "schedule/wallpaper.h"

namespace {
// A stop message of the string table, captioned "Attention".
void Warn(CWnd& owner, UINT nIDText)
{
    CString text, caption;
    text.LoadString(nIDText);
    caption.LoadString(IDS_WARNING);
    owner.MessageBox(text, caption, MB_ICONSTOP);
}
}

BOOL CMirvalDlg::SaveSettings()
{
    UpdateData(TRUE);

    // The key the profile functions write to, so that a renamed executable saves
    // under its own name.
    CRegKey key;
    if (key.Open(HKEY_CURRENT_USER, theApp.GetProfileKeyPath()) != ERROR_SUCCESS) {
        Warn(*this, IDS_SAVE_FAILED);
        return FALSE;
    }

    const char* tile = m_btnMosaique.GetCheck() == BST_CHECKED ? "1" : "0";
    // Every value that can be written is; one that cannot (a section key the
    // user may not open) is said, not passed over as saved.
    BOOL written = TRUE;

    if (m_btnEveryDay.GetCheck() == BST_CHECKED) {
        if (g_selectedPicture.IsEmpty()) {
            Warn(*this, IDS_EVERY_DAY_UNSET);
            m_btnEveryDay.SetCheck(BST_UNCHECKED);
            UpdateData(FALSE);
            return TRUE;
        }
        written &= theApp.WriteProfileString(SECTION_MISC, VALUE_EVERY_DAY, g_selectedPicture);
    } else {
        written &= theApp.WriteProfileString(SECTION_MISC, VALUE_EVERY_DAY, "");
    }
    written &= theApp.WriteProfileString(SECTION_MISC, VALUE_EVERY_DAY_TILE, tile);

    for (int slot = FIRST_WEEKDAY_SLOT; slot <= LAST_SLOT; ++slot) {
        const ScheduleSlot& s = g_pSchedule->slot[slot];
        const char* key = CalendarKey(slot);
        written &= theApp.WriteProfileString(SectionOfSlot(slot), key, CString(s.folder) + s.file);
        written &= theApp.WriteProfileString(SectionOfSlot(slot), FlagValueName(key), s.mosa);
    }

    key.Close();
    ApplyTodaysWallpaper(APPLY_SAVED);
    if (!written) {
        Warn(*this, IDS_SAVE_FAILED);
        return FALSE;
    }
    return TRUE;
}
