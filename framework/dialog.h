// CDialog: a dialog from a template, run modally by the framework's own loop,
// with its controls bound to members by data exchange.
#pragma once
#include "wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_pDlgWnd(pDlgWnd), m_bSaveAndValidate(bSaveAndValidate) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;   // TRUE: from the controls into the members
};

// Binds control nIDC to the member rControl.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// A control's text and a member text.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// At most nChars characters: longer texts coming from the control are cut.
void DDV_MaxChars(CDataExchange* pDX, CString& value, int nChars);

class CDialog : public CWnd {
public:
    static const CRuntimeClass runtimeClass;
    using RuntimeClassOwner = CDialog;
    const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Makes the dialog, runs it until EndDialog, destroys it (through the
    // overridable DestroyWindow) and gives EndDialog's result; -1 if it could not
    // be made. A dialog without a parent is owned by the application's main window.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);
    // In a handler: EndDialog was called, and the loop ends once it returns.
    bool IsEnding() const { return !m_bInModal; }
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // The dialog is made: exchanges data towards the controls.
    virtual BOOL OnInitDialog();
    virtual void OnOK();       // IDOK: data from the controls, then EndDialog(IDOK)
    virtual void OnCancel();   // IDCANCEL (Escape): EndDialog(IDCANCEL)
    virtual void DoDataExchange(CDataExchange*) {}

    const MsgMap* GetMessageMap() const override;
    static const MsgMap messageMap;   // where a derived dialog's map chains to
    UINT m_nIDHelp;   // the help topic is HID_BASE_RESOURCE + this

protected:
    // The dialog's part of the message loop: F1 asks for help.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    BOOL OnHelpInfo(HELPINFO* pInfo);
    void AskForHelp();

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    static const MsgMapEntry messageEntries[];

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    bool m_bInModal = false;
    INT_PTR m_nModalResult = -1;
};
