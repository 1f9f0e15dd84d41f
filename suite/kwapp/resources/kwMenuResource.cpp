// Menu and accelerator tables by module and id, found through the resource chain.
#include "kwapp/resources/kwMenuResource.h"

#include "kwapp/resources/kwDynLinkLibrary.h"

#include <map>
#include <mutex>
#include <utility>

namespace {
std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

struct Tables {
    std::mutex mutex;
    std::map<std::pair<std::string, unsigned short>, std::vector<kwMenuEntry>> menus;
    std::map<std::pair<std::string, unsigned short>, std::vector<kwAccelEntry>> accelerators;
};

Tables& TheTables() {
    static Tables tables;
    return tables;
}

template <class Entry>
std::optional<std::vector<Entry>>
Search(const std::map<std::pair<std::string, unsigned short>, std::vector<Entry>>& map,
       unsigned short id, const std::string& module) {
    const std::vector<std::string> order =
        module.empty() ? kwDynLinkLibrary::SearchOrder() : std::vector<std::string>{module};
    for (const std::string& name : order) {
        auto found = map.find({Upper(name), id});
        if (found != map.end()) return found->second;
    }
    return std::nullopt;
}
} // namespace

void kwMenuResource::RegisterMenu(const std::string& module, unsigned short id,
                                  const kwMenuEntry* entries, size_t count) {
    Tables& tables = TheTables();
    std::lock_guard<std::mutex> guard(tables.mutex);
    tables.menus[{Upper(module), id}] = std::vector<kwMenuEntry>(entries, entries + count);
}

void kwMenuResource::RegisterAccelerators(const std::string& module, unsigned short id,
                                          const kwAccelEntry* entries, size_t count) {
    Tables& tables = TheTables();
    std::lock_guard<std::mutex> guard(tables.mutex);
    tables.accelerators[{Upper(module), id}] = std::vector<kwAccelEntry>(entries, entries + count);
}

void kwMenuResource::Unregister(const std::string& module) {
    Tables& tables = TheTables();
    std::lock_guard<std::mutex> guard(tables.mutex);
    const std::string upper = Upper(module);
    std::erase_if(tables.menus, [&](const auto& item) { return item.first.first == upper; });
    std::erase_if(tables.accelerators, [&](const auto& item) { return item.first.first == upper; });
}

std::optional<std::vector<kwMenuEntry>> kwMenuResource::FindMenu(unsigned short id,
                                                                 const std::string& module) {
    Tables& tables = TheTables();
    std::lock_guard<std::mutex> guard(tables.mutex);
    return Search(tables.menus, id, module);
}

std::optional<std::vector<kwAccelEntry>>
kwMenuResource::FindAccelerators(unsigned short id, const std::string& module) {
    Tables& tables = TheTables();
    std::lock_guard<std::mutex> guard(tables.mutex);
    return Search(tables.accelerators, id, module);
}

bool kwMenuResource::WellFormed(const std::vector<kwMenuEntry>& entries) {
    int depth = 0;
    for (const kwMenuEntry& entry : entries) {
        if (entry.kind == kwMenuEntry::Popup) ++depth;
        else if (entry.kind == kwMenuEntry::End && --depth < 0) return false;
        else if ((entry.kind == kwMenuEntry::Item || entry.kind == kwMenuEntry::Popup) && !entry.text)
            return false;
    }
    return depth == 0;
}
