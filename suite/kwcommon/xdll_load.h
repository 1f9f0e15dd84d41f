// The suite's handle-numbered loading calls: a library asked for by its logical name
// ("KWINQ") answers a small handle, and its functions are looked up by handle and name.
// Callers such as the Links page use these where a library is optional: the program runs
// without it and offers what it adds only when it is there. Built on xdll_library
// (xdll.h); a library once loaded stays loaded for the process, so the addresses handed
// out never dangle.
#pragma once

#include <string>
#include <vector>

// Loads a library; a handle (1 or more), or 0 when it cannot be loaded (xdll_last_error
// says why). Loading the same library again answers the same handle.
short xdll_load_dll(const char* logicalName);
// The address of an exported function of a loaded library; nullptr when the handle is not
// a loaded library's or the library has no such function.
void* xdll_get_function(short handle, const char* functionName);
// Why the last xdll_load_dll failed ("" when it did not).
const std::string& xdll_last_error();

// Looks libraries up in these folders only, no longer beside the program or on the
// library path (empty: the usual places again). For setups that keep the suite's
// libraries apart, and for tests that must find a library, or be sure not to.
void xdll_set_search_folders(const std::vector<std::string>& folders);
