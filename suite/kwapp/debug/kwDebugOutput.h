// The suite's debug output: what libraries report about themselves while they load and
// unload. Lines go to standard error when QV_DEBUG is set, and always into a small in-memory
// sink that tests and diagnostics read back.
#pragma once

#include <string>
#include <vector>

// Writes text as given (callers end their lines with "\n"). Safe from library constructors
// and destructors: the sink needs no construction and is never destroyed.
void kwOutputDebugString(const char* text);

// The texts written so far, oldest first; the sink keeps the most recent ones only.
std::vector<std::string> kwDebugLines();
void kwClearDebugLines();

// How many texts the sink keeps and how long each may be (longer ones are cut).
inline constexpr int KW_DEBUG_SINK_LINES = 256;
inline constexpr int KW_DEBUG_LINE_MAX = 1023;
