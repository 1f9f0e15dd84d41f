// The debug sink is plain static storage on purpose: shared-library destructors write to it
// while the process ends, after ordinary static objects may already be gone.
#include "kwapp/debug/kwDebugOutput.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {
char g_lines[KW_DEBUG_SINK_LINES][KW_DEBUG_LINE_MAX + 1];
int g_first = 0; // index of the oldest text
int g_count = 0;
std::mutex g_mutex; // trivially destructible on this platform

bool DebugToStandardError() {
    const char* flag = std::getenv("QV_DEBUG");
    return flag && *flag && std::strcmp(flag, "0") != 0;
}
} // namespace

void kwOutputDebugString(const char* text) {
    if (!text) return;
    if (DebugToStandardError()) {
        std::fputs(text, stderr);
        std::fflush(stderr);
    }
    std::lock_guard<std::mutex> guard(g_mutex);
    int slot;
    if (g_count < KW_DEBUG_SINK_LINES) {
        slot = (g_first + g_count) % KW_DEBUG_SINK_LINES;
        ++g_count;
    } else {
        slot = g_first;
        g_first = (g_first + 1) % KW_DEBUG_SINK_LINES;
    }
    size_t length = std::strlen(text);
    if (length > KW_DEBUG_LINE_MAX) {
        length = KW_DEBUG_LINE_MAX;
        // Never leave half a UTF-8 sequence at the end.
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
            --length;
    }
    std::memcpy(g_lines[slot], text, length);
    g_lines[slot][length] = '\0';
}

std::vector<std::string> kwDebugLines() {
    std::lock_guard<std::mutex> guard(g_mutex);
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(g_count));
    for (int i = 0; i < g_count; ++i)
        lines.emplace_back(g_lines[(g_first + i) % KW_DEBUG_SINK_LINES]);
    return lines;
}

void kwClearDebugLines() {
    std::lock_guard<std::mutex> guard(g_mutex);
    g_first = 0;
    g_count = 0;
}
