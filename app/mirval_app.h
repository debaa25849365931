// The application object.
#pragma once
#include "framework/afxwin.h"

class CMirvalApp : public CWinApp {
public:
    BOOL InitInstance() override;
};

extern CMirvalApp theApp;
