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
    int Add(HICON hIcon) { return ImageList_ReplaceIcon(m_hImageList, -1, hIcon); }
    int GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
    BOOL DeleteImageList()
    {
        BOOL ok = m_hImageList && ImageList_Destroy(m_hImageList);
        m_hImageList = nullptr;
        return ok;
    }
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }

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
    HIMAGELIST SetImageList(CImageList* pImageList, int nImageList)
    {
        return TreeView_SetImageList(m_hWnd, pImageList->GetSafeHandle(), nImageList);
    }
};

class CListCtrl : public CWnd {
public:
    HIMAGELIST SetImageList(CImageList* pImageList, int nImageList)
    {
        return ListView_SetImageList(m_hWnd, pImageList->GetSafeHandle(), nImageList);
    }
    int InsertColumn(int nCol, const LVCOLUMNA* pColumn)
    {
        return static_cast<int>(SendMessage(LVM_INSERTCOLUMNA, static_cast<WPARAM>(nCol),
                                            reinterpret_cast<LPARAM>(pColumn)));
    }
};
