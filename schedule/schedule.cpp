#include "schedule/schedule.h"
#include "app/mirval_app.h"
#include <cstring>

ScheduleTable* g_pSchedule = nullptr;

const char SECTION_WEEK[] = "Semaine";
const char SECTION_MONTH[] = "Mois";
const char SECTION_MISC[] = "Divers";
const char VALUE_EVERY_DAY[] = "Toujours";
const char VALUE_EVERY_DAY_TILE[] = "Mosaique";

namespace {
// Windows-1252 bytes: the compiler writes "é" as 0xE9 and "û" as 0xFB.
const char* const kCalendarKeys[SCHEDULE_SLOTS] = {
    "",
    "Lundi", "Mardi", "Mercredi", "Jeudi", "Vendredi", "Samedi", "Dimanche",
    "Janvier", "Février", "Mars", "Avril", "Mai", "Juin", "Juillet", "Août",
    "Septembre", "Octobre", "Novembre", "Décembre",
};
}

const char* CalendarKey(int slot)
{
    return slot >= FIRST_WEEKDAY_SLOT && slot <= LAST_SLOT ? kCalendarKeys[slot] : "";
}

const char* SectionOfSlot(int slot)
{
    return slot < FIRST_MONTH_SLOT ? SECTION_WEEK : SECTION_MONTH;
}

CString FlagValueName(const char* key)
{
    return CString("Mosa") + key;
}

int SlotForKey(const char* key)
{
    for (int slot = FIRST_WEEKDAY_SLOT; slot <= LAST_SLOT; ++slot)
        if (strcmp(kCalendarKeys[slot], key) == 0)
            return slot;
    return 0;
}

int WeekdaySlot(int tmWday)
{
    // The table starts its week on Monday, the calendar fields on Sunday.
    return tmWday == 0 ? 7 : tmWday;
}

int MonthSlot(int tmMon)
{
    return FIRST_MONTH_SLOT + tmMon;
}

void LoadSchedule()
{
    for (int slot = FIRST_WEEKDAY_SLOT; slot <= LAST_SLOT; ++slot) {
        const char* key = CalendarKey(slot);
        const char* section = SectionOfSlot(slot);
        CString path = theApp.GetProfileString(section, key, "");
        int backslash = path.ReverseFind('\\');
        if (backslash < 0) continue;

        // A part too long for its field leaves the slot empty rather than naming a
        // picture that is not the stored one.
        ScheduleSlot& s = g_pSchedule->slot[slot];
        CString folder = path.Left(backslash + 1);
        CString file = path.Mid(backslash + 1);
        if (folder.GetLength() > SLOT_PATH_CHARS || file.GetLength() > SLOT_PATH_CHARS) continue;
        CopyToField(s.folder, folder);
        CopyToField(s.file, file);

        // Only "1" tiles; a flag too long for its field means centred, like "0".
        if (!CopyToField(s.mosa, theApp.GetProfileString(section, FlagValueName(key), "0")))
            CopyToField(s.mosa, "0");
    }
}
