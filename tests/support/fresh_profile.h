// The fixture of the tests that run the program: the application's profile
// under its company key, emptied before and after, and a new schedule table.
#pragma once
#include "app/mirval_app.h"
#include "app/mirval_dlg.h"
#include "schedule/schedule.h"
#include "schedule/wallpaper.h"
#include "setup/setup.h"
#include "tests/support/test_support.h"
#include <gtest/gtest.h>

constexpr char kCompanyKey[] = "Software\\Tarvex Software";
constexpr char kDesktop[] = "Control Panel\\desktop";

class FreshProfile : public ::testing::Test {
protected:
    void SetUp() override
    {
        theApp.SetRegistryKey("Tarvex Software");
        DeleteKeyTree(kCompanyKey);
        g_pSchedule = new ScheduleTable();
        g_selectedPicture.Empty();
        g_everyDayActive = 0;
        g_previewLoaded = 0;
    }
    void TearDown() override
    {
        delete g_pSchedule;
        g_pSchedule = nullptr;
        DeleteKeyTree(kCompanyKey);
    }
    // As start-up does before the dialog: today's picture, then the table.
    static void StartUp()
    {
        ApplyTodaysWallpaper(APPLY_STARTUP);
        LoadSchedule();
    }
};
