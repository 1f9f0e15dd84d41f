// The program's preferences: one block per user, one for the installation, the names of the
// two report designs used for printing, and the grid's columns, all kept in the suite's
// preference store under the product name. Loaded once by the main program, changed by the
// option pages and read by the views, all on the user-interface thread.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class kwDate;

// The stored layouts are byte-exact little-endian records.
static_assert(std::endian::native == std::endian::little, "preference blocks are little-endian");

#pragma pack(push, 1)
// The user block, stored as one 38-byte value.
struct user_pref_def {
    char queryName[31]; // zero-ended, at most 30 bytes
    std::uint8_t autoStartViewer;
    std::uint8_t deleteWhenClosed;
    std::uint8_t notifyOnNew;
    std::uint8_t notifyOnChange;
    std::int16_t snoozeDays; // days a due date is postponed by
    std::uint8_t disallowWeekend;
};
// The installation block, stored as one 2-byte value.
struct sys_pref_def {
    std::uint8_t autoFilter;
    std::uint8_t autoFilterPrivileged;
};
#pragma pack(pop)

static_assert(sizeof(user_pref_def) == 38);
static_assert(offsetof(user_pref_def, autoStartViewer) == 31);
static_assert(offsetof(user_pref_def, notifyOnChange) == 34);
static_assert(offsetof(user_pref_def, snoozeDays) == 35);
static_assert(offsetof(user_pref_def, disallowWeekend) == 37);
static_assert(sizeof(sys_pref_def) == 2);

class Prefs {
public:
    Prefs() = delete;

    static const char* QueryName();
    // The name is cut to 30 bytes on a character boundary.
    static void SetQueryName(const char* name);
    static bool AutoStartViewer();
    static void SetAutoStartViewer(bool on);
    static bool DeleteWhenClosed();
    static void SetDeleteWhenClosed(bool on);
    static bool NotifyOnNew();
    static void SetNotifyOnNew(bool on);
    static bool NotifyOnChange();
    static void SetNotifyOnChange(bool on);
    static bool DisallowWeekend();
    static void SetDisallowWeekend(bool on);
    static short SnoozeDays();
    static void SetSnoozeDays(short days);
    // The days to postpone a date starting at `date`: SnoozeDays(), plus what it takes to
    // move a Saturday or Sunday result to the Monday after when weekends are disallowed.
    static short SnoozeDays(const kwDate& date);

    static bool AutoFilter();
    static void SetAutoFilter(bool on);
    static bool AutoFilterPrivileged();
    static void SetAutoFilterPrivileged(bool on);

    static std::string FormName();
    static std::string ListName();
    // Names are cut to 255 bytes on a character boundary.
    static void SetFormName(const std::string& name);
    static void SetListName(const std::string& name);

    // Every value back to its default, then the stored ones where the store has them in the
    // current version ("1.1").
    static void Load();
    // Nothing is written after a failed version write. true when everything was written.
    static bool SaveUser();
    static bool SaveSystem();
    // Every member to its default, nothing read or written.
    static void SetDefaults();

    static void GetGridColumns(std::vector<std::string>& columns);
    static void GetGridColumnDefaults(std::vector<std::string>& columns);
    static bool PutGridColumns(std::vector<std::string>& columns);

    // The product name under which the values are kept (QV_PRODUCT_NAME, which is also
    // string 3 of the main program), the same for the program and the tools.
    static std::string ApplicationName();

private:
    static user_pref_def _user;
    static sys_pref_def _sys;
    static std::string _form_name;
    static std::string _list_name;
};

// Names separated by commas and blanks, in order, without empty names.
std::vector<std::string> ParsePrefString(const std::string& text);
// The names joined by "," with no blanks.
std::string BuildPrefString(std::vector<std::string>& names);
