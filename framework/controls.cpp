#include "controls.h"

const CRuntimeClass CTreeCtrl::runtimeClass = {&CWnd::runtimeClass};

int CImageList::AddStretched(HICON hIcon)
{
    int cx = 0, cy = 0;
    if (!hIcon || !ImageList_GetIconSize(m_hImageList, &cx, &cy)) return -1;
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP image = ::CreateCompatibleBitmap(screen, cx, cy);
    HBITMAP mask = ::CreateBitmap(cx, cy, 1, 1, nullptr);
    HGDIOBJ old = ::SelectObject(dc, image);
    ::DrawIconEx(dc, 0, 0, hIcon, cx, cy, 0, nullptr, DI_IMAGE);
    ::SelectObject(dc, mask);
    ::DrawIconEx(dc, 0, 0, hIcon, cx, cy, 0, nullptr, DI_MASK);
    ::SelectObject(dc, old);
    const int index = ImageList_Add(m_hImageList, image, mask);
    ::DeleteObject(image);
    ::DeleteObject(mask);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    return index;
}

int CTreeCtrl::GetChildrenCount(HTREEITEM hItem) const
{
    TVITEMA item = {};
    item.mask = TVIF_CHILDREN | TVIF_HANDLE;
    item.hItem = hItem;
    SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.cChildren;
}

int CTreeCtrl::GetItemImage(HTREEITEM hItem) const
{
    TVITEMA item = {};
    item.mask = TVIF_IMAGE | TVIF_HANDLE;
    item.hItem = hItem;
    return SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) ? item.iImage : -1;
}

CString CTreeCtrl::GetItemText(HTREEITEM hItem) const
{
    // Node texts here are file and folder names and drive labels: one path's worth.
    char text[MAX_PATH + 1] = "";
    TVITEMA item = {};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = hItem;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return CString(item.pszText ? item.pszText : "");
}

int CListCtrl::GetItemText(int nItem, int nSubItem, char* pszText, int nLen) const
{
    LVITEMA item = {};
    item.iSubItem = nSubItem;
    item.pszText = pszText;
    item.cchTextMax = nLen;
    if (nLen > 0) pszText[0] = '\0';
    return static_cast<int>(
        SendMessage(LVM_GETITEMTEXTA, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
}

CImageList* CListCtrl::CreateDragImage(int nItem, POINT* lpPoint)
{
    POINT origin = {};
    HIMAGELIST made = ListView_CreateDragImage(m_hWnd, nItem, lpPoint ? lpPoint : &origin);
    if (!made) return nullptr;
    auto* list = new CImageList;
    list->Attach(made);
    return list;
}
