// String tables of the suite's modules. Each module ("QV.EXE", "QVCORE.DLL", "QVKIT.DLL")
// compiles its id -> text table into itself and registers it when it is loaded (see
// kwStringTableRegistrar); KWLoadString reads a text back by module name and id.
#pragma once

#include <cstddef>
#include <string>

// One text of a table. Ids are the 16-bit resource ids; ids above 32767 (the frame's
// standard prompts, 57344 ...) are kept unsigned here and reach KWLoadString as their
// 16-bit value (static_cast<short>).
struct kwStringEntry {
    unsigned short id;
    const char* text; // UTF-8
};

// The longest text a caller gets, in bytes: longer texts are cut on a character boundary.
inline constexpr size_t KW_STRING_MAX = 255;

// Text `id` of the module's table; empty when the module has not registered a table or the
// table has no such id. Module names compare without regard to ASCII case. An empty module
// name searches the resource chain: the main module's table first (see
// kwSetMainModuleName), then every other table in the order the modules registered.
std::string KWLoadString(const std::string& module, short id);

// Registers the table of a module, replacing a table registered earlier under that name.
// The entries must outlive the registration (they are normally a static array).
void kwRegisterStringTable(const std::string& module, const kwStringEntry* entries, size_t count);
// Removes the module's table (the module is being unloaded). With `entries` given, only
// when that is the table registered now, so a later registration under the same name stays.
void kwUnregisterStringTable(const std::string& module, const kwStringEntry* entries = nullptr);
// True when the module has registered a table.
bool kwHasStringTable(const std::string& module);

// The module searched first for an empty module name: the program's own ("QV.EXE" unless
// set otherwise).
void kwSetMainModuleName(const std::string& module);
std::string kwMainModuleName();
