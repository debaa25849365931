// The schedule table: the picture of each weekday and month, and its stored form.
#pragma once
#include "framework/afxwin.h"

// Slot 0 is never used; 1 to 7 are Monday to Sunday, 8 to 19 January to December.
constexpr int SCHEDULE_SLOTS = 20;
constexpr int FIRST_WEEKDAY_SLOT = 1;
constexpr int FIRST_MONTH_SLOT = 8;
constexpr int LAST_SLOT = 19;

constexpr int SLOT_PATH_CHARS = 255;   // folder and file, each without its zero
constexpr int SLOT_FLAG_CHARS = 3;

struct ScheduleSlot {
    char folder[SLOT_PATH_CHARS + 1];   // up to and including the last backslash
    char file[SLOT_PATH_CHARS + 1];     // after the last backslash; empty: not assigned
    char mosa[SLOT_FLAG_CHARS + 1];     // "1" tiled, "0" centred, empty when unassigned
};

struct ScheduleTable {
    ScheduleSlot slot[SCHEDULE_SLOTS];
};

extern ScheduleTable* g_pSchedule;

// Sections and values of the profile.
extern const char SECTION_WEEK[];       // "Semaine"
extern const char SECTION_MONTH[];      // "Mois"
extern const char SECTION_MISC[];       // "Divers"
extern const char VALUE_EVERY_DAY[];    // "Toujours"
extern const char VALUE_EVERY_DAY_TILE[];  // "Mosaique"

// The calendar key of a slot ("Lundi" ... "Décembre"): its tree node's text and
// its picture value's name.
const char* CalendarKey(int slot);
const char* SectionOfSlot(int slot);
// The tile flag's value name: the key with "Mosa" in front.
CString FlagValueName(const char* key);
// The slot of a calendar key, compared exactly; 0 for any other text.
int SlotForKey(const char* key);
// Today's slots from the local calendar fields (Sunday = 0, January = 0).
int WeekdaySlot(int tmWday);
int MonthSlot(int tmMon);

// Copies text into a slot field when it fits; false, leaving the field alone, when not.
template <size_t N>
bool CopyToField(char (&field)[N], const CString& text)
{
    if (text.GetLength() >= static_cast<int>(N)) return false;
    lstrcpynA(field, text, N);
    return true;
}

// Fills slots 1 to 19 from the profile.
void LoadSchedule();
