// The application object.
#pragma once
#include "framework/afxwin.h"

class CMirvalApp : public CWinApp {
public:
    BOOL InitInstance() override;
    const MsgMap* GetMessageMap() const override;
    const char* HtmlHelpPage(DWORD_PTR dwData) const override;

protected:
    void OnAide();

private:
    static const MsgMapEntry messageEntries[];
    static const MsgMap messageMap;
};

extern CMirvalApp theApp;
