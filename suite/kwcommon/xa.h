// Applications of the suite installed in the company (applications.json).
//
// applications.json:
// { "applications": [ { "code": "AP", "name": "Accounts Payable", "installed": true,
//                       "hidden": false }, ... ] }
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#pragma pack(push, 1)
struct x_kw_apl_info {
    char code[3];        // 0  two letters
    char name[39];       // 3
    int16_t hidden;      // 42 nonzero: the application is not offered at all
    int16_t installed;   // 44
    int16_t reserved;    // 46
};
#pragma pack(pop)
static_assert(sizeof(x_kw_apl_info) == 48);
static_assert(offsetof(x_kw_apl_info, hidden) == 42);

// Looks an application up by code or name (case-insensitive): `what` 1 = by code,
// 2 = by name. Nonzero when found, info filled (info may be null). By code, a key that is
// no application's code but names a data dictionary of the company (a file abbreviation,
// "APV") is known too: info then holds the first two letters of the abbreviation as code,
// the file's description as name, and the installed flag of the application with that code
// (installed when the company lists no such application).
short xa_get_kw_nam(short what, x_kw_apl_info* info, const char* key);
// The name of the application with a code into name (size bytes); 0 found, 10 none.
short xa_get_appl_name(const char* code, char* name, int size);
// 1 when the application with code is installed, else 0.
short xa_appl_installed(const char* code);
// The applications installed in the company, in the order of the file (hidden ones
// included: callers leave out those whose hidden flag is set).
std::vector<x_kw_apl_info> xa_get_kw_apl();
// Every application of the suite known to the company; installed ones and others.
std::vector<x_kw_apl_info> xa_all_applications();
