#include "app/mirval_app.h"
#include "schedule/schedule.h"
#include "schedule/wallpaper.h"

CMirvalApp theApp;

BOOL CMirvalApp::InitInstance()
{
    Enable3dControlsStatic();

    g_pSchedule = new ScheduleTable();   // zero-filled: every field the empty text

    SetRegistryKey("Tarvex Software");

    // Reads the stored settings directly, so it need not wait for the table.
    ApplyTodaysWallpaper(APPLY_STARTUP);

    LoadSchedule();
    return FALSE;
}
