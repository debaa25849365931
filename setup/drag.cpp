// Dragging a picture from the list onto a weekday or month of the calendar.
#include "app/mirval_dlg.h"
#include "res/resource.h"
#include "schedule/schedule.h"
#include "setup/setup.h"

void CMirvalDlg::OnBeginDragPictureList(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    const auto* info = reinterpret_cast<NMLISTVIEW*>(pNMHDR);
    m_nDragIndex = info->iItem;
    delete m_pDragImage;
    POINT unused;
    m_pDragImage = m_listPictures.CreateDragImage(m_nDragIndex, &unused);
    // Without an image to follow the pointer the user would not see a drag: none begins.
    if (!m_pDragImage) return;
    // Held by the middle of the picture's small icon: 8, 8 at 96 DPI.
    m_pDragImage->BeginDrag(0, CPoint(SmallIconSize() / 2, SmallIconSize() / 2));
    POINT start = info->ptAction;
    m_listPictures.ClientToScreen(&start);
    CImageList::DragEnter(GetDesktopWindow(), CPoint(start.x, start.y));
    m_bDragging = TRUE;
    m_hDropItem = nullptr;
    SetCapture();
}

void CMirvalDlg::OnMouseMove(UINT, CPoint point)
{
    if (m_bDragging) {
        ClientToScreen(&point);
        CImageList::DragMove(point);
        CImageList::DragShowNolock(FALSE);
        CWnd* under = WindowFromPoint(point);
        // The object itself first: nothing is called through another's.
        if (under == &m_treeCalendar && under->IsKindOf<CTreeCtrl>()) {
            m_treeCalendar.ScreenToClient(&point);
            m_hDropItem = m_treeCalendar.HitTest(point);
            m_treeCalendar.SelectDropTarget(m_hDropItem);
        } else if (m_hDropItem) {
            m_treeCalendar.SelectDropTarget(nullptr);
            m_hDropItem = nullptr;
        }
        CImageList::DragShowNolock(TRUE);
    }
    Default();
}

void CMirvalDlg::EndDragImage()
{
    // Cleared first: giving up the capture tells this window so at once, and
    // that must not read as a drag lost.
    m_bDragging = FALSE;
    ReleaseCapture();
    CImageList::DragLeave(GetDesktopWindow());
    CImageList::EndDrag();
}

void CMirvalDlg::OnLButtonUp(UINT, CPoint point)
{
    if (m_bDragging) {
        EndDragImage();
        ClientToScreen(&point);
        CWnd* under = WindowFromPoint(point);
        if (under == &m_treeCalendar) DropOnCalendar(under);
        if (m_bLookAfterDrag) CheckDate();
    }
    Default();
}

void CMirvalDlg::CancelDrag()
{
    EndDragImage();
    m_treeCalendar.SelectDropTarget(nullptr);
    m_hDropItem = nullptr;
    if (m_bLookAfterDrag) CheckDate();
}

void CMirvalDlg::OnCaptureChanged()
{
    // Another window took the mouse (a task switch, a window popping up): the
    // release would never come here, so the drag ends with nothing dropped.
    if (m_bDragging) CancelDrag();
    Default();
}

void CMirvalDlg::OnCancel()
{
    // Escape during a drag ends the drag, not the program.
    if (m_bDragging)
        CancelDrag();
    else
        CDialog::OnCancel();
}

bool CMirvalDlg::AskReplace()
{
    CString text, caption;
    text.LoadString(IDS_REPLACE_PICTURE);
    caption.LoadString(IDS_WARNING);
    return MessageBox(text, caption, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void CMirvalDlg::DropOnCalendar(CWnd*)
{
    // The node the last move found under the pointer, which is the highlighted
    // one: Wine's tree does not drop-highlight its selected node, and reading the
    // highlight back would then give the node highlighted before it.
    DropPicture(m_hDropItem, m_nDragIndex);
    m_treeCalendar.SelectDropTarget(nullptr);
}

void CMirvalDlg::DropPicture(HTREEITEM target, int nItem)
{
    HTREEITEM parent = target ? m_treeCalendar.GetParentItem(target) : nullptr;
    if (!parent) return;
    CString key;
    HTREEITEM newParent;
    bool go = true;
    if (!m_treeCalendar.GetParentItem(parent)) {
        // A weekday or month node: its one child is its picture.
        key = m_treeCalendar.GetItemText(target);
        if (HTREEITEM picture = m_treeCalendar.GetChildItem(target)) {
            go = AskReplace();
            if (go) m_treeCalendar.DeleteItem(picture);
        }
        newParent = target;
    } else {
        go = AskReplace();
        if (go) {
            key = m_treeCalendar.GetItemText(parent);
            m_treeCalendar.DeleteItem(target);
        }
        newParent = parent;
    }
    const int slot = go ? SlotForKey(key) : 0;
    if (!slot) return;
    ScheduleSlot& s = g_pSchedule->slot[slot];
    // The list's texts are read into buffers of the slot's fields' size: the
    // list holds nothing longer, and a name cut short would name no file.
    char folder[LIST_TEXT_BYTES];
    char file[LIST_TEXT_BYTES];
    m_listPictures.GetItemText(nItem, 1, folder, sizeof folder);
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = nItem;
    item.pszText = file;
    item.cchTextMax = sizeof file;
    file[0] = '\0';
    m_listPictures.GetItem(&item);
    lstrcpynA(s.folder, folder, sizeof s.folder);
    // The control may hand back its own copy of the text: the buffer's size still bounds it.
    lstrcpynA(s.file, item.pszText, sizeof s.file);
    lstrcpyA(s.mosa, m_btnMosaique.GetCheck() == BST_CHECKED ? "1" : "0");
    InsertNode(m_treeCalendar, newParent, s.file, CALENDAR_IMAGE_PICTURE);
    m_treeCalendar.Expand(newParent, TVE_EXPAND);
}
