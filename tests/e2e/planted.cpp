// A DLL of the tests' own, planted as hhctrl.ocx where a program that loads the
// help's engine by its bare name would take it: loaded, it leaves a file.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        CloseHandle(CreateFileA("C:\\planted-hhctrl-loaded", GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, 0, nullptr));
    return TRUE;
}
