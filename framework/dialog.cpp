#include "dialog.h"
#include "winapp.h"
#include <commctrl.h>

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (!rControl.m_hWnd) rControl.Attach(::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC));
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND control = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
    if (pDX->m_bSaveAndValidate) {
        const int n = ::GetWindowTextLengthA(control);
        CBuffer<char> buf(static_cast<size_t>(n) + 1);
        if (!buf.empty()) ::GetWindowTextA(control, buf.data(), n + 1);
        value = buf.data();
    } else {
        ::SetWindowTextA(control, value);
    }
}

void DDV_MaxChars(CDataExchange* pDX, CString& value, int nChars)
{
    if (pDX->m_bSaveAndValidate && value.GetLength() > nChars) value = value.Left(nChars);
}

const CRuntimeClass CDialog::runtimeClass = {&CWnd::runtimeClass};

const MsgMapEntry CDialog::messageEntries[] = {
    OnCommand<&CDialog::OnOK>(IDOK),
    OnCommand<&CDialog::OnCancel>(IDCANCEL),
    OnMessage<WM_HELP, &CDialog::OnHelpInfo>(),
};
const MsgMap CDialog::messageMap(nullptr, CDialog::messageEntries);

const MsgMap* CDialog::GetMessageMap() const
{
    return &messageMap;
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDHelp(nIDTemplate), m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam)
{
    // Everything but the creation goes through the subclassed window procedure;
    // here the dialog manager only hears that the framework did nothing more.
    if (message != WM_INITDIALOG) return FALSE;
    CDialog* dialog = reinterpret_cast<CDialog*>(lParam);
    SetWindowLongPtrA(hWnd, DWLP_USER, lParam);
    dialog->SubclassWindow(hWnd);
    return dialog->OnInitDialog();
}

INT_PTR CDialog::DoModal()
{
    CWinApp* app = AfxGetApp();
    CWnd* parent = m_pParentWnd ? m_pParentWnd : (app && app->m_pMainWnd != this ? app->m_pMainWnd : nullptr);
    HWND owner = parent ? parent->m_hWnd : nullptr;
    bool enableOwner = owner && ::IsWindowEnabled(owner);
    if (enableOwner) ::EnableWindow(owner, FALSE);

    // The common controls a template may hold (the call Windows 95 as shipped has).
    InitCommonControls();

    m_bInModal = true;
    m_nModalResult = -1;
    HWND hWnd = CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), owner,
                                   DialogProc, reinterpret_cast<LPARAM>(this));
    if (hWnd && m_bInModal && !::IsWindowVisible(hWnd)) {
        // A dialog that starts hidden opens centred over its owner (or the screen).
        RECT dlg, area;
        ::GetWindowRect(hWnd, &dlg);
        if (!owner || !::IsWindowVisible(owner) || ::IsIconic(owner))
            SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
        else
            ::GetWindowRect(owner, &area);
        int x = area.left + ((area.right - area.left) - (dlg.right - dlg.left)) / 2;
        int y = area.top + ((area.bottom - area.top) - (dlg.bottom - dlg.top)) / 2;
        ::SetWindowPos(hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ::ShowWindow(hWnd, SW_SHOWNORMAL);
    }

    MSG msg;
    while (hWnd && m_bInModal) {
        if (!GetMessageA(&msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (PreTranslateMessage(&msg) || IsDialogMessageA(m_hWnd, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }

    if (enableOwner) ::EnableWindow(owner, TRUE);
    if (m_hWnd) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        if (owner && enableOwner) ::SetActiveWindow(owner);
        DestroyWindow();
    }
    return hWnd ? m_nModalResult : -1;
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    m_bInModal = false;
    // Called from a sent message the loop would sleep on until the next message.
    if (m_hWnd) ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
    // The main window's end is the program's. The quit message also ends every
    // modal loop still running over it (a question, the about box, a message
    // box of the desktop test), so that no handler goes on after the end with
    // an answer the user gave to a program that has quit: such a loop returns
    // no answer of Yes.
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) PostQuitMessage(nResult);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::AskForHelp()
{
    // The help command goes to the main window, whose command routing hands it to
    // the application object.
    CWinApp* app = AfxGetApp();
    CWnd* target = app && app->m_pMainWnd && app->m_pMainWnd->m_hWnd ? app->m_pMainWnd : this;
    target->SendMessage(WM_COMMAND, ID_HELP);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message != WM_KEYDOWN || pMsg->wParam != VK_F1 || GetKeyState(VK_SHIFT) < 0 ||
        GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0)
        return FALSE;
    AskForHelp();
    return TRUE;
}

BOOL CDialog::OnHelpInfo(HELPINFO*)
{
    // A click with the caption's help button.
    AskForHelp();
    return TRUE;
}
