// The calendar tree: the weekdays and months with the picture of each.
#include "app/mirval_dlg.h"
#include "res/resource.h"
#include "schedule/schedule.h"
#include "setup/setup.h"
#include <cstring>

namespace {
// A picture's name from the list ends in capitals.
bool EndsInBmp(const CString& text)
{
    return text.Right(3) == "BMP";
}
}

void CMirvalDlg::FillCalendarTree()
{
    HTREEITEM week = InsertNode(m_treeCalendar, nullptr, SECTION_WEEK, CALENDAR_IMAGE_WEEK);
    for (int slot = FIRST_WEEKDAY_SLOT; slot < FIRST_MONTH_SLOT; ++slot) {
        HTREEITEM day = InsertNode(m_treeCalendar, week, CalendarKey(slot), slot + 1);
        if (g_pSchedule->slot[slot].file[0])
            InsertNode(m_treeCalendar, day, g_pSchedule->slot[slot].file, CALENDAR_IMAGE_PICTURE);
    }
    m_treeCalendar.Expand(week, TVE_EXPAND);

    HTREEITEM months = InsertNode(m_treeCalendar, nullptr, SECTION_MONTH, CALENDAR_IMAGE_MONTH);
    for (int slot = FIRST_MONTH_SLOT; slot <= LAST_SLOT; ++slot) {
        HTREEITEM month = InsertNode(m_treeCalendar, months, CalendarKey(slot), slot + 1);
        if (g_pSchedule->slot[slot].file[0])
            InsertNode(m_treeCalendar, month, g_pSchedule->slot[slot].file, CALENDAR_IMAGE_PICTURE);
    }
}

void CMirvalDlg::OnSelChangedCalendarTree(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    HTREEITEM selected = m_treeCalendar.GetSelectedItem();
    if (!selected || m_treeCalendar.ItemHasChildren(selected)) return;
    if (!EndsInBmp(m_treeCalendar.GetItemText(selected))) return;
    HTREEITEM parent = m_treeCalendar.GetParentItem(selected);
    int slot = SlotForKey(m_treeCalendar.GetItemText(parent));
    if (slot == 0) return;   // a picture-like name under no weekday or month

    const ScheduleSlot& s = g_pSchedule->slot[slot];
    CString path = s.folder;
    path += s.file;
    const bool tiled = strcmp(s.mosa, "1") == 0;
    m_btnMosaique.SetCheck(tiled ? BST_CHECKED : BST_UNCHECKED);
    m_btnCentre.SetCheck(tiled ? BST_UNCHECKED : BST_CHECKED);
    g_previewLoaded = LoadPreviewPicture(path) ? 1 : 0;
    RepaintScreenFrame();
}

void CMirvalDlg::OnKeyDownCalendarTree(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    const WORD key = reinterpret_cast<NMTVKEYDOWN*>(pNMHDR)->wVKey;
    if (key != VK_DELETE && key != VK_DECIMAL) return;
    HTREEITEM selected = m_treeCalendar.GetSelectedItem();
    if (!selected || m_treeCalendar.GetItemImage(selected) != CALENDAR_IMAGE_PICTURE) return;

    CString text, caption;
    text.LoadString(IDS_CONFIRM_DELETE);
    caption.LoadString(IDS_CONFIRM);
    if (MessageBox(text, caption, MB_YESNO | MB_ICONQUESTION) != IDYES) return;

    CString calendarKey = m_treeCalendar.GetItemText(m_treeCalendar.GetParentItem(selected));
    m_treeCalendar.DeleteItem(selected);
    if (int slot = SlotForKey(calendarKey)) {
        ScheduleSlot& s = g_pSchedule->slot[slot];
        s.folder[0] = s.file[0] = s.mosa[0] = '\0';
    }
    SaveSettings();
}
