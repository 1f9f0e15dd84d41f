// Handle-numbered loading over xdll_library: the loaded libraries live in one table for the
// process, indexed by handle - 1, and are found again by the file looked up.
#include "kwcommon/xdll_load.h"

#include "kwcommon/xdll.h"

#include <unistd.h>

#include <map>
#include <memory>

namespace {

struct LoaderState {
    std::vector<std::string> searchFolders;             // empty: the usual places
    std::map<std::string, short> handles;               // by the file looked up
    std::vector<std::unique_ptr<xdll_library>> libraries; // handle - 1
    std::string lastError;
};

LoaderState& State() {
    static LoaderState state;
    return state;
}

} // namespace

short xdll_load_dll(const char* logicalName) {
    LoaderState& state = State();
    state.lastError.clear();
    if (!logicalName || !*logicalName) {
        state.lastError = "no library named";
        return 0;
    }
    const std::string file = xdll_file_name(logicalName);
    if (auto it = state.handles.find(file); it != state.handles.end()) return it->second;

    std::string wanted = file;
    if (!state.searchFolders.empty()) {
        wanted.clear();
        for (const std::string& folder : state.searchFolders) {
            const std::string path = folder + "/" + file;
            if (!folder.empty() && ::access(path.c_str(), F_OK) == 0) {
                wanted = path;
                break;
            }
        }
        if (wanted.empty()) {
            state.lastError = file + ": not found in the library folders";
            return 0;
        }
    }
    auto library = std::make_unique<xdll_library>();
    if (!library->Load(wanted, &state.lastError)) return 0;
    state.libraries.push_back(std::move(library));
    const auto handle = static_cast<short>(state.libraries.size());
    state.handles.emplace(file, handle);
    return handle;
}

void* xdll_get_function(short handle, const char* functionName) {
    const LoaderState& state = State();
    if (handle < 1 || static_cast<size_t>(handle) > state.libraries.size() || !functionName) return nullptr;
    return state.libraries[static_cast<size_t>(handle) - 1]->Symbol(functionName);
}

const std::string& xdll_last_error() { return State().lastError; }

void xdll_set_search_folders(const std::vector<std::string>& folders) {
    LoaderState& state = State();
    state.searchFolders = folders;
    // Where a name is looked up changed: it is found afresh (libraries already loaded stay
    // loaded for the addresses handed out).
    state.handles.clear();
}
