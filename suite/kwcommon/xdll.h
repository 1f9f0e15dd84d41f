// Run-time loading of the suite's optional libraries by their logical names ("KWINQ",
// the inquiry library): a program runs without them and offers what they add only when
// they are there.
//
// A logical name is the library's name without a suffix ("KWINQ"; "KWINQ.DLL" names the
// same). It is looked up as lib<name in lower case>.so, first beside the program, then
// beside this library, then on the system's library path.
#pragma once

#include <string>
#include <vector>

// Loads a library; a handle (1 or more) that stays valid for the process, or 0 when it
// cannot be loaded (xdll_last_error says why). Loading the same library again answers the
// same handle; a library once loaded stays loaded, so the addresses handed out by
// xdll_get_function never dangle.
short xdll_load_dll(const char* logicalName);
// The address of an exported function of a loaded library; nullptr when the handle is
// not a loaded library's or it has no such function.
void* xdll_get_function(short handle, const char* functionName);
// Why the last load failed ("" when it did not).
const std::string& xdll_last_error();
// The file name a logical name is looked up as ("KWINQ" -> "libkwinq.so").
std::string xdll_file_name(const std::string& logicalName);

// Looks libraries up in these folders only, and no longer beside the program or on the
// library path (empty: the usual places again). For setups that keep the suite's
// libraries apart, and for tests that must find a library, or be sure not to.
void xdll_set_search_folders(const std::vector<std::string>& folders);
