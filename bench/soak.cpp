// The soak: ten thousand previews chosen in the real list and a thousand shows
// and hides of the real dialog; memory and GDI objects before and after.
#include "app/mirval_app.h"
#include "app/mirval_dlg.h"
#include "res/resource.h"
#include "schedule/schedule.h"
#include "schedule/wallpaper.h"
#include "tests/support/support.h"
#include <psapi.h>
#include <cstdio>

namespace {
void Figures(const char* when)
{
    PROCESS_MEMORY_COUNTERS memory = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    // (Wine answers 0 for the GDI count; the tests check instead that every
    // replaced picture and palette is gone.)
    printf("%-28s private %8lu KB  working set %8lu KB  GDI objects %5lu\n", when,
           static_cast<unsigned long>(memory.PagefileUsage / 1024),
           static_cast<unsigned long>(memory.WorkingSetSize / 1024),
           static_cast<unsigned long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)));
    fflush(stdout);
}

}

int main()
{
    theApp.SetRegistryKey("Tarvex Software");
    g_pSchedule = new ScheduleTable();
    WriteBitmap("C:\\mirval-soak\\A.BMP", 320, 240, RGB(200, 0, 0));
    WriteBitmap("C:\\mirval-soak\\B.BMP", 64, 48, RGB(0, 0, 200));
    ApplyTodaysWallpaper(APPLY_STARTUP);
    LoadSchedule();
    Resident dlg;
    dlg.Tray(WM_LBUTTONDOWN);
    HWND list = dlg.Item(IDC_PICTURE_LIST);
    dlg.OpenFolder({"C:", "mirval-soak"});

    // A warm-up round first, so that what the platform keeps once is not counted.
    for (int i = 0; i < 100; ++i) {
        ListView_SetItemState(list, i % 2, LVIS_SELECTED, LVIS_SELECTED);
        UpdateWindow(dlg.m_hwnd);
    }
    Figures("before 10,000 previews");
    for (int i = 0; i < 10000; ++i) {
        ListView_SetItemState(list, i % 2, LVIS_SELECTED, LVIS_SELECTED);
        UpdateWindow(dlg.m_hwnd);
    }
    Figures("after");
    for (int i = 0; i < 1000; ++i) {
        dlg.Send(WM_COMMAND, IDC_CANCEL);
        dlg.Tray(WM_LBUTTONDOWN);
        UpdateWindow(dlg.m_hwnd);
    }
    Figures("after 1,000 hides and shows");
    return 0;
}
