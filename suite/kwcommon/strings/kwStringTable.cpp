// The registry of module string tables. Tables are registered from static objects of the
// modules while they load, so the registry is a function-local static that exists before
// the first registration whatever the load order.
#include "kwcommon/strings/kwStringTable.h"

#include <algorithm>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace {
struct ModuleTable {
    std::string name; // upper case
    const kwStringEntry* entries = nullptr;
    std::unordered_map<unsigned short, const char*> texts;
};

struct Registry {
    std::mutex mutex;
    std::vector<ModuleTable> tables; // in registration order
    std::string mainModule = "QV.EXE";
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

std::string UpperAscii(const std::string& text) {
    std::string upper = text;
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

// Cut to KW_STRING_MAX bytes without splitting a UTF-8 sequence.
std::string CutText(const char* text) {
    std::string result = text ? text : "";
    if (result.size() <= KW_STRING_MAX) return result;
    size_t end = KW_STRING_MAX;
    while (end > 0 && (static_cast<unsigned char>(result[end]) & 0xC0) == 0x80)
        --end;
    result.resize(end);
    return result;
}

const ModuleTable* Find(const Registry& registry, const std::string& upperName) {
    for (const ModuleTable& table : registry.tables) {
        if (table.name == upperName) return &table;
    }
    return nullptr;
}

const char* Lookup(const ModuleTable* table, unsigned short id) {
    if (!table) return nullptr;
    auto found = table->texts.find(id);
    return found == table->texts.end() ? nullptr : found->second;
}
} // namespace

std::string KWLoadString(const std::string& module, short id) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    const auto key = static_cast<unsigned short>(id);
    if (!module.empty()) return CutText(Lookup(Find(registry, UpperAscii(module)), key));

    // The resource chain: the program's own table, then the libraries'.
    const std::string mainName = UpperAscii(registry.mainModule);
    if (const char* text = Lookup(Find(registry, mainName), key)) return CutText(text);
    for (const ModuleTable& table : registry.tables) {
        if (table.name == mainName) continue;
        if (const char* text = Lookup(&table, key)) return CutText(text);
    }
    return {};
}

void kwRegisterStringTable(const std::string& module, const kwStringEntry* entries, size_t count) {
    ModuleTable table;
    table.name = UpperAscii(module);
    table.entries = entries;
    for (size_t i = 0; i < count; ++i) {
        // The first text of a repeated id wins, as a resource compiler would refuse the
        // second; a null text counts as absent.
        if (entries[i].text) table.texts.emplace(entries[i].id, entries[i].text);
    }
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    auto existing = std::find_if(registry.tables.begin(), registry.tables.end(),
                                 [&](const ModuleTable& t) { return t.name == table.name; });
    if (existing != registry.tables.end()) {
        *existing = std::move(table);
    } else {
        registry.tables.push_back(std::move(table));
    }
}

void kwUnregisterStringTable(const std::string& module, const kwStringEntry* entries) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    const std::string name = UpperAscii(module);
    std::erase_if(registry.tables, [&](const ModuleTable& t) {
        return t.name == name && (!entries || t.entries == entries);
    });
}

bool kwHasStringTable(const std::string& module) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    return Find(registry, UpperAscii(module)) != nullptr;
}

void kwSetMainModuleName(const std::string& module) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    registry.mainModule = module;
}

std::string kwMainModuleName() {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    return registry.mainModule;
}
