// The entry point: runs the one application object.
#include "winapp.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    // There is no message loop here: the program's life is its InitInstance (a modal
    // dialog), whatever InitInstance answers.
    app->InitInstance();
    return app->ExitInstance();
}
