// Control classes: each holds the control's handle (bound by DDX_Control) and
// each method is one message to it.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include "wnd.h"

class CImageList {
public:
    CImageList() = default;
    ~CImageList() { DeleteImageList(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow)
    {
        DeleteImageList();
        m_hImageList = ImageList_Create(cx, cy, nFlags, nInitial, nGrow);
        return m_hImageList != nullptr;
    }
    // The icon's own image of the list's size, as the list picks it from the icon's
    // resource.
    int Add(HICON hIcon) { return ImageList_ReplaceIcon(m_hImageList, -1, hIcon); }
    // The icon's image as it is, stretched to the list's size.
    int AddStretched(HICON hIcon);
    int GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
    BOOL DeleteImageList()
    {
        BOOL ok = m_hImageList && ImageList_Destroy(m_hImageList);
        m_hImageList = nullptr;
        return ok;
    }
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }
    BOOL Attach(HIMAGELIST hImageList)
    {
        DeleteImageList();
        m_hImageList = hImageList;
        return hImageList != nullptr;
    }
    // Gives the handle up to whoever destroys it from now on.
    HIMAGELIST Detach()
    {
        HIMAGELIST hImageList = m_hImageList;
        m_hImageList = nullptr;
        return hImageList;
    }

    // Dragging: one drag image at a time, drawn by the platform over the window
    // it is locked to.
    BOOL BeginDrag(int nImage, CPoint ptHotSpot)
    {
        return ImageList_BeginDrag(m_hImageList, nImage, ptHotSpot.x, ptHotSpot.y);
    }
    static BOOL DragEnter(CWnd* pWndLock, CPoint point)
    {
        return ImageList_DragEnter(pWndLock->m_hWnd, point.x, point.y);
    }
    static BOOL DragMove(CPoint pt) { return ImageList_DragMove(pt.x, pt.y); }
    static BOOL DragShowNolock(BOOL bShow) { return ImageList_DragShowNolock(bShow); }
    static BOOL DragLeave(CWnd* pWndLock) { return ImageList_DragLeave(pWndLock->m_hWnd); }
    static void EndDrag() { ImageList_EndDrag(); }

    HIMAGELIST m_hImageList = nullptr;
};

class CButton : public CWnd {
public:
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int nCheck) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck)); }
};

class CStatic : public CWnd {};

class CTreeCtrl : public CWnd {
public:
    static const CRuntimeClass runtimeClass;
    using RuntimeClassOwner = CTreeCtrl;
    const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }
    HIMAGELIST SetImageList(CImageList* pImageList, int nImageList)
    {
        return TreeView_SetImageList(m_hWnd, pImageList->GetSafeHandle(), nImageList);
    }
    HTREEITEM InsertItem(const TVINSERTSTRUCTA* pInsert)
    {
        return reinterpret_cast<HTREEITEM>(
            SendMessage(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(pInsert)));
    }
    BOOL DeleteItem(HTREEITEM hItem) { return TreeView_DeleteItem(m_hWnd, hItem); }
    HTREEITEM GetNextItem(HTREEITEM hItem, UINT nCode) const
    {
        return TreeView_GetNextItem(m_hWnd, hItem, nCode);
    }
    HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
    HTREEITEM GetParentItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PARENT); }
    HTREEITEM GetChildItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_CHILD); }
    HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
    HTREEITEM GetNextSiblingItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_NEXT); }
    BOOL SelectDropTarget(HTREEITEM hItem) { return TreeView_SelectDropTarget(m_hWnd, hItem); }
    BOOL Expand(HTREEITEM hItem, UINT nCode) { return TreeView_Expand(m_hWnd, hItem, nCode); }
    BOOL SortChildren(HTREEITEM hItem) { return TreeView_SortChildren(m_hWnd, hItem, FALSE); }
    BOOL ItemHasChildren(HTREEITEM hItem) const { return GetChildItem(hItem) != nullptr; }
    HTREEITEM HitTest(CPoint pt) const
    {
        TVHITTESTINFO info = {};
        info.pt = pt;
        return TreeView_HitTest(m_hWnd, &info);
    }
    // The node's children count as the control holds it (0 or 1 here: none given).
    int GetChildrenCount(HTREEITEM hItem) const;
    int GetItemImage(HTREEITEM hItem) const;
    CString GetItemText(HTREEITEM hItem) const;
};

class CListCtrl : public CWnd {
public:
    // A list without LVS_SHAREIMAGELISTS destroys its image lists with itself: from
    // then on it, not pImageList, owns the one it is given.
    HIMAGELIST SetImageList(CImageList* pImageList, int nImageList)
    {
        HIMAGELIST old = ListView_SetImageList(m_hWnd, pImageList->GetSafeHandle(), nImageList);
        if (m_hWnd && !(::GetWindowLongA(m_hWnd, GWL_STYLE) & LVS_SHAREIMAGELISTS))
            pImageList->Detach();
        return old;
    }
    int InsertColumn(int nCol, const LVCOLUMNA* pColumn)
    {
        return static_cast<int>(SendMessage(LVM_INSERTCOLUMNA, static_cast<WPARAM>(nCol),
                                            reinterpret_cast<LPARAM>(pColumn)));
    }
    int InsertItem(const LVITEMA* pItem)
    {
        return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(pItem)));
    }
    BOOL SetItem(const LVITEMA* pItem)
    {
        return static_cast<BOOL>(SendMessage(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(pItem)));
    }
    BOOL GetItem(LVITEMA* pItem) const
    {
        return static_cast<BOOL>(SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(pItem)));
    }
    BOOL DeleteAllItems() { return ListView_DeleteAllItems(m_hWnd); }
    int GetItemCount() const { return ListView_GetItemCount(m_hWnd); }
    UINT GetItemState(int nItem, UINT nMask) const { return ListView_GetItemState(m_hWnd, nItem, nMask); }
    int GetNextItem(int nItem, int nFlags) const { return ListView_GetNextItem(m_hWnd, nItem, nFlags); }
    BOOL SetItemState(int nItem, UINT nState, UINT nMask)
    {
        LVITEMA item = {};
        item.stateMask = nMask;
        item.state = nState;
        return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(nItem),
                                             reinterpret_cast<LPARAM>(&item)));
    }
    BOOL EnsureVisible(int nItem, BOOL bPartialOK) { return ListView_EnsureVisible(m_hWnd, nItem, bPartialOK); }
    BOOL GetItemRect(int nItem, RECT* pRect, UINT nCode) const
    {
        return ListView_GetItemRect(m_hWnd, nItem, pRect, nCode);
    }
    // The item at a point of the list's client area, or -1.
    int HitTest(CPoint pt) const
    {
        LVHITTESTINFO info = {};
        info.pt = pt;
        return ListView_HitTest(m_hWnd, &info);
    }
    // The text of an item's column, cut to fit nLen characters with its zero.
    int GetItemText(int nItem, int nSubItem, char* pszText, int nLen) const;
    // A new image list showing the item; nullptr when the control cannot make one.
    CImageList* CreateDragImage(int nItem, POINT* lpPoint);
};
