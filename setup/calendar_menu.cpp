// The picture list's menu: every weekday and month of the calendar, for the
// keyboard (Shift+F10, the menu key) and the right button. Choosing one drops
// the picture there, as a drag would.
#include "app/mirval_dlg.h"
#include "schedule/schedule.h"
#include <algorithm>

namespace {
// The entries' commands: a slot of the table each.
constexpr UINT ID_CALENDAR_SLOT = 0x100;

// The tree's own text of the slot's node, then, after a tab, the picture it
// holds, its "&" doubled so that the menu shows it.
CString EntryText(int slot)
{
    CString text = CalendarKey(slot);
    const char* file = g_pSchedule->slot[slot].file;
    if (*file) text += '\t';
    for (; *file; ++file) {
        if (*file == '&') text += '&';
        text += *file;
    }
    return text;
}

HMENU SlotsMenu(int first, int last)
{
    HMENU menu = CreatePopupMenu();
    for (int slot = first; slot <= last; ++slot)
        AppendMenuA(menu, MF_STRING, ID_CALENDAR_SLOT + slot, EntryText(slot));
    return menu;
}
}

HTREEITEM CMirvalDlg::CalendarNode(int slot) const
{
    HTREEITEM node = m_treeCalendar.GetRootItem();   // "Semaine", then "Mois"
    if (slot >= FIRST_MONTH_SLOT) node = m_treeCalendar.GetNextSiblingItem(node);
    for (node = m_treeCalendar.GetChildItem(node); node;
         node = m_treeCalendar.GetNextSiblingItem(node))
        if (SlotForKey(m_treeCalendar.GetItemText(node)) == slot) return node;
    return nullptr;
}

void CMirvalDlg::OnContextMenu(HWND hWnd, CPoint point)
{
    if (hWnd != m_listPictures.m_hWnd) {
        Default();
        return;
    }
    int item;
    POINT at = point;
    if (point.x == -1 && point.y == -1) {
        // From the keyboard: at the selected picture, wherever the pointer is. A
        // list tabbed into with a picture focused but none selected selects it,
        // as Windows' own lists do.
        item = m_listPictures.GetNextItem(-1, LVNI_SELECTED);
        if (item < 0 && (item = m_listPictures.GetNextItem(-1, LVNI_FOCUSED)) >= 0)
            m_listPictures.SetItemState(item, LVIS_SELECTED, LVIS_SELECTED);
        // Scrolled out of view (a long folder, the wheel), it comes back first; the
        // menu's point stays inside the list.
        RECT label, client;
        if (item < 0 || !m_listPictures.EnsureVisible(item, FALSE) ||
            !m_listPictures.GetItemRect(item, &label, LVIR_LABEL))
            return;
        m_listPictures.GetClientRect(&client);
        at = {std::max(client.left, std::min(label.left, client.right - 1)),
              std::max(client.top, std::min(label.bottom, client.bottom - 1))};
        m_listPictures.ClientToScreen(&at);
    } else {
        // The right button: the picture under it.
        CPoint inList = point;
        m_listPictures.ScreenToClient(&inList);
        item = m_listPictures.HitTest(inList);
        if (item < 0) return;
    }

    // Named and ordered as the tree's two roots.
    HMENU week = SlotsMenu(FIRST_WEEKDAY_SLOT, FIRST_MONTH_SLOT - 1);
    HMENU months = SlotsMenu(FIRST_MONTH_SLOT, LAST_SLOT);
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(week), SECTION_WEEK);
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(months), SECTION_MONTH);
    const UINT chosen = TrackMenu(menu, at, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD);
    DestroyMenu(menu);
    if (chosen > ID_CALENDAR_SLOT && chosen <= ID_CALENDAR_SLOT + LAST_SLOT)
        DropPicture(CalendarNode(chosen - ID_CALENDAR_SLOT), item);
    // The keyboard stays in the list without a word from us: a menu takes no
    // focus, and the dialog gives its control the focus back when a question's
    // box closes.
}
